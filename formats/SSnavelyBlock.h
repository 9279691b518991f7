// SPDX-License-Identifier: GPL-3.0-or-later
// The block of a BAL problem or a Bundler file: cameras of Snavely's model (rotation, translation,
// focal length f, radial distortion k1, k2), points and observations, and how it becomes the model.
// Projection: P = R X + t, p = -P.xy / P.z, x = f (1 + k1 |p|^2 + k2 |p|^4) p, in pixels with the
// origin in the image centre and y up; the camera looks down its -z axis.
#pragma once

#include "patb/SProjectData.h"

#include <array>
#include <vector>

struct SSnavelyCamera {
    std::array<double, 9> R{}; // row-major rotation, world to camera
    std::array<double, 3> t{};
    double f = 0.0, k1 = 0.0, k2 = 0.0;

    // R from a Rodrigues (angle-axis) vector, as BAL writes it.
    void setRotationFromAngleAxis(const double w[3]);
    // Image coordinates of X; not finite for a point in the camera's plane.
    void project(const double X[3], double *x, double *y) const;
    // Projection centre -R^T t.
    std::array<double, 3> centre() const;
};

struct SSnavelyObservation {
    int camera; // index into cameras
    int point;  // index into points
    double x, y;
};

struct SSnavelyBlock {
    // Nine unknowns per camera (rotation, translation, f, k1, k2), three per point.
    static constexpr int kUnknownsPerCamera = 9;
    static constexpr int kUnknownsPerPoint = 3;

    std::vector<SSnavelyCamera> cameras;
    std::vector<bool> cameraUsed; // Bundler marks cameras it could not place with f = 0
    std::vector<std::array<double, 3>> points;
    std::vector<SSnavelyObservation> observations;

    // Image id = camera index, point id = point index; residuals observed - projected.
    void fillModel(SProjectData &data, const QString &file) const;
};
