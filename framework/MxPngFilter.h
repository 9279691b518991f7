// SPDX-License-Identifier: GPL-3.0-or-later
// The per-row filter choice of PNG files with four bytes per pixel, made the way libpng makes it:
// the filter whose bytes, read as signed, have the smallest sum of magnitudes, the earlier filter
// (None, Sub, Up, Average, Paeth) on a tie.
#pragma once

#include <QtGlobal>
#include <array>
#include <vector>

namespace Mx {

// PNG filter types, in the order the choice tries them.
enum PngFilterE : uchar { PngFilterNone, PngFilterSub, PngFilterUp, PngFilterAverage, PngFilterPaeth };

// Bit (1 << type) of each filter a row may use.
constexpr unsigned kPngAllFilters = 0x1f;

class PngRowFilter {
public:
    explicit PngRowFilter(qsizetype rowBytes);

    // The row to fill before filter(); the previous row is kept, all zero before the first row.
    uchar *row() { return mCurrent + kPad; }

    // Writes the chosen filter type and the filtered row (1 + rowBytes bytes) to `out`, choosing
    // among the `allowed` filters, and makes the row the previous row of the next one.
    void filter(unsigned allowed, uchar *out);

private:
    // Zero bytes before each row, so that the pixel left of the first one reads as zero.
    static constexpr qsizetype kPad = 16;

    void filterCandidates(std::array<quint64, 5> &sums);

    qsizetype mRowBytes;
    std::vector<uchar> mRows[2];
    uchar *mCurrent = nullptr;
    uchar *mPrevious = nullptr;
    std::vector<uchar> mCandidates[4]; // Sub, Up, Average, Paeth
};

} // namespace Mx
