// SPDX-License-Identifier: GPL-3.0-or-later
#include "statistics/STextTable.h"

#include "statistics/SDecimalText.h"

#include <algorithm>

namespace {

constexpr int kDecimals = 3;
constexpr std::string_view kIndent = "  ";
constexpr std::string_view kColumnGap = "  ";

} // namespace

STextTable::STextTable(std::initializer_list<std::string_view> header)
{
    for (const std::string_view cell : header)
        text(cell);
    endRow();
}

STextTable &STextTable::text(std::string_view cell)
{
    mCells += cell;
    endCell();
    return *this;
}

STextTable &STextTable::integer(qint64 value)
{
    appendInteger(mCells, value);
    endCell();
    return *this;
}

STextTable &STextTable::fixed(double value)
{
    appendFixed(mCells, value, kDecimals);
    endCell();
    return *this;
}

void STextTable::endCell()
{
    mCellEnds.push_back(mCells.size());
    ++mOpenRowSize;
}

void STextTable::endRow()
{
    mRowSizes.push_back(mOpenRowSize);
    mOpenRowSize = 0;
}

std::string STextTable::render() const
{
    std::vector<size_t> widths;
    size_t cell = 0, start = 0;
    for (const size_t count : mRowSizes)
        for (size_t c = 0; c < count; ++c, ++cell) {
            if (widths.size() <= c)
                widths.push_back(0);
            widths[c] = std::max(widths[c], mCellEnds[cell] - start);
            start = mCellEnds[cell];
        }
    size_t lineWidth = kIndent.size() + 1;
    for (const size_t width : widths)
        lineWidth += width + kColumnGap.size();
    std::string out;
    out.reserve(lineWidth * mRowSizes.size());
    cell = 0;
    start = 0;
    for (const size_t count : mRowSizes) {
        const size_t lineStart = out.size();
        out += kIndent;
        for (size_t c = 0; c < count; ++c, ++cell) {
            const std::string_view text(mCells.data() + start, mCellEnds[cell] - start);
            start = mCellEnds[cell];
            const size_t padding = widths[c] - text.size();
            if (c > 0)
                out.append(kColumnGap).append(padding, ' ');
            out += text;
            if (c == 0)
                out.append(padding, ' ');
        }
        const size_t end = out.find_last_not_of(' ');
        out.resize(end == std::string::npos || end < lineStart ? lineStart : end + 1);
        out += '\n';
    }
    return out;
}
