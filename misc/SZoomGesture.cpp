// SPDX-License-Identifier: GPL-3.0-or-later
#include "misc/SZoomGesture.h"

#include "misc/SCanvasGeometry.h"

QPointF SZoomGesture::spotAt(const QPoint &canvasPos, int zoomPercent)
{
    return QPointF(SCanvasGeometry::anchorOf(canvasPos.x(), zoomPercent),
                   SCanvasGeometry::anchorOf(canvasPos.y(), zoomPercent));
}

void SZoomGesture::hold(const QPointF &spot, const QPoint &viewportPos)
{
    mSpot = spot;
    mViewportPos = viewportPos;
}

std::optional<QPoint> SZoomGesture::scrollFor(int zoomPercent) const
{
    if (!mSpot)
        return std::nullopt;
    return QPoint(SCanvasGeometry::scrollForAnchor(mSpot->x(), zoomPercent, mViewportPos.x()),
                  SCanvasGeometry::scrollForAnchor(mSpot->y(), zoomPercent, mViewportPos.y()));
}

int SZoomGesture::wheelNotches(int angleDelta)
{
    constexpr int kNotch = 120; // eighths of a degree per wheel notch
    mWheelAngle += angleDelta;
    const int notches = mWheelAngle / kNotch;
    mWheelAngle -= notches * kNotch;
    return notches;
}
