// SPDX-License-Identifier: GPL-3.0-or-later
#include "imageviewer/SImageView.h"

#include "framework/Mu.h"
#include "imageviewer/SImageIcons.h"
#include "misc/SImageData.h"

#include <QContextMenuEvent>
#include <QCursor>
#include <QFontMetrics>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>
#include <QScrollBar>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int kTextGap = 2;        // pixels between a point's extent and its texts
constexpr int kLinkCountRaise = 4; // the link count stands this far above the point
constexpr int kScrollStep = 20;

// Outlines and ellipses cover exactly width x height pixels, as the canvas layout
// counts them; Qt's own rectangles would reach one pixel further.
QRect pixelBox(int x, int y, int w, int h) { return QRect(x, y, std::max(w - 1, 0), std::max(h - 1, 0)); }

} // namespace

SImageView::SImageView(QWidget *parent) : QAbstractScrollArea(parent), mContextMenu(new QMenu(this))
{
    Mu::debug("SImageView");
    mPointOn.fill(SSettings::kDefaultPointOn);
    mPointSymbol.fill(SY_Circle);
    mPointColor.fill(QColor(Qt::black));
    mPointSize.fill(SSettings::kDefaultPointSize);

    // Only newly exposed parts are painted; the canvas paints every pixel itself.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAttribute(Qt::WA_StaticContents);
    viewport()->setMouseTracking(false);
    horizontalScrollBar()->setSingleStep(kScrollStep);
    verticalScrollBar()->setSingleStep(kScrollStep);

    mDottedPen = QPen(Qt::black, 0, Qt::DotLine);
    mEmptyBrush = QBrush(Qt::NoBrush);
    mBrush = QBrush(Qt::black, Qt::SolidPattern);
    mPen = QPen(Qt::black, 0);
    mTriangle = QPolygon(3);
    mText.reserve(int(mTextChars.size()));
}

SImageView::~SImageView() { Mu::debug("~SImageView"); }

bool SImageView::setImage(SImage *image)
{
    mImage = image;
    updateCanvasGeometry();
    updateContents();
    return true;
}

bool SImageView::hasResidualsOn(ViewModeE mode) const
{
    return (mode == VM_Graphical || mode == VM_Textual) && mResidualsOn[mode];
}

QPoint SImageView::contentsPos() const { return QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value()); }

void SImageView::setContentsPos(const QPoint &pos)
{
    horizontalScrollBar()->setValue(pos.x());
    verticalScrollBar()->setValue(pos.y());
}

void SImageView::setBackgroundColor(const QColor &color) { mBackgroundColor = color; }
void SImageView::setTextFont(const QFont &font) { mTextFont = font; }
void SImageView::setPointIdsOn(bool on) { mPointIdsOn = on; }
void SImageView::setBlundersOn(bool on) { mBlundersOn = on; }
void SImageView::setLinkCountOn(bool on) { mLinkCountOn = on; }
void SImageView::setBlunderColor(const QColor &color) { mBlunderColor = color; }
void SImageView::setResidualScale(float scale) { mResidualScale = scale; }
void SImageView::setLargestResidualColor(const QColor &color) { mLargestResidualColor = color; }

void SImageView::setResidualsOn(ViewModeE mode, bool on)
{
    if (mode == VM_Graphical || mode == VM_Textual)
        mResidualsOn[mode] = on;
}

// Sizes are limited to what can be painted: a hand-edited configuration must not
// make a paint crawl.
void SImageView::setBlunderSize(int size) { mBlunderSize = std::clamp(size, 0, SSettings::kMaxPaintedSize); }
void SImageView::setLargestResidualSize(int size)
{
    mLargestResidualSize = std::clamp(size, 0, SSettings::kMaxPaintedSize);
}

void SImageView::setPointOn(int index, bool on)
{
    if (index >= 0 && index < kPointCodeCount)
        mPointOn[index] = on;
}

void SImageView::setPointSymbol(int index, int symbol)
{
    if (index >= 0 && index < kPointCodeCount)
        mPointSymbol[index] = symbol;
}

void SImageView::setPointColor(int index, const QColor &color)
{
    if (index >= 0 && index < kPointCodeCount)
        mPointColor[index] = color;
}

void SImageView::setPointSize(int index, int size)
{
    if (index >= 0 && index < kPointCodeCount)
        mPointSize[index] = std::clamp(size, 0, SSettings::kMaxPaintedSize);
}

void SImageView::applySettings(const SSettings::ImageViewerSettings &s)
{
    setBackgroundColor(s.bgColor);
    setTextFont(s.textFont);
    setLargestResidualColor(s.largestResidualColor);
    setLargestResidualSize(s.largestResidualSize);
    setPointIdsOn(s.pointIdsOn);
    setBlundersOn(s.blundersOn);
    setResidualScale(float(s.scale));
    for (int i = 0; i < kPointCodeCount; ++i) {
        setPointOn(i, s.points[i].on);
        setPointSymbol(i, s.points[i].symbol);
        setPointColor(i, s.points[i].color);
        setPointSize(i, s.points[i].size);
    }
    setBlunderColor(s.blunderColor);
    setBlunderSize(s.blunderSize);
}

SImageMapping SImageView::mapping() const
{
    if (!mImage)
        return SImageMapping(0.0f, 0.0f, 0.0f, 0.0f, mZoom);
    return SImageMapping(mImage->xmin(), mImage->ymin(), mImage->xmax(), mImage->ymax(), mZoom);
}

void SImageView::updateCanvasGeometry()
{
    if (!mImage)
        return;
    const SImageMapping map = mapping();
    mZoomFactor = map.zoomFactor();
    if (map.canvasSize() != mCanvasSize) {
        mCanvasSize = map.canvasSize();
        updateScrollBars();
    }
}

void SImageView::updateScrollBars()
{
    const QSize area = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, mCanvasSize.width() - area.width()));
    horizontalScrollBar()->setPageStep(area.width());
    verticalScrollBar()->setRange(0, std::max(0, mCanvasSize.height() - area.height()));
    verticalScrollBar()->setPageStep(area.height());
}

void SImageView::updateContents() { viewport()->update(); }

QPoint SImageView::canvasPos(const QPoint &viewportPos) const { return viewportPos + contentsPos(); }

void SImageView::updateCanvasRect(const QRect &canvasRect)
{
    viewport()->update(canvasRect.translated(-contentsPos()));
}

// ---------------------------------------------------------------------------------------
// Painting

void SImageView::paintEvent(QPaintEvent *event)
{
    QPainter painter(viewport());
    const QRect exposed = event->rect();
    const QPoint origin = contentsPos();
    QRect canvasInViewport(-origin, mCanvasSize);
    if (!mImage)
        canvasInViewport = QRect();

    // Around the canvas the view shows the window colour.
    const QRegion outside = QRegion(exposed).subtracted(QRegion(canvasInViewport));
    for (const QRect &r : outside)
        painter.fillRect(r, palette().color(QPalette::Window));
    if (canvasInViewport.isEmpty())
        return;

    const QRect clip = (exposed & canvasInViewport).translated(origin);
    painter.translate(-origin);
    paintCanvas(painter, clip);
}

void SImageView::setText(const char *format, double value)
{
    copyText(std::snprintf(mTextChars.data(), mTextChars.size(), format, value));
}

void SImageView::setText(int value) { copyText(std::snprintf(mTextChars.data(), mTextChars.size(), "%d", value)); }

// Fills the reused text buffer without allocating: its capacity was reserved once.
void SImageView::copyText(int length)
{
    length = std::clamp(length, 0, int(mTextChars.size()) - 1);
    mText.resize(length);
    QChar *out = mText.data();
    for (int i = 0; i < length; ++i)
        out[i] = QLatin1Char(mTextChars[size_t(i)]);
}

void SImageView::drawTextAt(QPainter &painter, const QRect &clip, int x, int baseline, bool clipTest)
{
    if (clipTest) {
        // Cheap tests first: most texts of a large image lie outside the exposed rectangle,
        // and measuring a text costs more than drawing a symbol.
        const int top = baseline - mTextAscent;
        if (top > clip.bottom() || top + mTextHeight <= clip.top() || x > clip.right())
            return;
        if (x + painter.fontMetrics().horizontalAdvance(mText) <= clip.left())
            return;
    }
    painter.drawText(x, baseline, mText);
}

void SImageView::drawResidualTexts(QPainter &painter, const QRect &clip, int x, int baseline, float vx, float vy,
                                   bool clipTest)
{
    const int lineStep = mTextHeight - 1;
    setText("X: %.3f", vx);
    drawTextAt(painter, clip, x, baseline, clipTest);
    setText("Y: %.3f", vy);
    drawTextAt(painter, clip, x, baseline + lineStep, clipTest);
}

void SImageView::paintCanvas(QPainter &painter, const QRect &clip)
{
    if (!mImage)
        return;

    painter.fillRect(clip, mBackgroundColor);
    if (mResidualScale == 0.0f)
        mResidualScale = 1.0f;

    const SImageMapping map = mapping();
    const float zoomFactor = map.zoomFactor();

    painter.setBrush(mEmptyBrush);
    mPen.setColor(Qt::lightGray);
    painter.setPen(mPen);
    painter.drawRect(pixelBox(0, 0, mCanvasSize.width(), mCanvasSize.height()));
    mPen.setColor(Qt::black);
    painter.setPen(mPen);
    const QRect frame = map.frameRect();
    painter.drawRect(pixelBox(frame.x(), frame.y(), frame.width(), frame.height()));

    painter.setFont(mTextFont);
    const QFontMetrics fm = painter.fontMetrics();
    const int descent = fm.descent();
    mTextAscent = fm.ascent();
    mTextHeight = fm.height();
    const int firstResidualLine = descent + fm.height() - 1;
    const bool vectorsOn = mResidualsOn[VM_Graphical];
    const bool valuesOn = mResidualsOn[VM_Textual];

    for (const SImagePointEntry &entry : mImage->points()) {
        const SImagePoint &point = entry.point;
        const int i = pointCodeIndex(point.code());
        if (i < 0 || i >= kPointCodeCount || !mPointOn[i])
            continue;
        const int symbol = mPointSymbol[i];
        int s = mPointSize[i];
        // Triangles and crosses need an odd size to have a centre pixel.
        if (symbol != SY_Circle && s % 2 == 0)
            s -= 1;
        const bool blunder = !point.isActive();
        if (blunder && !mBlundersOn)
            continue;
        const int extent = blunder ? s + 2 * mBlunderSize : s;
        const QPoint p = map.toCanvas(point.x(), point.y());
        const int px = p.x();
        const int py = p.y();
        const int h = extent / 2;
        const QColor &color = mPointColor[i];

        mBox.setRect(px - h, py - h, extent, extent);
        if (mBox.intersects(clip)) {
            if (blunder) {
                const int d = s + 2 * mBlunderSize;
                mPen.setColor(mBlunderColor);
                mBrush.setColor(mBlunderColor);
                painter.setPen(mPen);
                painter.setBrush(mBrush);
                painter.drawEllipse(pixelBox(px - d / 2, py - d / 2, d, d));
            }
            const int a = s / 2;
            mPen.setColor(color);
            painter.setPen(mPen);
            switch (symbol) {
            case SY_Circle:
                mBrush.setColor(color);
                painter.setBrush(mBrush);
                painter.drawEllipse(pixelBox(px - a, py - a, s, s));
                break;
            case SY_Triangle:
                mBrush.setColor(color);
                painter.setBrush(mBrush);
                mTriangle.setPoint(0, px, py - a);
                mTriangle.setPoint(1, px - a, py + a);
                mTriangle.setPoint(2, px + a, py + a);
                painter.drawPolygon(mTriangle);
                break;
            case SY_Cross:
                painter.drawLine(px - a, py, px + a, py);
                painter.drawLine(px, py - a, px, py + a);
                break;
            default: break;
            }
            painter.setBrush(mEmptyBrush);
        } else {
            mPen.setColor(color);
            painter.setPen(mPen);
        }

        if (vectorsOn) {
            mPen.setColor(blunder ? mBlunderColor : color);
            painter.setPen(mPen);
            const int ex = SImageMapping::rnd(float(px) + point.vx() * mResidualScale * zoomFactor);
            const int ey = SImageMapping::rnd(float(py) - point.vy() * mResidualScale * zoomFactor);
            painter.drawLine(px, py, ex, ey);
        }
        const int textX = px + h + kTextGap;
        if (valuesOn)
            drawResidualTexts(painter, clip, textX, py + firstResidualLine, point.vx(), point.vy(), true);
        if (mPointIdsOn || mLinkCountOn) {
            mPen.setColor(color);
            painter.setPen(mPen);
        }
        if (mPointIdsOn) {
            setText(entry.id);
            drawTextAt(painter, clip, textX, py + descent + 1, true);
        }
        if (mLinkCountOn) {
            setText(SImage::numberOfLinks(entry.id));
            drawTextAt(painter, clip, textX, py - descent - kLinkCountRaise, true);
        }
    }

    // The largest residual is marked whatever the point's visibility, so that it can
    // always be found.
    const int largestId = mImage->largestResidualId();
    const SImagePoint *largest = largestId != -1 ? mImage->imagePoint(largestId) : nullptr;
    if (largest) {
        const int i = pointCodeIndex(largest->code());
        if (i >= 0 && i < kPointCodeCount) {
            const int d = mPointSize[i] + 2 * mLargestResidualSize;
            const QPoint p = map.toCanvas(largest->x(), largest->y());
            mPen.setColor(mLargestResidualColor);
            painter.setPen(mPen);
            painter.setBrush(mEmptyBrush);
            painter.drawEllipse(pixelBox(p.x() - d / 2, p.y() - d / 2, d, d));
            if (vectorsOn && !valuesOn) {
                mPen.setColor(mPointColor[i]);
                painter.setPen(mPen);
                drawResidualTexts(painter, clip, p.x() + d / 2 + kTextGap, p.y() + firstResidualLine, largest->vx(),
                                  largest->vy(), false);
            }
        }
    }

    if (mRubberBand.isValid()) {
        painter.setPen(mDottedPen);
        painter.setBrush(mEmptyBrush);
        painter.drawRect(pixelBox(mRubberBand.x(), mRubberBand.y(), mRubberBand.width(), mRubberBand.height()));
    }
}

// ---------------------------------------------------------------------------------------
// Zoom and mode

void SImageView::slotZoomPlus() { slotZoom(mZoom + kZoomStep); }

void SImageView::slotZoomMinus() { slotZoom(mZoom - kZoomStep); }

void SImageView::slotZoom(int percent)
{
    if (!mImage)
        return;
    const int clamped = std::clamp(percent, kZoomMin, kZoomMax);
    if (clamped == mZoom)
        return;
    mZoom = clamped;
    updateCanvasGeometry();
    updateContents();
    emit sigZoomChanged(mZoom);
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
    updateScrollBars();
    if (mMode == MD_Scroll)
        chooseScrollCursor(viewport()->size());
}

void SImageView::scrollContentsBy(int dx, int dy) { viewport()->scroll(dx, dy); }

// ---------------------------------------------------------------------------------------
// Toggles

void SImageView::slotToggleResiduals(ViewModeE mode)
{
    if (mode != VM_Graphical && mode != VM_Textual)
        return;
    mResidualsOn[mode] = !mResidualsOn[mode];
    if (mImage)
        updateContents();
}

void SImageView::slotTogglePointIds()
{
    mPointIdsOn = !mPointIdsOn;
    if (mImage)
        updateContents();
}

void SImageView::slotToggleBlunders()
{
    mBlundersOn = !mBlundersOn;
    if (mImage)
        updateContents();
}

void SImageView::slotToggleShowLinkCount()
{
    mLinkCountOn = !mLinkCountOn;
    if (mImage)
        updateContents();
}

// ---------------------------------------------------------------------------------------
// Mouse

void SImageView::mousePressEvent(QMouseEvent *event)
{
    if (!mImage)
        return;
    const bool left = event->button() == Qt::LeftButton;
    if (mMode == MD_Scroll) {
        mScrollDrag = left;
        if (left)
            mPressPoint = event->globalPosition().toPoint();
        return;
    }
    if (mZoom >= kZoomMax)
        return;
    mZoomDrag = left;
    if (left)
        mPressPoint = canvasPos(event->position().toPoint());
}

void SImageView::mouseMoveEvent(QMouseEvent *event)
{
    if (!mImage)
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
    mRubberBand = QRect(mPressPoint, current).normalized();
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
    if (!mImage)
        return;
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
    if (mRubberBand.width() < kRubberBandMin && mRubberBand.height() < kRubberBandMin) {
        Mu::note(qPrintable(Mu::tr("The zoom-rect you specified is to small (min %d pixel)!")), kRubberBandMin);
        Mu::note("%s", qPrintable(Mu::tr("Ignoring zoom.")));
        mRubberBand = QRect();
        mLastPoint = QPoint();
        updateContents();
        return;
    }
    mLastPoint = QPoint(0, 0);
    const QRect band = mRubberBand;
    mRubberBand = QRect();

    // The smaller ratio keeps the whole band visible after the zoom.
    float f = std::min(float(width()) / float(band.width()), float(height()) / float(band.height()));
    if (SImageMapping::rnd(double(float(mZoom) * f)) > kZoomMax)
        f = float(kZoomMax) / float(mZoom);
    slotZoom(SImageMapping::rnd(double(float(mZoom) * f)));
    updateContents();
    const float margin = float(SImageMapping::kMargin);
    setContentsPos(QPoint(SImageMapping::rnd(double((float(band.left()) - margin) * f + margin)),
                          SImageMapping::rnd(double((float(band.top()) - margin) * f + margin))));
}

// ---------------------------------------------------------------------------------------
// Context menu

QMenu *SImageView::buildContextMenu()
{
    // The residual submenu is a child of the menu; clear() would leave it behind.
    for (QMenu *old : mContextMenu->findChildren<QMenu *>(Qt::FindDirectChildrenOnly))
        old->deleteLater();
    mContextMenu->clear();
    if (!mImage)
        return mContextMenu;

    const auto addEntry = [](QMenu *menu, const QString &text, int id) {
        QAction *action = menu->addAction(text);
        action->setData(id);
        return action;
    };
    if (mZoom != 100) {
        addEntry(mContextMenu, Mu::tr("Zoom 100%"), MI_Zoom100)->setIcon(SImageIcons::icon(SImageIcons::IC_Zoom100));
        mContextMenu->addSeparator();
    }
    addEntry(mContextMenu, mPointIdsOn ? Mu::tr("Hide Point-IDs") : Mu::tr("Show Point-IDs"), MI_PointIds);
    addEntry(mContextMenu, mLinkCountOn ? Mu::tr("Hide Number of Links") : Mu::tr("Show Number of Links"),
             MI_LinkCount);
    QMenu *residuals = new QMenu(Mu::tr("&Residuals"), mContextMenu);
    mContextMenu->addMenu(residuals);
    addEntry(residuals, mResidualsOn[VM_Graphical] ? Mu::tr("Hide Graphical") : Mu::tr("Show Graphical"),
             MI_ResidualsGraphical);
    Mu::debug("%s => %s", "hasResidualsOn( VM_Textual )", hasResidualsOn(VM_Textual) ? "true" : "false");
    addEntry(residuals, mResidualsOn[VM_Textual] ? Mu::tr("Hide Textual") : Mu::tr("Show Textual"),
             MI_ResidualsTextual);
    addEntry(mContextMenu, mBlundersOn ? Mu::tr("Hide Blunders") : Mu::tr("Show Blunders"), MI_Blunders);
    return mContextMenu;
}

void SImageView::contextMenuEvent(QContextMenuEvent *)
{
    buildContextMenu();
    if (!mImage)
        return;
    // exec() also returns entries chosen in the submenu. The menu opens at the mouse
    // cursor, also when the menu key asked for it.
    if (QAction *chosen = mContextMenu->exec(QCursor::pos()))
        _slotHandleContextMenu(chosen->data().toInt());
}

void SImageView::_slotHandleContextMenu(int id)
{
    switch (id) {
    case MI_Zoom100: slotZoom(100); break;
    case MI_PointIds: slotTogglePointIds(); break;
    case MI_ResidualsGraphical: slotToggleResiduals(VM_Graphical); break;
    case MI_ResidualsTextual: slotToggleResiduals(VM_Textual); break;
    case MI_Blunders: slotToggleBlunders(); break;
    case MI_LinkCount: slotToggleShowLinkCount(); break;
    default: Mu::warn(qPrintable(Mu::tr("Invalid case: %d!")), id); break;
    }
}
