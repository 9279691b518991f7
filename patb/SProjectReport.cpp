// SPDX-License-Identifier: GPL-3.0-or-later
#include "patb/SProjectReport.h"

#include "framework/Mu.h"
#include "framework/MuMath.h"
#include "misc/SGlobal.h"

#include <QBuffer>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <vector>

namespace {

// Minimal streaming JSON output: the report of a large block is written as it is produced.
class JsonOut {
public:
    explicit JsonOut(QIODevice &device) : mDevice(device) {}
    ~JsonOut() { flush(); }

    JsonOut &raw(const char *s)
    {
        mBuf.append(s);
        return check();
    }
    JsonOut &key(const char *k)
    {
        mBuf.append('"').append(k).append("\": ");
        return check();
    }
    JsonOut &num(int v)
    {
        mBuf.append(QByteArray::number(v));
        return check();
    }
    JsonOut &boolean(bool v) { return raw(v ? "true" : "false"); }
    template <typename Float> JsonOut &real(Float v)
    {
        if (!std::isfinite(v))
            return raw("null");
        char digits[32];
        const auto result = std::to_chars(digits, digits + sizeof digits, v);
        mBuf.append(digits, result.ptr - digits);
        return check();
    }
    JsonOut &triple(float a, float b, float c) { return raw("[").real(a).raw(", ").real(b).raw(", ").real(c).raw("]"); }
    JsonOut &str(const QString &s)
    {
        mBuf.append('"');
        for (const char ch : s.toUtf8()) {
            switch (ch) {
            case '"': mBuf.append("\\\""); break;
            case '\\': mBuf.append("\\\\"); break;
            case '\n': mBuf.append("\\n"); break;
            case '\r': mBuf.append("\\r"); break;
            case '\t': mBuf.append("\\t"); break;
            default:
                if (static_cast<unsigned char>(ch) < 0x20) {
                    char esc[8];
                    std::snprintf(esc, sizeof esc, "\\u%04x", static_cast<unsigned char>(ch));
                    mBuf.append(esc);
                } else {
                    mBuf.append(ch);
                }
            }
        }
        mBuf.append('"');
        return check();
    }
    void flush()
    {
        if (!mBuf.isEmpty())
            mDevice.write(mBuf);
        mBuf.clear();
    }

private:
    static constexpr qsizetype kFlushBytes = 1 << 20;
    JsonOut &check()
    {
        if (mBuf.size() >= kFlushBytes)
            flush();
        return *this;
    }
    QIODevice &mDevice;
    QByteArray mBuf;
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
