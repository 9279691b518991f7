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
#include <vector>

class SPointIndex {
public:
    static SPointIndex &instance();

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
    // Ids that fill most of their range: rows are the ids' offsets, no hashing at all.
    void rebuildDense(int firstId, size_t range, size_t total);
    void rebuildHashed(size_t total);
    uint32_t rowOf(int pointId);
    auto rowKey() const
    {
        return [this](uint32_t row) { return mRowId[row]; };
    }

    std::vector<SImage *> mImages; // by register slot; null for a deleted image
    bool mDense = false;           // row = point id - mFirstId
    int mFirstId = 0;
    SIdIndex mRowOfPoint;             // point id -> row, where not dense
    std::vector<int> mRowId;          // row -> point id
    std::vector<uint32_t> mRowStart;  // row -> first entry in mLinks; one extra end entry
    std::vector<uint32_t> mLinks;     // register slots of the images, row after row
    std::vector<bool> mRowEliminated; // row -> some image holds the id as an inactive point
    bool mChanged = false;
};
