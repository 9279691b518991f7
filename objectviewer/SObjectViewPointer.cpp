// SPDX-License-Identifier: GPL-3.0-or-later
// The object view under the pointer: tool tips, the wheel, dragging, and the zoom and
// selection bands.
#include "objectviewer/SObjectView.h"

#include "framework/Mu.h"
#include "misc/SObjectPoint.h"

#include <QMouseEvent>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>

namespace {

using SCanvasGeometry::kMinBandPixels;

// Fills a translated printf-style format with one number.
QString fill(const QString &format, int value) { return QString::asprintf(format.toUtf8().constData(), value); }

} // namespace

QString SObjectView::pointToolTip(int index) const
{
    const SObjectPointList *list = mCanvas.objectPoints();
    if (!list || index < 0 || index >= list->count())
        return QString();
    const SObjectPoint &point = *list->at(index);
    const auto number = [](float value) { return QString::number(double(value), 'f', 3); };
    const char *axes[] = {"X", "Y", "Z"};
    const QString title = point.isProjectionCentre() ? Mu::tr("Image %1: %2") : Mu::tr("Point %1: %2");
    QString text = title.arg(point.id()).arg(Mu::tr(pointCodeName(pointCodeIndex(point.code()), false)));
    if (!point.isActive())
        text += Mu::tr(" (blunder)");
    text += QLatin1Char('\n') +
            Mu::tr("X: %1   Y: %2   Z: %3").arg(number(point.X()), number(point.Y()), number(point.Z()));
    const SObjectCoord &observation = point.observation();
    QStringList residuals;
    for (int axis = 0; axis < 3; ++axis) {
        if (point.hasObservation(axis))
            residuals << QStringLiteral("%1: %2%3")
                             .arg(QLatin1String(axes[axis]), number(observation.deviation(axis)),
                                  point.isRejected(axis) ? Mu::tr(" (rejected)") : QString());
    }
    if (!residuals.isEmpty())
        text += QLatin1Char('\n') + Mu::tr("Residuals  %1").arg(residuals.join(QStringLiteral("   ")));
    if (mCanvas.sigmasAvailable())
        text += QLatin1Char('\n') + Mu::tr("Sigmas  X: %1   Y: %2   Z: %3")
                                        .arg(number(point.sigmaX()), number(point.sigmaY()), number(point.sigmaZ()));
    return text;
}

bool SObjectView::viewportEvent(QEvent *event)
{
    if (event->type() == QEvent::Leave)
        emit sigCursorLeft();
    if (event->type() != QEvent::ToolTip || !isReady())
        return QAbstractScrollArea::viewportEvent(event);
    const auto *help = static_cast<QHelpEvent *>(event);
    const int index = mCanvas.pointAt(canvasPosition(help->pos()));
    if (index >= 0)
        QToolTip::showText(help->globalPos(), pointToolTip(index), viewport());
    else
        QToolTip::hideText();
    return true;
}

void SObjectView::wheelEvent(QWheelEvent *event)
{
    if (!(event->modifiers() & Qt::ControlModifier) || !isReady()) {
        QAbstractScrollArea::wheelEvent(event);
        return;
    }
    if (const int notches = mZoomGesture.wheelNotches(event->angleDelta().y()))
        zoomAbout(zoomPercent() + notches * SCanvasGeometry::wheelZoomStep(zoomPercent()), event->position().toPoint());
    event->accept();
}

// ---- mouse --------------------------------------------------------------------------------

void SObjectView::mousePressEvent(QMouseEvent *event)
{
    if (!isReady())
        return;
    const bool left = event->button() == Qt::LeftButton;
    switch (mMode) {
    case MD_Scroll:
        mDragging = left;
        if (mDragging)
            mPressPoint = event->globalPosition().toPoint();
        break;
    case MD_Zoom:
        if (zoomPercent() >= kZoomMax)
            return;
        mZooming = left;
        if (mZooming)
            mPressPoint = canvasPosition(event->position());
        break;
    case MD_Selection: {
        mSelecting = left;
        const Qt::MouseButtons otherButtons = event->buttons() & ~event->button();
        mAdding = event->modifiers() == Qt::ControlModifier && otherButtons == Qt::NoButton;
        if (mSelecting)
            mPressPoint = canvasPosition(event->position());
        break;
    }
    default: break;
    }
}

void SObjectView::mouseMoveEvent(QMouseEvent *event)
{
    if (!isReady())
        return;
    emit sigCursorMoved(mCanvas.mapping().toPlane(canvasPosition(event->position())));
    if (mMode == MD_Scroll) {
        if (!mDragging)
            return;
        const QPoint global = event->globalPosition().toPoint();
        scrollTo(scrollPosition() + (mPressPoint - global));
        mPressPoint = global;
        return;
    }
    if (!((mMode == MD_Zoom && mZooming) || (mMode == MD_Selection && mSelecting)))
        return;
    const QPoint current = canvasPosition(event->position());
    mCanvas.setRubberBand(QRect(mPressPoint, current).normalized());
    if (mLastPoint.isNull())
        mLastPoint = current;
    // Repaint only the strips that hold the band's old and new edges.
    const QPoint s = mPressPoint;
    const QPoint big(std::max(current.x(), mLastPoint.x()), std::max(current.y(), mLastPoint.y()));
    const QPoint small(std::min(current.x(), mLastPoint.x()), std::min(current.y(), mLastPoint.y()));
    updateCanvasRect(QRect(s.x(), s.y(), big.x() + 1 - s.x(), 1).normalized());
    updateCanvasRect(QRect(small.x(), s.y(), big.x() + 1 - small.x(), big.y() + 1 - s.y()).normalized());
    updateCanvasRect(QRect(s.x(), small.y(), big.x() + 1 - s.x(), big.y() + 1 - small.y()).normalized());
    updateCanvasRect(QRect(s.x(), s.y(), 1, big.y() + 1 - s.y()).normalized());
    mLastPoint = current;
}

void SObjectView::mouseReleaseEvent(QMouseEvent *event)
{
    if (!isReady())
        return;
    if (mMode == MD_Scroll) {
        mDragging = false;
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    if (mMode == MD_Zoom)
        finishZoomBand();
    else if (mMode == MD_Selection)
        finishSelectionBand();
}

bool SObjectView::takeBand(QRect *band, const char *tooSmallNote)
{
    *band = mCanvas.rubberBand();
    mCanvas.setRubberBand(QRect());
    if (band->width() < kMinBandPixels && band->height() < kMinBandPixels) {
        Mu::note("%s", qPrintable(fill(Mu::tr(tooSmallNote), kMinBandPixels)));
        repaintCanvas();
        return false;
    }
    mLastPoint = QPoint(0, 0);
    return true;
}

void SObjectView::finishZoomBand()
{
    mZooming = false;
    QRect r;
    if (!takeBand(&r, "The zoom-rect you specified is to small (min %d pixel)!")) {
        Mu::note("%s", qPrintable(Mu::tr("Ignoring zoom.")));
        return;
    }
    float f = 1.0f;
    const int oldPercent = zoomPercent();
    slotZoom(SCanvasGeometry::zoomForBand(oldPercent, width(), height(), r.width(), r.height(), &f));
    if (zoomPercent() == oldPercent)
        repaintCanvas(); // the band must go even when the zoom stays
    scrollTo(QPoint(SCanvasGeometry::bandCornerScroll(r.left(), f), SCanvasGeometry::bandCornerScroll(r.top(), f)));
}

void SObjectView::finishSelectionBand()
{
    mSelecting = false;
    QRect r;
    if (!takeBand(&r, "The selection-rect you specified is to small (min %d pixel)!"))
        return;
    mCanvas.selectPointsInRect(r, mAdding);
    repaintCanvas();
    emit sigSelectionChanged();
}
