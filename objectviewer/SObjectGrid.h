// SPDX-License-Identifier: GPL-3.0-or-later
// A uniform bucket grid over the canvas positions of the object points, so that a paint
// or a rectangle selection visits only the points near the rectangle, not the whole block.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include <vector>

class SObjectGrid {
public:
    // Indexes positions[i] under i; positions outside the canvas go to the border cells.
    void build(const std::vector<QPoint> &positions, const QSize &canvas);
    void clear();

    // Appends to out the indices of the positions inside rect (edges included), ascending.
    void query(const QRect &rect, std::vector<int> &out) const;

private:
    int columnOf(long long x) const;
    int rowOf(long long y) const;

    const std::vector<QPoint> *mPositions = nullptr;
    long long mCellWidth = 1;
    long long mCellHeight = 1;
    int mColumns = 0;
    int mRows = 0;
    std::vector<int> mCellStart; // per cell, its first entry in mEntries; one more at the end
    std::vector<int> mEntries;   // point indices, ascending within a cell
};
