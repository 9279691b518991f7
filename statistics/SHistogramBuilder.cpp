// SPDX-License-Identifier: GPL-3.0-or-later
#include "statistics/SHistogramBuilder.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <type_traits>
#include <utility>

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

// Position of quantile q (0..1) among n sorted values by the nearest-rank rule.
size_t quantileRank(size_t n, double q)
{
    const size_t rank = static_cast<size_t>(std::ceil(q * double(n)));
    return rank == 0 ? 0 : rank - 1;
}

// The lower and upper quartile by the nearest-rank rule; reorders the values. The lower one is
// selected among the values the upper one's selection left below it.
std::pair<double, double> quartiles(std::vector<double> &values)
{
    const size_t k1 = quantileRank(values.size(), 0.25), k3 = quantileRank(values.size(), 0.75);
    const auto at = [&values](size_t k) { return values.begin() + std::ptrdiff_t(k); };
    std::nth_element(values.begin(), at(k3), values.end());
    if (k1 < k3)
        std::nth_element(values.begin(), at(k1), at(k3));
    return {values[k1], values[k3]};
}

// Single precision values are selected by their bits: an unsigned key per value that orders as
// the values do (a negative zero just below a positive one, which compare equal anyway). The
// top 16 bits of the keys are counted first, and only the keys of the bucket that holds a
// wanted rank are then selected among: the same quartiles as a selection among the values, at a
// fraction of its comparisons.
uint32_t orderKey(float v)
{
    uint32_t bits = 0;
    std::memcpy(&bits, &v, sizeof bits);
    return (bits & 0x80000000u) != 0 ? ~bits : bits | 0x80000000u;
}

float fromOrderKey(uint32_t key)
{
    const uint32_t bits = (key & 0x80000000u) != 0 ? key & 0x7fffffffu : ~key;
    float v = 0.0f;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

float selectKey(const std::vector<uint32_t> &keys, const std::vector<uint32_t> &bucketCounts, size_t rank,
                std::vector<uint32_t> &inBucket)
{
    size_t below = 0;
    uint32_t bucket = 0;
    while (below + bucketCounts[bucket] <= rank)
        below += bucketCounts[bucket++];
    inBucket.clear();
    for (const uint32_t key : keys)
        if (key >> 16 == bucket)
            inBucket.push_back(key);
    const auto at = inBucket.begin() + std::ptrdiff_t(rank - below);
    std::nth_element(inBucket.begin(), at, inBucket.end());
    return fromOrderKey(*at);
}

// The lower and upper quartile by the nearest-rank rule.
std::pair<double, double> quartiles(const std::vector<uint32_t> &keys)
{
    std::vector<uint32_t> bucketCounts(size_t(1) << 16, 0);
    for (const uint32_t key : keys)
        ++bucketCounts[key >> 16];
    std::vector<uint32_t> inBucket;
    const float q1 = selectKey(keys, bucketCounts, quantileRank(keys.size(), 0.25), inBucket);
    const float q3 = selectKey(keys, bucketCounts, quantileRank(keys.size(), 0.75), inBucket);
    return {q1, q3};
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

// Independent lanes over consecutive values: the comparisons and counts of one value then do not
// wait for those of the value before it.
constexpr size_t kLanes = 4; // rangeOf() visits them by name

// Smallest and largest finite value and how many values are finite.
struct Range {
    double lowest = std::numeric_limits<double>::infinity();
    double highest = -std::numeric_limits<double>::infinity();
    qint64 finite = 0;
};

template <typename T> bool isFinite(T v) { return std::abs(v) <= std::numeric_limits<T>::max(); }

template <typename T> Range rangeOf(std::span<const T> values)
{
    std::array<T, kLanes> lowest, highest;
    lowest.fill(std::numeric_limits<T>::infinity());
    highest.fill(-std::numeric_limits<T>::infinity());
    std::array<qint64, kLanes> finite{};
    auto visit = [&](size_t lane, T v) {
        const bool ok = isFinite(v);
        lowest[lane] = ok && v < lowest[lane] ? v : lowest[lane];
        highest[lane] = ok && v > highest[lane] ? v : highest[lane];
        finite[lane] += ok;
    };
    size_t i = 0;
    for (; i + kLanes <= values.size(); i += kLanes) {
        visit(0, values[i]);
        visit(1, values[i + 1]);
        visit(2, values[i + 2]);
        visit(3, values[i + 3]);
    }
    for (; i < values.size(); ++i)
        visit(0, values[i]);
    Range r;
    for (size_t lane = 0; lane < kLanes; ++lane) {
        r.lowest = std::min(r.lowest, double(lowest[lane]));
        r.highest = std::max(r.highest, double(highest[lane]));
        r.finite += finite[lane];
    }
    return r;
}

template <typename T> Range rangeOf(std::span<const std::span<const T>> segments)
{
    Range r;
    for (const std::span<const T> &segment : segments) {
        const Range part = rangeOf(segment);
        r.lowest = std::min(r.lowest, part.lowest);
        r.highest = std::max(r.highest, part.highest);
        r.finite += part.finite;
    }
    // Equal values differ only in the sign of zero; the largest edge keeps the sign of the first
    // zero met in order, as a single scan would have kept it.
    if (r.highest == 0.0)
        for (const std::span<const T> &segment : segments)
            if (const auto zero = std::find(segment.begin(), segment.end(), T(0)); zero != segment.end()) {
                r.highest = double(*zero);
                break;
            }
    return r;
}

// Counts each value into the bin whose edges hold it. The slot after the last bin counts the
// values above high: its lower edge is the next double above high, so the last bin stays closed.
template <bool kSkipNonFinite, typename T>
void countBins(std::span<const T> values, const std::vector<double> &edges, std::vector<qint64> &tallies)
{
    const size_t bins = edges.size() - 2;
    const double low = edges[0], perBin = double(bins) / (edges[bins] - low), top = double(bins);
    const double *edge = edges.data();
    qint64 *tally = tallies.data();
    for (size_t k = 0; k < values.size(); ++k) {
        const double v = values[k];
        if (kSkipNonFinite && !isFinite(v))
            continue;
        // A first guess from the width, kept within the slots (a not-a-number guess goes to the
        // top); the edges themselves then decide, as the division can land a bin off.
        double guess = (v - low) * perBin;
        guess = guess < top ? guess : top;
        size_t i = size_t(guess);
        while (i > 0 && v < edge[i])
            --i;
        while (i < bins && v >= edge[i + 1])
            ++i;
        ++tally[i * kLanes + k % kLanes];
    }
}

// Equal bins from low to high; values above high are counted as overflow.
template <typename T>
void fillBins(SHistogram &h, std::span<const std::span<const T>> segments, double low, double high, int bins,
              bool allFinite)
{
    const double width = (high - low) / bins;
    h.edges.resize(size_t(bins) + 1);
    for (int i = 0; i <= bins; ++i)
        h.edges[size_t(i)] = i == bins ? high : low + width * i;
    std::vector<double> edges = h.edges;
    edges.back() = std::nextafter(high, std::numeric_limits<double>::infinity());
    edges.push_back(std::numeric_limits<double>::infinity());
    std::vector<qint64> tallies(kLanes * (size_t(bins) + 1), 0);
    for (const std::span<const T> &values : segments) {
        if (allFinite)
            countBins<false>(values, edges, tallies);
        else
            countBins<true>(values, edges, tallies);
    }
    h.counts.assign(size_t(bins), 0);
    for (size_t i = 0; i <= size_t(bins); ++i) {
        qint64 &count = i < size_t(bins) ? h.counts[i] : h.overflow;
        for (size_t lane = 0; lane < kLanes; ++lane)
            count += tallies[i * kLanes + lane];
    }
}

// Every step-th value of the segments taken as one sequence, the non-finite ones left out; single
// precision values as their order keys.
template <typename T> auto evenSample(std::span<const std::span<const T>> segments, size_t count)
{
    std::vector<std::conditional_t<std::is_same_v<T, float>, uint32_t, double>> sample;
    const size_t step = count / kQuartileSample + 1;
    sample.reserve(count / step + 1);
    size_t skip = 0; // values to pass over before the next one taken
    for (const std::span<const T> &values : segments) {
        size_t i = skip;
        for (; i < values.size(); i += step)
            if (std::isfinite(double(values[i]))) {
                if constexpr (std::is_same_v<T, float>)
                    sample.push_back(orderKey(values[i]));
                else
                    sample.push_back(values[i]);
            }
        skip = i - values.size();
    }
    return sample;
}

template <typename T>
SHistogram build(std::span<const std::span<const T>> segments, const QString &name, const QString &population,
                 int maxBins)
{
    size_t count = 0;
    for (const std::span<const T> &segment : segments)
        count += segment.size();
    SHistogram h;
    h.name = name;
    h.population = population;
    h.rule = QString::fromLatin1(kHistogramRule).arg(maxBins);
    const Range range = rangeOf(segments);
    const double lowest = range.lowest, highest = range.highest;
    h.total = range.finite;
    h.skipped = qint64(count) - range.finite;
    if (h.total == 0)
        return h;

    auto sample = evenSample(segments, count);
    const double low = lowest < 0.0 ? lowest : 0.0;
    double high = highest;
    double iqr = 0.0;
    if (!sample.empty()) {
        const auto [q1, q3] = quartiles(sample);
        iqr = q3 - q1;
        const double fence = q3 + kFenceIqrs * iqr;
        if (iqr > 0.0 && fence < high) // as std::min, without the reference that would keep high in memory
            high = fence;
    }
    const int bins = high > low ? binCount(double(h.total), iqr, low, high, maxBins) : 1;
    fillBins(h, segments, low, high, bins, h.skipped == 0);
    return h;
}

} // namespace

SHistogram buildHistogram(std::span<const float> values, const QString &name, const QString &population, int maxBins)
{
    return build(std::span<const std::span<const float>>(&values, 1), name, population, maxBins);
}

SHistogram buildHistogram(std::span<const double> values, const QString &name, const QString &population, int maxBins)
{
    return build(std::span<const std::span<const double>>(&values, 1), name, population, maxBins);
}

SHistogram buildHistogram(std::span<const std::span<const float>> segments, const QString &name,
                          const QString &population, int maxBins)
{
    return build(segments, name, population, maxBins);
}
