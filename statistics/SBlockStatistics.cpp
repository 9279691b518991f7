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
#include <atomic>
#include <cmath>
#include <future>
#include <memory>
#include <span>
#include <thread>

namespace {

constexpr int kAxisCount = 3;

// A smaller block is done before a second thread would have started.
constexpr size_t kMinPointsForThreads = 200000;

// Images handed out at a time to whichever thread is free.
constexpr int kImagesPerChunk = 8;

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

// Each chunk of images writes its values at the place of its first image point; the histograms
// read the chunks' values in image order as pieces of one sequence.
struct ImageValues {
    FloatArray lengths;      // |v| of every active image point
    FloatArray standardized; // their standardized residuals
    std::vector<std::span<const float>> lengthChunks, standardizedChunks;
};

// One pass over images: their rows, rays and histogram values. A pass per thread takes chunks of
// the image list as they come; each image writes only its own row and sums, each pass counts its
// own rays, and the block row is merged from the rows in image order afterwards.
struct ImagePass {
    double sigma0 = 0.0;
    double threshold = 3.0;
    SActiveRays *rays = nullptr;
    SImageResidualRow *rows = nullptr; // one per image
    ResidualSums *sums = nullptr;      // one per image
    float *lengths = nullptr;          // where the chunk writes; null: no histograms
    float *standardized = nullptr;
    size_t values = 0; // values written for the chunk
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

// One pass over the object points: codes, control rows and sigma sums. It needs no rays, so it
// runs while the image points are counted; the rays are looked up by countRays() afterwards.
struct ObjectPass {
    SBlockStatistics *stats = nullptr;
    bool sigmas = false;
    bool keepValues = true; // for the histograms
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
    if (group != G_Centre)
        ++summary.objectPoints;
    addObservations(p);
    if (sigmas)
        addSigmas(p, group);
}

// Multiplicity and points with too few rays, once every ray is counted.
void countRays(SBlockStatistics &stats, const SObjectPointList &objects, const SActiveRays &rays, int cap)
{
    SMultiplicity &m = stats.multiplicity;
    m.cap = cap;
    m.pointsByRays.assign(size_t(cap) + 1, 0);
    qint64 rayTotal = 0;
    int weak = 0;
    for (const SObjectPoint &p : objects) {
        if (p.isProjectionCentre())
            continue;
        const int n = rays.rays(p.id());
        rayTotal += n;
        weak += n < 2;
        ++m.pointsByRays[size_t(std::min(n, cap))];
    }
    stats.summary.weakPoints = weak;
    if (stats.summary.objectPoints > 0)
        m.meanRaysPerPoint = double(rayTotal) / stats.summary.objectPoints;
    if (stats.summary.images > 0)
        m.meanPointsPerImage = double(stats.summary.activeObservations) / stats.summary.images;
    m.population = QStringLiteral("object points without projection centres; a ray is an active image point "
                                  "with the point's id");
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

// Where each image's points begin among all image points; the last entry is their count.
std::vector<size_t> firstPoints(const SImageList &images)
{
    std::vector<size_t> first(size_t(images.count()) + 1, 0);
    for (int i = 0; i < images.count(); ++i)
        first[size_t(i) + 1] = first[size_t(i)] + size_t(images.at(i)->numberOfPoints());
    return first;
}

// Work handed to a second thread runs there, or in the waiting thread when none can be started
// (the standard library then defers it instead of failing). Small blocks stay on this thread.
std::launch secondThreadPolicy(const SStatisticsOptions &options, size_t points)
{
    const bool wanted = options.threads == SStatisticsOptions::kTwoThreads ||
                        (options.threads == SStatisticsOptions::kThreadsBySize && points >= kMinPointsForThreads &&
                         std::thread::hardware_concurrency() >= 2);
    return wanted ? std::launch::async | std::launch::deferred : std::launch::deferred;
}

// The image list in chunks, taken by the passes of both threads as they come.
struct ImageWork {
    const SImageList *images = nullptr;
    const std::vector<size_t> *first = nullptr; // firstPoints()
    ImageValues *values = nullptr;
    std::atomic<int> nextChunk{0};
    int chunks = 0;
    std::vector<size_t> chunkValues; // values each chunk wrote

    void run(ImagePass &pass);
};

void ImageWork::run(ImagePass &pass)
{
    for (int chunk = nextChunk.fetch_add(1, std::memory_order_relaxed); chunk < chunks;
         chunk = nextChunk.fetch_add(1, std::memory_order_relaxed)) {
        const int begin = chunk * kImagesPerChunk, end = std::min(begin + kImagesPerChunk, images->count());
        pass.values = 0;
        if (values->lengths) {
            pass.lengths = values->lengths.get() + (*first)[size_t(begin)];
            pass.standardized = values->standardized.get() + (*first)[size_t(begin)];
        }
        for (int i = begin; i < end; ++i)
            pass.visitImage(*images->at(i), size_t(i));
        chunkValues[size_t(chunk)] = pass.values;
    }
}

void prepareImageWork(ImageWork &work, SBlockStatistics &stats, const SProjectData &data,
                      const SStatisticsOptions &options, std::vector<ResidualSums> &sums)
{
    const SImageList &images = data.mListImageData;
    stats.residuals.threshold = options.standardizedThreshold;
    stats.residuals.images.resize(size_t(images.count()));
    sums.resize(size_t(images.count()));
    if (options.histograms) { // left uninitialised: the passes write every value kept
        work.values->lengths = makeFloatArray(work.first->back());
        work.values->standardized = makeFloatArray(work.first->back());
    }
    work.images = &images;
    work.chunks = (images.count() + kImagesPerChunk - 1) / kImagesPerChunk;
    work.chunkValues.assign(size_t(work.chunks), 0);
}

ImagePass makeImagePass(SBlockStatistics &stats, const SStatisticsOptions &options, SActiveRays &rays,
                        std::vector<ResidualSums> &sums)
{
    ImagePass pass;
    pass.sigma0 = stats.summary.sigma0;
    pass.threshold = options.standardizedThreshold;
    pass.rays = &rays;
    pass.rows = stats.residuals.images.data();
    pass.sums = sums.data();
    return pass;
}

// The block row and the summary's counts from the rows in image order; the chunks' values as
// the pieces the histograms read.
void finishImagePass(SBlockStatistics &stats, const std::vector<ResidualSums> &sums, const ImageWork &work,
                     qint64 lonely)
{
    ResidualSums blockSums;
    for (size_t i = 0; i < sums.size(); ++i)
        addToBlock(stats.residuals.block, blockSums, stats.residuals.images[i], sums[i]);
    finishRow(stats.residuals.block, blockSums);
    stats.residuals.population =
        QStringLiteral("active image points (eliminated points counted, their residuals left out); "
                       "standardized residual |v| sqrt(weight) / sigma 0");
    SBlockSummary &s = stats.summary;
    s.lonelyObservations = lonely;
    s.imageObservations = stats.residuals.block.points;
    s.activeObservations = stats.residuals.block.active;
    s.eliminatedObservations = stats.residuals.block.eliminated;
    ImageValues &values = *work.values;
    if (!values.lengths)
        return;
    for (int chunk = 0; chunk < work.chunks; ++chunk) {
        const size_t at = (*work.first)[size_t(chunk) * kImagesPerChunk], n = work.chunkValues[size_t(chunk)];
        values.lengthChunks.emplace_back(values.lengths.get() + at, n);
        values.standardizedChunks.emplace_back(values.standardized.get() + at, n);
    }
}

// The object pass on a second thread while this one finds the rays' ids and goes through
// chunks of images; the second thread then takes chunks of images too.
void runPasses(SBlockStatistics &stats, const SProjectData &data, const SStatisticsOptions &options,
               ObjectPass &objects, SActiveRays &rays, ImageValues &values)
{
    ImageWork work;
    const std::vector<size_t> first = firstPoints(data.mListImageData);
    work.first = &first;
    work.values = &values;
    std::vector<ResidualSums> sums;
    prepareImageWork(work, stats, data, options, sums);

    SActiveRays secondRays;
    ImagePass secondPass = makeImagePass(stats, options, secondRays, sums);
    std::promise<void> raysReady;
    std::future<void> second =
        std::async(secondThreadPolicy(options, first.back()), [&, ready = raysReady.get_future()]() mutable {
            for (const SObjectPoint &p : data.mListObjectData)
                objects.visit(p);
            ready.get();
            work.run(secondPass);
        });
    try {
        rays = SActiveRays(data.mListObjectData);
        secondRays = rays.emptyCopy();
    } catch (...) {
        raysReady.set_exception(std::current_exception());
        throw;
    }
    raysReady.set_value();
    ImagePass pass = makeImagePass(stats, options, rays, sums);
    work.run(pass);
    second.get();
    rays.add(secondRays);
    finishImagePass(stats, sums, work, pass.lonely + secondPass.lonely);
}

// What is left once both passes are done, in tasks that both threads take as they come; each
// writes only its own result.
struct FinalTasks {
    SBlockStatistics *stats = nullptr;
    const SProjectData *data = nullptr;
    const SActiveRays *rays = nullptr;
    const ImageValues *values = nullptr;
    const ObjectPass *objects = nullptr;
    int cap = 10;
    int bins = 60;
    bool histograms = true;
    std::array<SHistogram, 2 + kAxisCount> results; // |v|, standardized, sigma X, Y, Z
    std::atomic<int> next{0};

    static constexpr int kTasks = 1 + 2 + kAxisCount; // the largest first
    void run();
    void runTask(int task);
};

void FinalTasks::run()
{
    for (int task = next.fetch_add(1, std::memory_order_relaxed); task < kTasks;
         task = next.fetch_add(1, std::memory_order_relaxed))
        runTask(task);
}

void FinalTasks::runTask(int task)
{
    static const char *const axisNames[] = {"sigma X", "sigma Y", "sigma Z"};
    const QString active = QStringLiteral("active image points");
    if (task == 2) {
        countRays(*stats, data->mListObjectData, *rays, cap);
    } else if (!histograms) {
        return;
    } else if (task < 2) {
        const auto &chunks = task == 0 ? values->lengthChunks : values->standardizedChunks;
        results[size_t(task)] = buildHistogram(
            std::span<const std::span<const float>>(chunks),
            task == 0 ? QStringLiteral("|v| of image points") : QStringLiteral("standardized residual"), active, bins);
    } else {
        const size_t axis = size_t(task - 3);
        const QString population = stats->precision.available
                                       ? QStringLiteral("object points without projection centres")
                                       : QStringLiteral("none: no inversion, no sigmas");
        results[axis + 2] = buildHistogram(objects->sigmaValues[axis],
                                           QString::fromLatin1(axisNames[axis]) + QStringLiteral(" of object points"),
                                           population, bins);
    }
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

    ObjectPass objects;
    objects.stats = &stats;
    objects.sigmas = stats.precision.available = stats.summary.inversion;
    objects.keepValues = options.histograms;
    if (objects.sigmas && objects.keepValues)
        for (std::vector<float> &axis : objects.sigmaValues)
            axis.reserve(size_t(data.mListObjectData.count()));
    SActiveRays rays;
    ImageValues values;
    runPasses(stats, data, options, objects, rays, values);
    finishControl(stats.control);
    finishPrecision(stats.precision, objects);

    FinalTasks tasks;
    tasks.stats = &stats;
    tasks.data = &data;
    tasks.rays = &rays;
    tasks.values = &values;
    tasks.objects = &objects;
    tasks.cap = std::max(1, options.multiplicityCap);
    tasks.bins = options.maxHistogramBins;
    tasks.histograms = options.histograms;
    if (options.histograms) {
        std::future<void> second =
            std::async(secondThreadPolicy(options, size_t(stats.summary.imageObservations)), [&tasks] { tasks.run(); });
        tasks.run();
        second.get();
        for (SHistogram &h : tasks.results)
            stats.histograms.push_back(std::move(h));
    } else {
        tasks.run();
    }
    return stats;
}
