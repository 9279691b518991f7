// SPDX-License-Identifier: GPL-3.0-or-later
#include "misc/SCanvasGeometry.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace SCanvasGeometry {

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

int fitZoom(const QSize &shown, const std::function<QSize(int)> &canvasAt)
{
    const auto fits = [&](int zoom) {
        const QSize canvas = canvasAt(zoom);
        return canvas.width() <= shown.width() && canvas.height() <= shown.height();
    };
    if (!fits(kZoomMin))
        return kZoomMin;
    int low = kZoomMin; // fits
    int high = kZoomMax;
    if (fits(high))
        return high;
    while (high - low > 1) { // high does not fit
        const int mid = low + (high - low) / 2;
        (fits(mid) ? low : high) = mid;
    }
    return low;
}

int wheelZoomStep(int zoomPercent)
{
    constexpr int kWheelStepDivisor = 5;
    return std::max(kZoomStep, zoomPercent / kWheelStepDivisor);
}

double anchorOf(int canvasPos, int zoomPercent) { return double(canvasPos - kMargin) / baseSize(zoomPercent); }

int scrollForAnchor(double anchor, int zoomPercent, int viewportPos)
{
    return rnd(anchor * baseSize(zoomPercent) + kMargin - viewportPos);
}

int bandCornerScroll(int bandEdge, float factor) { return rnd(float(bandEdge - kMargin) * factor + float(kMargin)); }

} // namespace SCanvasGeometry
