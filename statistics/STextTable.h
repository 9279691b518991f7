// SPDX-License-Identifier: GPL-3.0-or-later
// A plain-text table: columns aligned to their widest cell, the first to the left and all others
// to the right, every line indented by two spaces and without trailing blanks. Cells are written
// straight into one buffer: the control table of a large block has tens of thousands of rows.
#pragma once

#include <QtGlobal>

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

class STextTable {
public:
    STextTable() = default;
    explicit STextTable(std::initializer_list<std::string_view> header);

    // The cells of a row, left to right; endRow() closes the row.
    STextTable &text(std::string_view cell);
    STextTable &integer(qint64 value);
    STextTable &fixed(double value); // three decimals
    void endRow();

    // Widths count bytes: every cell is ASCII.
    std::string render() const;

private:
    void endCell();

    std::string mCells;
    std::vector<size_t> mCellEnds;
    std::vector<size_t> mRowSizes; // cells per row
    size_t mOpenRowSize = 0;
};
