// SPDX-License-Identifier: GPL-3.0-or-later
#include "patb/SProjectReport.h"

#include "framework/Mu.h"
#include "framework/MuMath.h"
#include "misc/SGlobal.h"

#include <QBuffer>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// Minimal streaming JSON output into one reused buffer: the report of a large block is written
// as it is produced, every value formatted in place (integers and shortest round-trip floats by
// std::to_chars), with no allocation per value.
class JsonOut {
public:
    explicit JsonOut(QIODevice &device) : mDevice(device), mBuf(kBufferBytes) {}
    ~JsonOut() { flush(); }

    JsonOut &raw(const char *s) { return bytes(s, std::strlen(s)); }
    JsonOut &key(const char *k)
    {
        const size_t n = std::strlen(k);
        room(n + 4);
        *mEnd++ = '"';
        std::memcpy(mEnd, k, n);
        mEnd += n;
        std::memcpy(mEnd, "\": ", 3);
        mEnd += 3;
        return *this;
    }
    JsonOut &num(int v)
    {
        room(kNumberRoom);
        mEnd = std::to_chars(mEnd, mEnd + kNumberRoom, v).ptr;
        return *this;
    }
    JsonOut &boolean(bool v) { return v ? raw("true") : raw("false"); }
    template <typename Float> JsonOut &real(Float v)
    {
        if (!std::isfinite(v))
            return raw("null");
        room(kNumberRoom);
        mEnd = std::to_chars(mEnd, mEnd + kNumberRoom, v).ptr;
        return *this;
    }
    JsonOut &triple(float a, float b, float c) { return raw("[").real(a).raw(", ").real(b).raw(", ").real(c).raw("]"); }
    JsonOut &str(const QString &s)
    {
        raw("\"");
        for (const char ch : s.toUtf8()) {
            switch (ch) {
            case '"': raw("\\\""); break;
            case '\\': raw("\\\\"); break;
            case '\n': raw("\\n"); break;
            case '\r': raw("\\r"); break;
            case '\t': raw("\\t"); break;
            default:
                if (static_cast<unsigned char>(ch) < 0x20) {
                    char esc[8];
                    const int n = std::snprintf(esc, sizeof esc, "\\u%04x", static_cast<unsigned char>(ch));
                    bytes(esc, size_t(n));
                } else {
                    bytes(&ch, 1);
                }
            }
        }
        return raw("\"");
    }
    void flush()
    {
        if (mEnd != mBuf.data())
            mDevice.write(mBuf.data(), mEnd - mBuf.data());
        mEnd = mBuf.data();
    }

private:
    static constexpr size_t kBufferBytes = 1 << 20;
    static constexpr size_t kNumberRoom = 32; // the longest int, float or double text and more

    // Makes room for n more bytes (n is always far below the buffer size).
    void room(size_t n)
    {
        if (size_t(mBuf.data() + mBuf.size() - mEnd) < n)
            flush();
    }
    JsonOut &bytes(const char *s, size_t n)
    {
        room(n);
        std::memcpy(mEnd, s, n);
        mEnd += n;
        return *this;
    }

    QIODevice &mDevice;
    std::vector<char> mBuf;
    char *mEnd = mBuf.data();
};

bool extentIsInitial(const SImage &image)
{
    return image.xmin() == Mu::Math::MAX_FLT && image.ymin() == Mu::Math::MAX_FLT &&
           image.xmax() == Mu::Math::MIN_FLT && image.ymax() == Mu::Math::MIN_FLT;
}

void writeImage(JsonOut &out, const SImage &image)
{
    out.raw("{").key("id").num(image.id());
    out.raw(", ").key("camera_id").num(image.cameraId());
    out.raw(", ").key("points").num(image.numberOfPoints());
    out.raw(", ").key("eliminated").num(image.eliminatedCount());
    out.raw(", ").key("largest_residual_id").num(image.largestResidualId());
    out.raw(", ").key("largest_residual");
    if (image.largestResidualId() == -1)
        out.raw("null");
    else
        out.real(image.largestResidual());
    out.raw(", ").key("extent");
    if (extentIsInitial(image))
        out.raw("null");
    else
        out.raw("[")
            .real(image.xmin())
            .raw(", ")
            .real(image.ymin())
            .raw(", ")
            .real(image.xmax())
            .raw(", ")
            .real(image.ymax())
            .raw("]");
    const SObjectCoord &pc = image.projectionCentre();
    out.raw(", ").key("projection_centre").triple(pc.X, pc.Y, pc.Z);
    out.raw(", ").key("projection_centre_sigma").triple(pc.dX, pc.dY, pc.dZ);
    out.raw("}");
}

void writeObjectPoint(JsonOut &out, const SObjectPoint &p)
{
    const SObjectCoord &obs = p.observation();
    out.raw("{").key("id").num(p.id());
    out.raw(", ").key("code").num(p.code());
    out.raw(", ").key("active").boolean(p.isActive());
    out.raw(", ").key("links").num(p.isProjectionCentre() ? SImage::activePointCount(p.id())
                                                          : SImage::numberOfLinks(p.id()));
    out.raw(", ").key("adjusted").triple(p.X(), p.Y(), p.Z());
    out.raw(", ").key("sigma").triple(p.sigmaX(), p.sigmaY(), p.sigmaZ());
    out.raw(", ").key("observed").raw("[");
    for (int axis = 0; axis < 3; ++axis) {
        if (axis > 0)
            out.raw(", ");
        if (p.hasObservation(axis))
            out.real(obs.coord(axis));
        else
            out.raw("null");
    }
    out.raw("]");
    out.raw(", ").key("residual").triple(obs.dX, obs.dY, obs.dZ);
    out.raw(", ")
        .key("accepted")
        .raw("[")
        .boolean(obs.flagX)
        .raw(", ")
        .boolean(obs.flagY)
        .raw(", ")
        .boolean(obs.flagZ)
        .raw("]");
    out.raw("}");
}

} // namespace

void writeProjectReportJson(QIODevice &device, const SProjectData &data, const QStringList &warnings,
                            const std::optional<SReportError> &error)
{
    JsonOut out(device);
    const ProjectFiles *record = data.projectFiles.get();
    out.raw("{\n").key("sigma0").real(record ? record->sigma0 : 0.0);
    out.raw(",\n").key("average_redundancy").real(record ? record->averageRedundancy : 0.0);
    out.raw(",\n").key("inversion").boolean(record && record->inversion);

    std::vector<const SImage *> images(data.mListImageData.begin(), data.mListImageData.end());
    std::stable_sort(images.begin(), images.end(), [](const SImage *a, const SImage *b) { return a->id() < b->id(); });
    out.raw(",\n").key("images").raw("[");
    for (size_t i = 0; i < images.size(); ++i) {
        out.raw(i == 0 ? "\n  " : ",\n  ");
        writeImage(out, *images[i]);
    }
    out.raw("\n]");

    out.raw(",\n").key("object_points").raw("[");
    bool first = true;
    for (const SObjectPoint &p : data.mListObjectData) {
        out.raw(first ? "\n  " : ",\n  ");
        first = false;
        writeObjectPoint(out, p);
    }
    out.raw("\n]");

    out.raw(",\n").key("lonely_image_points").num(data.lonelyImagePointCount());
    out.raw(",\n").key("warnings").raw("[");
    for (qsizetype i = 0; i < warnings.size(); ++i) {
        out.raw(i == 0 ? "\n  " : ",\n  ");
        out.str(warnings[i]);
    }
    out.raw("\n]");
    out.raw(",\n").key("error");
    if (error)
        out.raw("{").key("code").num(error->first).raw(", ").key("message").str(error->second).raw("}");
    else
        out.raw("null");
    out.raw("\n}\n");
}

QByteArray projectReportJson(const SProjectData &data, const QStringList &warnings,
                             const std::optional<SReportError> &error)
{
    QByteArray json;
    QBuffer buffer(&json);
    buffer.open(QIODevice::WriteOnly);
    writeProjectReportJson(buffer, data, warnings, error);
    buffer.close();
    return json;
}
