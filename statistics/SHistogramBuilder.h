// SPDX-License-Identifier: GPL-3.0-or-later
// Bins a population of values into a histogram whose edges follow one stated rule.
#pragma once

#include "statistics/SBlockStatistics.h"

#include <vector>

// The rule, as the histograms state it.
extern const char *const kHistogramRule;

// Bins the values (taken over, reordered): Freedman-Diaconis width 2 IQR / n^(1/3) from
// min(0, smallest) to the largest value, at most maxBins bins; Sturges' log2(n) + 1 bins when
// the quartiles coincide. Values that are not finite are counted as skipped.
SHistogram buildHistogram(std::vector<double> values, const QString &name, const QString &population, int maxBins);
