// SPDX-License-Identifier: GPL-3.0-or-later
// Canvas geometry of the graphical image view: the size of the canvas for an image
// extent and a zoom, and where an image coordinate lands on it. Painting, the rubber
// band, the picture export and the tests all use this one mapping.
#pragma once

#include "misc/SCanvasGeometry.h"

#include <QPoint>
#include <QRect>
#include <QSize>

class SImageMapping {
public:
    // An unusable extent (empty in both directions, unset or not finite) is mapped as
    // if it were one unit square, so that a lone point still lands inside the frame.
    SImageMapping(float xmin, float ymin, float xmax, float ymax, int zoomPercent);

    float zoomFactor() const { return mZoomFactor; }
    QSize canvasSize() const { return mCanvasSize; }
    // The image frame: the canvas without its margins.
    QRect frameRect() const;
    // Image x runs to the right, image y upwards; SCanvasGeometry::rnd() rounds.
    QPoint toCanvas(float x, float y) const;

private:
    float mXmin;
    float mYmin;
    float mHeight;
    float mZoomFactor = 1.0f;
    QSize mCanvasSize;
};
