// SPDX-License-Identifier: GPL-3.0-or-later
#include "misc/SPointIndex.h"

#include <algorithm>
#include <climits>
#include <span>
#include <tuple>
#include <utility>

namespace {
// The dense window spends a row on every id in it: at most this many per link (or a few
// thousand anyway), so that it never costs more than hashing the ids would.
constexpr size_t kDenseRowsPerLink = 2;
constexpr size_t kMinDenseRows = 4096;
// Resolution at which a wide id range is searched for its dense window.
constexpr size_t kHistogramBuckets = 1024;
} // namespace

constinit SPointIndex SPointIndex::sInstance;

void SPointIndex::registerImage(SImage *image)
{
    image->setIndexSlot(static_cast<uint32_t>(mImages.size()));
    mImages.push_back(image);
    mChanged = true;
}

void SPointIndex::unregisterImage(SImage *image)
{
    const uint32_t slot = image->indexSlot();
    if (slot < mImages.size() && mImages[slot] == image) {
        mImages[slot] = nullptr;
        mChanged = true;
    }
    image->setIndexSlot(SIdIndex::kNone);
}

void SPointIndex::clear()
{
    for (SImage *image : mImages)
        if (image)
            image->setIndexSlot(SIdIndex::kNone);
    std::vector<SImage *>().swap(mImages);
    mRowOfPoint.clear();
    std::vector<int>().swap(mRowId);
    std::vector<uint32_t>().swap(mRowStart);
    std::vector<uint32_t>().swap(mLinks);
    std::vector<bool>().swap(mRowEliminated);
    mFirstId = 0;
    mDenseRows = 0;
    mChanged = false;
}

uint32_t SPointIndex::rowOf(int pointId)
{
    if (mChanged)
        rebuild();
    const size_t row = rowAt(pointId);
    if (row == SIdIndex::kNone || mRowStart[row] == mRowStart[row + 1])
        return SIdIndex::kNone;
    return uint32_t(row);
}

SImageLinks SPointIndex::imagesOf(int pointId)
{
    const uint32_t row = rowOf(pointId);
    if (row == SIdIndex::kNone)
        return {};
    return SImageLinks(mLinks.data() + mRowStart[row], mLinks.data() + mRowStart[row + 1]);
}

bool SPointIndex::hasEliminatedImagePoint(int pointId)
{
    const uint32_t row = rowOf(pointId);
    return row != SIdIndex::kNone && mRowEliminated[row];
}

template <typename Visit> void SPointIndex::forEachEntry(Visit visit) const
{
    for (const SImage *image : mImages)
        if (image)
            for (const SImagePointEntry &entry : image->points())
                visit(entry);
}

// The ids that get a row each without hashing: the whole range when it is small against the
// number of links, otherwise the window of that size that holds most links (a block's ids are
// mostly consecutive, with a few far away). Returns the first id and the number of rows.
std::pair<int, size_t> SPointIndex::denseWindow(int lowest, int highest, size_t total) const
{
    const size_t limit = std::max(kMinDenseRows, kDenseRowsPerLink * total);
    const uint64_t range = uint64_t(int64_t(highest) - lowest) + 1;
    if (range <= limit)
        return {lowest, size_t(range)};
    const uint64_t width = (range + kHistogramBuckets - 1) / kHistogramBuckets;
    const size_t span = size_t(limit / width); // buckets per window
    if (span == 0)
        return {0, 0};
    std::vector<size_t> count(kHistogramBuckets, 0);
    forEachEntry([&](const SImagePointEntry &e) { ++count[size_t(uint64_t(int64_t(e.id) - lowest) / width)]; });
    size_t sum = 0, best = 0, bestFirst = 0;
    for (size_t b = 0; b < kHistogramBuckets; ++b) {
        sum += count[b];
        if (b >= span)
            sum -= count[b - span];
        if (sum > best) {
            best = sum;
            bestFirst = b + 1 >= span ? b + 1 - span : 0;
        }
    }
    if (best * 2 < total)
        return {0, 0};
    const int64_t first = lowest + int64_t(bestFirst * width);
    return {int(first), size_t(std::min<uint64_t>(span * width, uint64_t(highest - first) + 1))};
}

void SPointIndex::rebuild()
{
    mChanged = false;
    mRowOfPoint.clear();
    std::vector<int>().swap(mRowId);
    std::vector<uint32_t>().swap(mRowStart);
    std::vector<uint32_t>().swap(mLinks);
    std::vector<bool>().swap(mRowEliminated);
    mFirstId = 0;
    mDenseRows = 0;

    size_t total = 0;
    int lowest = INT_MAX, highest = INT_MIN;
    forEachEntry([&](const SImagePointEntry &e) {
        lowest = std::min(lowest, e.id);
        highest = std::max(highest, e.id);
        ++total;
    });
    if (total == 0)
        return;
    std::tie(mFirstId, mDenseRows) = denseWindow(lowest, highest, total);
    countRows();

    // Filled from the back, images in reverse register order: each row ends up in the order
    // the images received their points, and each row's end has moved to its start.
    mLinks.resize(total);
    for (size_t slot = mImages.size(); slot-- > 0;) {
        const SImage *image = mImages[slot];
        if (!image)
            continue;
        const std::span<const SImagePointEntry> points = image->points();
        for (auto it = points.rbegin(); it != points.rend(); ++it)
            mLinks[--mRowStart[rowAt(it->id)]] = uint32_t(slot);
    }
}

void SPointIndex::countRows()
{
    // Rows of the dense window first, then one per other id in the order they appear.
    mRowStart.assign(mDenseRows, 0);
    mRowEliminated.assign(mDenseRows, false);
    size_t total = 0;
    forEachEntry([&](const SImagePointEntry &e) {
        size_t row = uint32_t(e.id) - uint32_t(mFirstId);
        if (row >= mDenseRows) {
            const auto next = uint32_t(mRowId.size());
            mRowId.push_back(e.id); // taken back below when the id has a row
            const uint32_t k = mRowOfPoint.insertIfAbsent(e.id, next, rowKey());
            if (k == next) {
                mRowStart.push_back(0);
                mRowEliminated.push_back(false);
            } else {
                mRowId.pop_back();
            }
            row = mDenseRows + k;
        }
        ++mRowStart[row];
        if (!e.point.isActive())
            mRowEliminated[row] = true;
        ++total;
    });
    mRowId.shrink_to_fit();
    mRowEliminated.shrink_to_fit();
    // Running sums: mRowStart[row] is the end of the row until the links are filled in.
    for (size_t row = 1; row < mRowStart.size(); ++row)
        mRowStart[row] += mRowStart[row - 1];
    mRowStart.push_back(uint32_t(total));
}
