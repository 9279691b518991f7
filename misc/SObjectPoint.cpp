// SPDX-License-Identifier: GPL-3.0-or-later
#include "misc/SObjectPoint.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <mutex>
#include <unordered_map>
#include <utility>
#include <vector>

#include "framework/MuMath.h"
#include "misc/SGlobal.h"
#include "misc/SImageData.h"

namespace {

SObjectCoord makeEmptyObservation()
{
    SObjectCoord c;
    c.X = c.Y = c.Z = SGlobal::kNoObservation;
    return c;
}

const SObjectCoord &emptyObservation()
{
    static const SObjectCoord block = makeEmptyObservation();
    return block;
}

// The observation blocks of the points that have one, by the point's address (a point moves
// its block along). Guarded, as points of different projects may live on different threads.
struct ObservationTable {
    std::mutex mutex;
    std::unordered_map<const SObjectPoint *, std::unique_ptr<SObjectCoord>> blocks;
};

ObservationTable &observationTable()
{
    // Never destroyed: points in static storage may still leave after the end of main.
    static ObservationTable *const table = new ObservationTable;
    return *table;
}

// A lookup after this fraction of the list (or more) was appended indexes the new points in bulk.
constexpr size_t kBulkIndexFraction = 8;
// A batch of ids up to this fraction of an unindexed list is looked up by one pass over it.
constexpr size_t kScanFraction = 16;

// The ids of such a batch as bits, a few per id, that turn most points of the pass away
// before the look-up in the batch's index.
class IdFilter {
public:
    explicit IdFilter(std::span<const int> ids)
    {
        while (mask + 1 < kBitsPerId * ids.size())
            mask = 2 * mask + 1;
        bits.assign((mask + 1) / 64, 0);
        for (const int id : ids)
            bits[bitOf(id) / 64] |= quint64(1) << (bitOf(id) % 64);
    }
    bool mayHold(int id) const { return (bits[bitOf(id) / 64] >> (bitOf(id) % 64)) & 1; }

private:
    static constexpr size_t kBitsPerId = 8;
    size_t bitOf(int id) const { return size_t((quint64(uint32_t(id)) * 0x9E3779B97F4A7C15ull) >> 32) & mask; }
    size_t mask = 4095;
    std::vector<quint64> bits;
};

} // namespace

float SObjectCoord::coord(int axis) const
{
    switch (axis) {
    case 0: return X;
    case 1: return Y;
    case 2: return Z;
    default: return 0.0f;
    }
}

float SObjectCoord::deviation(int axis) const
{
    switch (axis) {
    case 0: return dX;
    case 1: return dY;
    case 2: return dZ;
    default: return 0.0f;
    }
}

bool SObjectCoord::flag(int axis) const
{
    switch (axis) {
    case 0: return flagX;
    case 1: return flagY;
    case 2: return flagZ;
    default: return false;
    }
}

float SObjectCoord::extra(int axis) const
{
    switch (axis) {
    case 0: return eX;
    case 1: return eY;
    case 2: return eZ;
    default: return 0.0f;
    }
}

void SObjectPoint::copyObservation(const SObjectPoint &other) { ownObservation() = other.observation(); }

SObjectPoint::SObjectPoint(SObjectPoint &&other) noexcept
    : mId(other.mId), mCode(other.mCode), mSelected(other.mSelected), mActive(other.mActive), mX(other.mX),
      mY(other.mY), mZ(other.mZ), mSigmaX(other.mSigmaX), mSigmaY(other.mSigmaY), mSigmaZ(other.mSigmaZ)
{
    takeObservation(other);
}

SObjectPoint &SObjectPoint::operator=(const SObjectPoint &other)
{
    if (this != &other) {
        SObjectPoint copy(other);
        *this = std::move(copy);
    }
    return *this;
}

SObjectPoint &SObjectPoint::operator=(SObjectPoint &&other) noexcept
{
    if (this == &other)
        return *this;
    dropObservation();
    mId = other.mId;
    mCode = other.mCode;
    mSelected = other.mSelected;
    mActive = other.mActive;
    mX = other.mX;
    mY = other.mY;
    mZ = other.mZ;
    mSigmaX = other.mSigmaX;
    mSigmaY = other.mSigmaY;
    mSigmaZ = other.mSigmaZ;
    takeObservation(other);
    return *this;
}

void SObjectPoint::takeObservation(SObjectPoint &other)
{
    if (!other.mObserved)
        return;
    ObservationTable &table = observationTable();
    const std::lock_guard lock(table.mutex);
    auto node = table.blocks.extract(&other);
    node.key() = this;
    table.blocks.insert(std::move(node));
    other.mObserved = false;
    mObserved = true;
}

void SObjectPoint::dropObservation()
{
    if (!mObserved)
        return;
    ObservationTable &table = observationTable();
    const std::lock_guard lock(table.mutex);
    table.blocks.erase(this);
    mObserved = false;
}

SObjectCoord SObjectPoint::adjusted() const
{
    SObjectCoord c;
    c.id = mId;
    c.X = mX;
    c.Y = mY;
    c.Z = mZ;
    c.dX = mSigmaX;
    c.dY = mSigmaY;
    c.dZ = mSigmaZ;
    return c;
}

const SObjectCoord &SObjectPoint::observation() const
{
    if (!mObserved)
        return emptyObservation();
    ObservationTable &table = observationTable();
    const std::lock_guard lock(table.mutex);
    return *table.blocks.at(this);
}

SObjectCoord &SObjectPoint::ownObservation()
{
    ObservationTable &table = observationTable();
    const std::lock_guard lock(table.mutex);
    std::unique_ptr<SObjectCoord> &block = table.blocks[this];
    if (!mObserved)
        block = std::make_unique<SObjectCoord>(emptyObservation());
    mObserved = true;
    return *block;
}

static_assert(SGlobal::kCodeProjectionCentre == 900 && SGlobal::kCodeObservedProjectionCentre == 901);
// Half a million points and more: every byte of a point counts in the resident memory.
static_assert(sizeof(SObjectPoint) == 32);

bool SObjectPoint::hasObservation(int axis) const
{
    return axis >= 0 && axis <= 2 && observation().coord(axis) < SGlobal::kNoObservation;
}

bool SObjectPoint::isRejected(int axis) const { return !observation().flag(axis); }

float SObjectPoint::horizontal(int plane) const
{
    const int axis = planeHorizontalAxis(plane);
    return axis < 0 ? 0.0f : adjusted().coord(axis);
}

float SObjectPoint::vertical(int plane) const
{
    const int axis = planeVerticalAxis(plane);
    return axis < 0 ? 0.0f : adjusted().coord(axis);
}

float SObjectPoint::horizontalSigma(int plane) const
{
    const int axis = planeHorizontalAxis(plane);
    return axis < 0 ? 0.0f : adjusted().deviation(axis);
}

float SObjectPoint::verticalSigma(int plane) const
{
    const int axis = planeVerticalAxis(plane);
    return axis < 0 ? 0.0f : adjusted().deviation(axis);
}

float SObjectPoint::horizontalResidual(int plane) const
{
    const int axis = planeHorizontalAxis(plane);
    return axis < 0 ? 0.0f : observation().deviation(axis);
}

float SObjectPoint::verticalResidual(int plane) const
{
    const int axis = planeVerticalAxis(plane);
    return axis < 0 ? 0.0f : observation().deviation(axis);
}

int SObjectPoint::rejectionState(int plane) const
{
    const int h = planeHorizontalAxis(plane);
    const int v = planeVerticalAxis(plane);
    if (h < 0)
        return -1;
    const bool hRejected = isRejected(h);
    const bool vRejected = isRejected(v);
    if (hRejected && vRejected)
        return 1;
    return hRejected != vRejected ? 2 : 0;
}

bool SObjectPoint::rejectedAxisHasObservation(int plane) const
{
    if (rejectionState(plane) != 2)
        return false;
    const int h = planeHorizontalAxis(plane);
    const int v = planeVerticalAxis(plane);
    return isRejected(h) ? hasObservation(h) : hasObservation(v);
}

bool SObjectPoint::horizontalRejected(int plane) const
{
    const int axis = planeHorizontalAxis(plane);
    return axis < 0 ? false : isRejected(axis);
}

void SObjectPoint::setObservation(int axis, float observed, float residual, float extra)
{
    SObjectCoord &c = ownObservation();
    switch (axis) {
    case AX_X:
        c.X = observed;
        c.dX = residual;
        c.eX = extra;
        break;
    case AX_Y:
        c.Y = observed;
        c.dY = residual;
        c.eY = extra;
        break;
    case AX_Z:
        c.Z = observed;
        c.dZ = residual;
        c.eZ = extra;
        break;
    default: break;
    }
}

void SObjectPoint::setAccepted(int axis, bool accepted)
{
    SObjectCoord &c = ownObservation();
    switch (axis) {
    case AX_X: c.flagX = accepted; break;
    case AX_Y: c.flagY = accepted; break;
    case AX_Z: c.flagZ = accepted; break;
    default: break;
    }
}

SObjectPointList::SObjectPointList() { resetBox(); }

void SObjectPointList::resetBox()
{
    mXmin = mYmin = mZmin = Mu::Math::MAX_FLT;
    mXmax = mYmax = mZmax = -Mu::Math::MAX_FLT;
}

void SObjectPointList::appendAll(SObjectPointList &other)
{
    if (mPoints.size() < other.mPoints.size()) {
        for (auto it = mPoints.rbegin(); it != mPoints.rend(); ++it)
            other.mPoints.push_front(std::move(*it));
        mPoints.swap(other.mPoints);
    } else {
        for (SObjectPoint &point : other.mPoints)
            mPoints.push_back(std::move(point));
    }
    // Of equal values the earlier stays, as when the points are appended one by one.
    mXmin = std::min(mXmin, other.mXmin);
    mYmin = std::min(mYmin, other.mYmin);
    mZmin = std::min(mZmin, other.mZmin);
    mXmax = std::max(mXmax, other.mXmax);
    mYmax = std::max(mYmax, other.mYmax);
    mZmax = std::max(mZmax, other.mZmax);
    mSelectedCount += other.mSelectedCount;
    mFlagged += other.mFlagged;
    ++mSelectionGeneration;
    other.clear();
}

void SObjectPointList::keepFirst(int n)
{
    if (n < 0 || size_t(n) >= mPoints.size())
        return;
    mPoints.erase(mPoints.begin() + n, mPoints.end());
    mFirstById.clear();
    mIndexedCount = 0;
    resetBox();
    mFlagged = 0;
    for (const SObjectPoint &point : mPoints) {
        includeInBox(point);
        mFlagged += point.isSelected() ? 1 : 0;
    }
}

void SObjectPointList::indexNewPoints() const
{
    const size_t count = mPoints.size();
    if (mIndexedCount == count)
        return;
    const auto idAt = [this](uint32_t pos) { return mPoints[pos].id(); };
    if (count - mIndexedCount < mIndexedCount / kBulkIndexFraction) {
        for (size_t pos = mIndexedCount; pos < count; ++pos)
            mFirstById.insertIfAbsent(mPoints[pos].id(), uint32_t(pos), idAt);
    } else {
        // Many new points: probe against a flat copy of the ids instead of the points
        // scattered over the deque, and size the table once.
        std::vector<int> ids;
        ids.reserve(count);
        for (const SObjectPoint &point : mPoints)
            ids.push_back(point.id());
        const auto idOf = [&ids](uint32_t pos) { return ids[pos]; };
        mFirstById.reserve(count, idOf);
        for (size_t pos = mIndexedCount; pos < count; ++pos)
            mFirstById.insertIfAbsent(ids[pos], uint32_t(pos), idOf);
    }
    mIndexedCount = count;
}

SObjectPoint *SObjectPointList::find(int id) { return const_cast<SObjectPoint *>(std::as_const(*this).find(id)); }

const SObjectPoint *SObjectPointList::find(int id) const
{
    indexNewPoints();
    const uint32_t pos = mFirstById.value(id, [this](uint32_t p) { return mPoints[p].id(); });
    return pos == SIdIndex::kNone ? nullptr : &mPoints[pos];
}

void SObjectPointList::findEach(std::span<const int> ids, std::span<SObjectPoint *> found)
{
    if (mIndexedCount == mPoints.size() || ids.size() * kScanFraction > mPoints.size()) {
        for (size_t i = 0; i < ids.size(); ++i)
            found[i] = find(ids[i]);
        return;
    }
    // The wanted ids by their first place in the batch, then the list in order: the first
    // point met with a wanted id is the one find() would give.
    SIdIndex wanted;
    const auto idOf = [ids](uint32_t i) { return ids[i]; };
    wanted.reserve(ids.size(), idOf);
    size_t distinct = 0;
    for (size_t i = 0; i < ids.size(); ++i)
        if (wanted.insertIfAbsent(ids[i], uint32_t(i), idOf) == i)
            ++distinct;
    std::vector<SObjectPoint *> firstPoint(ids.size(), nullptr);
    const IdFilter filter(ids);
    for (auto it = mPoints.begin(); it != mPoints.end() && distinct > 0; ++it) {
        if (!filter.mayHold(it->id()))
            continue;
        const uint32_t i = wanted.value(it->id(), idOf);
        if (i != SIdIndex::kNone && !firstPoint[i]) {
            firstPoint[i] = &*it;
            --distinct;
        }
    }
    for (size_t i = 0; i < ids.size(); ++i)
        found[i] = firstPoint[wanted.value(ids[i], idOf)];
}

namespace {
float boxValue(int axis, float x, float y, float z)
{
    switch (axis) {
    case 0: return x;
    case 1: return y;
    case 2: return z;
    default: return 0.0f;
    }
}
} // namespace

float SObjectPointList::horizontalMin(int plane) const
{
    return boxValue(planeHorizontalAxis(plane), mXmin, mYmin, mZmin);
}

float SObjectPointList::verticalMin(int plane) const { return boxValue(planeVerticalAxis(plane), mXmin, mYmin, mZmin); }

float SObjectPointList::horizontalMax(int plane) const
{
    return boxValue(planeHorizontalAxis(plane), mXmax, mYmax, mZmax);
}

float SObjectPointList::verticalMax(int plane) const { return boxValue(planeVerticalAxis(plane), mXmax, mYmax, mZmax); }

float SObjectPointList::horizontalExtent(int plane) const { return horizontalMax(plane) - horizontalMin(plane); }

float SObjectPointList::verticalExtent(int plane) const { return verticalMax(plane) - verticalMin(plane); }

void SObjectPointList::setSelected(SObjectPoint &point, bool selected)
{
    if (point.mSelected == selected)
        return;
    point.mSelected = selected;
    mFlagged += selected ? 1 : -1;
    ++mSelectionGeneration;
}

void SObjectPointList::addToSelection(SObjectPoint &point)
{
    if (point.mSelected)
        return;
    setSelected(point, true);
    ++mSelectedCount;
}

void SObjectPointList::deselectAll()
{
    if (mFlagged > 0) // a pass only where a flag is set
        for (SObjectPoint &p : mPoints)
            p.mSelected = false;
    mFlagged = 0;
    mSelectedCount = 0;
    ++mSelectionGeneration;
}

void SObjectPointList::selectIds(const QSet<int> &pointIds, const QSet<int> &centreIds,
                                 std::vector<SObjectPoint *> &centres)
{
    int count = 0;
    for (SObjectPoint &point : mPoints) {
        const bool centre = point.isProjectionCentre();
        const bool select = centre ? centreIds.contains(point.id()) : pointIds.contains(point.id());
        setSelected(point, select);
        count += select ? 1 : 0;
        if (select && centre)
            centres.push_back(&point);
    }
    mSelectedCount = count;
}

namespace {

// The point ids an image measured, for a pass over a block of millions of points: a filter of
// the ids' low bits small enough to stay in the first-level cache turns almost every point
// away at once, and only the few that pass it are searched in the image's table.
class MeasuredIds {
public:
    explicit MeasuredIds(const SImage &image) : mImage(image)
    {
        for (const SImagePointEntry &entry : image.points())
            mFilter[slot(entry.id) / 64] |= quint64(1) << (slot(entry.id) % 64);
    }

    bool contains(int id) const
    {
        return ((mFilter[slot(id) / 64] >> (slot(id) % 64)) & 1) != 0 && mImage.hasImagePoint(id);
    }

private:
    static constexpr unsigned kFilterBits = 1u << 16; // 8 KB
    static unsigned slot(int id) { return unsigned(id) & (kFilterBits - 1); }
    const SImage &mImage;
    std::array<quint64, kFilterBits / 64> mFilter{};
};

} // namespace

SObjectPoint *SObjectPointList::selectImagePoints(const SImage &image, bool erase)
{
    if (erase)
        deselectAll();
    const MeasuredIds measured(image);
    SObjectPoint *centre = nullptr;
    for (SObjectPoint &point : mPoints) {
        bool select = false;
        if (point.isProjectionCentre()) {
            select = !centre && point.id() == image.id();
            if (select)
                centre = &point;
        } else {
            select = measured.contains(point.id());
        }
        if (select)
            addToSelection(point);
    }
    return centre;
}

void SObjectPointList::clear()
{
    Storage().swap(mPoints);
    mFirstById.clear();
    mIndexedCount = 0;
    resetBox();
    mSelectedCount = 0;
    mFlagged = 0;
    ++mSelectionGeneration;
}

void SObjectPointList::swap(SObjectPointList &other) noexcept
{
    std::swap(mPoints, other.mPoints);
    std::swap(mFirstById, other.mFirstById);
    std::swap(mIndexedCount, other.mIndexedCount);
    std::swap(mXmin, other.mXmin);
    std::swap(mYmin, other.mYmin);
    std::swap(mZmin, other.mZmin);
    std::swap(mXmax, other.mXmax);
    std::swap(mYmax, other.mYmax);
    std::swap(mZmax, other.mZmax);
    std::swap(mSelectedCount, other.mSelectedCount);
    std::swap(mFlagged, other.mFlagged);
    // Each list now holds other flags: what views derived from the old ones is stale.
    ++mSelectionGeneration;
    ++other.mSelectionGeneration;
}
