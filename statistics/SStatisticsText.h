// SPDX-License-Identifier: GPL-3.0-or-later
// The statistics as aligned plain-text tables: the summary, the control observations with the
// RMS per axis, and the images with the largest RMS.
#pragma once

#include "statistics/SBlockStatistics.h"

#include <QByteArray>
#include <QString>

inline constexpr int kTextImageRows = 20; // images listed, largest RMS |v| first

// UTF-8.
QByteArray statisticsText(const SBlockStatistics &stats, int imageRows = kTextImageRows);

// Numbers as shown everywhere: three decimals.
QString formatValue(double value);
// Axis 0, 1, 2 as "X", "Y", "Z".
QString axisName(int axis);
// The images ordered by RMS |v|, largest first; equal RMS by image id.
std::vector<SImageResidualRow> imagesByRms(const SImageResiduals &residuals);
