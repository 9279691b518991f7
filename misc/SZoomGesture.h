// SPDX-License-Identifier: GPL-3.0-or-later
// What a scrolled view keeps between the steps of a zoom: the spot of the drawing held under a
// viewport position, and the Ctrl + wheel turns not yet used for a zoom step. The spot is kept
// until the user scrolls, since scroll bars that come or go after a zoom move the view.
#pragma once

#include <QPoint>
#include <QPointF>
#include <QScopedValueRollback>

#include <optional>

class SZoomGesture {
public:
    // The spot of the drawing at canvasPos at zoomPercent (SCanvasGeometry::anchorOf).
    static QPointF spotAt(const QPoint &canvasPos, int zoomPercent);
    // Holds spot under viewportPos from now on.
    void hold(const QPointF &spot, const QPoint &viewportPos);
    void release() { mSpot.reset(); }
    // The scroll position that brings the held spot back under its viewport position.
    std::optional<QPoint> scrollFor(int zoomPercent) const;

    // Scrolls while the returned guard lives are the view's own and keep the spot; any other
    // scroll (scrolled()) releases it.
    [[nodiscard]] QScopedValueRollback<bool> applying() { return QScopedValueRollback<bool>(mApplying, true); }
    void scrolled()
    {
        if (!mApplying)
            mSpot.reset();
    }

    // Whole wheel notches in angleDelta (eighths of a degree) with what earlier turns left.
    int wheelNotches(int angleDelta);

private:
    std::optional<QPointF> mSpot;
    QPoint mViewportPos;
    bool mApplying = false;
    int mWheelAngle = 0;
};
