// SPDX-License-Identifier: GPL-3.0-or-later
// A COLMAP sparse model as its text and binary files hold it, checked for consistency and turned
// into the model: image y axis flipped (COLMAP's points down), projection centre -R^T t.
#pragma once

#include "formats/SColmapCamera.h"
#include "patb/SProjectData.h"

#include <array>
#include <cstdint>
#include <vector>

struct SColmapImage {
    struct Observation {
        uint32_t index;          // position among the image's 2D points
        double x, y;             // COLMAP pixels
        int64_t point;           // 3D point id
        uint32_t pointIndex = 0; // position of that point in points, set by check()
    };

    int64_t id = 0;
    std::array<double, 4> q{}; // qw, qx, qy, qz: world to camera
    std::array<double, 3> t{};
    int64_t cameraId = 0;
    int64_t pointCount = 0;                // all 2D points, with or without a 3D point
    std::vector<Observation> observations; // only those with a 3D point, by index

    std::array<double, 3> centre() const;
};

struct SColmapPoint {
    struct TrackElement {
        int64_t image;
        int64_t index;
    };
    int64_t id = 0;
    std::array<double, 3> xyz{};
    double error = 0.0; // COLMAP's mean reprojection error of the point
    std::vector<TrackElement> track;
};

struct SColmapModel {
    // Six unknowns per image (rotation, translation), three per point, and each camera's parameters.
    static constexpr int kUnknownsPerImage = 6;
    static constexpr int kUnknownsPerPoint = 3;
    // Ids the model can hold (ints).
    static constexpr qint64 kMaxId = 2147483647;

    std::vector<SColmapCamera> cameras;
    std::vector<SColmapImage> images;
    std::vector<SColmapPoint> points;

    // Every reference resolved: cameras of images, 3D points of observations, images and 2D points
    // of tracks, ids within what the model holds. Names the file and record of the first problem.
    bool check(const QString &folder, const QString &suffix, QString *error);
    void fillModel(SProjectData &data, const QString &folder, const QString &suffix) const;
};
