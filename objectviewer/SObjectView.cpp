// SPDX-License-Identifier: GPL-3.0-or-later
#include "objectviewer/SObjectView.h"

#include "framework/Mu.h"
#include "misc/SImageData.h"
#include "misc/SObjectPoint.h"
#include "objectviewer/SObjectIcons.h"
#include "prefs/SSettings.h"
#include "search/SPointSearch.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <cstdlib>

unsigned SObjectView::sSelectionGeneration = 1;

namespace {

constexpr int kScrollStep = 20;
// Vector end points beyond this are shrunk before drawing; larger values overflow the
// line rasteriser on some paint devices.
constexpr int kVectorRange = 130000000;
constexpr int kLinkTextGap = 4; // between the link count's descent and the point
constexpr int kTextGap = 2;     // between the point's extent and its texts
constexpr int kOpaque = 255;
constexpr int kMaxKeyedSize = 1 << 20;
// Skipping covered points pays once there are more points than 1/kCrowdFactor of the pixels;
// the stamp buffer of ints stays below kMaxStampPixels.
constexpr qint64 kCrowdFactor = 8;
constexpr qint64 kMaxStampPixels = 4 * 1024 * 1024;

void bringIntoRange(int &x, int &y)
{
    while (std::abs(x) > kVectorRange || std::abs(y) > kVectorRange) {
        x /= 10;
        y /= 10;
    }
}

// Discs and circles fill exactly their bounding box of w x h pixels, outline included.
void drawDisc(QPainter &painter, int x, int y, int w, int h)
{
    painter.drawEllipse(x, y, std::max(0, w - 1), std::max(0, h - 1));
}

// Fills a translated printf-style format with one number.
QString fill(const QString &format, int value) { return QString::asprintf(format.toUtf8().constData(), value); }

bool axisAccepted(const SObjectPoint &point, int axis)
{
    return axis >= 0 && point.hasObservation(axis) && !point.isRejected(axis);
}

} // namespace

SObjectView::SObjectView(int plane, QWidget *parent)
    : QAbstractScrollArea(parent), mContextMenu(new QMenu(this)), mPlane(plane), mTextFont(SSettings::defaultTextFont())
{
    Mu::debug("SObjectView");
    mPointOn.fill(true);
    mPointSymbol.fill(0);
    mPointColor.fill(QColor(Qt::black));
    mPointSize.fill(7);
    mMapping = SObjectMapping::forList(nullptr, mPlane, mZoomPercent, 1.0f);
    mBandPen = QPen(Qt::black, 0, Qt::DotLine);
    mConnectionPen = QPen(Qt::black, 0, Qt::SolidLine);
    viewport()->setAttribute(Qt::WA_StaticContents);
    viewport()->setMouseTracking(false);
    setFocusPolicy(Qt::StrongFocus);
    slotSetMode(MD_Zoom);
    updateScrollBars();
}

SObjectView::~SObjectView() { Mu::debug("~SObjectView"); }

bool SObjectView::setObjectPoints(SObjectPointList *list, bool sigmasAvailable)
{
    mList = list;
    mSigmasAvailable = sigmasAvailable;
    mSelectedCentres.clear();
    if (mList) {
        for (SObjectPoint &point : *mList)
            if (point.isProjectionCentre() && point.isSelected())
                mSelectedCentres.insert(point.id(), &point);
    }
    mSelectionGeneration = 0; // the selected-point cache belongs to the old list
    updateCanvas();
    return true;
}

bool SObjectView::isReady() const { return mList && !mList->isEmpty(); }

void SObjectView::setPointOn(int index, bool on)
{
    if (MU_CHECK(index >= 0 && index < SGlobal::kPointCodeIndexCount, "SObjectView"))
        mPointOn[size_t(index)] = on;
}

void SObjectView::setPointSymbol(int index, int symbol)
{
    if (MU_CHECK(index >= 0 && index < SGlobal::kPointCodeIndexCount, "SObjectView"))
        mPointSymbol[size_t(index)] = symbol;
}

void SObjectView::setPointColor(int index, const QColor &color)
{
    if (MU_CHECK(index >= 0 && index < SGlobal::kPointCodeIndexCount, "SObjectView"))
        mPointColor[size_t(index)] = color;
}

void SObjectView::setPointSize(int index, int size)
{
    if (MU_CHECK(index >= 0 && index < SGlobal::kPointCodeIndexCount, "SObjectView"))
        mPointSize[size_t(index)] = size;
}

void SObjectView::applySettings(const SSettings::ObjectViewerSettings &s)
{
    auto trace = [](const QString &key, const QString &value) {
        Mu::debug("%s => %s", qPrintable(key), qPrintable(value));
    };
    setBackgroundColor(s.bgColor);
    trace(SSettings::kBgColor, s.bgColor.name());
    setTextFont(s.textFont);
    trace(SSettings::kTextFont, s.textFont.toString());
    setBlundersOn(s.blundersOn);
    trace(SSettings::kBlundersOn, QString::number(int(s.blundersOn)));
    setScale(float(s.scale));
    trace(SSettings::kScale, QString::number(s.scale));
    setLinkLineType(s.linkLineType);
    trace(SSettings::kLinkLineType, QString::number(s.linkLineType));
    for (int i = 0; i < SSettings::kPointCodeCount; ++i) {
        const SSettings::PointStyle &style = s.points[size_t(i)];
        setPointOn(i, style.on);
        trace(SSettings::pointOnKey(i), QString::number(int(style.on)));
        setPointSymbol(i, style.symbol);
        trace(SSettings::pointSymbolKey(i), QString::number(style.symbol));
        setPointColor(i, style.color);
        trace(SSettings::pointColorKey(i), style.color.name());
        setPointSize(i, style.size);
        trace(SSettings::pointSizeKey(i), QString::number(style.size));
    }
    setBlunderColor(s.blunderColor);
    trace(SSettings::kBlunderColor, s.blunderColor.name());
    setBlunderSize(s.blunderSize);
    trace(SSettings::kBlunderSize, QString::number(s.blunderSize));
    setMarkColor(s.markColor);
    trace(SSettings::kMarkColor, s.markColor.name());
    setMarkSize(s.markSize);
    trace(SSettings::kMarkSize, QString::number(s.markSize));
}

// ---- canvas and scrolling -------------------------------------------------------------

void SObjectView::updateCanvas()
{
    mMapping = SObjectMapping::forList(mList, mPlane, mZoomPercent, mMapping.zoomFactor());
    mPositions.clear();
    if (isReady()) {
        mPositions.reserve(size_t(mList->count()));
        for (const SObjectPoint &point : *mList)
            mPositions.push_back(mMapping.map(point.horizontal(mPlane), point.vertical(mPlane)));
        mGrid.build(mPositions, mMapping.canvasSize());
    } else {
        mGrid.clear();
    }
    updateScrollBars();
    if (mMode == MD_Scroll)
        updateScrollCursor(size());
}

void SObjectView::updateScrollBars()
{
    const QSize canvas = mMapping.canvasSize();
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
    const QSize canvas = mMapping.canvasSize();
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

void SObjectView::updateCanvasRect(const QRect &canvasRect)
{
    viewport()->update(canvasRect.translated(-scrollPosition()));
}

void SObjectView::scrollContentsBy(int dx, int dy) { viewport()->scroll(dx, dy); }

void SObjectView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
    if (mMode == MD_Scroll)
        updateScrollCursor(viewport()->size());
}

// ---- painting ---------------------------------------------------------------------------

void SObjectView::paintEvent(QPaintEvent *event)
{
    if (!isReady())
        return;
    QPainter painter(viewport());
    const QPoint offset = scrollPosition();
    painter.translate(-offset);
    const QRect exposed = event->rect().translated(offset) & QRect(QPoint(0, 0), mMapping.canvasSize());
    if (!exposed.isEmpty())
        paintCanvas(painter, exposed);
}

int SObjectView::largestHalfExtent() const
{
    int largest = 0;
    for (int i = 0; i < SGlobal::kPointCodeIndexCount; ++i)
        largest = std::max(largest, mPointSize[size_t(i)]);
    return (largest + 2 * std::max(0, mBlunderSize) + 2 * std::max(0, mMarkSize)) / 2 + 1;
}

void SObjectView::refreshSelectedIndices()
{
    if (mSelectionGeneration == sSelectionGeneration)
        return;
    mSelectedIndices.clear();
    for (int i = 0; i < mList->count(); ++i)
        if (mList->at(i)->isSelected())
            mSelectedIndices.push_back(i);
    mSelectionGeneration = sSelectionGeneration;
}

void SObjectView::paintCanvas(QPainter &painter, const QRect &rect, VisitE visit)
{
    if (!isReady() || rect.isEmpty())
        return;
    painter.save();
    painter.setClipRect(rect);
    switch (mLinkLineType) {
    case 1: mConnectionPen.setStyle(Qt::DashLine); break;
    case 2: mConnectionPen.setStyle(Qt::DotLine); break;
    default: mConnectionPen.setStyle(Qt::SolidLine); break;
    }
    preparePaintObjects();
    mSprites.beginPaint(painter);
    painter.setPen(QPen(Qt::black, 0));
    painter.setFont(mTextFont);
    painter.fillRect(rect, mBackgroundColor);
    if (mScale == 0.0f)
        mScale = 1.0f;

    if (visit == VisitE::AllPoints) {
        for (int i = 0; i < mList->count(); ++i)
            paintPoint(painter, rect, i);
    } else {
        // Symbols of points near the rectangle, plus every selected point whose texts,
        // vectors, ellipses or connections may reach into it; in list order.
        const int reach = largestHalfExtent();
        mVisit.clear();
        mGrid.query(rect.adjusted(-reach, -reach, reach, reach), mVisit);
        const bool annotated = mPointIdsOn || mImageIdsOn || mLinkCountOn || mConnectionsOn || mResidualsOn[0] ||
                               mResidualsOn[1] || mSigmasOn[0] || mSigmasOn[1];
        if (annotated) {
            refreshSelectedIndices();
            const size_t gridCount = mVisit.size();
            mVisit.insert(mVisit.end(), mSelectedIndices.begin(), mSelectedIndices.end());
            std::inplace_merge(mVisit.begin(), mVisit.begin() + long(gridCount), mVisit.end());
            mVisit.erase(std::unique(mVisit.begin(), mVisit.end()), mVisit.end());
        }
        dropCoveredPoints(rect.adjusted(-reach, -reach, reach, reach));
        for (int i : mVisit)
            paintPoint(painter, rect, i);
    }

    if (mRubberBand.isValid()) {
        painter.setPen(mBandPen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(mRubberBand.adjusted(0, 0, -1, -1));
    }
    mSprites.endPaint();
    painter.restore();
}

int SObjectView::footprintKey(int codeIndex, bool blunder) const
{
    if (codeIndex < 0 || codeIndex >= SGlobal::kPointCodeIndexCount || !mPointOn[size_t(codeIndex)] ||
        mPointColor[size_t(codeIndex)].alpha() != kOpaque)
        return -1;
    if (blunder && (!mBlundersOn || mBlunderColor.alpha() != kOpaque))
        return -1;
    const int symbol = mPointSymbol[size_t(codeIndex)];
    int symbolSize = mPointSize[size_t(codeIndex)];
    if (symbol != 0 && symbolSize % 2 == 0)
        --symbolSize; // as paintPoint does
    if (symbol < 0 || symbol > SObjectSprites::SH_Cross || symbolSize < 0 || symbolSize > kMaxKeyedSize)
        return -1;
    return (symbolSize << 3) | (symbol << 1) | int(blunder);
}

void SObjectView::dropCoveredPoints(const QRect &area)
{
    // Two unselected points on the same pixel with the same footprint in opaque colours: the
    // later one covers every pixel of the earlier one, so the earlier one need not be drawn.
    // Only worth it where points crowd, and only exact where the painter rasterises.
    const qint64 pixels = qint64(area.width()) * area.height();
    if (!mSprites.usable() || pixels > kMaxStampPixels || qint64(mVisit.size()) * kCrowdFactor < pixels)
        return;
    std::array<int, 2 * SGlobal::kPointCodeIndexCount> keys; // by code index, then blunder
    for (int codeIndex = 0; codeIndex < SGlobal::kPointCodeIndexCount; ++codeIndex)
        for (int blunder = 0; blunder < 2; ++blunder)
            keys[size_t(2 * codeIndex + blunder)] = footprintKey(codeIndex, blunder != 0);
    // -1 for a point that must be drawn whatever lies on it (selected, transparent, hidden).
    const auto keyOf = [&](int i) {
        const SObjectPoint &point = *mList->at(i);
        const QPoint &p = mPositions[size_t(i)];
        if (point.isSelected() || !area.contains(p))
            return -1;
        return keys[size_t(2 * pointCodeIndex(point.code()) + int(!point.isActive()))];
    };
    const auto pixelOf = [&](int i) {
        const QPoint &p = mPositions[size_t(i)];
        return size_t(p.y() - area.top()) * size_t(area.width()) + size_t(p.x() - area.left());
    };

    mLastAtPixel.resize(size_t(pixels));
    mVisitKeys.resize(mVisit.size());
    for (size_t v = 0; v < mVisit.size(); ++v) {
        mVisitKeys[v] = keyOf(mVisit[v]);
        if (mVisitKeys[v] >= 0)
            mLastAtPixel[pixelOf(mVisit[v])] = int(v);
    }
    size_t kept = 0;
    for (size_t v = 0; v < mVisit.size(); ++v) {
        const int key = mVisitKeys[v];
        if (key >= 0) {
            const size_t last = size_t(mLastAtPixel[pixelOf(mVisit[v])]);
            if (last != v && mVisitKeys[last] == key)
                continue;
        }
        mVisit[kept++] = mVisit[v];
    }
    mVisit.resize(kept);
}

void SObjectView::paintPoint(QPainter &painter, const QRect &clip, int index)
{
    const SObjectPoint &point = *mList->at(index);
    const int codeIndex = pointCodeIndex(point.code());
    if (codeIndex < 0 || codeIndex >= SGlobal::kPointCodeIndexCount || !mPointOn[size_t(codeIndex)])
        return;
    const bool blunder = !point.isActive();
    if (blunder && !mBlundersOn)
        return;
    int symbolSize = mPointSize[size_t(codeIndex)];
    if (mPointSymbol[size_t(codeIndex)] != 0 && symbolSize % 2 == 0)
        --symbolSize; // triangles and crosses need a centre pixel
    int extent = symbolSize;
    if (blunder)
        extent += 2 * mBlunderSize;
    if (point.isSelected())
        extent += 2 * mMarkSize;
    const int px = mPositions[size_t(index)].x();
    const int py = mPositions[size_t(index)].y();
    // Unusable coordinates (NaN, infinite, far out) map to the int limits: nothing to draw.
    if (!SObjectMapping::isDrawable(px) || !SObjectMapping::isDrawable(py))
        return;
    const int k = extent / 2;

    if (QRect(px - k, py - k, extent, extent).intersects(clip)) {
        if (point.isSelected()) {
            mSprites.draw(painter, SObjectSprites::SH_Disc, px, py, extent, mMarkPen, mMarkBrush);
        }
        if (blunder) {
            const int d = symbolSize + 2 * mBlunderSize;
            mSprites.draw(painter, SObjectSprites::SH_Disc, px, py, d, mBlunderPen, mBlunderBrush);
        }
        paintSymbol(painter, px, py, codeIndex, symbolSize);
    }
    if (!point.isSelected())
        return;
    paintTexts(painter, clip, px, py, k, codeIndex, point);
    if (mResidualsOn[VM_Graphical])
        paintResidualVector(painter, px, py, codeIndex, point);
    if (mSigmasOn[VM_Graphical]) {
        const float zoom = mMapping.zoomFactor();
        const int w = SObjectMapping::rnd(point.horizontalSigma(mPlane) * mScale * zoom);
        const int t = SObjectMapping::rnd(point.verticalSigma(mPlane) * mScale * zoom);
        if (SObjectMapping::isDrawable(w) && SObjectMapping::isDrawable(t)) { // NaN sigmas draw nothing
            painter.setPen(mSymbolPens[size_t(codeIndex)]);
            painter.setBrush(Qt::NoBrush);
            drawDisc(painter, px - w / 2, py - t / 2, w, t);
        }
    }
    if (mConnectionsOn && !point.isProjectionCentre())
        paintConnections(painter, px, py, codeIndex, point);
}

void SObjectView::paintSymbol(QPainter &painter, int px, int py, int index, int size)
{
    mSprites.draw(painter, mPointSymbol[size_t(index)], px, py, size, mSymbolPens[size_t(index)],
                  mSymbolBrushes[size_t(index)]);
}

void SObjectView::preparePaintObjects()
{
    for (size_t i = 0; i < mSymbolPens.size(); ++i) {
        if (mSymbolPens[i].color() != mPointColor[i] || mSymbolPens[i].width() != 0) {
            mSymbolPens[i] = QPen(mPointColor[i], 0);
            mSymbolBrushes[i] = QBrush(mPointColor[i]);
        }
    }
    if (mMarkBrush.color() != mMarkColor || mMarkBrush.style() != Qt::SolidPattern) {
        mMarkPen = QPen(mMarkColor, 0);
        mMarkBrush = QBrush(mMarkColor);
    }
    if (mBlunderBrush.color() != mBlunderColor || mBlunderBrush.style() != Qt::SolidPattern) {
        mBlunderPen = QPen(mBlunderColor, 0);
        mBlunderBrush = QBrush(mBlunderColor);
    }
    if (mResidualFormats[0].isEmpty()) {
        const char *residual[3] = {"X: %.3f ± %.3f", "Y: %.3f ± %.3f", "Z: %.3f ± %.3f"};
        const char *sigma[3] = {"X: ± %.3f", "Y: ± %.3f", "Z: ± %.3f"};
        for (size_t axis = 0; axis < 3; ++axis) {
            mResidualFormats[axis] = Mu::tr(residual[axis]).toUtf8();
            mSigmaFormats[axis] = Mu::tr(sigma[axis]).toUtf8();
        }
    }
}

void SObjectView::drawTextLine(QPainter &painter, const QRect &clip, int x, int baseline, const QColor &color)
{
    const QRect bounds = painter.fontMetrics().boundingRect(mText).translated(x, baseline);
    if (!bounds.intersects(clip))
        return;
    painter.setPen(QPen(color, 0));
    painter.drawText(x, baseline, mText);
}

void SObjectView::paintTexts(QPainter &painter, const QRect &clip, int px, int py, int k, int index,
                             const SObjectPoint &point)
{
    const QColor &pointColor = mPointColor[size_t(index)];
    const QColor &textColor = point.isActive() ? pointColor : mBlunderColor;
    const QFontMetrics metrics = painter.fontMetrics();
    const int x = px + k + kTextGap;
    const bool centre = point.isProjectionCentre();

    if (mLinkCountOn) {
        const int links = centre ? SImage::activePointCount(point.id()) : SImage::numberOfLinks(point.id());
        mText.setNum(links);
        drawTextLine(painter, clip, x, py - metrics.descent() - kLinkTextGap, textColor);
    }
    if ((mPointIdsOn && !centre) || (mImageIdsOn && centre)) {
        mText.setNum(point.id());
        drawTextLine(painter, clip, x, py + metrics.descent() + 1, textColor);
    }
    const int firstBaseline = py + metrics.descent() + metrics.height() - 1;
    const int lineStep = metrics.height() - 1;
    if (mResidualsOn[VM_Textual]) {
        const SObjectCoord &observation = point.observation();
        int baseline = firstBaseline;
        for (int axis = 0; axis < 3; ++axis) {
            if (!point.hasObservation(axis))
                continue;
            mText = QString::asprintf(mResidualFormats[size_t(axis)].constData(), double(observation.deviation(axis)),
                                      double(observation.extra(axis)));
            const bool rejectedLine = !point.isActive() && point.isRejected(axis);
            drawTextLine(painter, clip, x, baseline, rejectedLine ? mBlunderColor : pointColor);
            baseline += lineStep;
        }
    }
    if (mSigmasOn[VM_Textual]) {
        const float sigmas[3] = {point.sigmaX(), point.sigmaY(), point.sigmaZ()};
        int baseline = firstBaseline;
        for (int axis = 0; axis < 3; ++axis) {
            mText = QString::asprintf(mSigmaFormats[size_t(axis)].constData(), double(sigmas[axis]));
            drawTextLine(painter, clip, x, baseline, pointColor);
            baseline += lineStep;
        }
    }
}

void SObjectView::paintResidualVector(QPainter &painter, int px, int py, int index, const SObjectPoint &point)
{
    // Multiplied in this order, as single-precision rounding depends on it.
    const float zoom = mMapping.zoomFactor();
    int ex = SObjectMapping::rnd(float(px) + point.horizontalResidual(mPlane) * mScale * zoom);
    int ey = SObjectMapping::rnd(float(py) - point.verticalResidual(mPlane) * mScale * zoom);
    const int hAxis = planeHorizontalAxis(mPlane);
    const int vAxis = planeVerticalAxis(mPlane);
    const bool hAccepted = axisAccepted(point, hAxis);
    const bool vAccepted = axisAccepted(point, vAxis);
    const QPen &pointPen = mSymbolPens[size_t(index)];

    if (hAccepted == vAccepted) {
        painter.setPen(hAccepted ? pointPen : mBlunderPen);
        bringIntoRange(ex, ey);
        painter.drawLine(px, py, ex, ey);
        return;
    }
    const int rejectedAxis = hAccepted ? vAxis : hAxis;
    const bool otherObserved = rejectedAxis >= 0 && point.hasObservation(rejectedAxis);
    int cx = vAccepted ? px : ex; // end of the accepted component alone
    int cy = vAccepted ? ey : py;
    painter.setPen(pointPen);
    if (!otherObserved) {
        bringIntoRange(cx, cy);
        painter.drawLine(px, py, cx, cy);
        return;
    }
    painter.drawLine(px, py, cx, cy);
    painter.setPen(mBlunderPen);
    bringIntoRange(ex, ey);
    painter.drawLine(px, py, ex, ey);
}

void SObjectView::paintConnections(QPainter &painter, int px, int py, int index, const SObjectPoint &point)
{
    const SImageLinks images = SImage::imagesOfPoint(point.id());
    for (SImage *image : images) {
        if (!image || !mSelectedCentres.contains(image->id()))
            continue;
        const QPoint centre =
            mMapping.map(image->projectionCentreHorizontal(mPlane), image->projectionCentreVertical(mPlane));
        const SImagePoint *imagePoint = image->imagePoint(point.id());
        mConnectionPen.setColor(imagePoint && !imagePoint->isActive() ? mBlunderColor : mPointColor[size_t(index)]);
        painter.setPen(mConnectionPen);
        painter.drawLine(px, py, centre.x(), centre.y());
    }
}

// ---- zoom, modes and toggles -----------------------------------------------------------

void SObjectView::slotZoomPlus() { slotZoom(mZoomPercent + kZoomStep); }
void SObjectView::slotZoomMinus() { slotZoom(mZoomPercent - kZoomStep); }

void SObjectView::slotZoom(int iPercent)
{
    if (!isReady())
        return;
    const int percent = std::clamp(iPercent, kZoomMin, kZoomMax);
    if (percent == mZoomPercent)
        return;
    Mu::debug("slotZoom: %d => %d", mZoomPercent, percent);
    mZoomPercent = percent;
    updateCanvas();
    repaintCanvas();
    emit sigZoomChanged(mZoomPercent);
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

void SObjectView::slotTogglePointIds()
{
    mPointIdsOn = !mPointIdsOn;
    if (isReady())
        repaintCanvas();
}

void SObjectView::slotToggleImageIds()
{
    mImageIdsOn = !mImageIdsOn;
    if (isReady())
        repaintCanvas();
}

void SObjectView::slotToggleBlunders()
{
    mBlundersOn = !mBlundersOn;
    if (isReady())
        repaintCanvas();
}

void SObjectView::slotToggleShowLinkCount()
{
    mLinkCountOn = !mLinkCountOn;
    if (isReady())
        repaintCanvas();
}

void SObjectView::slotToggleShowConnections()
{
    mConnectionsOn = !mConnectionsOn;
    if (isReady())
        repaintCanvas();
}

void SObjectView::slotToggleResiduals(ViewModeE mode)
{
    const size_t m = mode == VM_Textual ? 1 : 0;
    mResidualsOn[m] = !mResidualsOn[m];
    // Residual and sigma values would be written on the same lines.
    if (mode == VM_Textual && mResidualsOn[1] && mSigmasOn[1])
        mSigmasOn[1] = false;
    if (isReady())
        repaintCanvas();
}

void SObjectView::slotToggleSigmas(ViewModeE mode)
{
    if (!mSigmasAvailable) {
        Mu::warn("%s", qPrintable(Mu::tr("No inversion: sigmas were not computed!")));
        return;
    }
    const size_t m = mode == VM_Textual ? 1 : 0;
    mSigmasOn[m] = !mSigmasOn[m];
    if (mode == VM_Textual && mSigmasOn[1] && mResidualsOn[1])
        mResidualsOn[1] = false;
    if (isReady())
        repaintCanvas();
}

// ---- selection --------------------------------------------------------------------------

void SObjectView::slotDeselectPoints()
{
    Mu::debug("slotDeselectPoints");
    if (!isReady())
        return;
    mSelectedCentres.clear();
    mList->deselectAll();
    noteSelectionChanged();
    repaintCanvas();
}

void SObjectView::selectPointsInRect(const QRect &rect, bool add)
{
    if (!isReady())
        return;
    if (!add) {
        mSelectedCentres.clear();
        mList->deselectAll();
    }
    mVisit.clear();
    mGrid.query(rect, mVisit);
    for (int i : mVisit) {
        SObjectPoint *point = mList->at(i);
        if (!point->isSelected()) {
            point->setSelected(true);
            mList->incSelectedCount();
        }
        if (point->isProjectionCentre())
            mSelectedCentres.insert(point->id(), point);
    }
    noteSelectionChanged();
}

void SObjectView::selectPoints(SGlobal::SelectionModeE selectionMode, SGlobal::SearchModeE searchMode,
                               const QString &strPar1, const QString &strPar2, bool bPatternMatching)
{
    Mu::debug("selectPoints: %d, %d, %s, %s, %d", int(selectionMode), int(searchMode), qPrintable(strPar1),
              qPrintable(strPar2), int(bPatternMatching));
    if (!isReady())
        return;
    const bool erase = selectionMode == SGlobal::SL_Erase;
    if (erase)
        mSelectedCentres.clear();
    const SPointSearch search(searchMode, strPar1, strPar2, bPatternMatching);
    if (!search.isValid()) {
        Mu::warn("%s", qPrintable(fill(Mu::tr("Illegal Search-Mode (%d)!"), int(searchMode))));
        return;
    }
    try {
        for (SObjectPoint &point : *mList) {
            if (erase)
                point.setSelected(false);
            if (!search.passes(point))
                continue;
            point.setSelected(true);
            if (point.isProjectionCentre())
                mSelectedCentres.insert(point.id(), &point);
        }
    } catch (...) {
        noteSelectionChanged(); // the flags changed so far stay changed
        throw;
    }
    noteSelectionChanged();
    repaintCanvas();
}

void SObjectView::selectImagePoints(SImage *image, bool erase)
{
    if (!image || !isReady())
        return;
    if (erase) {
        mSelectedCentres.clear();
        mList->deselectAll();
    }
    bool centreTaken = false;
    for (SObjectPoint &point : *mList) {
        bool select = false;
        if (point.isProjectionCentre()) {
            select = !centreTaken && point.id() == image->id();
            if (select) {
                centreTaken = true;
                mSelectedCentres.insert(point.id(), &point);
            }
        } else {
            select = image->hasImagePoint(point.id());
        }
        if (select && !point.isSelected()) {
            point.setSelected(true);
            mList->incSelectedCount();
        }
    }
    noteSelectionChanged();
    repaintCanvas();
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
        if (mZoomPercent >= kZoomMax)
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
    mRubberBand = QRect(mPressPoint, current).normalized();
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

void SObjectView::finishZoomBand()
{
    mZooming = false;
    if (mRubberBand.width() < kMinBandPixels && mRubberBand.height() < kMinBandPixels) {
        Mu::note("%s",
                 qPrintable(fill(Mu::tr("The zoom-rect you specified is to small (min %d pixel)!"), kMinBandPixels)));
        Mu::note("%s", qPrintable(Mu::tr("Ignoring zoom.")));
        mRubberBand = QRect();
        repaintCanvas();
        return;
    }
    mLastPoint = QPoint(0, 0);
    const QRect r = mRubberBand;
    mRubberBand = QRect();
    float f = std::min(float(width()) / float(r.width()), float(height()) / float(r.height()));
    if (SObjectMapping::rnd(double(mZoomPercent) * f) > kZoomMax)
        f = float(kZoomMax) / float(mZoomPercent);
    const int oldPercent = mZoomPercent;
    slotZoom(SObjectMapping::rnd(double(oldPercent) * f));
    if (mZoomPercent == oldPercent)
        repaintCanvas(); // the band must go even when the zoom stays
    const int margin = SObjectMapping::kMarginPixels;
    scrollTo(QPoint(SObjectMapping::rnd(float(r.left() - margin) * f + float(margin)),
                    SObjectMapping::rnd(float(r.top() - margin) * f + float(margin))));
}

void SObjectView::finishSelectionBand()
{
    mSelecting = false;
    if (mRubberBand.width() < kMinBandPixels && mRubberBand.height() < kMinBandPixels) {
        Mu::note("%s", qPrintable(fill(Mu::tr("The selection-rect you specified is to small (min %d pixel)!"),
                                       kMinBandPixels)));
        mRubberBand = QRect();
        repaintCanvas();
        return;
    }
    selectPointsInRect(mRubberBand, mAdding);
    mRubberBand = QRect();
    mLastPoint = QPoint(0, 0);
    repaintCanvas();
}

// ---- context menu -------------------------------------------------------------------------

QMenu *SObjectView::fillContextMenu()
{
    mContextMenu->clear();
    qDeleteAll(mSubMenus);
    mSubMenus.clear();
    if (!isReady())
        return mContextMenu;
    auto entry = [this](QMenu *menu, int id, const QString &text) {
        QAction *action = menu->addAction(text);
        action->setData(id);
        connect(action, &QAction::triggered, this, [this, id] { _slotHandleContextMenu(id); });
        return action;
    };
    auto toggle = [](bool on, const char *hide, const char *show) { return Mu::tr(on ? hide : show); };

    if (mZoomPercent != 100) {
        entry(mContextMenu, CM_Zoom100, Mu::tr("Zoom 100%"))->setIcon(SObjectIcons::zoom100());
        mContextMenu->addSeparator();
    }
    entry(mContextMenu, CM_PointIds, toggle(mPointIdsOn, "Hide Point-IDs", "Show Point-IDs"));
    entry(mContextMenu, CM_ImageIds, toggle(mImageIdsOn, "Hide Image-IDs", "Show Image-IDs"));
    entry(mContextMenu, CM_LinkCount, toggle(mLinkCountOn, "Hide Number of Links", "Show Number of Links"));
    entry(mContextMenu, CM_Blunders, toggle(mBlundersOn, "Hide Blunders", "Show Blunders"));

    auto *residuals = new QMenu(Mu::tr("&Residuals"), this);
    mSubMenus.push_back(residuals);
    entry(residuals, CM_ResidualsGraphical, toggle(mResidualsOn[0], "Hide Graphical", "Show Graphical"));
    entry(residuals, CM_ResidualsTextual, toggle(mResidualsOn[1], "Hide Textual", "Show Textual"));
    mContextMenu->addMenu(residuals);
    if (mSigmasAvailable) {
        auto *sigmas = new QMenu(Mu::tr("&Sigmas"), this);
        mSubMenus.push_back(sigmas);
        entry(sigmas, CM_SigmasGraphical, toggle(mSigmasOn[0], "Hide Graphical", "Show Graphical"));
        entry(sigmas, CM_SigmasTextual, toggle(mSigmasOn[1], "Hide Textual", "Show Textual"));
        mContextMenu->addMenu(sigmas);
    }
    mContextMenu->addSeparator();
    entry(mContextMenu, CM_Connections, toggle(mConnectionsOn, "Hide Connections", "Show Connections"));
    if (mList->selectedCount() > 0) {
        mContextMenu->addSeparator();
        entry(mContextMenu, CM_DeselectAll, Mu::tr("Deselect all Points"));
    }
    return mContextMenu;
}

void SObjectView::contextMenuEvent(QContextMenuEvent *event)
{
    fillContextMenu();
    if (!mContextMenu->actions().isEmpty())
        mContextMenu->popup(event->globalPos());
}

void SObjectView::_slotHandleContextMenu(int iPopId)
{
    switch (iPopId) {
    case CM_Zoom100: slotZoom(100); break;
    case CM_PointIds: slotTogglePointIds(); break;
    case CM_ImageIds: slotToggleImageIds(); break;
    case CM_Blunders: slotToggleBlunders(); break;
    case CM_ResidualsGraphical: slotToggleResiduals(VM_Graphical); break;
    case CM_ResidualsTextual: slotToggleResiduals(VM_Textual); break;
    case CM_SigmasGraphical: slotToggleSigmas(VM_Graphical); break;
    case CM_SigmasTextual: slotToggleSigmas(VM_Textual); break;
    case CM_LinkCount: slotToggleShowLinkCount(); break;
    case CM_DeselectAll: slotDeselectPoints(); break;
    case CM_Connections: slotToggleShowConnections(); break;
    default: Mu::warn("%s", qPrintable(fill(Mu::tr("Invalid case: %d!"), iPopId))); break;
    }
}
