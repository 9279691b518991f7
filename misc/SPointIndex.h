// SPDX-License-Identifier: GPL-3.0-or-later
// The class-wide point index behind SImage::imagesOfPoint: point id -> images that measured
// it. Images register when they receive their first point; the index itself is rebuilt from
// the registered images on the first lookup after a change, so reading a block costs no
// index work per point and the result is one compact array (CSR) instead of a list per id.
// The rebuild also notes per id whether an image holds it as an inactive point, so that a
// blunder search asks one lookup per point instead of searching every image that measured it.
#pragma once

#include "misc/SIdIndex.h"
#include "misc/SImageData.h"

#include <cstdint>
#include <utility>
#include <vector>

class SPointIndex {
public:
    static SPointIndex &instance() { return sInstance; }

    void registerImage(SImage *image);
    void unregisterImage(SImage *image);
    void markChanged() { mChanged = true; }
    SImageLinks imagesOf(int pointId);
    bool hasEliminatedImagePoint(int pointId);
    SImage *imageAt(uint32_t slot) const { return mImages[slot]; }
    // Forgets every image and every link.
    void clear();

private:
    void rebuild();
    std::pair<int, size_t> denseWindow(int lowest, int highest, size_t total) const;
    // Row sizes and eliminated flags, then mRowStart as the running sums (each row's end).
    void countRows();
    template <typename Visit> void forEachEntry(Visit visit) const;
    auto rowKey() const
    {
        return [this](uint32_t k) { return mRowId[k]; };
    }
    // The row of a measured id, or kNone.
    uint32_t rowOf(int pointId);
    // The row an id has or would have; kNone outside the dense window for an id without row.
    size_t rowAt(int pointId) const
    {
        const size_t row = uint32_t(pointId) - uint32_t(mFirstId);
        if (row < mDenseRows)
            return row;
        const uint32_t k = mRowOfPoint.value(pointId, rowKey());
        return k == SIdIndex::kNone ? k : mDenseRows + k;
    }

    // Set up before any code runs (no guard on the way of every added point), gone last.
    static constinit SPointIndex sInstance;

    std::vector<SImage *> mImages; // by register slot; null for a deleted image
    // Ids mFirstId .. mFirstId + mDenseRows - 1 have the rows 0 .. mDenseRows - 1, without
    // hashing; every other id that was measured has a row after them through mRowOfPoint.
    int mFirstId = 0;
    size_t mDenseRows = 0;
    SIdIndex mRowOfPoint;             // id -> its row - mDenseRows, outside the dense window
    std::vector<int> mRowId;          // row - mDenseRows -> id, outside the dense window
    std::vector<uint32_t> mRowStart;  // row -> first entry in mLinks; one extra end entry
    std::vector<uint32_t> mLinks;     // register slots of the images, row after row
    std::vector<bool> mRowEliminated; // row -> some image holds the id as an inactive point
    bool mChanged = false;
};
