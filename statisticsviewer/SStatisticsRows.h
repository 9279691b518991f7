// SPDX-License-Identifier: GPL-3.0-or-later
// The columns and rows of the statistics window's tables, made from the statistics' values.
#pragma once

#include "statistics/SBlockStatistics.h"
#include "statisticsviewer/SStatisticsTableModel.h"

namespace SStatisticsRows {

using Columns = std::vector<SStatisticsTableModel::Column>;
using Rows = std::vector<SStatisticsTableModel::Row>;

// Columns that double-click uses.
inline constexpr int kImageIdColumn = 0;
inline constexpr int kControlIdColumn = 0;
inline constexpr int kControlCodeColumn = 1;

Columns summaryColumns();
Rows summaryRows(const SBlockStatistics &stats);
Columns imageColumns(double threshold);
Rows imageRows(const SImageResiduals &residuals);
Columns axisColumns();
Rows axisRows(const SControlStatistics &control);
Columns controlColumns();
Rows controlRows(const std::vector<SControlRow> &rows);
Columns precisionColumns();
Rows precisionRows(const SPrecisionStatistics &precision);
// One line of the block-wide figures, for the note above the image table.
QString blockLine(const SImageResiduals &residuals);

} // namespace SStatisticsRows
