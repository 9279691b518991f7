// SPDX-License-Identifier: GPL-3.0-or-later
#include "statistics/SBlockStatistics.h"

#include "misc/SBlockMemory.h"
#include "misc/SGlobal.h"
#include "misc/SImageData.h"
#include "misc/SObjectPoint.h"
#include "patb/SProjectData.h"
#include "statistics/SActiveRays.h"
#include "statistics/SHistogramBuilder.h"

#include <array>
#include <cmath>
#include <functional>
#include <future>
#include <memory>
#include <span>

namespace {

constexpr int kAxisCount = 3;

// Work handed to a second thread runs there, or in the waiting thread when none can be started
// (the standard library then defers it instead of failing).
constexpr std::launch kSecondThread = std::launch::async | std::launch::deferred;

// |v| sqrt(weight) / sigma 0; 0 when sigma 0 or the weight is not positive (or not a number).
double standardizedOf(double length, double weight, double sigma0)
{
    return sigma0 > 0.0 && weight > 0.0 ? length * std::sqrt(weight) / sigma0 : 0.0;
}

// Sums from which RMS and maxima of one image (or the block) are finished.
struct ResidualSums {
    double vx2 = 0.0, vy2 = 0.0;
};

void finishRow(SImageResidualRow &row, const ResidualSums &sums)
{
    if (row.active == 0)
        return;
    const double n = double(row.active);
    row.rmsVx = std::sqrt(sums.vx2 / n);
    row.rmsVy = std::sqrt(sums.vy2 / n);
    row.rmsV = std::sqrt((sums.vx2 + sums.vy2) / n);
}

// The values the histograms of the image points are built from, written once by the image pass.
// A value per image point: for a large block millions of them, from the block memory's huge
// pages (a few page faults instead of thousands), handed back to the system when freed.
struct FloatArrayDeleter {
    size_t bytes = 0;
    void operator()(float *p) const
    {
        SBlockMemory::deallocate(p, bytes, alignof(float), SBlockMemory::kOwnRegionTable);
    }
};
using FloatArray = std::unique_ptr<float[], FloatArrayDeleter>;

FloatArray makeFloatArray(size_t count)
{
    const size_t bytes = count * sizeof(float);
    return FloatArray(
        static_cast<float *>(SBlockMemory::allocate(bytes, alignof(float), SBlockMemory::kOwnRegionTable)),
        FloatArrayDeleter{bytes});
}

struct ImageValues {
    FloatArray lengths;      // |v| of every active image point
    FloatArray standardized; // their standardized residuals
    size_t count = 0;
};

// One pass over a range of images: their rows, rays and histogram values. Two passes over the
// two halves of the image list run side by side; each writes only its own rows, sums, rays and
// values, and the block row is merged from the rows in image order afterwards.
struct ImagePass {
    double sigma0 = 0.0;
    double threshold = 3.0;
    SActiveRays *rays = nullptr;
    SImageResidualRow *rows = nullptr; // one per image of the range
    ResidualSums *sums = nullptr;      // one per image of the range
    float *lengths = nullptr;          // null: no histograms
    float *standardized = nullptr;
    size_t values = 0; // values written
    qint64 lonely = 0;

    void visitImage(const SImage &image, size_t index);
};

// Ids may be negative in a damaged file, so the first value is recognised by the caller.
void keepLargest(bool first, double value, int pointId, int imageId, SImageResidualRow &row)
{
    if (!first && !(value > row.maxV))
        return;
    row.maxV = value;
    row.maxVPointId = pointId;
    row.maxVImageId = imageId;
}

// The figures of one image, kept in locals so that the loop over its points runs in registers.
void ImagePass::visitImage(const SImage &image, size_t index)
{
    const std::span<const SImagePointEntry> points = image.points();
    qint64 active = 0, lonelyPoints = 0, above = 0;
    double vx2 = 0.0, vy2 = 0.0, maxV = 0.0, maxW = 0.0;
    int maxVId = -1, maxWId = -1;
    // Images keep one weight for many points: its root is taken once per run of equal weights.
    double lastWeight = 0.0, lastRoot = 0.0;
    const double s0 = sigma0, limit = threshold;
    const bool standardize = s0 > 0.0;
    float *lengthOut = lengths ? lengths + values : nullptr;
    float *standardizedOut = lengths ? standardized + values : nullptr;
    for (const SImagePointEntry &entry : points) {
        const SImagePoint &p = entry.point;
        lonelyPoints += p.code() == SGlobal::kCodeLonely;
        if (!p.isActive())
            continue;
        ++active;
        rays->countRay(entry.id);
        const double vx = p.vx(), vy = p.vy();
        vx2 += vx * vx;
        vy2 += vy * vy;
        const double length = std::sqrt(vx * vx + vy * vy);
        if (active == 1 || length > maxV) {
            maxV = length;
            maxVId = entry.id;
        }
        const double weight = p.weight();
        if (weight != lastWeight) {
            lastWeight = weight;
            lastRoot = std::sqrt(weight);
        }
        const double w = standardize && weight > 0.0 ? length * lastRoot / s0 : 0.0;
        if (active == 1 || w > maxW) {
            maxW = w;
            maxWId = entry.id;
        }
        above += w > limit;
        if (lengthOut) {
            *lengthOut++ = float(length);
            *standardizedOut++ = float(w);
        }
    }
    lonely += lonelyPoints;
    if (lengths)
        values += size_t(active);

    SImageResidualRow &row = rows[index];
    row.imageId = image.id();
    row.points = qint64(points.size());
    row.active = active;
    row.eliminated = row.points - active;
    row.aboveThreshold = above;
    if (active > 0) {
        keepLargest(true, maxV, maxVId, row.imageId, row);
        row.maxStandardized = maxW;
        row.maxStandardizedPointId = maxWId;
    }
    sums[index] = ResidualSums{vx2, vy2};
    finishRow(row, sums[index]);
}

void addToBlock(SImageResidualRow &block, ResidualSums &blockSums, const SImageResidualRow &row,
                const ResidualSums &sums)
{
    block.points += row.points;
    block.eliminated += row.eliminated;
    block.active += row.active;
    block.aboveThreshold += row.aboveThreshold;
    blockSums.vx2 += sums.vx2;
    blockSums.vy2 += sums.vy2;
    if (row.active > 0) {
        const bool first = block.active == row.active; // the first image with an active point
        keepLargest(first, row.maxV, row.maxVPointId, row.imageId, block);
        if (first || row.maxStandardized > block.maxStandardized) {
            block.maxStandardized = row.maxStandardized;
            block.maxStandardizedPointId = row.maxStandardizedPointId;
        }
    }
}

// Sums of one sigma axis over one group of points.
struct SigmaSums {
    double sum = 0.0, sum2 = 0.0;
};

enum GroupE { G_Tie = 0, G_Control = 1, G_Centre = 2 };

GroupE groupOf(int code)
{
    switch (code) {
    case SGlobal::kCodeVerticalControl:
    case SGlobal::kCodeHorizontalControl:
    case SGlobal::kCodeFullControl: return G_Control;
    case SGlobal::kCodeProjectionCentre:
    case SGlobal::kCodeObservedProjectionCentre: return G_Centre;
    default: return G_Tie;
    }
}

void countCode(SBlockSummary &s, int code)
{
    switch (code) {
    case SGlobal::kCodeVerticalControl: ++s.verticalControl; break;
    case SGlobal::kCodeHorizontalControl: ++s.horizontalControl; break;
    case SGlobal::kCodeFullControl: ++s.fullControl; break;
    case SGlobal::kCodeProjectionCentre: ++s.projectionCentres; break;
    case SGlobal::kCodeObservedProjectionCentre: ++s.observedCentres; break;
    default: ++s.newPoints; break;
    }
}

// One pass over the object points: codes, rays, control rows and sigma sums.
struct ObjectPass {
    SBlockStatistics *stats = nullptr;
    const SActiveRays *rays = nullptr;
    bool sigmas = false;
    bool keepValues = true; // for the histograms
    int cap = 10;
    qint64 rayTotal = 0;
    std::array<std::array<SigmaSums, kAxisCount>, 3> sigmaSums{};
    std::array<std::vector<float>, kAxisCount> sigmaValues;

    void visit(const SObjectPoint &p);
    void addObservations(const SObjectPoint &p);
    void addSigmas(const SObjectPoint &p, GroupE group);
};

void addResidual(SAxisResiduals &axis, double residual, int id)
{
    ++axis.count;
    axis.rms += residual * residual; // a sum until finishControl()
    if (axis.count == 1 || std::abs(residual) > axis.maxAbs) {
        axis.maxAbs = std::abs(residual);
        axis.maxId = id;
    }
}

void ObjectPass::addObservations(const SObjectPoint &p)
{
    // Most points observe no axis: the observed values are read here, once, rather than through
    // SObjectPoint::hasObservation(), which looks the observation up again for every axis.
    const SObjectCoord &obs = p.observation();
    const float observed[kAxisCount] = {obs.X, obs.Y, obs.Z};
    if (!(observed[0] < SGlobal::kNoObservation || observed[1] < SGlobal::kNoObservation ||
          observed[2] < SGlobal::kNoObservation))
        return;
    const float adjusted[kAxisCount] = {p.X(), p.Y(), p.Z()};
    const float residual[kAxisCount] = {obs.dX, obs.dY, obs.dZ};
    const bool accepted[kAxisCount] = {obs.flagX, obs.flagY, obs.flagZ};
    SControlStatistics &control = stats->control;
    for (int axis = 0; axis < kAxisCount; ++axis) {
        if (!(observed[axis] < SGlobal::kNoObservation))
            continue;
        const SControlRow row{p.id(), p.code(), axis, observed[axis], adjusted[axis], residual[axis], accepted[axis]};
        if (!row.accepted) {
            control.rejected.push_back(row);
            continue;
        }
        control.accepted.push_back(row);
        addResidual(p.isProjectionCentre() ? control.centreAxes[size_t(axis)] : control.pointAxes[size_t(axis)],
                    row.residual, row.pointId);
    }
}

void ObjectPass::addSigmas(const SObjectPoint &p, GroupE group)
{
    const double sigma[kAxisCount] = {p.sigmaX(), p.sigmaY(), p.sigmaZ()};
    for (int axis = 0; axis < kAxisCount; ++axis) {
        SSigmaAxis &a = stats->precision.groups[size_t(group)].axes[size_t(axis)];
        SigmaSums &s = sigmaSums[size_t(group)][size_t(axis)];
        ++a.count;
        s.sum += sigma[axis];
        s.sum2 += sigma[axis] * sigma[axis];
        if (a.count == 1 || sigma[axis] > a.max) {
            a.max = sigma[axis];
            a.maxId = p.id();
        }
        if (keepValues && group != G_Centre)
            sigmaValues[size_t(axis)].push_back(float(sigma[axis]));
    }
}

void ObjectPass::visit(const SObjectPoint &p)
{
    SBlockSummary &summary = stats->summary;
    countCode(summary, p.code());
    if (!p.isActive())
        ++summary.blunders;
    const GroupE group = groupOf(p.code());
    if (group != G_Centre) {
        ++summary.objectPoints;
        const int n = rays->rays(p.id());
        rayTotal += n;
        if (n < 2)
            ++summary.weakPoints;
        ++stats->multiplicity.pointsByRays[size_t(std::min(n, cap))];
    }
    addObservations(p);
    if (sigmas)
        addSigmas(p, group);
}

void finishControl(SControlStatistics &control)
{
    for (auto *axes : {&control.pointAxes, &control.centreAxes})
        for (SAxisResiduals &axis : *axes)
            axis.rms = axis.count > 0 ? std::sqrt(axis.rms / double(axis.count)) : 0.0;
    control.population =
        QStringLiteral("every observed axis (observed value below 999999999) of every point; RMS and largest over the "
                       "accepted observations, control points and observed projection centres apart");
}

void finishPrecision(SPrecisionStatistics &precision, const ObjectPass &pass)
{
    static const char *const names[] = {"tie points", "control points", "projection centres"};
    for (int g = 0; g < 3; ++g) {
        SSigmaGroup &group = precision.groups[size_t(g)];
        group.name = QString::fromLatin1(names[g]);
        for (int axis = 0; axis < kAxisCount; ++axis) {
            SSigmaAxis &a = group.axes[size_t(axis)];
            const SigmaSums &s = pass.sigmaSums[size_t(g)][size_t(axis)];
            if (a.count == 0)
                continue;
            a.mean = s.sum / double(a.count);
            a.rms = std::sqrt(s.sum2 / double(a.count));
        }
    }
    precision.note =
        precision.available
            ? QStringLiteral("every point of the group, active or not; control points are codes 200, 300, "
                             "500, projection centres 900 and 901, tie points every other code")
            : QStringLiteral("No inversion: the adjustment computed no sigmas, so there is no precision to show.");
}

void summariseAdjustment(SBlockSummary &s, const SProjectData &data)
{
    s.images = data.mListImageData.count();
    if (const ProjectFiles *record = data.projectFiles.get()) {
        s.hasProjectRecord = true;
        s.sigma0 = record->sigma0;
        s.averageRedundancy = record->averageRedundancy;
        s.inversion = record->inversion;
    }
}

// Where the image list is cut in two halves of about as many points.
int halfOfPoints(const SImageList &images, size_t points)
{
    size_t seen = 0;
    for (int i = 0; i < images.count(); ++i) {
        if (seen * 2 >= points)
            return i;
        seen += size_t(images.at(i)->numberOfPoints());
    }
    return images.count();
}

void runImagePass(SBlockStatistics &stats, const SProjectData &data, const SStatisticsOptions &options,
                  SActiveRays &rays, ImageValues &values)
{
    const SImageList &images = data.mListImageData;
    const size_t count = size_t(images.count());
    size_t points = 0;
    for (const SImage *image : images)
        points += size_t(image->numberOfPoints());
    const int cut = halfOfPoints(images, points);
    stats.residuals.threshold = options.standardizedThreshold;
    stats.residuals.images.resize(count);
    std::vector<ResidualSums> sums(count);
    if (options.histograms) { // left uninitialised: the passes write every value kept
        values.lengths = makeFloatArray(points);
        values.standardized = makeFloatArray(points);
    }
    // The second half counts its rays apart and writes its values after room for every point of
    // the first half; both are joined to the first half's once the two passes are done.
    SActiveRays secondRays = rays.emptyCopy();
    size_t firstHalfPoints = 0;
    for (int i = 0; i < cut; ++i)
        firstHalfPoints += size_t(images.at(i)->numberOfPoints());
    std::array<ImagePass, 2> passes;
    for (size_t half = 0; half < 2; ++half) {
        ImagePass &pass = passes[half];
        const size_t first = half == 0 ? 0 : size_t(cut);
        const size_t offset = half == 0 ? 0 : firstHalfPoints;
        pass.sigma0 = stats.summary.sigma0;
        pass.threshold = options.standardizedThreshold;
        pass.rays = half == 0 ? &rays : &secondRays;
        pass.rows = stats.residuals.images.data() + first;
        pass.sums = sums.data() + first;
        if (values.lengths) {
            pass.lengths = values.lengths.get() + offset;
            pass.standardized = values.standardized.get() + offset;
        }
    }
    const auto scan = [&images](ImagePass &pass, int first, int last) {
        for (int i = first; i < last; ++i)
            pass.visitImage(*images.at(i), size_t(i - first));
    };
    std::future<void> secondHalf = std::async(kSecondThread, scan, std::ref(passes[1]), cut, images.count());
    scan(passes[0], 0, cut);
    secondHalf.get();
    rays.add(secondRays);
    if (values.lengths) {
        std::copy_n(passes[1].lengths, passes[1].values, values.lengths.get() + passes[0].values);
        std::copy_n(passes[1].standardized, passes[1].values, values.standardized.get() + passes[0].values);
        values.count = passes[0].values + passes[1].values;
    }

    ResidualSums blockSums;
    for (size_t i = 0; i < count; ++i)
        addToBlock(stats.residuals.block, blockSums, stats.residuals.images[i], sums[i]);
    finishRow(stats.residuals.block, blockSums);
    stats.residuals.population =
        QStringLiteral("active image points (eliminated points counted, their residuals left out); "
                       "standardized residual |v| sqrt(weight) / sigma 0");
    SBlockSummary &s = stats.summary;
    s.lonelyObservations = passes[0].lonely + passes[1].lonely;
    s.imageObservations = stats.residuals.block.points;
    s.activeObservations = stats.residuals.block.active;
    s.eliminatedObservations = stats.residuals.block.eliminated;
}

} // namespace

double standardizedResidual(const SImagePoint &point, double sigma0)
{
    const double vx = point.vx(), vy = point.vy();
    return standardizedOf(std::sqrt(vx * vx + vy * vy), point.weight(), sigma0);
}

SBlockStatistics computeBlockStatistics(const SProjectData &data, const SStatisticsOptions &options)
{
    SBlockStatistics stats;
    summariseAdjustment(stats.summary, data);

    SActiveRays rays(data.mListObjectData);
    ImageValues values;
    runImagePass(stats, data, options, rays, values);
    const int bins = options.maxHistogramBins;
    const QString active = QStringLiteral("active image points");
    // The two histograms of the image points read only the values collected above and fill their
    // own results: they are built on a second core while this one goes on with the object points.
    std::future<std::array<SHistogram, 2>> imageHistograms;
    if (options.histograms)
        imageHistograms = std::async(kSecondThread, [&values, active, bins] {
            return std::array<SHistogram, 2>{
                buildHistogram(std::span<const float>(values.lengths.get(), values.count),
                               QStringLiteral("|v| of image points"), active, bins),
                buildHistogram(std::span<const float>(values.standardized.get(), values.count),
                               QStringLiteral("standardized residual"), active, bins)};
        });

    ObjectPass pass;
    pass.stats = &stats;
    pass.rays = &rays;
    pass.sigmas = stats.precision.available = stats.summary.inversion;
    pass.keepValues = options.histograms;
    pass.cap = std::max(1, options.multiplicityCap);
    stats.multiplicity.cap = pass.cap;
    stats.multiplicity.pointsByRays.assign(size_t(pass.cap) + 1, 0);
    if (pass.sigmas && pass.keepValues)
        for (std::vector<float> &axis : pass.sigmaValues)
            axis.reserve(size_t(data.mListObjectData.count()));
    for (const SObjectPoint &p : data.mListObjectData)
        pass.visit(p);
    finishControl(stats.control);
    finishPrecision(stats.precision, pass);

    SMultiplicity &m = stats.multiplicity;
    if (stats.summary.objectPoints > 0)
        m.meanRaysPerPoint = double(pass.rayTotal) / stats.summary.objectPoints;
    if (stats.summary.images > 0)
        m.meanPointsPerImage = double(stats.summary.activeObservations) / stats.summary.images;
    m.population = QStringLiteral("object points without projection centres; a ray is an active image point "
                                  "with the point's id");

    if (!options.histograms)
        return stats;
    static const char *const axisNames[] = {"sigma X", "sigma Y", "sigma Z"};
    const QString sigmaPopulation = stats.precision.available
                                        ? QStringLiteral("object points without projection centres")
                                        : QStringLiteral("none: no inversion, no sigmas");
    std::array<SHistogram, kAxisCount> sigmaHistograms;
    for (int axis = 0; axis < kAxisCount; ++axis)
        sigmaHistograms[size_t(axis)] = buildHistogram(
            pass.sigmaValues[size_t(axis)], QString::fromLatin1(axisNames[axis]) + QStringLiteral(" of object points"),
            sigmaPopulation, bins);
    for (SHistogram &h : imageHistograms.get())
        stats.histograms.push_back(std::move(h));
    for (SHistogram &h : sigmaHistograms)
        stats.histograms.push_back(std::move(h));
    return stats;
}
