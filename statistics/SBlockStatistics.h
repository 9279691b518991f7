// SPDX-License-Identifier: GPL-3.0-or-later
// Quality statistics of an adjusted block, computed once from the model and formatted by every
// output that shows them (statistics window, command line, report). Plain values, no widgets.
// Every number is computed in double; every aggregate says over which population it was taken.
#pragma once

#include <QString>

#include <array>
#include <vector>

class SProjectData;
class SImagePoint;

struct SStatisticsOptions {
    double standardizedThreshold = 3.0; // standardized residuals strictly above this are counted
    int maxHistogramBins = 60;          // upper limit of the histogram bin rule
    int multiplicityCap = 10;           // rays counted one by one below this, the last bin holds ">= cap"
    bool histograms = true;             // false leaves SBlockStatistics::histograms empty (faster)
    // Whether a second thread shares the work; the results are the same either way.
    enum ThreadsE { kThreadsBySize, kOneThread, kTwoThreads };
    ThreadsE threads = kThreadsBySize; // by size: large blocks on two cores or more
};

// Counts and adjustment figures of the whole block.
struct SBlockSummary {
    int images = 0;                    // images in the image list
    qint64 imageObservations = 0;      // image points of all images, active and eliminated
    qint64 activeObservations = 0;     // image points that took part in the adjustment
    qint64 eliminatedObservations = 0; // image points the adjustment eliminated
    qint64 lonelyObservations = 0;     // image points that no object point claims (code -1)
    int objectPoints = 0;              // object points, projection centres not included
    int newPoints = 0;                 // tie points: every code other than 200, 300, 500, 900, 901
    int verticalControl = 0;           // code 200
    int horizontalControl = 0;         // code 300
    int fullControl = 0;               // code 500
    int projectionCentres = 0;         // code 900
    int observedCentres = 0;           // code 901
    int blunders = 0;                  // object points and centres marked not active
    int weakPoints = 0;                // object points with fewer than two active rays
    bool hasProjectRecord = false;     // false: no project record, the three figures below are 0
    double sigma0 = 0.0;               // from the statistics record of the object file
    double averageRedundancy = 0.0;    // from the statistics record of the object file
    bool inversion = false;            // whether the adjustment computed the inverse (and the sigmas)
};

// Image residuals of one image, or of the whole block. RMS values and maxima are over the active
// image points only; eliminated points carry residuals the adjustment did not accept.
struct SImageResidualRow {
    int imageId = -1;                // image number; -1 in the block-wide row
    qint64 points = 0;               // image points, active and eliminated
    qint64 eliminated = 0;           // eliminated image points
    qint64 active = 0;               // active image points: the population of every value below
    double rmsVx = 0.0;              // sqrt(sum vx^2 / active)
    double rmsVy = 0.0;              // sqrt(sum vy^2 / active)
    double rmsV = 0.0;               // sqrt(sum (vx^2 + vy^2) / active), the RMS of |v|
    double maxV = 0.0;               // largest |v|
    int maxVPointId = -1;            // point id of the largest |v|; -1 when there is no active point
    int maxVImageId = -1;            // image of the largest |v| (the image itself in an image's row)
    double maxStandardized = 0.0;    // largest standardized residual
    int maxStandardizedPointId = -1; // its point id; -1 when there is no active point
    qint64 aboveThreshold = 0;       // points whose standardized residual is above the threshold
};

struct SImageResiduals {
    std::vector<SImageResidualRow> images; // one row per image, in image list order
    SImageResidualRow block;               // the same figures over all images together
    double threshold = 3.0;                // the threshold of aboveThreshold
    QString population;                    // over which points the figures were taken
};

// One observed coordinate axis of a control point or an observed projection centre.
struct SControlRow {
    int pointId = -1;      // point id; the image number for a projection centre
    int code = 0;          // PAT-B point code
    int axis = 0;          // 0 = X, 1 = Y, 2 = Z
    double observed = 0.0; // observed value of the axis
    double adjusted = 0.0; // adjusted coordinate of the axis
    double residual = 0.0; // residual as the model keeps it (the views show the same sign)
    bool accepted = false; // whether the adjustment accepted the observation
};

// RMS and largest absolute residual of one axis over accepted observations.
struct SAxisResiduals {
    qint64 count = 0;    // accepted observations of the axis: the population
    double rms = 0.0;    // sqrt(sum residual^2 / count)
    double maxAbs = 0.0; // largest |residual|
    int maxId = -1;      // point id of the largest; -1 when count is 0
};

struct SControlStatistics {
    std::vector<SControlRow> accepted;        // accepted observations, in object list order, X Y Z
    std::vector<SControlRow> rejected;        // observations the adjustment eliminated, listed apart
    std::array<SAxisResiduals, 3> pointAxes;  // X, Y, Z of object points (control points)
    std::array<SAxisResiduals, 3> centreAxes; // X, Y, Z of observed projection centres
    QString population;                       // which observations the rows and the RMS cover
};

// Mean, RMS and largest value of one sigma axis over one group of points.
struct SSigmaAxis {
    qint64 count = 0;  // points of the group: the population
    double mean = 0.0; // sum sigma / count
    double rms = 0.0;  // sqrt(sum sigma^2 / count)
    double max = 0.0;  // largest sigma
    int maxId = -1;    // point id of the largest; -1 when count is 0
};

struct SSigmaGroup {
    QString name;                   // "tie points", "control points" or "projection centres"
    std::array<SSigmaAxis, 3> axes; // sigma X, Y, Z
};

struct SPrecisionStatistics {
    bool available = false;            // false when the adjustment computed no inverse
    QString note;                      // why the groups are empty, or the population when not
    std::array<SSigmaGroup, 3> groups; // tie points, control points (200/300/500), projection centres
};

// How many object points have how many active rays.
struct SMultiplicity {
    std::vector<qint64> pointsByRays; // [k]: object points with k active rays; the last entry: >= cap
    int cap = 10;                     // the ray count of the last entry
    double meanRaysPerPoint = 0.0;    // active rays per object point
    double meanPointsPerImage = 0.0;  // active image points per image
    QString population;               // which points and rays were counted
};

// Counts of values in bins. Bin i holds edges[i] <= value < edges[i + 1]; the last bin also
// holds its upper edge. Values above the last edge are counted as overflow.
struct SHistogram {
    QString name;               // the quantity, e.g. "|v| of image points"
    QString population;         // which values were counted
    QString rule;               // how the bin edges were chosen
    std::vector<double> edges;  // bins + 1 ascending edges; empty when there is no value
    std::vector<qint64> counts; // one count per bin
    qint64 overflow = 0;        // values above the last edge, which the rule cut off as outliers
    qint64 total = 0;           // finite values: the sum of counts and overflow
    qint64 skipped = 0;         // values left out because they are not finite
};

struct SBlockStatistics {
    SBlockSummary summary;
    SImageResiduals residuals;
    SControlStatistics control;
    SPrecisionStatistics precision;
    SMultiplicity multiplicity;
    std::vector<SHistogram> histograms; // |v|, standardized residual, sigma X, Y, Z of object points
};

// All statistics of the open project, in one pass over the image points and one over the object
// points (for a large block side by side on two threads). A project without a project record
// counts as sigma 0 = 0 and no inversion. Reads the project only; safe while nothing changes it.
SBlockStatistics computeBlockStatistics(const SProjectData &data, const SStatisticsOptions &options = {});

// |v| * sqrt(weight) / sigma 0; 0 when sigma 0 or the weight is not positive.
double standardizedResidual(const SImagePoint &point, double sigma0);
