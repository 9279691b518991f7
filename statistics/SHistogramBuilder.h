// SPDX-License-Identifier: GPL-3.0-or-later
// Bins a population of values into a histogram whose edges follow one stated rule.
#pragma once

#include "statistics/SBlockStatistics.h"

#include <vector>

// The rule, as the histograms state it.
extern const char *const kHistogramRule;

// Bins the values (taken over, reordered) by the rule above. Values that are not finite are
// counted as skipped, values above the last edge as overflow.
SHistogram buildHistogram(std::vector<double> values, const QString &name, const QString &population, int maxBins);
