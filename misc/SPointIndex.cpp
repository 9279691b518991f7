// SPDX-License-Identifier: GPL-3.0-or-later
#include "misc/SPointIndex.h"

#include <utility>

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
    mChanged = false;
}

uint32_t SPointIndex::rowOf(int pointId)
{
    if (mChanged)
        rebuild();
    return mRowOfPoint.value(pointId, rowKey());
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
    std::vector<uint32_t>().swap(mLinks);
    std::vector<bool>().swap(mRowEliminated);

    // First pass: a row per point id, in the order the ids first appear, and its size; the
    // row of every link is kept for the second pass, which then needs no lookups.
    size_t total = 0;
    for (const SImage *image : mImages)
        if (image)
            total += image->points().size();
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
