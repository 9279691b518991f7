// SPDX-License-Identifier: GPL-3.0-or-later
#include "objectviewer/SObjectView.h"

#include "framework/Mu.h"
#include "misc/SObjectPoint.h"
#include "prefs/SSettings.h"

#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>

namespace {

constexpr int kScrollStep = 20;
using SCanvasGeometry::kMinBandPixels;

// Fills a translated printf-style format with one number.
QString fill(const QString &format, int value) { return QString::asprintf(format.toUtf8().constData(), value); }

} // namespace

SObjectView::SObjectView(int plane, QWidget *parent)
    : QAbstractScrollArea(parent), mCanvas(plane), mContextMenu(new QMenu(this))
{
    Mu::debug("SObjectView");
    viewport()->setAttribute(Qt::WA_StaticContents);
    viewport()->setMouseTracking(true); // the status bar follows the cursor's coordinates
    setFocusPolicy(Qt::StrongFocus);
    slotSetMode(MD_Zoom);
    updateScrollBars();
}

SObjectView::~SObjectView() { Mu::debug("~SObjectView"); }

bool SObjectView::setObjectPoints(SObjectPointList *list, bool sigmasAvailable)
{
    mCanvas.setObjectPoints(list, sigmasAvailable);
    updateScrollBars();
    if (mMode == MD_Scroll)
        updateScrollCursor(size());
    return true;
}

// ---- scrolling ----------------------------------------------------------------------------

void SObjectView::updateScrollBars()
{
    const QSize canvas = mCanvas.canvasSize();
    const QSize port = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, canvas.width() - port.width()));
    verticalScrollBar()->setRange(0, std::max(0, canvas.height() - port.height()));
    horizontalScrollBar()->setPageStep(port.width());
    verticalScrollBar()->setPageStep(port.height());
    horizontalScrollBar()->setSingleStep(kScrollStep);
    verticalScrollBar()->setSingleStep(kScrollStep);
}

void SObjectView::updateScrollCursor(const QSize &shown)
{
    const QSize canvas = mCanvas.canvasSize();
    const bool larger = canvas.width() > shown.width() || canvas.height() > shown.height();
    viewport()->setCursor(larger ? Qt::SizeAllCursor : Qt::ArrowCursor);
}

QPoint SObjectView::scrollPosition() const
{
    return QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
}

void SObjectView::scrollTo(const QPoint &canvasPosition)
{
    horizontalScrollBar()->setValue(canvasPosition.x());
    verticalScrollBar()->setValue(canvasPosition.y());
}

QPoint SObjectView::canvasPosition(const QPointF &viewportPosition) const
{
    return viewportPosition.toPoint() + scrollPosition();
}

void SObjectView::repaintCanvas() { viewport()->update(); }

void SObjectView::applyExtras(const SSettings::ObjectViewExtras &extras)
{
    const QSize before = mCanvas.canvasSize();
    const QSize shown = viewport()->size();
    const QPoint centre = scrollPosition() + QPoint(shown.width() / 2, shown.height() / 2);
    const int exaggeration = mCanvas.verticalExaggeration();
    mCanvas.applyExtras(extras);
    if (mCanvas.verticalExaggeration() != exaggeration) {
        mZoomAnchor.reset(); // it named a spot of the old drawing
        updateScrollBars();
        const QSize after = mCanvas.canvasSize();
        // Both drawing areas span the same block: the centre keeps its share of the area.
        const int margins = 2 * SCanvasGeometry::kMargin;
        const auto moved = [margins](int at, int from, int to) {
            const qint64 drawnFrom = from - margins;
            const qint64 drawnTo = to - margins;
            return drawnFrom > 0 ? SCanvasGeometry::kMargin + int((at - SCanvasGeometry::kMargin) * drawnTo / drawnFrom)
                                 : 0;
        };
        scrollTo(QPoint(moved(centre.x(), before.width(), after.width()) - shown.width() / 2,
                        moved(centre.y(), before.height(), after.height()) - shown.height() / 2));
    }
    repaintCanvas();
}

void SObjectView::toggle(bool (SObjectCanvas::*isOn)() const, void (SObjectCanvas::*setOn)(bool))
{
    (mCanvas.*setOn)(!(mCanvas.*isOn)());
    if (isReady())
        repaintCanvas();
}

void SObjectView::updateCanvasRect(const QRect &canvasRect)
{
    viewport()->update(canvasRect.translated(-scrollPosition()));
}

void SObjectView::scrollContentsBy(int dx, int dy)
{
    if (!mApplyingAnchor)
        mZoomAnchor.reset(); // the user moved on from the zoomed spot
    // Legends stay in place over the moving drawing: then the whole area is painted anew.
    if (mCanvas.hasLegend())
        viewport()->update();
    else
        viewport()->scroll(dx, dy);
}

void SObjectView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    applyZoomAnchor();
    if (mMode == MD_Scroll)
        updateScrollCursor(viewport()->size());
    if (mCanvas.hasLegend())
        viewport()->update(); // the legends keep to the corners of the visible area
}

void SObjectView::paintEvent(QPaintEvent *event)
{
    if (!isReady())
        return;
    QPainter painter(viewport());
    const QPoint offset = scrollPosition();
    painter.translate(-offset);
    const QRect exposed = event->rect().translated(offset) & QRect(QPoint(0, 0), mCanvas.canvasSize());
    if (!exposed.isEmpty())
        mCanvas.paintCanvas(painter, exposed);
    if (mCanvas.hasLegend())
        mCanvas.paintLegend(painter, QRect(offset, viewport()->size()) & QRect(QPoint(0, 0), mCanvas.canvasSize()));
}

// ---- zoom, modes and toggles -----------------------------------------------------------

void SObjectView::slotZoomPlus() { slotZoom(zoomPercent() + SCanvasGeometry::kZoomStep); }
void SObjectView::slotZoomMinus() { slotZoom(zoomPercent() - SCanvasGeometry::kZoomStep); }

void SObjectView::slotZoom(int iPercent)
{
    zoomAbout(iPercent, QPoint(viewport()->width() / 2, viewport()->height() / 2));
}

void SObjectView::zoomAbout(int percent, const QPoint &viewportPos)
{
    const int before = zoomPercent();
    const QPoint at = scrollPosition() + viewportPos;
    const QPointF anchor(SCanvasGeometry::anchorOf(at.x(), before), SCanvasGeometry::anchorOf(at.y(), before));
    if (!mCanvas.setZoom(percent))
        return;
    Mu::debug("slotZoom: %d => %d", before, zoomPercent());
    mZoomAnchor = anchor;
    mAnchorViewportPos = viewportPos;
    applyZoomAnchor();
    if (mMode == MD_Scroll)
        updateScrollCursor(size());
    repaintCanvas();
    emit sigZoomChanged(zoomPercent());
}

void SObjectView::applyZoomAnchor()
{
    const QScopedValueRollback<bool> applying(mApplyingAnchor, true);
    updateScrollBars();
    if (mZoomAnchor)
        scrollTo(QPoint(SCanvasGeometry::scrollForAnchor(mZoomAnchor->x(), zoomPercent(), mAnchorViewportPos.x()),
                        SCanvasGeometry::scrollForAnchor(mZoomAnchor->y(), zoomPercent(), mAnchorViewportPos.y())));
}

int SObjectView::fitZoom() const
{
    if (!isReady())
        return zoomPercent();
    return SCanvasGeometry::fitZoom(maximumViewportSize(),
                                    [this](int percent) { return mCanvas.canvasSizeAt(percent); });
}

void SObjectView::slotZoomToFit()
{
    if (!isReady())
        return;
    slotZoom(fitZoom());
    mZoomAnchor.reset();
    scrollTo(QPoint(0, 0));
}

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
    constexpr int kNotch = 120; // eighths of a degree per wheel notch
    mWheelAngle += event->angleDelta().y();
    const int notches = mWheelAngle / kNotch;
    mWheelAngle -= notches * kNotch;
    if (notches != 0)
        zoomAbout(zoomPercent() + notches * SCanvasGeometry::wheelZoomStep(zoomPercent()), event->position().toPoint());
    event->accept();
}

void SObjectView::slotSetMode(int iMode)
{
    const int mode = (iMode == MD_Scroll || iMode == MD_Selection) ? iMode : MD_Zoom;
    Mu::debug("slotSetMode: %d => %d", mMode, mode);
    mMode = mode;
    if (mMode == MD_Scroll)
        updateScrollCursor(size());
    else
        viewport()->setCursor(Qt::CrossCursor);
}

void SObjectView::slotTogglePointIds() { toggle(&SObjectCanvas::pointIdsOn, &SObjectCanvas::setPointIdsOn); }

void SObjectView::slotToggleImageIds() { toggle(&SObjectCanvas::imageIdsOn, &SObjectCanvas::setImageIdsOn); }

void SObjectView::slotToggleBlunders() { toggle(&SObjectCanvas::blundersOn, &SObjectCanvas::setBlundersOn); }

void SObjectView::slotToggleShowLinkCount() { toggle(&SObjectCanvas::linkCountOn, &SObjectCanvas::setLinkCountOn); }

void SObjectView::slotToggleShowConnections()
{
    toggle(&SObjectCanvas::connectionsOn, &SObjectCanvas::setConnectionsOn);
}

void SObjectView::slotToggleResiduals(ViewModeE mode)
{
    mCanvas.setResidualsOn(mode, !mCanvas.residualsOn(mode));
    if (isReady())
        repaintCanvas();
}

void SObjectView::slotToggleSigmas(ViewModeE mode)
{
    if (!mCanvas.setSigmasOn(mode, !mCanvas.sigmasOn(mode))) {
        Mu::warn("%s", qPrintable(Mu::tr("No inversion: sigmas were not computed!")));
        return;
    }
    if (isReady())
        repaintCanvas();
}

// ---- selection ----------------------------------------------------------------------------

void SObjectView::slotDeselectPoints()
{
    Mu::debug("slotDeselectPoints");
    if (!isReady())
        return;
    mCanvas.deselectAll();
    repaintCanvas();
    emit sigSelectionChanged();
}

void SObjectView::selectImagePoints(SImage *image, bool erase)
{
    if (!image || !isReady())
        return;
    mCanvas.selectImagePoints(image, erase);
    repaintCanvas();
    emit sigSelectionChanged();
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
