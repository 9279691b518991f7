// SPDX-License-Identifier: GPL-3.0-or-later
#include "objectviewer/SObjectCanvas.h"

#include "framework/Mu.h"
#include "misc/SDensityRamp.h"
#include "misc/SImageData.h"
#include "misc/SObjectPoint.h"
#include "misc/SScaleMarks.h"
#include "prefs/SSettings.h"
#include "search/SSearchRequest.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <numeric>

namespace {

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
// A density paint counts points per pixel in tiles of this size, so that its buffers stay
// small whatever the size of the painted rectangle.
constexpr int kDensityTile = 1024;

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

// The adjusted coordinate of an axis (0 = X, 1 = Y, 2 = Z; 0 for any other axis).
float axisValue(const SObjectPoint &point, int axis)
{
    switch (axis) {
    case 0: return point.X();
    case 1: return point.Y();
    case 2: return point.Z();
    default: return 0.0f;
    }
}

// QRect::contains, inline: it is asked for every point of a block.
bool within(const QRect &r, const QPoint &p)
{
    return p.x() >= r.left() && p.x() <= r.right() && p.y() >= r.top() && p.y() <= r.bottom();
}

bool axisAccepted(const SObjectPoint &point, int axis)
{
    return axis >= 0 && point.hasObservation(axis) && !point.isRejected(axis);
}

} // namespace

SObjectCanvas::SObjectCanvas(int plane)
    : mPlane(plane), mHorizontalAxis(planeHorizontalAxis(plane)), mVerticalAxis(planeVerticalAxis(plane)),
      mTextFont(SSettings::defaultTextFont())
{
    mPointOn.fill(SSettings::kDefaultPointOn);
    mPointSymbol.fill(SSettings::kDefaultPointSymbol);
    mPointColor.fill(QColor(Qt::black));
    mPointSize.fill(SSettings::kDefaultPointSize);
    mMapping = SObjectMapping::forList(nullptr, mPlane, mZoomPercent, 1.0f);
}

void SObjectCanvas::setObjectPoints(SObjectPointList *list, bool sigmasAvailable)
{
    mList = list;
    mSigmasAvailable = sigmasAvailable;
    mSelectedCentres.clear();
    if (mList && mList->anySelected()) {
        for (SObjectPoint &point : *mList)
            if (point.isProjectionCentre() && point.isSelected())
                mSelectedCentres.insert(point.id(), &point);
    }
    // Snapshots of the old list say nothing about the new one.
    SSelectionSnapshot::forget();
    mSelection = std::make_shared<SSelectionSnapshot>();
    mapPoints();
}

bool SObjectCanvas::isReady() const { return mList && !mList->isEmpty(); }

QSize SObjectCanvas::canvasSizeAt(int zoomPercent) const
{
    return SObjectMapping::forList(mList, mPlane, zoomPercent, mMapping.zoomFactor(), float(mVerticalExaggeration))
        .canvasSize();
}

bool SObjectCanvas::setZoom(int percent)
{
    const int clamped = SCanvasGeometry::clampZoom(percent);
    if (!isReady() || clamped == mZoomPercent)
        return false;
    mZoomPercent = clamped;
    mapPoints();
    return true;
}

int SObjectCanvas::pointAt(const QPoint &canvasPos, VisitE visit) const
{
    if (!isReady())
        return -1;
    int largestSize = 0;
    for (int size : mPointSize)
        largestSize = std::max(largestSize, size);
    const int maxReach = std::max(kHitReach, largestSize / 2);
    const Placement &kept = placement();
    std::vector<int> near; // ascending: the last hit is the point painted topmost
    if (visit == VisitE::AllPoints) {
        near.resize(kept.positions.size());
        std::iota(near.begin(), near.end(), 0);
    } else {
        kept.grid.query(QRect(canvasPos - QPoint(maxReach, maxReach), QSize(2 * maxReach + 1, 2 * maxReach + 1)), near);
    }
    int found = -1;
    for (int i : near) {
        const SObjectPoint &point = *mList->at(i);
        if (!isShown(point))
            continue;
        const int reach = std::max(kHitReach, mPointSize[size_t(pointCodeIndex(point.code()))] / 2);
        const QPoint d = kept.positions[size_t(i)] - canvasPos;
        if (std::abs(d.x()) <= reach && std::abs(d.y()) <= reach)
            found = i;
    }
    return found;
}

bool SObjectCanvas::isShown(const SObjectPoint &point) const
{
    const int codeIndex = pointCodeIndex(point.code());
    return codeIndex >= 0 && codeIndex < kCodes && mPointOn[size_t(codeIndex)] && (point.isActive() || mBlundersOn);
}

void SObjectCanvas::mapPoints()
{
    mMapping =
        SObjectMapping::forList(mList, mPlane, mZoomPercent, mMapping.zoomFactor(), float(mVerticalExaggeration));
    // Worked out when first needed, perhaps by a paint on another thread.
    mPlacement = mPositionsKept ? std::make_shared<PlacementSlot>() : nullptr;
}

void SObjectCanvas::setPositionsKept(bool kept)
{
    mPositionsKept = kept;
    if (!kept)
        mPlacement.reset();
    else if (!mPlacement)
        mPlacement = std::make_shared<PlacementSlot>();
}

const SObjectCanvas::Placement &SObjectCanvas::placement() const
{
    if (!mPlacement)
        mPlacement = std::make_shared<PlacementSlot>();
    PlacementSlot &slot = *mPlacement;
    // Every canvas sharing the slot has the list, plane and mapping it was made for.
    std::call_once(slot.once, [this, &slot] {
        if (isReady()) {
            slot.placement.positions.reserve(size_t(mList->count()));
            for (const SObjectPoint &point : *mList)
                slot.placement.positions.push_back(mapPosition(point));
            slot.placement.grid.build(slot.placement.positions, mMapping.canvasSize());
        }
        slot.done.store(true, std::memory_order_release);
    });
    return slot.placement;
}

QPoint SObjectCanvas::mapPosition(const SObjectPoint &point) const
{
    return mMapping.map(axisValue(point, mHorizontalAxis), axisValue(point, mVerticalAxis));
}

QPoint SObjectCanvas::positionOf(int index) const
{
    // Until the slot is filled (perhaps by another thread) the same position worked out here.
    return isPlaced() ? mPlacement->placement.positions[size_t(index)] : mapPosition(*mList->at(index));
}

bool SObjectCanvas::setVerticalExaggeration(int factor)
{
    const int exaggeration = mPlane == SGlobal::kPlaneXY ? 1 : std::max(1, factor);
    if (exaggeration == mVerticalExaggeration)
        return false;
    mVerticalExaggeration = exaggeration;
    mapPoints();
    return true;
}

void SObjectCanvas::applyExtras(const SSettings::ObjectViewExtras &extras)
{
    setColouring(extras.colouring());
    setScaleBarOn(extras.scaleBarOn);
    setDensityOn(extras.densityOn);
    setVerticalExaggeration(extras.verticalExaggeration);
}

void SObjectCanvas::setResidualsOn(ViewModeE mode, bool on)
{
    const size_t m = mode == VM_Textual ? 1 : 0;
    mResidualsOn[m] = on;
    if (mode == VM_Textual && on)
        mSigmasOn[1] = false;
}

bool SObjectCanvas::setSigmasOn(ViewModeE mode, bool on)
{
    if (!mSigmasAvailable)
        return false;
    const size_t m = mode == VM_Textual ? 1 : 0;
    mSigmasOn[m] = on;
    if (mode == VM_Textual && on)
        mResidualsOn[1] = false;
    return true;
}

void SObjectCanvas::setPointOn(int index, bool on)
{
    if (MU_CHECK(index >= 0 && index < SGlobal::kPointCodeIndexCount, "SObjectView"))
        mPointOn[size_t(index)] = on;
}

void SObjectCanvas::setPointSymbol(int index, int symbol)
{
    if (MU_CHECK(index >= 0 && index < SGlobal::kPointCodeIndexCount, "SObjectView"))
        mPointSymbol[size_t(index)] = symbol;
}

void SObjectCanvas::setPointColor(int index, const QColor &color)
{
    if (MU_CHECK(index >= 0 && index < SGlobal::kPointCodeIndexCount, "SObjectView"))
        mPointColor[size_t(index)] = color;
}

void SObjectCanvas::setPointSize(int index, int size)
{
    if (MU_CHECK(index >= 0 && index < SGlobal::kPointCodeIndexCount, "SObjectView"))
        mPointSize[size_t(index)] = size;
}

void SObjectCanvas::applySettings(const SSettings::ObjectViewerSettings &s)
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
    for (int i = 0; i < SGlobal::kPointCodeIndexCount; ++i) {
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

int SObjectCanvas::largestHalfExtent() const
{
    int largest = 0;
    for (int i = 0; i < SGlobal::kPointCodeIndexCount; ++i)
        largest = std::max(largest, mPointSize[size_t(i)]);
    return (largest + 2 * std::max(0, mBlunderSize) + 2 * std::max(0, mMarkSize)) / 2 + 1;
}

int SObjectCanvas::footprintKey(int codeIndex, bool blunder) const
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

int SObjectCanvas::visitFootprint(int index, const QPoint &p, const QRect &area) const
{
    if (selected(index) || !within(area, p))
        return 0; // drawn whatever lies on it
    const SObjectPoint &point = *mList->at(index);
    return mWork.footprintIds[size_t(2 * pointCodeIndex(point.code()) + int(!point.isActive()))];
}

size_t SObjectCanvas::pixelIn(const QPoint &p, const QRect &area)
{
    return size_t(p.y() - area.top()) * size_t(area.width()) + size_t(p.x() - area.left());
}

void SObjectCanvas::numberFootprints()
{
    std::array<int, 2 * kCodes> keys;
    for (int codeIndex = 0; codeIndex < kCodes; ++codeIndex)
        for (int blunder = 0; blunder < 2; ++blunder)
            keys[size_t(2 * codeIndex + blunder)] = footprintKey(codeIndex, blunder != 0);
    // Equal keys get equal numbers, from 1; 0 where there is no footprint.
    for (size_t k = 0; k < keys.size(); ++k) {
        const auto first = std::find(keys.begin(), keys.end(), keys[k]);
        mWork.footprintIds[k] = keys[k] < 0                 ? 0
                                : first == keys.begin() + k ? quint8(1 + k)
                                                            : mWork.footprintIds[size_t(first - keys.begin())];
    }
}

bool SObjectCanvas::stampCoveredPoints(const QRect &area, bool withSelected)
{
    // Two unselected points on the same pixel with the same footprint in opaque colours: the
    // later one covers every pixel of the earlier one, so the earlier one need not be drawn.
    // Only worth it where points crowd, and only exact where the painter rasterises. Whether
    // it is done changes the time, never the picture: a whole-canvas visit counts the list.
    const qint64 pixels = qint64(area.width()) * area.height();
    if (!mWork.sprites.usable() || pixels > kMaxStampPixels)
        return false;
    const qint64 visits = mWork.visitAll ? qint64(mList->count()) : qint64(mWork.visit.size());
    if (visits * kCrowdFactor < pixels)
        return false;
    numberFootprints();
    // Backwards, the first point met on a pixel is the one on top: its footprint goes into
    // the pixel, and every earlier point there with the same footprint is covered. The points
    // left to draw are noted, so that the paint passes over the others (a band's many points
    // outside it among them) without working out their positions again.
    mWork.pixelFootprint.assign(size_t(pixels), 0);
    mWork.uncovered.assign((size_t(mList->count()) + 63) / 64, 0);
    forEachVisit<Order::Backward>(
        area, withSelected, [](int) { return false; },
        [&](int i, const QPoint &p) {
            const quint8 footprint = quint8(visitFootprint(i, p, area));
            if (footprint != 0) {
                quint8 &top = mWork.pixelFootprint[pixelIn(p, area)];
                if (top == footprint)
                    return;
                if (top == 0)
                    top = footprint;
            }
            mWork.uncovered[size_t(i) / 64] |= quint64(1) << (size_t(i) % 64);
        });
    return true;
}

void SObjectCanvas::preparePaintObjects()
{
    if (mColouring.isOn() && mRampBrushes[0].style() != Qt::SolidPattern) {
        for (size_t step = 0; step < mRampPens.size(); ++step) {
            const QColor color = SErrorColours::stepColour(int(step));
            mRampPens[step] = QPen(color, 0);
            mRampBrushes[step] = QBrush(color);
        }
    }
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

void SObjectCanvas::drawTextLine(QPainter &painter, const QRect &clip, int x, int baseline, const QColor &color)
{
    // A text's ink lies within its advances and the font's height, give or take one height
    // for overhangs: beyond that reach it cannot touch the clip.
    const int margin = mTextHeight;
    const QRect reach(x - margin, baseline - mTextAscent - margin, int(mWork.text.size()) * mTextMaxWidth + 2 * margin,
                      mTextAscent + mTextDescent + 2 * margin);
    if (!reach.intersects(clip))
        return;
    // Vector output writes every text drawn, clipped or not: there only texts whose bounds
    // meet the clip are drawn.
    if (!mWork.labels.exact() &&
        !painter.fontMetrics().boundingRect(mWork.text).translated(x, baseline).intersects(clip))
        return;
    if (mTextPen.color() != color)
        mTextPen = QPen(color, 0);
    painter.setPen(mTextPen);
    mWork.labels.draw(painter, x, baseline, mWork.text);
}

void SObjectCanvas::paintResidualVector(QPainter &painter, int px, int py, int index, const SObjectPoint &point)
{
    // Multiplied in this order, as single-precision rounding depends on it.
    const float zoom = mMapping.zoomFactor();
    const float verticalZoom = mMapping.verticalZoomFactor(); // an exaggerated plane stretches vectors too
    int ex = SCanvasGeometry::rnd(float(px) + point.horizontalResidual(mPlane) * mScale * zoom);
    int ey = SCanvasGeometry::rnd(float(py) - point.verticalResidual(mPlane) * mScale * verticalZoom);
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

void SObjectCanvas::paintConnections(QPainter &painter, int px, int py, int index, const SObjectPoint &point)
{
    const SImageLinks images = SImage::imagesOfPoint(point.id());
    for (SImage *image : images) {
        if (!image || !mSelectedCentres.contains(image->id()))
            continue;
        const QPoint centre =
            mMapping.map(image->projectionCentreHorizontal(mPlane), image->projectionCentreVertical(mPlane));
        const SImagePoint *imagePoint = image->imagePoint(point.id());
        painter.setPen(imagePoint && !imagePoint->isActive() ? mConnectionBlunderPen : mConnectionPens[size_t(index)]);
        painter.drawLine(px, py, centre.x(), centre.y());
    }
}

// ---- painting ---------------------------------------------------------------------------

bool SObjectCanvas::annotated() const
{
    return mPointIdsOn || mImageIdsOn || mLinkCountOn || mConnectionsOn || mResidualsOn[0] || mResidualsOn[1] ||
           mSigmasOn[0] || mSigmasOn[1];
}

void SObjectCanvas::refreshSelection()
{
    if (!mFrozen)
        mSelection = SSelectionSnapshot::of(*mList);
}

SObjectCanvas SObjectCanvas::frozenCopy(const std::atomic<bool> *cancel)
{
    if (isReady())
        refreshSelection();
    if (!mPlacement && mPositionsKept)
        mPlacement = std::make_shared<PlacementSlot>(); // shared with the copy, filled by either
    SObjectCanvas copy(*this);
    copy.mFrozen = true;
    copy.mCancel = cancel;
    copy.mRubberBand = QRect();
    // A font caches its engine for the thread that used it last: the copy gets a font of
    // its own (changing an attribute there and back detaches it), so that the two threads
    // do not switch one shared cache back and forth.
    const bool kerning = mTextFont.kerning();
    copy.mTextFont.setKerning(!kerning);
    copy.mTextFont.setKerning(kerning);
    return copy;
}

// Symbols of points near the rectangle, plus every selected point whose texts, vectors,
// ellipses or connections may reach into it; in list order. A rectangle over the whole canvas
// is visited as the list itself, so that a block of millions collects nothing; so is any
// rectangle while there is no grid (positions not kept), which would cost more than it saves.
void SObjectCanvas::collectVisits(const QRect &near, bool withSelected)
{
    mWork.visit.clear();
    mWork.visitAll = coversCanvas(near) || !mPlacement;
    if (mWork.visitAll)
        return;
    placement().grid.query(near, mWork.visit);
    if (withSelected) {
        const std::vector<int> &selectedIndices = mSelection->indices();
        const size_t gridCount = mWork.visit.size();
        mWork.visit.insert(mWork.visit.end(), selectedIndices.begin(), selectedIndices.end());
        std::inplace_merge(mWork.visit.begin(), mWork.visit.begin() + long(gridCount), mWork.visit.end());
        mWork.visit.erase(std::unique(mWork.visit.begin(), mWork.visit.end()), mWork.visit.end());
    }
}

template <SObjectCanvas::Order order, typename Skip, typename Visit>
void SObjectCanvas::forEachVisit(const QRect &near, bool withSelected, Skip skip, Visit visit) const
{
    // A copy painting elsewhere looks for a cancel every this many points.
    constexpr size_t kCancelStride = 4096;
    const size_t count = mWork.visitAll ? size_t(mList->count()) : mWork.visit.size();
    // Positions worked out here: the row first, which rules out most points of a band.
    const bool mapHere = mWork.visitAll && !isPlaced();
    for (size_t v = 0; v < count && !(v % kCancelStride == 0 && cancelled()); ++v) {
        const size_t at = order == Order::Forward ? v : count - 1 - v;
        const int i = mWork.visitAll ? int(at) : mWork.visit[at];
        if (!skip(i))
            visitIndex(i, near, withSelected, mapHere, visit);
    }
}

template <typename Visit> void SObjectCanvas::forEachUncovered(const QRect &near, bool withSelected, Visit visit) const
{
    // A word of 64 points at a time: which points are left is as good as random, and a test
    // per point would cost a mispredicted branch for about every other one.
    constexpr size_t kCancelStrideWords = 64;
    const bool mapHere = mWork.visitAll && !isPlaced();
    const std::vector<quint64> &uncovered = mWork.uncovered;
    for (size_t word = 0; word < uncovered.size() && !(word % kCancelStrideWords == 0 && cancelled()); ++word)
        for (quint64 bits = uncovered[word]; bits != 0; bits &= bits - 1)
            visitIndex(int(word * 64 + size_t(std::countr_zero(bits))), near, withSelected, mapHere, visit);
}

template <typename Visit>
void SObjectCanvas::visitIndex(int i, const QRect &near, bool withSelected, bool mapHere, Visit &visit) const
{
    if (!mapHere) {
        const QPoint p = positionOf(i);
        if (!mWork.visitAll || within(near, p) || (withSelected && selected(i)))
            visit(i, p);
        return;
    }
    const SObjectPoint &point = *mList->at(i);
    const int y = mMapping.row(axisValue(point, mVerticalAxis));
    const bool nearRow = y >= near.top() && y <= near.bottom();
    if (!nearRow && !(withSelected && selected(i)))
        return;
    const QPoint p(mMapping.column(axisValue(point, mHorizontalAxis)), y);
    if ((nearRow && p.x() >= near.left() && p.x() <= near.right()) || (withSelected && selected(i)))
        visit(i, p);
}

void SObjectCanvas::paintVisits(QPainter &painter, const QRect &rect)
{
    const int reach = largestHalfExtent();
    const QRect near = rect.adjusted(-reach, -reach, reach, reach);
    const bool withSelected = annotated() && !mPointsOnly;
    collectVisits(near, withSelected);
    const bool culled = stampCoveredPoints(near, withSelected);
    // A covered point, or one the culling did not visit, is skipped before its position is
    // worked out.
    const auto paint = [&](int i, const QPoint &p) { paintPoint(painter, rect, i, p); };
    if (culled)
        forEachUncovered(near, withSelected, paint);
    else
        forEachVisit(
            near, withSelected, [](int) { return false; }, paint);
    if (!mPositionsKept) { // painted once: the culling's buffers are not needed again
        mWork.pixelFootprint = std::vector<quint8>();
        mWork.uncovered = std::vector<quint64>();
    }
}

void SObjectCanvas::paintCanvas(QPainter &painter, const QRect &rect, VisitE visit)
{
    if (!isReady() || rect.isEmpty())
        return;
    refreshSelection();
    painter.save();
    painter.setClipRect(rect);
    prepareConnectionPens();
    preparePaintObjects();
    mWork.sprites.beginPaint(painter);
    painter.setPen(QPen(Qt::black, 0));
    painter.setFont(mTextFont);
    measureText(painter);
    painter.fillRect(rect, mBackgroundColor);
    if (mScale == 0.0f)
        mScale = 1.0f;

    // A copy painting elsewhere looks for a cancel every this many points.
    constexpr int kCancelStride = 4096;
    if (visit == VisitE::AllPoints) {
        for (int i = 0; i < mList->count() && !(i % kCancelStride == 0 && cancelled()); ++i)
            paintPoint(painter, rect, i, positionOf(i));
    } else if (mDensityOn) {
        paintDensity(painter, rect);
    } else {
        paintVisits(painter, rect);
    }
    paintRubberBand(painter, rect);
    mWork.sprites.endPaint();
    painter.restore();
}

void SObjectCanvas::paintPointsOnly(QPainter &painter, const QRect &rect)
{
    mPointsOnly = true;
    paintCanvas(painter, rect);
    mPointsOnly = false;
}

void SObjectCanvas::paintRubberBand(QPainter &painter, const QRect &clip) const
{
    if (!mRubberBand.isValid() || !mRubberBand.adjusted(-1, -1, 1, 1).intersects(clip))
        return;
    painter.save();
    painter.setClipRect(clip, Qt::IntersectClip);
    painter.setPen(mBandPen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(mRubberBand.adjusted(0, 0, -1, -1));
    painter.restore();
}

void SObjectCanvas::paintDensity(QPainter &painter, const QRect &rect)
{
    for (int top = rect.top(); top <= rect.bottom(); top += kDensityTile)
        for (int left = rect.left(); left <= rect.right(); left += kDensityTile)
            paintDensityTile(painter, QRect(left, top, kDensityTile, kDensityTile) & rect);
    painter.setClipRect(rect);
    // Selected points over the density, with their marks and everything they show; each
    // is clipped to rect where it is drawn.
    for (int i : mSelection->indices())
        paintPoint(painter, rect, i, positionOf(i));
}

// One pass counts the shown points per pixel. A point with no other shown point under its
// symbol is drawn as always; every other point shows as the count of its pixel, in one image
// over the symbols. The counts reach twice the largest symbol beyond the tile, so that a
// neighbour's symbol is drawn exactly when it is alone, whichever tile draws it.
void SObjectCanvas::paintDensityTile(QPainter &painter, const QRect &tile)
{
    painter.setClipRect(tile);
    const int reach = largestHalfExtent();
    const QRect near = tile.adjusted(-reach, -reach, reach, reach); // symbols that reach into the tile
    const QRect wide = near.adjusted(-reach, -reach, reach, reach); // what lies under those symbols
    mWork.tileVisit.clear();
    const Placement &placed = placement();
    placed.grid.query(wide, mWork.tileVisit);
    const size_t width = size_t(wide.width()) + 1; // the sums have a zero row and column first
    mWork.pixelCounts.assign(width * (size_t(wide.height()) + 1), 0);
    const auto sumAt = [&](int x, int y) -> int & {
        return mWork.pixelCounts[size_t(y - wide.top() + 1) * width + size_t(x - wide.left() + 1)];
    };
    size_t kept = 0;
    for (int i : mWork.tileVisit) {
        const QPoint &p = placed.positions[size_t(i)];
        if (!isShown(*mList->at(i)) || !wide.contains(p))
            continue;
        ++sumAt(p.x(), p.y());
        mWork.tileVisit[kept++] = i;
    }
    mWork.tileVisit.resize(kept);
    // Summed areas: points in any rectangle of wide in four look-ups.
    for (int y = wide.top(); y <= wide.bottom(); ++y)
        for (int x = wide.left(); x <= wide.right(); ++x)
            sumAt(x, y) += sumAt(x - 1, y) + sumAt(x, y - 1) - sumAt(x - 1, y - 1);
    const auto pointsIn = [&](int left, int top, int right, int bottom) {
        return sumAt(right, bottom) - sumAt(left - 1, bottom) - sumAt(right, top - 1) + sumAt(left - 1, top - 1);
    };

    QImage density;
    for (int i : mWork.tileVisit) {
        const QPoint &p = placed.positions[size_t(i)];
        if (!near.contains(p))
            continue;
        const int half = mPointSize[size_t(pointCodeIndex(mList->at(i)->code()))] / 2;
        if (pointsIn(p.x() - half, p.y() - half, p.x() + half, p.y() + half) == 1) {
            if (!selected(i))
                paintPoint(painter, tile, i, p);
        } else if (tile.contains(p)) {
            if (density.isNull()) {
                density = QImage(tile.size(), QImage::Format_ARGB32_Premultiplied);
                density.fill(Qt::transparent);
            }
            reinterpret_cast<QRgb *>(density.scanLine(p.y() - tile.top()))[p.x() - tile.left()] =
                SDensityRamp::countPixel(pointsIn(p.x(), p.y(), p.x(), p.y()));
        }
    }
    if (!density.isNull())
        painter.drawImage(tile.topLeft(), density);
}

// One pen per colour, made before the paint: changing one pen's colour for every line would
// copy it each time, as the painter shares it.
void SObjectCanvas::prepareConnectionPens()
{
    Qt::PenStyle style = Qt::SolidLine;
    switch (mLinkLineType) {
    case 1: style = Qt::DashLine; break;
    case 2: style = Qt::DotLine; break;
    default: break;
    }
    const auto prepare = [style](QPen &pen, const QColor &color) {
        if (pen.color() != color || pen.style() != style || pen.widthF() != 0.0)
            pen = QPen(color, 0, style);
    };
    for (size_t i = 0; i < mConnectionPens.size(); ++i)
        prepare(mConnectionPens[i], mPointColor[i]);
    prepare(mConnectionBlunderPen, mBlunderColor);
}

void SObjectCanvas::measureText(QPainter &painter)
{
    // Only texts need the font: without them a paint loads no font at all, which a block
    // exported once notices in its time and memory.
    if (!annotated())
        return;
    const QFontMetrics metrics = painter.fontMetrics();
    mTextAscent = metrics.ascent();
    mTextDescent = metrics.descent();
    mTextHeight = metrics.height();
    mTextMaxWidth = metrics.maxWidth();
    mWork.labels.begin(painter);
}

void SObjectCanvas::paintPoint(QPainter &painter, const QRect &clip, int index, const QPoint &position)
{
    const SObjectPoint &point = *mList->at(index);
    const int codeIndex = pointCodeIndex(point.code());
    if (codeIndex < 0 || codeIndex >= kCodes || !mPointOn[size_t(codeIndex)])
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
    const bool isSelected = selected(index);
    if (isSelected)
        extent += 2 * mMarkSize;
    const int px = position.x();
    const int py = position.y();
    // Unusable coordinates (NaN, infinite, far out) map to the int limits: nothing to draw.
    if (!SCanvasGeometry::isDrawable(px) || !SCanvasGeometry::isDrawable(py))
        return;
    const int k = extent / 2;

    if (QRect(px - k, py - k, extent, extent).intersects(clip)) {
        if (isSelected)
            mWork.sprites.draw(painter, SObjectSprites::SH_Disc, px, py, extent, mMarkPen, mMarkBrush);
        if (blunder) {
            const int d = symbolSize + 2 * mBlunderSize;
            mWork.sprites.draw(painter, SObjectSprites::SH_Disc, px, py, d, mBlunderPen, mBlunderBrush);
        }
        const int step = mColouring.isOn() ? errorStep(point) : -1;
        const QPen &pen = step < 0 ? mSymbolPens[size_t(codeIndex)] : mRampPens[size_t(step)];
        const QBrush &brush = step < 0 ? mSymbolBrushes[size_t(codeIndex)] : mRampBrushes[size_t(step)];
        mWork.sprites.draw(painter, mPointSymbol[size_t(codeIndex)], px, py, symbolSize, pen, brush);
    }
    if (!isSelected || mPointsOnly)
        return;
    paintTexts(painter, clip, px, py, k, codeIndex, point);
    if (mResidualsOn[VM_Graphical])
        paintResidualVector(painter, px, py, codeIndex, point);
    if (mSigmasOn[VM_Graphical])
        paintSigmaEllipse(painter, px, py, codeIndex, point);
    if (mConnectionsOn && !point.isProjectionCentre())
        paintConnections(painter, px, py, codeIndex, point);
}

int SObjectCanvas::errorStep(const SObjectPoint &point) const
{
    double largest = -1.0;
    if (mColouring.measure == SErrorColours::MeasureE::Sigma) {
        if (mSigmasAvailable)
            largest = std::max(
                {std::abs(double(point.sigmaX())), std::abs(double(point.sigmaY())), std::abs(double(point.sigmaZ()))});
    } else if (mColouring.measure == SErrorColours::MeasureE::Residual) {
        const SObjectCoord &observation = point.observation();
        for (int axis = 0; axis < 3; ++axis)
            if (point.hasObservation(axis) && !point.isRejected(axis))
                largest = std::max(largest, std::abs(double(observation.deviation(axis))));
    }
    return largest < 0.0 ? -1 : SErrorColours::rampStep(largest, mColouring.threshold);
}

void SObjectCanvas::paintLegend(QPainter &painter, const QRect &area) const
{
    SErrorColours::paintLegend(painter, area, mColouring, mTextFont);
    if (mScaleBarOn && isReady())
        SScaleMarks::paintScaleBar(painter, area, double(mMapping.zoomFactor()), mTextFont);
    if (mDensityOn)
        SDensityRamp::paintLegend(painter, area, mTextFont);
}

void SObjectCanvas::paintSigmaEllipse(QPainter &painter, int px, int py, int index, const SObjectPoint &point)
{
    const int w = SCanvasGeometry::rnd(point.horizontalSigma(mPlane) * mScale * mMapping.zoomFactor());
    const int t = SCanvasGeometry::rnd(point.verticalSigma(mPlane) * mScale * mMapping.verticalZoomFactor());
    if (!SCanvasGeometry::isDrawable(w) || !SCanvasGeometry::isDrawable(t)) // NaN sigmas draw nothing
        return;
    painter.setPen(mSymbolPens[size_t(index)]);
    painter.setBrush(Qt::NoBrush);
    drawDisc(painter, px - w / 2, py - t / 2, w, t);
}

void SObjectCanvas::paintTexts(QPainter &painter, const QRect &clip, int px, int py, int k, int index,
                               const SObjectPoint &point)
{
    const int x = px + k + kTextGap;
    // All lines lie right of x, from the link count above the point to the third value line.
    const int margin = mTextHeight;
    if (x - margin > clip.right() || py - kLinkTextGap - 2 * mTextHeight - margin > clip.bottom() ||
        py + 5 * mTextHeight + margin < clip.top())
        return;
    const QColor &textColor = point.isActive() ? mPointColor[size_t(index)] : mBlunderColor;
    const bool centre = point.isProjectionCentre();

    if (mLinkCountOn) {
        const int links = centre ? SImage::activePointCount(point.id()) : SImage::numberOfLinks(point.id());
        mWork.text.setNum(links);
        drawTextLine(painter, clip, x, py - mTextDescent - kLinkTextGap, textColor);
    }
    if ((mPointIdsOn && !centre) || (mImageIdsOn && centre)) {
        mWork.text.setNum(point.id());
        drawTextLine(painter, clip, x, py + mTextDescent + 1, textColor);
    }
    if (mResidualsOn[VM_Textual] || mSigmasOn[VM_Textual])
        paintValueLines(painter, clip, x, py + mTextDescent + mTextHeight - 1, index, point);
}

// Residual or sigma values, one line per axis below the point.
void SObjectCanvas::paintValueLines(QPainter &painter, const QRect &clip, int x, int baseline, int index,
                                    const SObjectPoint &point)
{
    const QColor &pointColor = mPointColor[size_t(index)];
    const int lineStep = mTextHeight - 1;
    if (mResidualsOn[VM_Textual]) {
        const SObjectCoord &observation = point.observation();
        int line = baseline;
        for (int axis = 0; axis < 3; ++axis) {
            if (!point.hasObservation(axis))
                continue;
            mWork.text = QString::asprintf(mResidualFormats[size_t(axis)].constData(),
                                           double(observation.deviation(axis)), double(observation.extra(axis)));
            const bool rejectedLine = !point.isActive() && point.isRejected(axis);
            drawTextLine(painter, clip, x, line, rejectedLine ? mBlunderColor : pointColor);
            line += lineStep;
        }
    }
    if (mSigmasOn[VM_Textual]) {
        const float sigmas[3] = {point.sigmaX(), point.sigmaY(), point.sigmaZ()};
        int line = baseline;
        for (int axis = 0; axis < 3; ++axis) {
            mWork.text = QString::asprintf(mSigmaFormats[size_t(axis)].constData(), double(sigmas[axis]));
            drawTextLine(painter, clip, x, line, pointColor);
            line += lineStep;
        }
    }
}

// ---- selection --------------------------------------------------------------------------

void SObjectCanvas::takeSelectedCentres(bool replace, std::span<SObjectPoint *const> centres)
{
    if (replace)
        mSelectedCentres.clear();
    for (SObjectPoint *centre : centres)
        mSelectedCentres.insert(centre->id(), centre);
}

void SObjectCanvas::deselectAll()
{
    if (!isReady())
        return;
    mSelectedCentres.clear();
    SSelectionSnapshot::deselectAll(*mList);
}

void SObjectCanvas::selectPointIds(const QSet<int> &pointIds, const QSet<int> &centreIds)
{
    if (!isReady())
        return;
    std::vector<SObjectPoint *> centres;
    mList->selectIds(pointIds, centreIds, centres);
    takeSelectedCentres(true, centres);
}

void SObjectCanvas::selectPointsInRect(const QRect &rect, bool add)
{
    if (!isReady())
        return;
    if (!add)
        deselectAll();
    const auto select = [this](int i) {
        SObjectPoint *point = mList->at(i);
        mList->addToSelection(*point);
        if (point->isProjectionCentre())
            mSelectedCentres.insert(point->id(), point);
    };
    if (coversCanvas(rect)) {
        for (int i = 0; i < mList->count(); ++i)
            if (rect.contains(positionOf(i)))
                select(i);
        return;
    }
    mWork.visit.clear();
    placement().grid.query(rect, mWork.visit);
    for (int i : mWork.visit)
        select(i);
}

void SObjectCanvas::selectPoints(const SSearchRequest &request)
{
    if (!isReady())
        return;
    std::vector<SObjectPoint *> centres;
    const bool replace = request.selectionMode() == SGlobal::SL_Erase;
    try {
        request.select(*mList, centres);
    } catch (...) {
        takeSelectedCentres(replace, centres); // the flags changed so far stay changed
        throw;
    }
    takeSelectedCentres(replace, centres);
}

void SObjectCanvas::selectImagePoints(SImage *image, bool erase)
{
    if (!image || !isReady())
        return;
    if (erase)
        SSelectionSnapshot::deselectAll(*mList); // only the selected points, not the whole list
    SObjectPoint *centre = mList->selectImagePoints(*image, false);
    if (erase)
        mSelectedCentres.clear();
    if (centre)
        mSelectedCentres.insert(centre->id(), centre);
}
