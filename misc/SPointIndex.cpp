// SPDX-License-Identifier: GPL-3.0-or-later
#include "misc/SPointIndex.h"

#include <algorithm>
#include <climits>
#include <utility>

namespace {
// A dense index spends a row on every id of the range; it is used while the range is at
// most this many times the number of links (or small anyway).
constexpr size_t kDenseRowsPerLink = 2;
constexpr size_t kMinDenseRows = 4096;
} // namespace

SPointIndex &SPointIndex::instance()
{
    static SPointIndex index;
    return index;
}

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
    mDense = false;
    mChanged = false;
}

uint32_t SPointIndex::rowOf(int pointId)
{
    if (mChanged)
        rebuild();
    if (!mDense)
        return mRowOfPoint.value(pointId, rowKey());
    const size_t row = uint32_t(pointId) - uint32_t(mFirstId);
    return row + 1 < mRowStart.size() && mRowStart[row] != mRowStart[row + 1] ? uint32_t(row) : SIdIndex::kNone;
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

void SPointIndex::rebuild()
{
    mChanged = false;
    mRowOfPoint.clear();
    std::vector<int>().swap(mRowId);
    std::vector<uint32_t>().swap(mRowStart);
    std::vector<uint32_t>().swap(mLinks);
    std::vector<bool>().swap(mRowEliminated);
    mDense = false;

    size_t total = 0;
    int lowest = INT_MAX, highest = INT_MIN;
    for (const SImage *image : mImages) {
        if (!image)
            continue;
        for (const SImagePointEntry &entry : image->points()) {
            lowest = std::min(lowest, entry.id);
            highest = std::max(highest, entry.id);
        }
        total += image->points().size();
    }
    if (total == 0)
        return;
    const size_t range = size_t(int64_t(highest) - lowest + 1);
    if (range <= std::max(kMinDenseRows, kDenseRowsPerLink * total))
        rebuildDense(lowest, range, total);
    else
        rebuildHashed(total);
}

void SPointIndex::rebuildDense(int firstId, size_t range, size_t total)
{
    mDense = true;
    mFirstId = firstId;
    // Counts, then their running sums: mRowStart[row] is the end of the row for now.
    mRowStart.assign(range + 1, 0);
    mRowEliminated.assign(range, false);
    for (const SImage *image : mImages) {
        if (!image)
            continue;
        for (const SImagePointEntry &entry : image->points()) {
            const size_t row = size_t(uint32_t(entry.id) - uint32_t(firstId));
            ++mRowStart[row];
            if (!entry.point.isActive())
                mRowEliminated[row] = true;
        }
    }
    for (size_t row = 1; row < range; ++row)
        mRowStart[row] += mRowStart[row - 1];
    mRowStart[range] = uint32_t(total);
    // Filled from the back, images in reverse register order: each row ends up in the order
    // the images received their points, and each row's end has moved to its start.
    mLinks.resize(total);
    for (size_t slot = mImages.size(); slot-- > 0;) {
        const SImage *image = mImages[slot];
        if (!image)
            continue;
        const std::span<const SImagePointEntry> points = image->points();
        for (auto it = points.rbegin(); it != points.rend(); ++it)
            mLinks[--mRowStart[size_t(uint32_t(it->id) - uint32_t(firstId))]] = uint32_t(slot);
    }
}

void SPointIndex::rebuildHashed(size_t total)
{
    // First pass: a row per point id, in the order the ids first appear, and its size; the
    // row of every link is kept for the second pass, which then needs no lookups.
    std::vector<uint32_t> rowOfLink;
    rowOfLink.reserve(total);
    std::vector<uint32_t> rowSize;
    for (SImage *image : mImages) {
        if (!image)
            continue;
        for (const SImagePointEntry &entry : std::as_const(*image).points()) {
            const auto next = static_cast<uint32_t>(rowSize.size());
            if (next == mRowId.size())
                mRowId.push_back(entry.id); // taken back below when the id has a row
            const uint32_t row = mRowOfPoint.insertIfAbsent(entry.id, next, rowKey());
            if (row == next) {
                rowSize.push_back(0);
                mRowEliminated.push_back(false);
            } else {
                mRowId.pop_back();
            }
            ++rowSize[row];
            if (!entry.point.isActive())
                mRowEliminated[row] = true;
            rowOfLink.push_back(row);
        }
    }

    mRowStart.assign(rowSize.size() + 1, 0);
    for (size_t row = 0; row < rowSize.size(); ++row)
        mRowStart[row + 1] = mRowStart[row] + rowSize[row];

    // Second pass: images in register order, which is the order they received their points.
    mRowId.shrink_to_fit();
    mRowEliminated.shrink_to_fit();
    std::vector<uint32_t> cursor(mRowStart.begin(), mRowStart.end() - 1);
    std::vector<uint32_t>().swap(rowSize);
    mLinks.resize(total);
    size_t link = 0;
    for (uint32_t slot = 0; slot < mImages.size(); ++slot) {
        const SImage *image = mImages[slot];
        if (!image)
            continue;
        for (size_t n = image->points().size(); n > 0; --n)
            mLinks[cursor[rowOfLink[link++]]++] = slot;
    }
}
