// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/SSnavelyReader.h"

#include "formats/STextSource.h"
#include "formats/STokenStream.h"
#include "framework/Mu.h"

#include <QFileInfo>

#include <climits>

namespace {

// Vectors grow with what the file really holds; a header's count reserves at most this much.
constexpr qint64 kMaxReserve = 1 << 20;
constexpr int kBalCameraValues = 9; // Rodrigues vector, translation, f, k1, k2

} // namespace

bool SSnavelyReader::read(const QString &file)
{
    SSnavelyBlock block;
    SReadSupport::Progress progress(mHandler, file, QFileInfo(file).size());
    mHandler.readStarting(QFileInfo(file).size());
    mProgress = &progress;
    const bool parsed = parse(file, &block);
    mProgress = nullptr;
    if (!parsed) {
        if (!mCancelled)
            SReadSupport::reportError(mHandler, mError);
        return false;
    }
    block.fillModel(mData, file);
    mHandler.dataInputComplete();
    return true;
}

bool SSnavelyReader::parse(const QString &file, SSnavelyBlock *block)
{
    mFile = file;
    mError.clear();
    mCancelled = false;
    STextSource source(file);
    if (!source.open()) {
        mError = source.error();
        return false;
    }
    mSource = &source;
    STokenStream tokens(source);
    // The first line decides; a BAL problem's counts on it are read as tokens.
    std::string_view first;
    source.nextLine(&first);
    const bool bundler = first.substr(0, qstrlen(kBundlerHeader)) == kBundlerHeader;
    if (!bundler)
        tokens.push(first);
    mFormat = bundler ? QStringLiteral("Bundler file") : QStringLiteral("BAL file");
    const bool ok = bundler ? parseBundler(tokens, block) : parseBal(tokens, block);
    mSource = nullptr;
    return ok;
}

bool SSnavelyReader::fail(const STokenStream &tokens, const QString &problem)
{
    if (!mError.isEmpty())
        return false;
    const QString sourceError = mSource ? mSource->error() : QString();
    mError = sourceError.isEmpty() ? Mu::tr("%1 '%2', line %3: %4").arg(mFormat, mFile).arg(tokens.line()).arg(problem)
                                   : Mu::tr("%1 %2").arg(mFormat, sourceError);
    return false;
}

bool SSnavelyReader::progress(qint64 done)
{
    if (!mProgress || mProgress->at(done))
        return true;
    mCancelled = true;
    mError = Mu::tr("Reading '%1' was cancelled.").arg(mFile);
    return false;
}

bool SSnavelyReader::count(STokenStream &tokens, const char *what, qint64 limit, qint64 *value)
{
    std::string_view token;
    if (!tokens.next(&token))
        return fail(tokens, Mu::tr("the file ends where the %1 should be").arg(QLatin1String(what)));
    int64_t v = 0;
    if (!STextNumber::toInt64(token, &v) || v < 0)
        return fail(
            tokens,
            Mu::tr("%1 %2 is no whole number of 0 or more").arg(QLatin1String(what), STextNumber::quoted(token)));
    if (v > limit)
        return fail(tokens, Mu::tr("%1 %2 is more than %3").arg(QLatin1String(what)).arg(v).arg(limit));
    *value = v;
    return true;
}

bool SSnavelyReader::number(STokenStream &tokens, const char *what, double *value)
{
    std::string_view token;
    if (!tokens.next(&token))
        return fail(tokens, Mu::tr("the file ends where the %1 should be").arg(QLatin1String(what)));
    if (!STextNumber::toDouble(token, value))
        return fail(tokens, Mu::tr("%1 %2 is no finite number").arg(QLatin1String(what), STextNumber::quoted(token)));
    return true;
}

bool SSnavelyReader::index(STokenStream &tokens, const char *what, qint64 size, int *value)
{
    qint64 v = 0;
    if (!count(tokens, what, LLONG_MAX, &v))
        return false;
    if (v >= size)
        return fail(tokens, Mu::tr("%1 %2 does not exist (the file has %3)").arg(QLatin1String(what)).arg(v).arg(size));
    *value = int(v);
    return true;
}

bool SSnavelyReader::parseBal(STokenStream &tokens, SSnavelyBlock *block)
{
    qint64 cameras = 0, points = 0, observations = 0;
    if (!count(tokens, "number of cameras", INT_MAX, &cameras) ||
        !count(tokens, "number of points", INT_MAX, &points) ||
        !count(tokens, "number of observations", INT_MAX, &observations))
        return false;
    block->observations.reserve(size_t(std::min(observations, kMaxReserve)));
    for (qint64 i = 0; i < observations; ++i) {
        SSnavelyObservation o{};
        if (!index(tokens, "camera", cameras, &o.camera) || !index(tokens, "point", points, &o.point) ||
            !number(tokens, "observed x", &o.x) || !number(tokens, "observed y", &o.y))
            return false;
        block->observations.push_back(o);
        if (!progress(mSource->filePosition()))
            return false;
    }
    block->cameras.reserve(size_t(std::min(cameras, kMaxReserve)));
    for (qint64 i = 0; i < cameras; ++i) {
        double v[kBalCameraValues];
        for (double &value : v)
            if (!number(tokens, "camera parameter", &value))
                return false;
        SSnavelyCamera camera;
        camera.setRotationFromAngleAxis(v);
        camera.t = {v[3], v[4], v[5]};
        camera.f = v[6];
        camera.k1 = v[7];
        camera.k2 = v[8];
        block->cameras.push_back(camera);
    }
    block->points.reserve(size_t(std::min(points, kMaxReserve)));
    for (qint64 i = 0; i < points; ++i) {
        std::array<double, 3> X{};
        for (double &value : X)
            if (!number(tokens, "point coordinate", &value))
                return false;
        block->points.push_back(X);
        if (!progress(mSource->filePosition()))
            return false;
    }
    std::string_view extra;
    if (tokens.next(&extra))
        Mu::warn(qUtf8Printable(Mu::tr("BAL file '%s', line %lld: data after the last point ignored.")),
                 qUtf8Printable(mFile), static_cast<long long>(tokens.line()));
    if (!mSource->error().isEmpty())
        return fail(tokens, QString());
    return true;
}

bool SSnavelyReader::parseBundler(STokenStream &tokens, SSnavelyBlock *block)
{
    qint64 cameras = 0, points = 0;
    if (!count(tokens, "number of cameras", INT_MAX, &cameras) || !count(tokens, "number of points", INT_MAX, &points))
        return false;
    block->cameras.reserve(size_t(std::min(cameras, kMaxReserve)));
    for (qint64 i = 0; i < cameras; ++i) {
        SSnavelyCamera camera;
        if (!number(tokens, "focal length", &camera.f) || !number(tokens, "k1", &camera.k1) ||
            !number(tokens, "k2", &camera.k2))
            return false;
        for (double &value : camera.R)
            if (!number(tokens, "rotation element", &value))
                return false;
        for (double &value : camera.t)
            if (!number(tokens, "translation", &value))
                return false;
        block->cameras.push_back(camera);
        // Bundler writes a camera it could not place as zeros.
        block->cameraUsed.push_back(camera.f != 0.0);
    }
    qint64 skipped = 0;
    block->points.reserve(size_t(std::min(points, kMaxReserve)));
    for (qint64 i = 0; i < points; ++i) {
        std::array<double, 3> X{};
        double colour = 0.0;
        qint64 views = 0;
        for (double &value : X)
            if (!number(tokens, "point coordinate", &value))
                return false;
        for (int c = 0; c < 3; ++c)
            if (!number(tokens, "colour", &colour))
                return false;
        if (!count(tokens, "number of views", INT_MAX, &views))
            return false;
        for (qint64 v = 0; v < views; ++v) {
            SSnavelyObservation o{};
            double key = 0.0;
            o.point = int(i);
            if (!index(tokens, "camera", cameras, &o.camera) || !number(tokens, "key", &key) ||
                !number(tokens, "observed x", &o.x) || !number(tokens, "observed y", &o.y))
                return false;
            if (block->cameraUsed[size_t(o.camera)])
                block->observations.push_back(o);
            else
                ++skipped;
        }
        block->points.push_back(X);
        if (!progress(mSource->filePosition()))
            return false;
    }
    if (skipped > 0)
        Mu::warn(qUtf8Printable(Mu::tr("Bundler file '%s': %lld observations in cameras without a focal length "
                                       "(not placed) ignored.")),
                 qUtf8Printable(mFile), static_cast<long long>(skipped));
    if (!mSource->error().isEmpty())
        return fail(tokens, QString());
    return true;
}
