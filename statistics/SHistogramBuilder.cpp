// SPDX-License-Identifier: GPL-3.0-or-later
#include "statistics/SHistogramBuilder.h"

#include <algorithm>
#include <cmath>
#include <limits>

const char *const kHistogramRule =
    "Freedman-Diaconis: bin width 2 IQR / n^(1/3) from min(0, smallest value) to the largest value or to "
    "Q3 + 3 IQR, whichever is lower (values above counted apart), at most %1 bins; Sturges (log2 n + 1 bins) "
    "when the IQR is 0; quartiles of at most 65536 evenly spaced values";

namespace {

// Tukey's far-out fence: a few wild values (a sigma of millions beside sigmas of millimetres)
// would otherwise squeeze every other value into the first bin.
constexpr double kFenceIqrs = 3.0;

// Quartiles only set the bin width and the fence, so a large population lends them an evenly
// spaced sample: exact enough, and the sample's selection costs nothing beside the binning.
constexpr size_t kQuartileSample = 65536;

// The value at quantile q (0..1) by the nearest-rank rule; reorders the values.
double quantile(std::vector<double> &values, double q)
{
    const size_t rank = static_cast<size_t>(std::ceil(q * double(values.size())));
    const size_t k = rank == 0 ? 0 : rank - 1;
    std::nth_element(values.begin(), values.begin() + std::ptrdiff_t(k), values.end());
    return values[k];
}

int binCount(double n, double iqr, double low, double high, int maxBins)
{
    double bins = 0.0;
    if (iqr > 0.0)
        bins = std::ceil((high - low) / (2.0 * iqr / std::cbrt(n)));
    else
        bins = std::ceil(std::log2(n)) + 1.0;
    return int(std::clamp(bins, 1.0, double(std::max(1, maxBins))));
}

// Equal bins from low to high; values above high are counted as overflow.
template <typename T> void fillBins(SHistogram &h, const std::vector<T> &values, double low, double high, int bins)
{
    const double width = (high - low) / bins;
    const double perBin = width > 0.0 ? 1.0 / width : 0.0;
    h.edges.resize(size_t(bins) + 1);
    for (int i = 0; i <= bins; ++i)
        h.edges[size_t(i)] = i == bins ? high : low + width * i;
    h.counts.assign(size_t(bins), 0);
    for (const T value : values) {
        const double v = value;
        if (!std::isfinite(v))
            continue;
        if (v > high) {
            ++h.overflow;
            continue;
        }
        int i = width > 0.0 ? std::clamp(int((v - low) * perBin), 0, bins - 1) : 0;
        // The division can land one bin off at an edge; the edges themselves decide.
        while (i > 0 && v < h.edges[size_t(i)])
            --i;
        while (i < bins - 1 && v >= h.edges[size_t(i) + 1])
            ++i;
        ++h.counts[size_t(i)];
    }
}

} // namespace

template <typename T>
SHistogram buildHistogram(const std::vector<T> &values, const QString &name, const QString &population, int maxBins)
{
    SHistogram h;
    h.name = name;
    h.population = population;
    h.rule = QString::fromLatin1(kHistogramRule).arg(maxBins);
    // Locals, not members: the loop then keeps them in registers.
    double lowest = std::numeric_limits<double>::infinity();
    double highest = -lowest;
    qint64 finite = 0;
    for (const T value : values) {
        const double v = value;
        if (!std::isfinite(v))
            continue;
        lowest = std::min(lowest, v);
        highest = std::max(highest, v);
        ++finite;
    }
    h.total = finite;
    h.skipped = qint64(values.size()) - finite;
    if (h.total == 0)
        return h;

    std::vector<double> sample;
    const size_t step = values.size() / kQuartileSample + 1;
    sample.reserve(values.size() / step + 1);
    for (size_t i = 0; i < values.size(); i += step)
        if (std::isfinite(double(values[i])))
            sample.push_back(values[i]);
    const double low = std::min(0.0, lowest);
    double high = highest;
    double iqr = 0.0;
    if (!sample.empty()) {
        const double q3 = quantile(sample, 0.75);
        iqr = q3 - quantile(sample, 0.25);
        if (iqr > 0.0)
            high = std::min(high, q3 + kFenceIqrs * iqr);
    }
    const int bins = high > low ? binCount(double(h.total), iqr, low, high, maxBins) : 1;
    fillBins(h, values, low, high, bins);
    return h;
}

template SHistogram buildHistogram(const std::vector<float> &, const QString &, const QString &, int);
template SHistogram buildHistogram(const std::vector<double> &, const QString &, const QString &, int);
