// SPDX-License-Identifier: GPL-3.0-or-later
// The rules that the image and the object canvases share: rounding of canvas
// coordinates, the canvas layout (base size and margin), the zoom limits and steps, the
// fixed zooms of the viewers' menus and the smallest rubber band.
#pragma once

#include <QSize>

#include <array>
#include <climits>
#include <functional>

namespace SCanvasGeometry {

inline constexpr int kMargin = 40;    // free pixels around the drawing on every side
inline constexpr int kBaseSize = 500; // pixels of the data's longer side at 100 %
inline constexpr int kPercent = 100;

inline constexpr int kZoomMin = 10;
inline constexpr int kZoomMax = 100000000;
inline constexpr int kZoomStep = 10; // percent per zoom in or out
inline constexpr int kZoomDefault = 100;
inline constexpr std::array<int, 6> kFixedZooms{400, 200, 100, 75, 50, 25};

// A zoom or selection band smaller than this in both directions is refused.
inline constexpr int kMinBandPixels = 20;

// Nearest integer, halves upward (2.5 gives 3, -2.5 gives -2). Values beyond the int
// range saturate at INT_MIN or INT_MAX; NaN gives INT_MIN, which isDrawable() refuses.
// Inline and without a call of floor(): a canvas maps every point through it.
inline int rnd(double value)
{
    const double shifted = value + 0.5;
    if (!(shifted >= double(INT_MIN) + 1.0)) // NaN lands here too
        return INT_MIN;
    if (shifted >= double(INT_MAX))
        return INT_MAX;
    const int truncated = int(shifted); // toward zero: one too high for negative fractions
    return double(truncated) > shifted ? truncated - 1 : truncated;
}

// Whether a canvas coordinate leaves room for the arithmetic of painting (offsets of
// symbols, texts and vectors) without overflowing; saturated and NaN results do not.
inline constexpr int kDrawableLimit = 1 << 30;
constexpr bool isDrawable(int v) { return v > -kDrawableLimit && v < kDrawableLimit; }

// The zoom percent limited to kZoomMin..kZoomMax.
int clampZoom(int percent);
// Pixels of the data's longer side at zoomPercent: rnd(zoomPercent / 100 * 500).
int baseSize(int zoomPercent);

// The zoom that shows a rubber band of bandWidth x bandHeight canvas pixels in a window
// of shownWidth x shownHeight: the smaller ratio keeps the whole band visible, and the
// result never exceeds kZoomMax. The ratio used is returned in *factor, for the scroll
// position of the band's corner (bandCornerScroll).
int zoomForBand(int zoomPercent, int shownWidth, int shownHeight, int bandWidth, int bandHeight, float *factor);
// The scroll position that brings the band corner `bandEdge` (one coordinate) to the
// top left of the window after a band zoom by factor.
int bandCornerScroll(int bandEdge, float factor);

// The largest zoom (kZoomMin..kZoomMax) at which the canvas, canvasAt(zoom), fits into
// shown; kZoomMin when none does. The canvas grows with the zoom.
int fitZoom(const QSize &shown, const std::function<QSize(int)> &canvasAt);

// The zoom change of one wheel notch: the zoom step, or a fifth of the zoom where that is
// more, so that the wheel goes as fast at 5000 % as at 100 %.
int wheelZoomStep(int zoomPercent);

// A canvas position held in place while the zoom changes, in units of the drawing's longer
// side (baseSize) from the margin, so that it means the same spot of the data at any zoom.
double anchorOf(int canvasPos, int zoomPercent);
// The scroll position that brings the anchor back to viewportPos at zoomPercent.
int scrollForAnchor(double anchor, int zoomPercent, int viewportPos);

} // namespace SCanvasGeometry
