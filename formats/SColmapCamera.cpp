// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/SColmapCamera.h"

#include <QStringList>

#include <cmath>
#include <iterator>
#include <limits>

namespace {

constexpr SColmapCamera::Model kModels[] = {
    {"SIMPLE_PINHOLE", 0, 3, true},
    {"PINHOLE", 1, 4, true},
    {"SIMPLE_RADIAL", 2, 4, true},
    {"RADIAL", 3, 5, true},
    {"OPENCV", 4, 8, true},
    {"OPENCV_FISHEYE", 5, 8, true},
    {"FULL_OPENCV", 6, 12, true},
    {"FOV", 7, 5, false},
    {"SIMPLE_RADIAL_FISHEYE", 8, 4, true},
    {"RADIAL_FISHEYE", 9, 5, true},
    {"THIN_PRISM_FISHEYE", 10, 12, false},
    {"RAD_TAN_THIN_PRISM_FISHEYE", 11, 16, false},
};

// Radial-tangential distortion of OPENCV and FULL_OPENCV; FULL_OPENCV's rational term when
// k3..k6 are given.
void opencvDistortion(const double *k, bool full, double u, double v, double *du, double *dv)
{
    const double u2 = u * u, v2 = v * v, uv = u * v, r2 = u2 + v2;
    const double k1 = k[0], k2 = k[1], p1 = k[2], p2 = k[3];
    double radial = 0.0;
    if (full) {
        const double r4 = r2 * r2, r6 = r4 * r2;
        radial = (1.0 + k1 * r2 + k2 * r4 + k[4] * r6) / (1.0 + k[5] * r2 + k[6] * r4 + k[7] * r6) - 1.0;
    } else {
        radial = k1 * r2 + k2 * r2 * r2;
    }
    *du = u * radial + 2.0 * p1 * uv + p2 * (r2 + 2.0 * u2);
    *dv = v * radial + 2.0 * p2 * uv + p1 * (r2 + 2.0 * v2);
}

// Equidistant fisheye: theta = atan(r) distorted by the polynomial k in theta^2.
void fisheyeDistortion(const double *k, int terms, double u, double v, double *du, double *dv)
{
    const double r = std::sqrt(u * u + v * v);
    if (r <= std::numeric_limits<double>::epsilon()) { // on the axis, as COLMAP treats it
        *du = *dv = 0.0;
        return;
    }
    const double theta = std::atan(r), theta2 = theta * theta;
    double power = theta2, factor = 1.0;
    for (int i = 0; i < terms; ++i) {
        factor += k[i] * power;
        power *= theta2;
    }
    const double thetad = theta * factor;
    *du = u * thetad / r - u;
    *dv = v * thetad / r - v;
}

} // namespace

const SColmapCamera::Model *SColmapCamera::modelByName(std::string_view name)
{
    for (const Model &m : kModels)
        if (name == m.name)
            return &m;
    return nullptr;
}

const SColmapCamera::Model *SColmapCamera::modelById(qint64 id)
{
    for (const Model &m : kModels)
        if (id == m.id)
            return &m;
    return nullptr;
}

QString SColmapCamera::supportedNames()
{
    QStringList names;
    for (const Model &m : kModels)
        if (m.supported)
            names << QLatin1String(m.name);
    return names.join(QStringLiteral(", "));
}

void SColmapCamera::project(const double Xc[3], double *x, double *y) const
{
    const double u = Xc[0] / Xc[2], v = Xc[1] / Xc[2];
    const double *p = params.data();
    double fx = p[0], fy = p[0], cx = p[1], cy = p[2];
    const double *k = p + 3;                        // distortion of the models with one focal length
    if (model->parameters >= 8 || model->id == 1) { // fx, fy, cx, cy first
        fy = p[1];
        cx = p[2];
        cy = p[3];
        k = p + 4;
    }
    double du = 0.0, dv = 0.0;
    switch (model->id) {
    case 2:   // SIMPLE_RADIAL
    case 3: { // RADIAL
        const double r2 = u * u + v * v;
        const double radial = k[0] * r2 + (model->id == 3 ? k[1] * r2 * r2 : 0.0);
        du = u * radial;
        dv = v * radial;
        break;
    }
    case 4: opencvDistortion(k, false, u, v, &du, &dv); break;
    case 6: opencvDistortion(k, true, u, v, &du, &dv); break;
    case 5: fisheyeDistortion(k, 4, u, v, &du, &dv); break;
    case 8: fisheyeDistortion(k, 1, u, v, &du, &dv); break;
    case 9: fisheyeDistortion(k, 2, u, v, &du, &dv); break;
    default: break; // the pinhole models
    }
    *x = fx * (u + du) + cx;
    *y = fy * (v + dv) + cy;
}
