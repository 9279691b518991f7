// SPDX-License-Identifier: GPL-3.0-or-later
// The binary encoding of a COLMAP model: cameras.bin, images.bin and points3D.bin, little-endian,
// each a 64-bit count followed by its records.
#include "formats/SColmapReader.h"
#include "framework/Mu.h"

#include <QDir>
#include <QFile>

#include <cmath>
#include <cstring>
#include <limits>

namespace {

constexpr qint64 kBufferBytes = 1 << 20;
constexpr uint64_t kNoPoint3D = std::numeric_limits<uint64_t>::max();
constexpr qsizetype kMaxNameBytes = 64 * 1024;
// The smallest record of each kind: a count larger than the rest of the file allows is refused
// before anything is reserved.
constexpr qint64 kMinCameraBytes = 4 + 4 + 8 + 8;
constexpr qint64 kMinImageBytes = 4 + 7 * 8 + 4 + 1 + 8;
constexpr qint64 kPoint2DBytes = 8 + 8 + 8;
constexpr qint64 kMinPointBytes = 8 + 3 * 8 + 3 + 8 + 8;
constexpr qint64 kTrackElementBytes = 4 + 4;

// Little-endian values of one file through a buffer, with the record being read for messages.
class BinaryFile {
public:
    BinaryFile(const QString &name, const char *kind) : mFile(name), mKind(kind) {}

    bool open()
    {
        if (mFile.open(QIODevice::ReadOnly))
            return true;
        mError = Mu::tr("Could not open file\n%1\n\n").arg(QDir::toNativeSeparators(mFile.fileName()));
        return false;
    }
    template <typename T> bool get(T *value, const char *what)
    {
        if (mEnd - mPos < qint64(sizeof(T)) && !refill(sizeof(T)))
            return fail(Mu::tr("the file ends inside it, at the %1").arg(QLatin1String(what)));
        std::memcpy(value, mBuffer.constData() + mPos, sizeof(T)); // the format and the machine are little-endian
        mPos += sizeof(T);
        return true;
    }
    bool getDouble(double *value, const char *what)
    {
        if (!get(value, what))
            return false;
        return std::isfinite(*value) || fail(Mu::tr("the %1 is not a finite number").arg(QLatin1String(what)));
    }
    bool getName(QByteArray *name)
    {
        name->clear();
        for (char c = 0; get(&c, "name");) {
            if (c == '\0')
                return true;
            if (name->size() >= kMaxNameBytes)
                return fail(Mu::tr("the image name is longer than %1 bytes").arg(kMaxNameBytes));
            name->append(c);
        }
        return false;
    }
    // A count whose records (at least minBytes each) fit into the rest of the file.
    bool count(uint64_t *n, qint64 minBytes, const char *what)
    {
        if (!get(n, what))
            return false;
        const qint64 rest = mFile.size() - (mFile.pos() - (mEnd - mPos));
        if (*n > uint64_t(rest / minBytes))
            return fail(
                Mu::tr("the %1 %2 is more than the rest of the file can hold").arg(QLatin1String(what)).arg(*n));
        return true;
    }
    void startRecord(uint64_t record) { mRecord = record; }
    bool fail(const QString &problem)
    {
        if (mError.isEmpty())
            mError = Mu::tr("COLMAP model file '%1', %2 record %3: %4")
                         .arg(QDir::toNativeSeparators(mFile.fileName()), QLatin1String(mKind))
                         .arg(mRecord)
                         .arg(problem);
        return false;
    }
    bool trailing()
    {
        if (mPos == mEnd && mFile.atEnd())
            return true;
        Mu::warn(qUtf8Printable(Mu::tr("COLMAP model file '%s': data after the last record ignored.")),
                 qUtf8Printable(QDir::toNativeSeparators(mFile.fileName())));
        return true;
    }
    qint64 position() const { return mFile.pos() - (mEnd - mPos); }
    QString error() const { return mError; }
    QString name() const { return mFile.fileName(); }

private:
    bool refill(size_t need)
    {
        mBuffer.remove(0, mPos);
        mEnd -= mPos;
        mPos = 0;
        mBuffer.resize(kBufferBytes);
        const qint64 got = mFile.read(mBuffer.data() + mEnd, kBufferBytes - mEnd);
        if (got > 0)
            mEnd += got;
        return mEnd >= qint64(need);
    }

    QFile mFile;
    const char *mKind;
    QByteArray mBuffer;
    qint64 mPos = 0, mEnd = 0;
    uint64_t mRecord = 0; // from 1; 0 is the count
    QString mError;
};

bool readCameras(BinaryFile &f, SColmapModel *model)
{
    uint64_t n = 0;
    if (!f.count(&n, kMinCameraBytes, "number of cameras"))
        return false;
    for (uint64_t r = 1; r <= n; ++r) {
        f.startRecord(r);
        uint32_t id = 0;
        int32_t modelId = 0;
        uint64_t width = 0, height = 0;
        SColmapCamera camera;
        if (!f.get(&id, "camera id") || !f.get(&modelId, "model id"))
            return false;
        camera.id = id;
        camera.model = SColmapCamera::modelById(modelId);
        if (!camera.model)
            return f.fail(Mu::tr("camera model id %1 is unknown; Varlomin reads %2")
                              .arg(modelId)
                              .arg(SColmapCamera::supportedNames()));
        if (!camera.model->supported)
            return f.fail(Mu::tr("camera model %1 is not supported; Varlomin reads %2")
                              .arg(QLatin1String(camera.model->name), SColmapCamera::supportedNames()));
        if (!f.get(&width, "width") || !f.get(&height, "height"))
            return false;
        if (width == 0 || height == 0 || width > uint64_t(SColmapModel::kMaxId) ||
            height > uint64_t(SColmapModel::kMaxId))
            return f.fail(Mu::tr("width %1 and height %2 are no image size").arg(width).arg(height));
        camera.width = qint64(width);
        camera.height = qint64(height);
        camera.params.resize(size_t(camera.model->parameters));
        for (double &v : camera.params)
            if (!f.getDouble(&v, "camera parameter"))
                return false;
        model->cameras.push_back(std::move(camera));
    }
    return f.trailing();
}

bool readImages(BinaryFile &f, SColmapModel *model, const SColmapReader::ProgressFn &progress)
{
    uint64_t n = 0;
    if (!f.count(&n, kMinImageBytes, "number of images"))
        return false;
    QByteArray name;
    for (uint64_t r = 1; r <= n; ++r) {
        f.startRecord(r);
        SColmapImage image;
        uint32_t id = 0, camera = 0;
        uint64_t points = 0;
        if (!f.get(&id, "image id"))
            return false;
        for (double &v : image.q)
            if (!f.getDouble(&v, "quaternion"))
                return false;
        for (double &v : image.t)
            if (!f.getDouble(&v, "translation"))
                return false;
        if (!f.get(&camera, "camera id") || !f.getName(&name) ||
            !f.count(&points, kPoint2DBytes, "number of 2D points"))
            return false;
        image.id = id;
        image.cameraId = camera;
        image.pointCount = qint64(points);
        for (uint64_t i = 0; i < points; ++i) {
            SColmapImage::Observation o{uint32_t(i), 0.0, 0.0, 0};
            uint64_t point = 0;
            if (!f.getDouble(&o.x, "x") || !f.getDouble(&o.y, "y") || !f.get(&point, "3D point id"))
                return false;
            if (point == kNoPoint3D)
                continue;
            if (point > uint64_t(std::numeric_limits<int64_t>::max()))
                return f.fail(Mu::tr("3D point id %1 is larger than Varlomin can hold").arg(point));
            o.point = int64_t(point);
            image.observations.push_back(o);
        }
        model->images.push_back(std::move(image));
        if (progress && !progress(f.name(), f.position()))
            return false;
    }
    return f.trailing();
}

bool readPoints(BinaryFile &f, SColmapModel *model, const SColmapReader::ProgressFn &progress)
{
    uint64_t n = 0;
    if (!f.count(&n, kMinPointBytes, "number of 3D points"))
        return false;
    for (uint64_t r = 1; r <= n; ++r) {
        f.startRecord(r);
        SColmapPoint point;
        uint64_t id = 0, length = 0;
        uint8_t colour[3];
        if (!f.get(&id, "3D point id"))
            return false;
        if (id > uint64_t(std::numeric_limits<int64_t>::max()))
            return f.fail(Mu::tr("3D point id %1 is larger than Varlomin can hold").arg(id));
        point.id = int64_t(id);
        for (double &v : point.xyz)
            if (!f.getDouble(&v, "coordinate"))
                return false;
        if (!f.get(&colour, "colour") || !f.getDouble(&point.error, "error") ||
            !f.count(&length, kTrackElementBytes, "track length"))
            return false;
        point.track.resize(size_t(length));
        for (SColmapPoint::TrackElement &e : point.track) {
            uint32_t image = 0, index = 0;
            if (!f.get(&image, "track image id") || !f.get(&index, "track 2D point index"))
                return false;
            e = {image, index};
        }
        model->points.push_back(std::move(point));
        if ((r & 0xffff) == 0 && progress && !progress(f.name(), f.position()))
            return false;
    }
    return f.trailing();
}

} // namespace

namespace SColmapBinary {

bool read(const QString &folder, SColmapModel *model, QString *error, const SColmapReader::ProgressFn &progress)
{
    const QDir dir(folder);
    BinaryFile cameras(dir.filePath(QStringLiteral("cameras.bin")), "camera");
    BinaryFile images(dir.filePath(QStringLiteral("images.bin")), "image");
    BinaryFile points(dir.filePath(QStringLiteral("points3D.bin")), "3D point");
    for (BinaryFile *f : {&cameras, &images, &points})
        if (!f->open()) {
            *error = f->error();
            return false;
        }
    if (!readCameras(cameras, model)) {
        *error = cameras.error();
        return false;
    }
    if (!readImages(images, model, progress)) {
        *error = images.error();
        return false;
    }
    if (!readPoints(points, model, progress)) {
        *error = points.error();
        return false;
    }
    return true;
}

} // namespace SColmapBinary
