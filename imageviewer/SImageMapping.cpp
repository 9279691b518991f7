// SPDX-License-Identifier: GPL-3.0-or-later
#include "imageviewer/SImageMapping.h"

#include <algorithm>
#include <cmath>

SImageMapping::SImageMapping(float xmin, float ymin, float xmax, float ymax, int zoomPercent) : mXmin(xmin), mYmin(ymin)
{
    float width = xmax - xmin;
    float height = ymax - ymin;
    const bool usable = std::isfinite(width) && std::isfinite(height) && std::max(width, height) > 0.0f;
    if (!usable) {
        width = 1.0f;
        height = 1.0f;
        if (!std::isfinite(mXmin) || !std::isfinite(mYmin)) {
            mXmin = 0.0f;
            mYmin = 0.0f;
        }
    }
    // Negative spans (a hand-built extent) count as empty.
    width = std::max(width, 0.0f);
    height = std::max(height, 0.0f);
    mHeight = height;

    const int base = SCanvasGeometry::baseSize(zoomPercent);
    int areaWidth = base;
    int areaHeight = base;
    if (height < width)
        areaHeight = SCanvasGeometry::rnd(double(height) / double(width) * base);
    else if (height > width)
        areaWidth = SCanvasGeometry::rnd(double(width) / double(height) * base);

    mZoomFactor = float(base) / std::max(width, height);
    mCanvasSize = QSize(areaWidth + 2 * SCanvasGeometry::kMargin, areaHeight + 2 * SCanvasGeometry::kMargin);
}

QRect SImageMapping::frameRect() const
{
    return QRect(SCanvasGeometry::kMargin, SCanvasGeometry::kMargin, mCanvasSize.width() - 2 * SCanvasGeometry::kMargin,
                 mCanvasSize.height() - 2 * SCanvasGeometry::kMargin);
}

QPoint SImageMapping::toCanvas(float x, float y) const
{
    // Single precision on purpose: the canvas positions follow the model's floats.
    const float px = (x - mXmin) * mZoomFactor + float(SCanvasGeometry::kMargin);
    const float py = (mHeight - (y - mYmin)) * mZoomFactor + float(SCanvasGeometry::kMargin);
    return QPoint(SCanvasGeometry::rnd(px), SCanvasGeometry::rnd(py));
}
