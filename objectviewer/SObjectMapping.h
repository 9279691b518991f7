// SPDX-License-Identifier: GPL-3.0-or-later
// The mapping of one projection plane from object coordinates to the canvas pixels of an
// object view, with the canvas size. Painting, selection, export and tests all use it.
#pragma once

#include <QPoint>
#include <QSize>

class SObjectPointList;

class SObjectMapping {
public:
    static constexpr int kMarginPixels = 40; // free border on every side of the drawing
    static constexpr int kBasePixels = 500;  // longer side of the block at 100 %
    static constexpr int kPercent = 100;

    // Nearest integer, halves upward (2.5 -> 3, -2.5 -> -2); saturates at the int range.
    static int rnd(double x);
    // Whether a mapped coordinate leaves room for the arithmetic of painting (offsets of
    // symbols, texts and vectors) without overflowing; saturated values do not.
    static bool isDrawable(int v) { return v > -kDrawableLimit && v < kDrawableLimit; }
    static constexpr int kDrawableLimit = 1 << 30;

    // Canvas and zoom factor for a bounding box (hmin..hmax, vmin..vmax). Without data the
    // drawing area is square and the zoom factor stays previousZoomFactor.
    static SObjectMapping compute(bool hasData, float hmin, float hmax, float vmin, float vmax, int zoomPercent,
                                  float previousZoomFactor);
    // The same for the bounding box of a list in a plane; a null or empty list has no data.
    static SObjectMapping forList(const SObjectPointList *list, int plane, int zoomPercent, float previousZoomFactor);

    QSize canvasSize() const { return mCanvas; }
    float zoomFactor() const { return mZoomFactor; }

    // Canvas pixel of the plane coordinates (h, v); larger v is higher on screen.
    QPoint map(float h, float v) const
    {
        return QPoint(rnd((h - mHmin) * mZoomFactor + float(kMarginPixels)),
                      rnd((mHeight - (v - mVmin)) * mZoomFactor + float(kMarginPixels)));
    }

private:
    float mHmin = 0.0f;
    float mVmin = 0.0f;
    float mHeight = 0.0f; // vertical extent of the data
    float mZoomFactor = 1.0f;
    QSize mCanvas;
};
