// SPDX-License-Identifier: GPL-3.0-or-later
#include "misc/SCanvasGeometry.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace SCanvasGeometry {

int rnd(double value)
{
    const double r = std::floor(value + 0.5);
    if (!(r > double(INT_MIN))) // NaN lands here too
        return INT_MIN;
    if (r >= double(INT_MAX))
        return INT_MAX;
    return int(r);
}

int clampZoom(int percent) { return std::clamp(percent, kZoomMin, kZoomMax); }

int baseSize(int zoomPercent) { return rnd(double(zoomPercent) / kPercent * kBaseSize); }

int zoomForBand(int zoomPercent, int shownWidth, int shownHeight, int bandWidth, int bandHeight, float *factor)
{
    float f = std::min(float(shownWidth) / float(bandWidth), float(shownHeight) / float(bandHeight));
    if (rnd(double(zoomPercent) * f) > kZoomMax)
        f = float(kZoomMax) / float(zoomPercent);
    *factor = f;
    return rnd(double(zoomPercent) * f);
}

int bandCornerScroll(int bandEdge, float factor) { return rnd(float(bandEdge - kMargin) * factor + float(kMargin)); }

} // namespace SCanvasGeometry
