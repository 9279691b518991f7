// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/SSnavelyBlock.h"

#include "formats/SBlockBuilder.h"

#include <QDir>

#include <cmath>
#include <memory>

namespace {

// Below this angle the first-order rotation is exact to double precision.
constexpr double kSmallAngleSquared = 1e-20;

} // namespace

void SSnavelyCamera::setRotationFromAngleAxis(const double w[3])
{
    const double theta2 = w[0] * w[0] + w[1] * w[1] + w[2] * w[2];
    if (theta2 < kSmallAngleSquared) {
        R = {1.0, -w[2], w[1], w[2], 1.0, -w[0], -w[1], w[0], 1.0};
        return;
    }
    const double theta = std::sqrt(theta2);
    const double kx = w[0] / theta, ky = w[1] / theta, kz = w[2] / theta;
    const double c = std::cos(theta), s = std::sin(theta), d = 1.0 - c;
    R = {c + kx * kx * d,      kx * ky * d - kz * s, kx * kz * d + ky * s, //
         ky * kx * d + kz * s, c + ky * ky * d,      ky * kz * d - kx * s, //
         kz * kx * d - ky * s, kz * ky * d + kx * s, c + kz * kz * d};
}

void SSnavelyCamera::project(const double X[3], double *x, double *y) const
{
    const double Px = R[0] * X[0] + R[1] * X[1] + R[2] * X[2] + t[0];
    const double Py = R[3] * X[0] + R[4] * X[1] + R[5] * X[2] + t[1];
    const double Pz = R[6] * X[0] + R[7] * X[1] + R[8] * X[2] + t[2];
    const double px = -Px / Pz, py = -Py / Pz;
    const double r2 = px * px + py * py;
    const double distortion = 1.0 + r2 * (k1 + k2 * r2);
    *x = f * distortion * px;
    *y = f * distortion * py;
}

std::array<double, 3> SSnavelyCamera::centre() const
{
    return {-(R[0] * t[0] + R[3] * t[1] + R[6] * t[2]), -(R[1] * t[0] + R[4] * t[1] + R[7] * t[2]),
            -(R[2] * t[0] + R[5] * t[1] + R[8] * t[2])};
}

void SSnavelyBlock::fillModel(SProjectData &data, const QString &file) const
{
    SBlockBuilder builder(data);
    std::vector<SImage *> images(cameras.size(), nullptr);
    qint64 cameraCount = 0;
    for (size_t i = 0; i < cameras.size(); ++i) {
        if (!cameraUsed.empty() && !cameraUsed[i])
            continue;
        const std::array<double, 3> c = cameras[i].centre();
        images[i] = &builder.addImage(int(i), int(i), c.data());
        ++cameraCount;
    }
    for (const SSnavelyObservation &o : observations) {
        SImage *image = images[size_t(o.camera)];
        if (!image)
            continue;
        double x = 0.0, y = 0.0;
        cameras[size_t(o.camera)].project(points[size_t(o.point)].data(), &x, &y);
        builder.addObservation(*image, o.point, o.x, o.y, x, y);
    }
    for (size_t i = 0; i < points.size(); ++i)
        builder.addObjectPoint(int(i), points[i].data());

    ProjectFiles files;
    files.projectFile = QDir::toNativeSeparators(file);
    files.imageFile = files.projectFile;
    files.objectFile = files.projectFile;
    builder.finish(files, kUnknownsPerCamera * cameraCount + kUnknownsPerPoint * qint64(points.size()));
}
