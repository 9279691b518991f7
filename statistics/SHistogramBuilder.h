// SPDX-License-Identifier: GPL-3.0-or-later
// Bins a population of values into a histogram whose edges follow one stated rule.
#pragma once

#include "statistics/SBlockStatistics.h"

#include <span>

// The rule, as the histograms state it.
extern const char *const kHistogramRule;

// Bins the values by the rule above. Values that are not finite are counted as skipped, values
// above the last edge as overflow. For float and double values (a block's residuals and sigmas
// are single precision; keeping them so halves the memory the passes run through).
SHistogram buildHistogram(std::span<const float> values, const QString &name, const QString &population, int maxBins);
SHistogram buildHistogram(std::span<const double> values, const QString &name, const QString &population, int maxBins);
// The same over values kept in pieces, binned as if the pieces were one sequence in their order.
SHistogram buildHistogram(std::span<const std::span<const float>> segments, const QString &name,
                          const QString &population, int maxBins);
