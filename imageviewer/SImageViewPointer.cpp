// SPDX-License-Identifier: GPL-3.0-or-later
// The image view under the pointer: the wheel, dragging, the zoom band, tool tips and the
// point marked from the table.
#include "imageviewer/SImageView.h"

#include "framework/Mu.h"
#include "misc/SImageData.h"

#include <QMouseEvent>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>

void SImageView::wheelEvent(QWheelEvent *event)
{
    if (!(event->modifiers() & Qt::ControlModifier) || !hasImage()) {
        QAbstractScrollArea::wheelEvent(event);
        return;
    }
    if (const int notches = mZoomGesture.wheelNotches(event->angleDelta().y()))
        zoomAbout(zoom() + notches * SCanvasGeometry::wheelZoomStep(zoom()), event->position().toPoint());
    event->accept();
}

// ---- mouse --------------------------------------------------------------------------------

void SImageView::mousePressEvent(QMouseEvent *event)
{
    if (!hasImage())
        return;
    mClickPos = event->position().toPoint();
    const bool left = event->button() == Qt::LeftButton;
    if (mMode == MD_Scroll) {
        mScrollDrag = left;
        if (left)
            mPressPoint = event->globalPosition().toPoint();
        return;
    }
    if (zoom() >= kZoomMax)
        return;
    mZoomDrag = left;
    if (left)
        mPressPoint = canvasPos(event->position().toPoint());
}

void SImageView::mouseMoveEvent(QMouseEvent *event)
{
    if (!hasImage())
        return;
    if (mMode == MD_Scroll) {
        if (!mScrollDrag)
            return;
        const QPoint current = event->globalPosition().toPoint();
        setContentsPos(contentsPos() + (mPressPoint - current));
        mPressPoint = current;
        return;
    }
    if (!mZoomDrag)
        return;

    const QPoint current = canvasPos(event->position().toPoint());
    mCanvas.setRubberBand(QRect(mPressPoint, current).normalized());
    if (mLastPoint.isNull())
        mLastPoint = current;

    // Repaint only the strips where the old and the new band's edges run: both edges
    // from the press point, and the bands swept by the far edges between the last and
    // the current position.
    const QPoint &press = mPressPoint;
    const int loX = std::min({press.x(), current.x(), mLastPoint.x()});
    const int hiX = std::max({press.x(), current.x(), mLastPoint.x()});
    const int loY = std::min({press.y(), current.y(), mLastPoint.y()});
    const int hiY = std::max({press.y(), current.y(), mLastPoint.y()});
    const int sweptLoX = std::min(current.x(), mLastPoint.x());
    const int sweptHiX = std::max(current.x(), mLastPoint.x());
    const int sweptLoY = std::min(current.y(), mLastPoint.y());
    const int sweptHiY = std::max(current.y(), mLastPoint.y());
    updateCanvasRect(QRect(QPoint(loX, press.y()), QPoint(hiX, press.y())));
    updateCanvasRect(QRect(QPoint(press.x(), loY), QPoint(press.x(), hiY)));
    updateCanvasRect(QRect(QPoint(sweptLoX, loY), QPoint(sweptHiX, hiY)));
    updateCanvasRect(QRect(QPoint(loX, sweptLoY), QPoint(hiX, sweptHiY)));
    mLastPoint = current;
}

void SImageView::mouseReleaseEvent(QMouseEvent *event)
{
    if (!hasImage())
        return;
    constexpr int kClickSlack = 2; // pixels a click may move
    if (event->button() == Qt::LeftButton &&
        (event->position().toPoint() - mClickPos).manhattanLength() <= kClickSlack) {
        const int id = mCanvas.pointAt(canvasPos(mClickPos));
        if (id >= 0) {
            setMarkedPoint(id);
            emit sigPointClicked(id);
        }
    }
    if (mMode == MD_Scroll) {
        mScrollDrag = false;
        return;
    }
    if (event->button() == Qt::LeftButton)
        finishRubberBand();
}

void SImageView::finishRubberBand()
{
    mZoomDrag = false;
    const QRect band = mCanvas.rubberBand();
    mCanvas.setRubberBand(QRect());
    if (band.width() < kRubberBandMin && band.height() < kRubberBandMin) {
        Mu::note(qPrintable(Mu::tr("The zoom-rect you specified is to small (min %d pixel)!")), kRubberBandMin);
        Mu::note("%s", qPrintable(Mu::tr("Ignoring zoom.")));
        mLastPoint = QPoint();
        updateContents();
        return;
    }
    mLastPoint = QPoint(0, 0);
    float f = 1.0f;
    slotZoom(SCanvasGeometry::zoomForBand(zoom(), width(), height(), band.width(), band.height(), &f));
    updateContents();
    setContentsPos(
        QPoint(SCanvasGeometry::bandCornerScroll(band.left(), f), SCanvasGeometry::bandCornerScroll(band.top(), f)));
}

// ---- identify and mark ----------------------------------------------------------------

void SImageView::setMarkedPoint(int id)
{
    mCanvas.setMarkedPointId(id);
    updateContents();
    const SImagePoint *point = hasImage() && id >= 0 ? image()->imagePoint(id) : nullptr;
    if (!point)
        return;
    const QPoint at = mCanvas.mapping().toCanvas(point->x(), point->y());
    const QRect shown(contentsPos(), viewport()->size());
    if (!shown.contains(at))
        setContentsPos(at - QPoint(viewport()->width() / 2, viewport()->height() / 2));
}

QString SImageView::pointToolTip(const SImage &image, int id)
{
    const SImagePoint *point = image.imagePoint(id);
    if (!point)
        return QString();
    const auto number = [](float value) { return QString::number(double(value), 'f', 3); };
    const int index = pointCodeIndex(point->code());
    return Mu::tr("Point %1: %2").arg(id).arg(Mu::tr(pointCodeName(index, false))) + QLatin1Char('\n') +
           Mu::tr("x: %1   y: %2").arg(number(point->x()), number(point->y())) + QLatin1Char('\n') +
           Mu::tr("vx: %1   vy: %2").arg(number(point->vx()), number(point->vy())) + QLatin1Char('\n') +
           Mu::tr("Weight: %1").arg(number(point->weight())) + QLatin1Char('\n') +
           (point->isActive() ? Mu::tr("Status: active") : Mu::tr("Status: blunder (eliminated)"));
}

bool SImageView::viewportEvent(QEvent *event)
{
    if (event->type() != QEvent::ToolTip || !hasImage())
        return QAbstractScrollArea::viewportEvent(event);
    const auto *help = static_cast<QHelpEvent *>(event);
    const int id = mCanvas.pointAt(canvasPos(help->pos()));
    if (id >= 0)
        QToolTip::showText(help->globalPos(), pointToolTip(*image(), id), viewport());
    else
        QToolTip::hideText();
    return true;
}
