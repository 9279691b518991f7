// SPDX-License-Identifier: GPL-3.0-or-later
#include "statistics/SHistogramBuilder.h"

#include <algorithm>
#include <cmath>

const char *const kHistogramRule =
    "Freedman-Diaconis: bin width 2 IQR / n^(1/3) from min(0, smallest value) to the largest, "
    "at most %1 bins; Sturges (log2 n + 1 bins) when the IQR is 0";

namespace {

// The value at quantile q (0..1) by the nearest-rank rule; reorders the values.
double quantile(std::vector<double> &values, double q)
{
    const size_t rank = static_cast<size_t>(std::ceil(q * double(values.size())));
    const size_t k = rank == 0 ? 0 : rank - 1;
    std::nth_element(values.begin(), values.begin() + std::ptrdiff_t(k), values.end());
    return values[k];
}

int binCount(std::vector<double> &values, double low, double high, int maxBins)
{
    const double n = double(values.size());
    const double iqr = quantile(values, 0.75) - quantile(values, 0.25);
    double bins = 0.0;
    if (iqr > 0.0)
        bins = std::ceil((high - low) / (2.0 * iqr / std::cbrt(n)));
    else
        bins = std::ceil(std::log2(n)) + 1.0;
    return int(std::clamp(bins, 1.0, double(std::max(1, maxBins))));
}

} // namespace

SHistogram buildHistogram(std::vector<double> values, const QString &name, const QString &population, int maxBins)
{
    SHistogram h;
    h.name = name;
    h.population = population;
    h.rule = QString::fromLatin1(kHistogramRule).arg(maxBins);
    const auto finiteEnd = std::partition(values.begin(), values.end(), [](double v) { return std::isfinite(v); });
    h.skipped = values.end() - finiteEnd;
    values.erase(finiteEnd, values.end());
    if (values.empty())
        return h;

    const auto [lowest, highest] = std::minmax_element(values.begin(), values.end());
    const double low = std::min(0.0, *lowest);
    const double high = *highest;
    const int bins = high > low ? binCount(values, low, high, maxBins) : 1;
    const double width = (high - low) / bins;
    h.edges.resize(size_t(bins) + 1);
    for (int i = 0; i <= bins; ++i)
        h.edges[size_t(i)] = i == bins ? high : low + width * i;
    h.counts.assign(size_t(bins), 0);
    for (double v : values) {
        int i = width > 0.0 ? std::clamp(int((v - low) / width), 0, bins - 1) : 0;
        // The division can land one bin off at an edge; the edges themselves decide.
        while (i > 0 && v < h.edges[size_t(i)])
            --i;
        while (i < bins - 1 && v >= h.edges[size_t(i) + 1])
            ++i;
        ++h.counts[size_t(i)];
    }
    h.total = qint64(values.size());
    return h;
}
