// SPDX-License-Identifier: GPL-3.0-or-later
#include "objectviewer/SObjectGrid.h"

#include <algorithm>
#include <cmath>

namespace {
// About this many points share a cell when they are spread evenly.
constexpr double kPointsPerCell = 4.0;
constexpr int kMaxCellsPerSide = 4096;
// A query whose cells hold more than 1/kScanShare of all points scans the list instead.
constexpr size_t kScanShare = 8;
} // namespace

void SObjectGrid::clear()
{
    mPositions = nullptr;
    mCanvas = QSize();
    mFilled = false;
    mColumns = mRows = 0;
    mCellStart.clear();
    mEntries.clear();
}

int SObjectGrid::columnOf(long long x) const { return int(std::clamp<long long>(x / mCellWidth, 0, mColumns - 1)); }

int SObjectGrid::rowOf(long long y) const { return int(std::clamp<long long>(y / mCellHeight, 0, mRows - 1)); }

void SObjectGrid::build(const std::vector<QPoint> &positions, const QSize &canvas)
{
    clear();
    mPositions = &positions;
    mCanvas = canvas;
}

void SObjectGrid::fillCells() const
{
    const std::vector<QPoint> &positions = *mPositions;
    const long long width = std::max(1, mCanvas.width());
    const long long height = std::max(1, mCanvas.height());
    // Square-ish cells, as many as the points need, never more than the canvas has pixels.
    const double cells = std::max(1.0, double(positions.size()) / kPointsPerCell);
    const double side = std::sqrt(double(width) * double(height) / cells);
    mColumns = int(std::clamp<double>(std::ceil(double(width) / side), 1, kMaxCellsPerSide));
    mRows = int(std::clamp<double>(std::ceil(double(height) / side), 1, kMaxCellsPerSide));
    mCellWidth = (width + mColumns - 1) / mColumns;
    mCellHeight = (height + mRows - 1) / mRows;

    // Counting sort by cell keeps the indices ascending inside each cell.
    const size_t cellCount = size_t(mColumns) * size_t(mRows);
    // The cell of a position is worked out twice rather than kept: an array of cells would
    // add as much memory as the entries themselves.
    const auto cellOf = [&](const QPoint &p) {
        return size_t(rowOf(p.y())) * size_t(mColumns) + size_t(columnOf(p.x()));
    };
    mCellStart.assign(cellCount + 1, 0);
    for (const QPoint &p : positions)
        ++mCellStart[cellOf(p) + 1];
    for (size_t c = 0; c < cellCount; ++c)
        mCellStart[c + 1] += mCellStart[c];
    mEntries.resize(positions.size());
    std::vector<int> fill(mCellStart.begin(), mCellStart.end() - 1);
    for (size_t i = 0; i < positions.size(); ++i)
        mEntries[size_t(fill[cellOf(positions[i])]++)] = int(i);
}

void SObjectGrid::query(const QRect &rect, std::vector<int> &out) const
{
    if (!mPositions || rect.isEmpty())
        return;
    const std::vector<QPoint> &positions = *mPositions;
    if (scansAll(rect)) {
        for (size_t i = 0; i < positions.size(); ++i)
            if (rect.contains(positions[i]))
                out.push_back(int(i));
        return;
    }
    if (!mFilled.load(std::memory_order_acquire)) {
        const std::lock_guard lock(mFilling);
        if (!mFilled.load(std::memory_order_relaxed))
            fillCells();
        mFilled.store(true, std::memory_order_release);
    }
    const int c0 = columnOf(rect.left()), c1 = columnOf(rect.right());
    const int r0 = rowOf(rect.top()), r1 = rowOf(rect.bottom());

    size_t candidates = 0;
    for (int r = r0; r <= r1; ++r)
        candidates += size_t(mCellStart[size_t(r) * size_t(mColumns) + size_t(c1) + 1] -
                             mCellStart[size_t(r) * size_t(mColumns) + size_t(c0)]);
    // Later points paint over earlier ones, so callers need list order. When the rectangle
    // holds much of the block, one pass over the list is cheaper than sorting the cells' share.
    if (candidates * kScanShare >= positions.size()) {
        for (size_t i = 0; i < positions.size(); ++i)
            if (rect.contains(positions[i]))
                out.push_back(int(i));
        return;
    }
    const size_t before = out.size();
    for (int r = r0; r <= r1; ++r) {
        for (int c = c0; c <= c1; ++c) {
            const size_t cell = size_t(r) * size_t(mColumns) + size_t(c);
            for (int e = mCellStart[cell]; e < mCellStart[cell + 1]; ++e) {
                const int i = mEntries[size_t(e)];
                if (rect.contains(positions[size_t(i)]))
                    out.push_back(i);
            }
        }
    }
    std::sort(out.begin() + long(before), out.end());
}
