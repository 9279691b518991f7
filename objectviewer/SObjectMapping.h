// SPDX-License-Identifier: GPL-3.0-or-later
// The mapping of one projection plane from object coordinates to the canvas pixels of an
// object view, with the canvas size. Painting, selection, export and tests all use it.
#pragma once

#include "misc/SCanvasGeometry.h"

#include <QPoint>
#include <QPointF>
#include <QSize>

class SObjectPointList;

class SObjectMapping {
public:
    // Canvas and zoom factor for a bounding box (hmin..hmax, vmin..vmax). Without data the
    // drawing area is square and the zoom factor stays previousZoomFactor. A vertical
    // exaggeration stretches v before the layout, so that the exaggerated block keeps the
    // canvas rules (its longer side is 500 pixels at 100 %).
    static SObjectMapping compute(bool hasData, float hmin, float hmax, float vmin, float vmax, int zoomPercent,
                                  float previousZoomFactor, float verticalExaggeration = 1.0f);
    // The same for the bounding box of a list in a plane; a null or empty list has no data.
    static SObjectMapping forList(const SObjectPointList *list, int plane, int zoomPercent, float previousZoomFactor,
                                  float verticalExaggeration = 1.0f);

    QSize canvasSize() const { return mCanvas; }
    // Canvas pixels per unit of h.
    float zoomFactor() const { return mZoomFactor; }
    float verticalExaggeration() const { return mExaggeration; }
    // Canvas pixels per unit of v: the zoom factor times the exaggeration.
    float verticalZoomFactor() const { return mZoomFactor * mExaggeration; }

    // Canvas pixel of the plane coordinates (h, v); larger v is higher on screen. Not
    // finite or far-out coordinates give positions that SCanvasGeometry::isDrawable() refuses.
    QPoint map(float h, float v) const { return QPoint(column(h), row(v)); }
    // The two halves of map(), for a caller that can rule a point out by one of them.
    int column(float h) const
    {
        using SCanvasGeometry::kMargin;
        return SCanvasGeometry::rnd((h - mHmin) * mZoomFactor + float(kMargin));
    }
    int row(float v) const
    {
        using SCanvasGeometry::kMargin;
        return SCanvasGeometry::rnd((mHeight - (v * mExaggeration - mVmin)) * mZoomFactor + float(kMargin));
    }

    // The plane coordinates (h, v) at a canvas position: the inverse of map().
    QPointF toPlane(const QPoint &canvas) const
    {
        using SCanvasGeometry::kMargin;
        return QPointF(mHmin + (canvas.x() - kMargin) / double(mZoomFactor),
                       (mVmin + mHeight - (canvas.y() - kMargin) / double(mZoomFactor)) / double(mExaggeration));
    }

private:
    float mHmin = 0.0f;
    float mVmin = 0.0f;
    float mHeight = 0.0f; // vertical extent of the data, exaggerated
    float mExaggeration = 1.0f;
    float mZoomFactor = 1.0f;
    QSize mCanvas;
};
