// SPDX-License-Identifier: GPL-3.0-or-later
#include "objectviewer/SObjectMapping.h"

#include "misc/SObjectPoint.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace {
// Half of the unit square that stands in for a block without extent.
constexpr float kUnusableExtentHalf = 0.5f;
} // namespace

SObjectMapping SObjectMapping::compute(bool hasData, float hmin, float hmax, float vmin, float vmax, int zoomPercent,
                                       float previousZoomFactor, float verticalExaggeration)
{
    SObjectMapping m;
    m.mZoomFactor = previousZoomFactor;
    m.mExaggeration = verticalExaggeration;
    vmin *= verticalExaggeration; // exactly the same floats at 1
    vmax *= verticalExaggeration;
    const int base = SCanvasGeometry::baseSize(zoomPercent);
    using SCanvasGeometry::rnd;
    int width = base;
    int height = base;
    if (hasData) {
        const float w = hmax - hmin;
        const float h = vmax - vmin;
        if (h < w)
            height = rnd(base * h / w);
        else if (h > w)
            width = rnd(base * w / h);
        const float extent = std::max(w, h);
        m.mHmin = hmin;
        m.mVmin = vmin;
        m.mHeight = h;
        if (extent > 0.0f && std::isfinite(extent)) {
            m.mZoomFactor = 1.0f / (extent / float(base));
        } else {
            // A block without extent (one point, or all on one spot) has no scale of its own:
            // one object unit spans the drawing area, with the spot in its middle.
            width = height = base;
            m.mZoomFactor = float(base);
            m.mHmin = hmin - kUnusableExtentHalf;
            m.mVmin = vmin - kUnusableExtentHalf;
            m.mHeight = 2.0f * kUnusableExtentHalf;
        }
    }
    const long long margins = 2LL * SCanvasGeometry::kMargin;
    m.mCanvas =
        QSize(int(std::min<long long>(width + margins, INT_MAX)), int(std::min<long long>(height + margins, INT_MAX)));
    return m;
}

SObjectMapping SObjectMapping::forList(const SObjectPointList *list, int plane, int zoomPercent,
                                       float previousZoomFactor, float verticalExaggeration)
{
    const bool hasData = list && !list->isEmpty();
    if (!hasData)
        return compute(false, 0, 0, 0, 0, zoomPercent, previousZoomFactor, verticalExaggeration);
    return compute(true, list->horizontalMin(plane), list->horizontalMax(plane), list->verticalMin(plane),
                   list->verticalMax(plane), zoomPercent, previousZoomFactor, verticalExaggeration);
}
