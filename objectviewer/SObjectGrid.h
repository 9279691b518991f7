// SPDX-License-Identifier: GPL-3.0-or-later
// A uniform bucket grid over the canvas positions of the object points, so that a paint
// or a rectangle selection visits only the points near the rectangle, not the whole block.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include <atomic>
#include <mutex>
#include <vector>

class SObjectGrid {
public:
    // Indexes positions[i] under i; positions outside the canvas go to the border cells. The
    // cells are filled on the first query that needs them: a paint or selection of the whole
    // canvas never does.
    void build(const std::vector<QPoint> &positions, const QSize &canvas);
    void clear();

    // Whether a query of rect visits every position anyway, so that a caller may as well go
    // through the positions in order, testing rect, without collecting indices.
    bool scansAll(const QRect &rect) const { return rect.contains(QRect(QPoint(0, 0), mCanvas)); }
    // Appends to out the indices of the positions inside rect (edges included), ascending.
    void query(const QRect &rect, std::vector<int> &out) const;

private:
    int columnOf(long long x) const;
    int rowOf(long long y) const;
    void fillCells() const;

    const std::vector<QPoint> *mPositions = nullptr;
    QSize mCanvas;
    // The cells, filled on demand by the first query that needs them (a lookup does not change
    // what the grid answers; lookups from two threads fill them once).
    mutable std::atomic<bool> mFilled = false;
    mutable std::mutex mFilling;
    mutable long long mCellWidth = 1;
    mutable long long mCellHeight = 1;
    mutable int mColumns = 0;
    mutable int mRows = 0;
    mutable std::vector<int> mCellStart; // per cell, its first entry in mEntries; one more at the end
    mutable std::vector<int> mEntries;   // point indices, ascending within a cell
};
