// SPDX-License-Identifier: GPL-3.0-or-later
#include "imageviewer/SImageCanvas.h"

#include "misc/SImageData.h"
#include "misc/SScaleMarks.h"
#include "statistics/SBlockStatistics.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr int kTextGap = 2;        // pixels between a point's extent and its texts
constexpr int kLinkCountRaise = 4; // the link count stands this far above the point

using SCanvasGeometry::isDrawable;
using SCanvasGeometry::rnd;

// Outlines and ellipses cover exactly width x height pixels, as the canvas layout
// counts them; Qt's own rectangles would reach one pixel further.
QRect pixelBox(int x, int y, int w, int h) { return QRect(x, y, std::max(w - 1, 0), std::max(h - 1, 0)); }

// An ellipse in the box (x, y, d, d) as pixelBox counts it; Qt draws nothing for a box of
// one pixel, which is the pixel itself.
void drawDisc(QPainter &painter, int x, int y, int d)
{
    if (d == 1)
        painter.drawPoint(x, y);
    else
        painter.drawEllipse(pixelBox(x, y, d, d));
}

bool validIndex(int index) { return index >= 0 && index < SGlobal::kPointCodeIndexCount; }

} // namespace

SImageCanvas::SImageCanvas()
{
    mPointOn.fill(SSettings::kDefaultPointOn);
    mPointSymbol.fill(SY_Circle);
    mPointColor.fill(QColor(Qt::black));
    mPointSize.fill(SSettings::kDefaultPointSize);
    mText.reserve(int(mTextChars.size()));
}

void SImageCanvas::setImage(SImage *image) { mImage = image; }

bool SImageCanvas::setZoom(int percent)
{
    const int clamped = SCanvasGeometry::clampZoom(percent);
    if (clamped == mZoom)
        return false;
    mZoom = clamped;
    return true;
}

SImageMapping SImageCanvas::mapping() const
{
    if (!mImage)
        return SImageMapping(0.0f, 0.0f, 0.0f, 0.0f, mZoom);
    return SImageMapping(mImage->xmin(), mImage->ymin(), mImage->xmax(), mImage->ymax(), mZoom);
}

QSize SImageCanvas::canvasSize() const { return canvasSizeAt(mZoom); }

QSize SImageCanvas::canvasSizeAt(int zoomPercent) const
{
    if (!mImage)
        return QSize(0, 0);
    return SImageMapping(mImage->xmin(), mImage->ymin(), mImage->xmax(), mImage->ymax(), zoomPercent).canvasSize();
}

bool SImageCanvas::residualsOn(ViewModeE mode) const
{
    return (mode == VM_Graphical || mode == VM_Textual) && mResidualsOn[mode];
}

void SImageCanvas::setResidualsOn(ViewModeE mode, bool on)
{
    if (mode == VM_Graphical || mode == VM_Textual)
        mResidualsOn[mode] = on;
}

// Sizes are limited to what can be painted: a hand-edited configuration must not
// make a paint crawl.
void SImageCanvas::setBlunderSize(int size) { mBlunderSize = std::clamp(size, 0, SSettings::kMaxPaintedSize); }
void SImageCanvas::setLargestResidualSize(int size)
{
    mLargestResidualSize = std::clamp(size, 0, SSettings::kMaxPaintedSize);
}

void SImageCanvas::setPointOn(int index, bool on)
{
    if (validIndex(index))
        mPointOn[index] = on;
}

void SImageCanvas::setPointSymbol(int index, int symbol)
{
    if (validIndex(index))
        mPointSymbol[index] = symbol;
}

void SImageCanvas::setPointColor(int index, const QColor &color)
{
    if (validIndex(index))
        mPointColor[index] = color;
}

void SImageCanvas::setPointSize(int index, int size)
{
    if (validIndex(index))
        mPointSize[index] = std::clamp(size, 0, SSettings::kMaxPaintedSize);
}

int SImageCanvas::pointAt(const QPoint &canvasPos) const
{
    if (!mImage)
        return -1;
    const SImageMapping map = mapping();
    int found = -1; // later points paint over earlier ones
    for (const SImagePointEntry &entry : mImage->points()) {
        const int i = pointCodeIndex(entry.point.code());
        if (!validIndex(i) || !mPointOn[i] || (!entry.point.isActive() && !mBlundersOn))
            continue;
        const int reach = std::max(kHitReach, mPointSize[i] / 2);
        const QPoint d = map.toCanvas(entry.point.x(), entry.point.y()) - canvasPos;
        if (std::abs(d.x()) <= reach && std::abs(d.y()) <= reach)
            found = entry.id;
    }
    return found;
}

void SImageCanvas::applySettings(const SSettings::ImageViewerSettings &s)
{
    setBackgroundColor(s.bgColor);
    setTextFont(s.textFont);
    setLargestResidualColor(s.largestResidualColor);
    setLargestResidualSize(s.largestResidualSize);
    setPointIdsOn(s.pointIdsOn);
    setBlundersOn(s.blundersOn);
    setResidualScale(float(s.scale));
    for (int i = 0; i < kCodes; ++i) {
        setPointOn(i, s.points[i].on);
        setPointSymbol(i, s.points[i].symbol);
        setPointColor(i, s.points[i].color);
        setPointSize(i, s.points[i].size);
    }
    setBlunderColor(s.blunderColor);
    setBlunderSize(s.blunderSize);
}

// ---- texts --------------------------------------------------------------------------------

void SImageCanvas::setText(const char *format, double value)
{
    copyText(std::snprintf(mTextChars.data(), mTextChars.size(), format, value));
}

void SImageCanvas::setText(int value) { copyText(std::snprintf(mTextChars.data(), mTextChars.size(), "%d", value)); }

// Fills the reused text buffer without allocating: its capacity was reserved once.
void SImageCanvas::copyText(int length)
{
    length = std::clamp(length, 0, int(mTextChars.size()) - 1);
    mText.resize(length);
    QChar *out = mText.data();
    for (int i = 0; i < length; ++i)
        out[i] = QLatin1Char(mTextChars[size_t(i)]);
}

void SImageCanvas::drawTextAt(QPainter &painter, const QRect &clip, int x, int baseline, bool clipTest)
{
    if (clipTest) {
        // Cheap tests first: most texts of a large image lie outside the exposed rectangle,
        // and measuring a text costs more than drawing a symbol.
        const int top = baseline - mTextAscent;
        if (top > clip.bottom() || top + mTextHeight <= clip.top() || x > clip.right())
            return;
        // Only a text that starts left of the clip may end before it: measured only then.
        if (x <= clip.left() && (x + int(mText.size()) * mTextMaxWidth <= clip.left() ||
                                 x + painter.fontMetrics().horizontalAdvance(mText) <= clip.left()))
            return;
    }
    mLabels.draw(painter, x, baseline, mText);
}

void SImageCanvas::drawResidualTexts(QPainter &painter, const QRect &clip, int x, int baseline, float vx, float vy,
                                     bool clipTest)
{
    const int lineStep = mTextHeight - 1;
    setText("X: %.3f", vx);
    drawTextAt(painter, clip, x, baseline, clipTest);
    setText("Y: %.3f", vy);
    drawTextAt(painter, clip, x, baseline + lineStep, clipTest);
}

// ---- painting -----------------------------------------------------------------------------

void SImageCanvas::paintCanvas(QPainter &painter, const QRect &clip)
{
    if (!mImage)
        return;

    painter.fillRect(clip, mBackgroundColor);
    if (mResidualScale == 0.0f)
        mResidualScale = 1.0f;

    const SImageMapping map = mapping();
    const QSize canvas = map.canvasSize();
    painter.setBrush(mEmptyBrush);
    mPen.setColor(Qt::lightGray);
    painter.setPen(mPen);
    painter.drawRect(pixelBox(0, 0, canvas.width(), canvas.height()));
    mPen.setColor(Qt::black);
    painter.setPen(mPen);
    const QRect frame = map.frameRect();
    painter.drawRect(pixelBox(frame.x(), frame.y(), frame.width(), frame.height()));

    painter.setFont(mTextFont);
    const QFontMetrics fm = painter.fontMetrics();
    mDescent = fm.descent();
    mTextAscent = fm.ascent();
    mTextHeight = fm.height();
    mFirstResidualLine = mDescent + fm.height() - 1;
    mTextMaxWidth = fm.maxWidth();
    if (mPointIdsOn || mLinkCountOn || mResidualsOn[VM_Graphical] || mResidualsOn[VM_Textual])
        mLabels.begin(painter);

    for (const SImagePointEntry &entry : mImage->points()) {
        const int i = pointCodeIndex(entry.point.code());
        if (validIndex(i) && mPointOn[i])
            paintPoint(painter, clip, map, entry, i);
    }
    paintLargestResidual(painter, clip, map);

    if (mRubberBand.isValid()) {
        painter.setPen(mDottedPen);
        painter.setBrush(mEmptyBrush);
        painter.drawRect(pixelBox(mRubberBand.x(), mRubberBand.y(), mRubberBand.width(), mRubberBand.height()));
    }
}

void SImageCanvas::paintSymbol(QPainter &painter, int px, int py, int codeIndex, int size, const QColor &color)
{
    const int a = size / 2;
    mPen.setColor(color);
    painter.setPen(mPen);
    switch (mPointSymbol[codeIndex]) {
    case SY_Circle:
        mBrush.setColor(color);
        painter.setBrush(mBrush);
        drawDisc(painter, px - a, py - a, size);
        break;
    case SY_Triangle:
        mBrush.setColor(color);
        painter.setBrush(mBrush);
        mTriangle.setPoint(0, px, py - a);
        mTriangle.setPoint(1, px - a, py + a);
        mTriangle.setPoint(2, px + a, py + a);
        // Qt's polygon outline leaves out the right-most pixels: fill without a pen, then
        // draw the three sides as lines, which reach their end points.
        painter.setPen(Qt::NoPen);
        painter.drawPolygon(mTriangle);
        painter.setPen(mPen);
        painter.drawLine(px, py - a, px - a, py + a);
        painter.drawLine(px - a, py + a, px + a, py + a);
        painter.drawLine(px + a, py + a, px, py - a);
        break;
    case SY_Cross:
        painter.drawLine(px - a, py, px + a, py);
        painter.drawLine(px, py - a, px, py + a);
        break;
    default: break;
    }
    painter.setBrush(mEmptyBrush);
}

void SImageCanvas::paintPoint(QPainter &painter, const QRect &clip, const SImageMapping &map,
                              const SImagePointEntry &entry, int i)
{
    const SImagePoint &point = entry.point;
    int s = mPointSize[i];
    // Triangles and crosses need an odd size to have a centre pixel.
    if (mPointSymbol[i] != SY_Circle && s % 2 == 0)
        s -= 1;
    const bool blunder = !point.isActive();
    if (blunder && !mBlundersOn)
        return;
    const QPoint p = map.toCanvas(point.x(), point.y());
    const int px = p.x();
    const int py = p.y();
    // A coordinate that is not finite, or far out, has no place on the canvas.
    if (!isDrawable(px) || !isDrawable(py))
        return;
    const int extent = blunder ? s + 2 * mBlunderSize : s;
    const int h = extent / 2;
    const QColor &color = mPointColor[i];
    // Texts keep the point colour: on a light ground the bright end of the ramp is unreadable.
    const QColor markColor = mColouring.isOn() ? errorColour(point) : color;

    const bool marked = entry.id == mMarkedPointId;
    const int markExtent = marked ? extent + 2 * kMarkSize : extent;
    if (QRect(px - markExtent / 2, py - markExtent / 2, markExtent, markExtent).intersects(clip)) {
        if (marked) {
            mPen.setColor(mMarkColor);
            mBrush.setColor(mMarkColor);
            painter.setPen(mPen);
            painter.setBrush(mBrush);
            drawDisc(painter, px - markExtent / 2, py - markExtent / 2, markExtent);
        }
        if (blunder) {
            const int d = s + 2 * mBlunderSize;
            mPen.setColor(mBlunderColor);
            mBrush.setColor(mBlunderColor);
            painter.setPen(mPen);
            painter.setBrush(mBrush);
            drawDisc(painter, px - d / 2, py - d / 2, d);
        }
        paintSymbol(painter, px, py, i, s, markColor);
    } else {
        mPen.setColor(color);
        painter.setPen(mPen);
    }

    if (mResidualsOn[VM_Graphical]) {
        const float zoomFactor = map.zoomFactor();
        const int ex = rnd(float(px) + point.vx() * mResidualScale * zoomFactor);
        const int ey = rnd(float(py) - point.vy() * mResidualScale * zoomFactor);
        if (isDrawable(ex) && isDrawable(ey)) {
            mPen.setColor(blunder ? mBlunderColor : markColor);
            painter.setPen(mPen);
            painter.drawLine(px, py, ex, ey);
        }
    }
    const int textX = px + h + kTextGap;
    if (mResidualsOn[VM_Textual])
        drawResidualTexts(painter, clip, textX, py + mFirstResidualLine, point.vx(), point.vy(), true);
    if (mPointIdsOn || mLinkCountOn) {
        mPen.setColor(color);
        painter.setPen(mPen);
    }
    if (mPointIdsOn) {
        setText(entry.id);
        drawTextAt(painter, clip, textX, py + mDescent + 1, true);
    }
    if (mLinkCountOn) {
        setText(SImage::numberOfLinks(entry.id));
        drawTextAt(painter, clip, textX, py - mDescent - kLinkCountRaise, true);
    }
}

QColor SImageCanvas::errorColour(const SImagePoint &point) const
{
    double value = 0.0;
    if (mColouring.measure == SErrorColours::MeasureE::Standardized)
        value = standardizedResidual(point, mColouring.sigma0);
    else
        value = std::hypot(double(point.vx()), double(point.vy()));
    return SErrorColours::rampColour(value, mColouring.threshold);
}

void SImageCanvas::paintLegend(QPainter &painter, const QRect &area) const
{
    SErrorColours::paintLegend(painter, area, mColouring, mTextFont);
    if (mResidualLegendOn && mImage) {
        // As the vectors are drawn: a residual scale of 0 stands for 1.
        const double scale = mResidualScale == 0.0f ? 1.0 : double(mResidualScale);
        SScaleMarks::paintResidualLegend(painter, area, scale * double(zoomFactor()), scale, mTextFont);
    }
}

// The largest residual is marked whatever the point's visibility, so that it can always
// be found.
void SImageCanvas::paintLargestResidual(QPainter &painter, const QRect &clip, const SImageMapping &map)
{
    const int largestId = mImage->largestResidualId();
    const SImagePoint *largest = largestId != -1 ? mImage->imagePoint(largestId) : nullptr;
    if (!largest)
        return;
    const int i = pointCodeIndex(largest->code());
    if (!validIndex(i))
        return;
    const int d = mPointSize[i] + 2 * mLargestResidualSize;
    const QPoint p = map.toCanvas(largest->x(), largest->y());
    if (!isDrawable(p.x()) || !isDrawable(p.y()))
        return;
    mPen.setColor(mLargestResidualColor);
    painter.setPen(mPen);
    painter.setBrush(mEmptyBrush);
    drawDisc(painter, p.x() - d / 2, p.y() - d / 2, d);
    if (mResidualsOn[VM_Graphical] && !mResidualsOn[VM_Textual]) {
        mPen.setColor(mPointColor[i]);
        painter.setPen(mPen);
        drawResidualTexts(painter, clip, p.x() + d / 2 + kTextGap, p.y() + mFirstResidualLine, largest->vx(),
                          largest->vy(), false);
    }
}
