// SPDX-License-Identifier: GPL-3.0-or-later
#include "objectviewer/SObjectView.h"

#include "framework/Mu.h"
#include "misc/SObjectPoint.h"
#include "prefs/SSettings.h"

#include <QMenu>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kScrollStep = 20;
} // namespace

SObjectView::SObjectView(int plane, QWidget *parent)
    : QAbstractScrollArea(parent), mCanvas(plane), mRenderer(new SObjectRenderer(this)), mContextMenu(new QMenu(this))
{
    connect(mRenderer, &SObjectRenderer::sigRendered, this, &SObjectView::_slotRendered);
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
    mRenderer->stop(); // its copy reads the old list
    mBuffer = QImage();
    canvas().setObjectPoints(list, sigmasAvailable);
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

void SObjectView::repaintCanvas()
{
    ++mGeneration;
    viewport()->update();
}

void SObjectView::applyExtras(const SSettings::ObjectViewExtras &extras)
{
    const QSize before = mCanvas.canvasSize();
    const QSize shown = viewport()->size();
    const QPoint centre = scrollPosition() + QPoint(shown.width() / 2, shown.height() / 2);
    const int exaggeration = mCanvas.verticalExaggeration();
    mCanvas.applyExtras(extras);
    if (mCanvas.verticalExaggeration() != exaggeration) {
        mZoomGesture.release(); // it named a spot of the old drawing
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
    mZoomGesture.scrolled(); // unless the zoom itself scrolls, the user moved on from its spot
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
    if (!exposed.isEmpty()) {
        if (paintsAsync())
            paintFromBuffer(painter, exposed);
        else
            mCanvas.paintCanvas(painter, exposed);
    }
    if (mCanvas.hasLegend())
        mCanvas.paintLegend(painter, QRect(offset, viewport()->size()) & QRect(QPoint(0, 0), mCanvas.canvasSize()));
}

// ---- painting on a worker thread -----------------------------------------------------------

bool SObjectView::paintsAsync() const { return isReady() && mCanvas.objectPoints()->count() >= mAsyncPointCount; }

SObjectRenderer::Frame SObjectView::currentFrame() const
{
    SObjectRenderer::Frame frame;
    frame.area = QRect(scrollPosition(), viewport()->size()) & QRect(QPoint(0, 0), mCanvas.canvasSize());
    frame.devicePixelRatio = viewport()->devicePixelRatioF();
    frame.zoomPercent = zoomPercent();
    // Selections through the shared list reach this view only as a new list generation.
    const unsigned selection = isReady() ? mCanvas.objectPoints()->selectionGeneration() : 0;
    frame.generation = (quint64(selection) << 32) ^ mGeneration;
    return frame;
}

bool SObjectView::showsFinishedPicture() const { return !mBuffer.isNull() && mBufferFrame == currentFrame(); }

void SObjectView::paintFromBuffer(QPainter &painter, const QRect &exposed)
{
    const SObjectRenderer::Frame frame = currentFrame();
    const auto blit = [&](const QRect &area) {
        const qreal ratio = mBufferFrame.devicePixelRatio;
        const QRectF source(QPointF(area.topLeft() - mBufferFrame.area.topLeft()) * ratio, QSizeF(area.size()) * ratio);
        painter.drawImage(area, mBuffer, source);
    };
    if (mBufferFrame == frame && !mBuffer.isNull()) {
        blit(exposed);
    } else {
        if (!(mRenderer->isRendering() && mRenderer->requested() == frame))
            mRenderer->render(mCanvas, frame);
        // Meanwhile the last picture where it still fits (its marks and labels perhaps out of
        // date; after a zoom scaled about the margin, where every zoom's drawing starts), and
        // the symbols alone elsewhere, unless their positions are still being worked out (the
        // worker does that after a zoom): then the background there.
        QRegion rest(exposed);
        if (!mBuffer.isNull() && mBufferFrame.devicePixelRatio == frame.devicePixelRatio) {
            if (mBufferFrame.zoomPercent == frame.zoomPercent) {
                const QRect covered = exposed & mBufferFrame.area;
                if (!covered.isEmpty())
                    blit(covered);
                rest -= covered;
            } else {
                rest -= paintScaledBuffer(painter, exposed, frame.zoomPercent);
            }
        }
        for (const QRect &area : rest) {
            if (mCanvas.isPlaced())
                mCanvas.paintPointsOnly(painter, area);
            else
                painter.fillRect(area, mCanvas.backgroundColor());
        }
    }
    mCanvas.paintRubberBand(painter, exposed);
}

QRect SObjectView::paintScaledBuffer(QPainter &painter, const QRect &exposed, int zoomPercent)
{
    const double scale =
        double(SCanvasGeometry::baseSize(zoomPercent)) / double(SCanvasGeometry::baseSize(mBufferFrame.zoomPercent));
    const auto scaled = [scale](int at) { return SCanvasGeometry::kMargin + (at - SCanvasGeometry::kMargin) * scale; };
    const QRect &from = mBufferFrame.area;
    const QRectF target(QPointF(scaled(from.left()), scaled(from.top())),
                        QPointF(scaled(from.right() + 1), scaled(from.bottom() + 1)));
    painter.save();
    painter.setClipRect(exposed);
    painter.drawImage(target, mBuffer);
    painter.restore();
    // The pixels the picture covers whole.
    return QRect(QPoint(int(std::ceil(target.left())), int(std::ceil(target.top()))),
                 QPoint(int(std::floor(target.right())) - 1, int(std::floor(target.bottom())) - 1)) &
           exposed;
}

void SObjectView::_slotRendered(const QImage &image, const SObjectRenderer::Frame &frame)
{
    mBuffer = image;
    mBufferFrame = frame;
    viewport()->update();
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
    const QPointF spot = SZoomGesture::spotAt(scrollPosition() + viewportPos, before);
    if (!mCanvas.setZoom(percent))
        return;
    Mu::debug("slotZoom: %d => %d", before, zoomPercent());
    mZoomGesture.hold(spot, viewportPos);
    applyZoomAnchor();
    if (mMode == MD_Scroll)
        updateScrollCursor(size());
    repaintCanvas();
    emit sigZoomChanged(zoomPercent());
}

void SObjectView::applyZoomAnchor()
{
    const auto applying = mZoomGesture.applying();
    updateScrollBars();
    if (const auto scroll = mZoomGesture.scrollFor(zoomPercent()))
        scrollTo(*scroll);
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
    mZoomGesture.release();
    scrollTo(QPoint(0, 0));
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
