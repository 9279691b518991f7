// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/SColmapModel.h"

#include "formats/SBlockBuilder.h"
#include "framework/Mu.h"

#include <QDir>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <functional>
#include <unordered_map>

namespace {

constexpr uint32_t kNoIndex = UINT32_MAX;
// A lookup table over the point id range costs at most this many slots per point.
constexpr int64_t kMaxSlotsPerPoint = 4;
constexpr int64_t kMinSlots = 4096;

// Row-major rotation of a unit quaternion (qw, qx, qy, qz), normalised first as COLMAP does.
std::array<double, 9> rotation(const std::array<double, 4> &q)
{
    const double n = std::sqrt(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3]);
    const double w = q[0] / n, x = q[1] / n, y = q[2] / n, z = q[3] / n;
    return {1 - 2 * (y * y + z * z), 2 * (x * y - w * z),     2 * (x * z + w * y),
            2 * (x * y + w * z),     1 - 2 * (x * x + z * z), 2 * (y * z - w * x),
            2 * (x * z - w * y),     2 * (y * z + w * x),     1 - 2 * (x * x + y * y)};
}

QString fileName(const QString &folder, const char *base, const QString &suffix)
{
    return QDir::toNativeSeparators(QDir(folder).filePath(QLatin1String(base) + suffix));
}

// Each observation gets the position of its 3D point. Point ids are usually dense: a table over
// their range finds them without a search.
bool linkObservations(SColmapModel &model, const QString &suffix, const std::function<bool(const QString &)> &fail)
{
    const std::vector<SColmapPoint> &points = model.points;
    const int64_t first = points.empty() ? 0 : points.front().id;
    const int64_t range = points.empty() ? 0 : points.back().id - first + 1;
    std::vector<uint32_t> indexOf;
    if (range <= kMaxSlotsPerPoint * int64_t(points.size()) + kMinSlots) {
        indexOf.assign(size_t(range), kNoIndex);
        for (size_t i = 0; i < points.size(); ++i)
            indexOf[size_t(points[i].id - first)] = uint32_t(i);
    }
    auto find = [&](int64_t id) -> uint32_t {
        if (!indexOf.empty())
            return id >= first && id - first < range ? indexOf[size_t(id - first)] : kNoIndex;
        const auto at = std::lower_bound(points.begin(), points.end(), id,
                                         [](const SColmapPoint &p, int64_t v) { return p.id < v; });
        return at != points.end() && at->id == id ? uint32_t(at - points.begin()) : kNoIndex;
    };
    for (SColmapImage &image : model.images)
        for (SColmapImage::Observation &o : image.observations) {
            o.pointIndex = find(o.point);
            if (o.pointIndex == kNoIndex)
                return fail(Mu::tr("2D point %1 of image %2 names 3D point %3, which points3D%4 does not have")
                                .arg(o.index)
                                .arg(image.id)
                                .arg(o.point)
                                .arg(suffix));
        }
    return true;
}

} // namespace

std::array<double, 3> SColmapImage::centre() const
{
    const std::array<double, 9> R = rotation(q);
    return {-(R[0] * t[0] + R[3] * t[1] + R[6] * t[2]), -(R[1] * t[0] + R[4] * t[1] + R[7] * t[2]),
            -(R[2] * t[0] + R[5] * t[1] + R[8] * t[2])};
}

bool SColmapModel::check(const QString &folder, const QString &suffix, QString *error)
{
    const QString camerasFile = fileName(folder, "cameras", suffix);
    const QString imagesFile = fileName(folder, "images", suffix);
    const QString pointsFile = fileName(folder, "points3D", suffix);
    auto fail = [error](const QString &file, const QString &problem) {
        *error = Mu::tr("COLMAP model file '%1': %2").arg(file, problem);
        return false;
    };

    std::unordered_map<qint64, size_t> cameraAt, imageAt;
    for (size_t i = 0; i < cameras.size(); ++i) {
        if (cameras[i].id < 0 || cameras[i].id > kMaxId)
            return fail(
                camerasFile,
                Mu::tr("camera id %1 is outside 0..%2, which Varlomin can hold").arg(cameras[i].id).arg(kMaxId));
        if (!cameraAt.emplace(cameras[i].id, i).second)
            return fail(camerasFile, Mu::tr("camera %1 is listed twice").arg(cameras[i].id));
    }
    for (size_t i = 0; i < images.size(); ++i) {
        const SColmapImage &image = images[i];
        if (image.id < 0 || image.id > kMaxId)
            return fail(imagesFile,
                        Mu::tr("image id %1 is outside 0..%2, which Varlomin can hold").arg(image.id).arg(kMaxId));
        if (!imageAt.emplace(image.id, i).second)
            return fail(imagesFile, Mu::tr("image %1 is listed twice").arg(image.id));
        if (!cameraAt.count(image.cameraId))
            return fail(imagesFile, Mu::tr("image %1 names camera %2, which cameras%3 does not have")
                                        .arg(image.id)
                                        .arg(image.cameraId)
                                        .arg(suffix));
        if (image.q[0] == 0.0 && image.q[1] == 0.0 && image.q[2] == 0.0 && image.q[3] == 0.0)
            return fail(imagesFile, Mu::tr("image %1 has a zero rotation quaternion").arg(image.id));
    }
    std::sort(points.begin(), points.end(), [](const SColmapPoint &a, const SColmapPoint &b) { return a.id < b.id; });
    // Per image, 2D point index -> its observation, so that tracks are checked without a search.
    std::vector<std::vector<uint32_t>> observationAt(images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        observationAt[i].assign(size_t(images[i].pointCount), kNoIndex);
        for (size_t k = 0; k < images[i].observations.size(); ++k)
            observationAt[i][images[i].observations[k].index] = uint32_t(k);
    }
    for (size_t i = 0; i < points.size(); ++i) {
        const SColmapPoint &point = points[i];
        if (point.id < 0 || point.id > kMaxId)
            return fail(pointsFile,
                        Mu::tr("3D point id %1 is outside 0..%2, which Varlomin can hold; it is not truncated")
                            .arg(point.id)
                            .arg(kMaxId));
        if (i > 0 && points[i - 1].id == point.id)
            return fail(pointsFile, Mu::tr("3D point %1 is listed twice").arg(point.id));
        for (const SColmapPoint::TrackElement &e : point.track) {
            const auto image = imageAt.find(e.image);
            if (image == imageAt.end())
                return fail(pointsFile, Mu::tr("the track of 3D point %1 names image %2, which images%3 does not have")
                                            .arg(point.id)
                                            .arg(e.image)
                                            .arg(suffix));
            const std::vector<uint32_t> &at = observationAt[image->second];
            const bool observes = e.index >= 0 && e.index < int64_t(at.size()) && at[size_t(e.index)] != kNoIndex &&
                                  images[image->second].observations[at[size_t(e.index)]].point == point.id;
            if (!observes)
                return fail(pointsFile, Mu::tr("the track of 3D point %1 names 2D point %2 of image %3, which does not "
                                               "observe it")
                                            .arg(point.id)
                                            .arg(e.index)
                                            .arg(e.image));
        }
    }
    observationAt.clear();
    return linkObservations(*this, suffix, [&](const QString &problem) { return fail(imagesFile, problem); });
}

void SColmapModel::fillModel(SProjectData &data, const QString &folder, const QString &suffix) const
{
    SBlockBuilder builder(data);
    std::unordered_map<qint64, const SColmapCamera *> cameraOf;
    for (const SColmapCamera &camera : cameras)
        cameraOf.emplace(camera.id, &camera);
    qint64 unknowns = kUnknownsPerImage * qint64(images.size()) + kUnknownsPerPoint * qint64(points.size());
    std::unordered_map<qint64, bool> cameraCounted;
    for (const SColmapImage &image : images) {
        const SColmapCamera &camera = *cameraOf.at(image.cameraId);
        if (!cameraCounted[camera.id]) {
            cameraCounted[camera.id] = true;
            unknowns += camera.model->parameters;
        }
        const std::array<double, 3> c = image.centre();
        const std::array<double, 9> R = rotation(image.q);
        SImage &target = builder.addImage(int(image.id), int(camera.id), c.data());
        for (const SColmapImage::Observation &o : image.observations) {
            const std::array<double, 3> &X = points[o.pointIndex].xyz;
            double Xc[3], x = 0.0, y = 0.0;
            for (size_t i = 0; i < 3; ++i)
                Xc[i] = R[3 * i] * X[0] + R[3 * i + 1] * X[1] + R[3 * i + 2] * X[2] + image.t[i];
            camera.project(Xc, &x, &y);
            // y flipped: COLMAP's y points down, the views' up; pictures are not mirrored.
            builder.addObservation(target, int(o.point), o.x, -o.y, x, -y);
        }
        target.setXmin(0.0f);
        target.setXmax(float(camera.width));
        target.setYmin(-float(camera.height));
        target.setYmax(0.0f);
    }
    for (const SColmapPoint &point : points)
        builder.addObjectPoint(int(point.id), point.xyz.data());

    ProjectFiles files;
    files.projectFile = QDir::toNativeSeparators(folder);
    files.cameraFile = fileName(folder, "cameras", suffix);
    files.imageFile = fileName(folder, "images", suffix);
    files.objectFile = fileName(folder, "points3D", suffix);
    builder.finish(files, unknowns);
}
