// SPDX-License-Identifier: GPL-3.0-or-later
#include "imageviewer/SImageView.h"

#include "framework/Mu.h"
#include "imageviewer/SImageIcons.h"
#include "misc/SImageData.h"

#include <QContextMenuEvent>
#include <QCursor>
#include <QMenu>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>
#include <QScrollBar>

#include <algorithm>

namespace {
constexpr int kScrollStep = 20;
} // namespace

SImageView::SImageView(QWidget *parent) : QAbstractScrollArea(parent), mContextMenu(new QMenu(this))
{
    Mu::debug("SImageView");
    // Only newly exposed parts are painted; the canvas paints every pixel itself.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAttribute(Qt::WA_StaticContents);
    viewport()->setMouseTracking(false);
    horizontalScrollBar()->setSingleStep(kScrollStep);
    verticalScrollBar()->setSingleStep(kScrollStep);
}

SImageView::~SImageView() { Mu::debug("~SImageView"); }

bool SImageView::setImage(SImage *image)
{
    mCanvas.setImage(image);
    mCanvas.setMarkedPointId(-1);
    updateScrollBars();
    updateContents();
    return true;
}

QPoint SImageView::contentsPos() const { return QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value()); }

void SImageView::setContentsPos(const QPoint &pos)
{
    horizontalScrollBar()->setValue(pos.x());
    verticalScrollBar()->setValue(pos.y());
}

void SImageView::updateScrollBars()
{
    // Without an image the scroll bars keep the last canvas.
    if (hasImage())
        mCanvasSize = mCanvas.canvasSize();
    const QSize area = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, mCanvasSize.width() - area.width()));
    horizontalScrollBar()->setPageStep(area.width());
    verticalScrollBar()->setRange(0, std::max(0, mCanvasSize.height() - area.height()));
    verticalScrollBar()->setPageStep(area.height());
}

void SImageView::updateContents() { viewport()->update(); }

void SImageView::toggle(bool (SImageCanvas::*isOn)() const, void (SImageCanvas::*setOn)(bool))
{
    (mCanvas.*setOn)(!(mCanvas.*isOn)());
    if (hasImage())
        updateContents();
}

QPoint SImageView::canvasPos(const QPoint &viewportPos) const { return viewportPos + contentsPos(); }

void SImageView::updateCanvasRect(const QRect &canvasRect)
{
    viewport()->update(canvasRect.translated(-contentsPos()));
}

void SImageView::paintEvent(QPaintEvent *event)
{
    QPainter painter(viewport());
    const QRect exposed = event->rect();
    const QPoint origin = contentsPos();
    const QRect canvasInViewport = hasImage() ? QRect(-origin, mCanvasSize) : QRect();

    // Around the canvas the view shows the window colour.
    const QRegion outside = QRegion(exposed).subtracted(QRegion(canvasInViewport));
    for (const QRect &r : outside)
        painter.fillRect(r, palette().color(QPalette::Window));
    if (canvasInViewport.isEmpty())
        return;

    const QRect clip = (exposed & canvasInViewport).translated(origin);
    painter.translate(-origin);
    mCanvas.paintCanvas(painter, clip);
    if (mCanvas.hasLegend())
        mCanvas.paintLegend(painter, QRect(origin, viewport()->size()) & QRect(QPoint(0, 0), mCanvasSize));
}

// ---- zoom, mode and toggles ---------------------------------------------------------------

void SImageView::slotZoomPlus() { slotZoom(zoom() + SCanvasGeometry::kZoomStep); }

void SImageView::slotZoomMinus() { slotZoom(zoom() - SCanvasGeometry::kZoomStep); }

void SImageView::slotZoom(int percent)
{
    zoomAbout(percent, QPoint(viewport()->width() / 2, viewport()->height() / 2));
}

void SImageView::zoomAbout(int percent, const QPoint &viewportPos)
{
    if (!hasImage())
        return;
    const QPointF spot = SZoomGesture::spotAt(contentsPos() + viewportPos, zoom());
    if (!mCanvas.setZoom(percent))
        return;
    mZoomGesture.hold(spot, viewportPos);
    applyZoomAnchor();
    updateContents();
    emit sigZoomChanged(zoom());
}

void SImageView::applyZoomAnchor()
{
    const auto applying = mZoomGesture.applying();
    updateScrollBars();
    if (const auto scroll = mZoomGesture.scrollFor(zoom()))
        setContentsPos(*scroll);
}

int SImageView::fitZoom() const
{
    if (!hasImage())
        return zoom();
    return SCanvasGeometry::fitZoom(maximumViewportSize(),
                                    [this](int percent) { return mCanvas.canvasSizeAt(percent); });
}

void SImageView::slotZoomToFit()
{
    if (!hasImage())
        return;
    slotZoom(fitZoom());
    mZoomGesture.release();
    setContentsPos(QPoint(0, 0));
}

void SImageView::slotSetMode(int iMode)
{
    Mu::debug("%s => %s", "iMode", qPrintable(QString::number(iMode)));
    if (iMode == MD_Scroll) {
        mMode = MD_Scroll;
        chooseScrollCursor(size());
    } else {
        mMode = MD_Zoom;
        viewport()->setCursor(Qt::CrossCursor);
    }
}

void SImageView::chooseScrollCursor(const QSize &area)
{
    const bool canvasLarger = area.width() < mCanvasSize.width() || area.height() < mCanvasSize.height();
    viewport()->setCursor(canvasLarger ? Qt::SizeAllCursor : Qt::ArrowCursor);
}

void SImageView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    applyZoomAnchor();
    if (mMode == MD_Scroll)
        chooseScrollCursor(viewport()->size());
    if (mCanvas.hasLegend())
        viewport()->update(); // the legends keep to the corners of the visible area
}

void SImageView::scrollContentsBy(int dx, int dy)
{
    mZoomGesture.scrolled(); // unless the zoom itself scrolls, the user moved on from its spot
    // Legends stay in place over the moving drawing: then the whole area is painted anew.
    if (mCanvas.hasLegend())
        viewport()->update();
    else
        viewport()->scroll(dx, dy);
}

void SImageView::slotToggleResiduals(ViewModeE mode)
{
    mCanvas.setResidualsOn(mode, !mCanvas.residualsOn(mode));
    if (hasImage())
        updateContents();
}

void SImageView::slotTogglePointIds() { toggle(&SImageCanvas::pointIdsOn, &SImageCanvas::setPointIdsOn); }

void SImageView::slotToggleBlunders() { toggle(&SImageCanvas::blundersOn, &SImageCanvas::setBlundersOn); }

void SImageView::slotToggleShowLinkCount() { toggle(&SImageCanvas::linkCountOn, &SImageCanvas::setLinkCountOn); }

// ---- context menu -------------------------------------------------------------------------

QMenu *SImageView::buildContextMenu()
{
    // The residual submenu is a child of the menu; clear() would leave it behind.
    for (QMenu *old : mContextMenu->findChildren<QMenu *>(Qt::FindDirectChildrenOnly))
        old->deleteLater();
    mContextMenu->clear();
    if (!hasImage())
        return mContextMenu;

    const auto addEntry = [](QMenu *menu, const QString &text, int id) {
        QAction *action = menu->addAction(text);
        action->setData(id);
        return action;
    };
    const auto toggle = [](bool on, const char *hide, const char *show) { return Mu::tr(on ? hide : show); };
    if (zoom() != SCanvasGeometry::kZoomDefault) {
        addEntry(mContextMenu, Mu::tr("Zoom 100%"), MI_Zoom100)->setIcon(SImageIcons::icon(SImageIcons::IC_Zoom100));
        mContextMenu->addSeparator();
    }
    addEntry(mContextMenu, toggle(mCanvas.pointIdsOn(), "Hide Point-IDs", "Show Point-IDs"), MI_PointIds);
    addEntry(mContextMenu, toggle(mCanvas.linkCountOn(), "Hide Number of Links", "Show Number of Links"), MI_LinkCount);
    QMenu *residuals = new QMenu(Mu::tr("&Residuals"), mContextMenu);
    mContextMenu->addMenu(residuals);
    addEntry(residuals, toggle(mCanvas.residualsOn(VM_Graphical), "Hide Graphical", "Show Graphical"),
             MI_ResidualsGraphical);
    Mu::debug("%s => %s", "hasResidualsOn( VM_Textual )", mCanvas.residualsOn(VM_Textual) ? "true" : "false");
    addEntry(residuals, toggle(mCanvas.residualsOn(VM_Textual), "Hide Textual", "Show Textual"), MI_ResidualsTextual);
    addEntry(mContextMenu, toggle(mCanvas.blundersOn(), "Hide Blunders", "Show Blunders"), MI_Blunders);
    return mContextMenu;
}

void SImageView::contextMenuEvent(QContextMenuEvent *)
{
    buildContextMenu();
    if (!hasImage())
        return;
    // exec() also returns entries chosen in the submenu. The menu opens at the mouse
    // cursor, also when the menu key asked for it.
    if (QAction *chosen = mContextMenu->exec(QCursor::pos()))
        _slotHandleContextMenu(chosen->data().toInt());
}

void SImageView::_slotHandleContextMenu(int id)
{
    switch (id) {
    case MI_Zoom100: slotZoom(SCanvasGeometry::kZoomDefault); break;
    case MI_PointIds: slotTogglePointIds(); break;
    case MI_ResidualsGraphical: slotToggleResiduals(VM_Graphical); break;
    case MI_ResidualsTextual: slotToggleResiduals(VM_Textual); break;
    case MI_Blunders: slotToggleBlunders(); break;
    case MI_LinkCount: slotToggleShowLinkCount(); break;
    default: Mu::warn(qPrintable(Mu::tr("Invalid case: %d!")), id); break;
    }
}
