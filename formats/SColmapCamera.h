// SPDX-License-Identifier: GPL-3.0-or-later
// COLMAP's camera models as its sparse models name and number them, and the projection of a point
// in camera coordinates to pixels with each model's distortion, as COLMAP computes it.
#pragma once

#include <QString>

#include <cstdint>
#include <string_view>
#include <vector>

struct SColmapCamera {
    struct Model {
        const char *name;
        int id;         // as cameras.bin stores it
        int parameters; // values that follow width and height
        bool supported; // false: named, but its projection is not computed here
    };

    // Every model COLMAP has numbered; null for an unknown name or id.
    static const Model *modelByName(std::string_view name);
    static const Model *modelById(qint64 id);
    // The names of the supported models, for messages.
    static QString supportedNames();

    int64_t id = 0;
    const Model *model = nullptr;
    int64_t width = 0, height = 0;
    std::vector<double> params;

    // Pixel coordinates (COLMAP's: origin in the upper left corner, y down) of a point given in
    // camera coordinates.
    void project(const double Xc[3], double *x, double *y) const;
};
