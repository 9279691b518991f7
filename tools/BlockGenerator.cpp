// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/BlockGenerator.h"

#include "tools/PatbWriter.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <cmath>
#include <deque>
#include <numbers>
#include <vector>

namespace {

// A wide-angle metric camera: 23 x 23 cm format, image coordinates in mm, origin at the centre.
constexpr int kCameraId = 101;
constexpr double kFocalLength = 153.0;      // mm
constexpr double kFormatSize = 230.0;       // mm
constexpr double kUsableHalfFormat = 110.0; // fiducials keep points off the edge
constexpr double kImageScale = 10000.0;
constexpr double kFlyingHeight = kFocalLength / 1000.0 * kImageScale; // m above the mean terrain
constexpr double kFootprint = kFormatSize / 1000.0 * kImageScale;     // m on the ground
constexpr double kFootprintSlack = 0.05 * kFootprint;                 // drift, tilt and relief
constexpr double kPlacementMargin = 0.03 * kFootprint;

constexpr double kTerrainMean = 350.0; // m
constexpr double kTerrainNoise = 2.0;
constexpr double kPositionNoise = 5.0; // m, drift from the flight plan
constexpr double kTiltSigma = 0.01;    // rad
constexpr double kKappaSigma = 0.01;

// Image numbers are strip * 1000 + position; point ids start above every image number so that a
// (c) record never names both a point and a projection centre.
constexpr int kImageNumbersPerStrip = 1000;
constexpr int kFirstPointId = 1000000;
constexpr int kFirstLonelyId = 900000001;

constexpr double kImageSigma = 0.004;   // mm
constexpr double kBlunderSigma = 0.040; // mm
constexpr double kEliminatedShare = 0.02;
constexpr double kLonelyPointsPerImage = 0.3;
constexpr double kControlShare = 0.01;
constexpr double kMinControlPoints = 8.0; // expected number in small blocks
constexpr double kRejectedShare = 0.08;
constexpr double kObservedCentreShare = 0.05;
constexpr double kControlSigmaXY = 0.05; // m, also the value shown after the residual
constexpr double kControlSigmaZ = 0.08;
constexpr double kCentreSigma = 0.10;
constexpr double kRejectedOffset = 0.5; // m, size of a blunder in a coordinate observation
constexpr double kPointSigmaXY = 0.04;  // m, for a point seen by kReferenceRays images
constexpr double kPointSigmaZ = 0.10;
constexpr double kReferenceRays = 6.0;
constexpr double kSigma0Min = 3.0;
constexpr double kSigma0Spread = 2.0;

constexpr int kPlacementAttempts = 1000;
constexpr double kCapacityFactor = 1.6;
constexpr double kMaxCarriedRays = 1000.0; // candidate images per requested ray
constexpr double kMaxRaysPerPoint = 100.0;
constexpr int kMaxImages = 500000;
constexpr qint64 kMaxPoints = kFirstLonelyId - kFirstPointId - 1;
constexpr qint16 kEliminated = 1;

constexpr qint16 kCodeNewPoint = 0;
constexpr qint16 kCodeVertical = 200;
constexpr qint16 kCodeHorizontal = 300;
constexpr qint16 kCodeFull = 500;

// Overlaps from the classic 60 % / 30 % up to the dense blocks of digital cameras; the generator
// takes the first that gives every point enough images to choose its rays from.
struct Overlap {
    double forward;
    double side;
    double multiplicity() const { return 1.0 / ((1.0 - forward) * (1.0 - side)); }
};
constexpr Overlap kOverlaps[] = {{0.6, 0.3}, {0.6, 0.6}, {0.8, 0.5}, {0.8, 0.6},  {0.8, 0.7},
                                 {0.9, 0.6}, {0.9, 0.7}, {0.9, 0.8}, {0.95, 0.8}, {0.95, 0.9}};

// Separate random streams, so that every entity draws the same numbers whatever the order of work.
enum StreamE : quint64 { ST_Image = 1, ST_Band = 2, ST_Lonely = 3, ST_Statistics = 4 };

quint64 mix(quint64 z)
{
    z += 0x9e3779b97f4a7c15ULL;
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

// SplitMix64 with its own distributions: std:: distributions differ between libraries.
class Random {
public:
    Random(quint64 seed, quint64 stream, quint64 item) : mState(mix(mix(mix(seed) ^ stream) ^ item)) {}

    double uniform()
    {
        mState += 0x9e3779b97f4a7c15ULL;
        return double(mix(mState) >> 11) * 0x1.0p-53;
    }
    double uniform(double low, double high) { return low + (high - low) * uniform(); }
    double normal(double sigma)
    {
        const double u1 = 1.0 - uniform();
        const double u2 = uniform();
        return sigma * std::sqrt(-2.0 * std::log(u1)) * std::cos(2.0 * std::numbers::pi * u2);
    }
    bool chance(double share) { return uniform() < share; }
    int below(int count) { return std::min(count - 1, int(uniform() * count)); }

private:
    quint64 mState;
};

double terrainHeight(double x, double y)
{
    return kTerrainMean + 40.0 * std::sin(x / 1700.0) * std::cos(y / 2300.0) + 15.0 * std::sin((x + 2.0 * y) / 900.0);
}

struct Image {
    int number = 0;
    double x0 = 0, y0 = 0, z0 = 0;
    double sigma[3] = {};
    double rotation[3][3] = {}; // camera to object
    bool observedCentre = false;

    // Collinearity: image coordinates in mm of an object point, false when it is behind the camera.
    bool project(double x, double y, double z, double *ix, double *iy) const
    {
        const double d[3] = {x - x0, y - y0, z - z0};
        double c[3];
        for (int row = 0; row < 3; ++row)
            c[row] = rotation[0][row] * d[0] + rotation[1][row] * d[1] + rotation[2][row] * d[2];
        if (c[2] >= 0.0)
            return false;
        *ix = -kFocalLength * c[0] / c[2];
        *iy = -kFocalLength * c[1] / c[2];
        return true;
    }
    bool sees(double x, double y, double z) const
    {
        double ix, iy;
        return project(x, y, z, &ix, &iy) && std::abs(ix) <= kUsableHalfFormat && std::abs(iy) <= kUsableHalfFormat;
    }
};

void setRotation(Image &image, double omega, double phi, double kappa)
{
    const double so = std::sin(omega), co = std::cos(omega);
    const double sp = std::sin(phi), cp = std::cos(phi);
    const double sk = std::sin(kappa), ck = std::cos(kappa);
    // R = R(omega) * R(phi) * R(kappa)
    const double r[3][3] = {{cp * ck, -cp * sk, sp},
                            {co * sk + so * sp * ck, co * ck - so * sp * sk, -so * cp},
                            {so * sk - co * sp * ck, so * ck + co * sp * sk, co * cp}};
    std::copy(&r[0][0], &r[0][0] + 9, &image.rotation[0][0]);
}

// The flight plan: strips along X, flown alternately east and west, and the images on them.
class Layout {
public:
    Layout(const BlockGenerator::Options &options, const Overlap &overlap)
    {
        mBase = kFootprint * (1.0 - overlap.forward);
        mStripDistance = kFootprint * (1.0 - overlap.side);
        const int count = options.imageCount;
        mStrips = options.strips > 0
                      ? options.strips
                      : std::clamp(int(std::lround(std::sqrt(count * mBase / mStripDistance))), 1, count / 2);
        for (int strip = 0; strip <= mStrips; ++strip)
            mFirstImage.push_back(int(qint64(count) * strip / mStrips));
        for (int strip = 0; strip < mStrips; ++strip)
            mLongestStrip = std::max(mLongestStrip, imagesInStrip(strip));
        const bool compactNumbers = mStrips < kImageNumbersPerStrip - 1 && mLongestStrip < kImageNumbersPerStrip;
        mReach = int(std::ceil((kFootprint / 2 + kFootprintSlack + mStripDistance / 2) / mStripDistance));

        mImages.resize(count);
        for (int strip = 0; strip < mStrips; ++strip) {
            const int inStrip = imagesInStrip(strip);
            const bool westward = strip % 2 == 1;
            for (int position = 0; position < inStrip; ++position) {
                const int index = mFirstImage[strip] + position;
                Random random(options.seed, ST_Image, index);
                Image &image = mImages[index];
                image.number = compactNumbers ? (strip + 1) * kImageNumbersPerStrip + position + 1 : index + 1;
                const int column = westward ? inStrip - 1 - position : position;
                image.x0 = column * mBase + random.normal(kPositionNoise);
                image.y0 = strip * mStripDistance + random.normal(kPositionNoise);
                image.z0 = kTerrainMean + kFlyingHeight + random.normal(kPositionNoise);
                setRotation(image, random.normal(kTiltSigma), random.normal(kTiltSigma),
                            (westward ? std::numbers::pi : 0.0) + random.normal(kKappaSigma));
                image.sigma[0] = random.uniform(0.05, 0.15);
                image.sigma[1] = random.uniform(0.05, 0.15);
                image.sigma[2] = random.uniform(0.03, 0.10);
                image.observedCentre = index == 0 || index == count - 1 || random.chance(kObservedCentreShare);
            }
        }
    }

    int strips() const { return mStrips; }
    int reach() const { return mReach; } // strips on either side that can see a band
    int firstImage(int strip) const { return mFirstImage[std::clamp(strip, 0, mStrips)]; }
    int imagesInStrip(int strip) const { return mFirstImage[strip + 1] - mFirstImage[strip]; }
    const Image &image(int index) const { return mImages[index]; }
    double stripDistance() const { return mStripDistance; }
    double blockLength() const { return (mLongestStrip - 1) * mBase; }

    // Indexes of the images of strips first..last that see the point.
    void imagesSeeing(double x, double y, double z, int first, int last, std::vector<int> &out) const
    {
        out.clear();
        const double reach = kFootprint / 2 + kFootprintSlack;
        const int low = std::max(first, int(std::ceil((y - reach) / mStripDistance)));
        const int high = std::min(last, int(std::floor((y + reach) / mStripDistance)));
        for (int strip = low; strip <= high; ++strip) {
            const int inStrip = imagesInStrip(strip);
            const int columnLow = std::max(0, int(std::ceil((x - reach) / mBase)));
            const int columnHigh = std::min(inStrip - 1, int(std::floor((x + reach) / mBase)));
            for (int column = columnLow; column <= columnHigh; ++column) {
                const int position = strip % 2 == 1 ? inStrip - 1 - column : column;
                const int index = mFirstImage[strip] + position;
                if (mImages[index].sees(x, y, z))
                    out.push_back(index);
            }
        }
    }

private:
    double mBase = 0;
    double mStripDistance = 0;
    int mStrips = 1;
    int mReach = 1;
    int mLongestStrip = 0;
    std::vector<int> mFirstImage;
    std::vector<Image> mImages;
};

struct BandPoint {
    int id;
    double x, y, z;
};

// The object points whose ground position lies in one strip's band, and for every image that can
// see the band the points it measured.
struct Band {
    int index = 0;
    int firstImage = 0;
    std::vector<BandPoint> points;
    std::vector<std::vector<quint32>> pointsOfImage;
};

// A result file written through the device's buffer as records come.
class OutputFile {
public:
    explicit OutputFile(const QString &path) : mFile(path) {}

    bool open(QString *error)
    {
        if (mFile.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return true;
        *error = QStringLiteral("Can't create '%1': %2").arg(mFile.fileName(), mFile.errorString());
        return false;
    }
    void write(const QByteArray &bytes)
    {
        if (mFile.write(bytes) != bytes.size())
            mFailed = true;
    }
    bool close(QString *error)
    {
        mFile.flush();
        mFailed = mFailed || mFile.error() != QFileDevice::NoError;
        const QString reason = mFile.errorString();
        mFile.close();
        if (mFailed)
            *error = QStringLiteral("Can't write '%1': %2").arg(mFile.fileName(), reason);
        return !mFailed;
    }
    qint64 size() const { return mFile.size(); }

private:
    QFile mFile;
    bool mFailed = false;
};

const Overlap &overlapFor(double raysPerPoint)
{
    for (const Overlap &overlap : kOverlaps)
        if (overlap.multiplicity() >= kCapacityFactor * raysPerPoint)
            return overlap;
    return std::end(kOverlaps)[-1];
}

// One generation run: owns the files and the band window.
class Generation {
public:
    Generation(const BlockGenerator::Options &options, double raysPerPoint, BlockGenerator::Summary &summary)
        : mOptions(options), mLayout(options, overlapFor(raysPerPoint)), mSummary(summary),
          mBase(QDir(options.outputDirectory).filePath(options.name)), mImageFile(mBase + ".(i)"),
          mOrientationFile(mBase + ".(e)"), mObjectFile(mBase + ".(o)"), mObservationFile(mBase + ".(c)"),
          mRaysPerPoint(raysPerPoint)
    {
        mControlShare = std::min(0.5, std::max(kControlShare, kMinControlPoints / double(options.pointCount)));
    }

    bool run(QString *error)
    {
        for (OutputFile *file : {&mImageFile, &mOrientationFile, &mObjectFile, &mObservationFile})
            if (!file->open(error))
                return false;

        for (int strip = 0; strip < mLayout.strips(); ++strip) {
            while (mNextBand <= std::min(strip + mLayout.reach(), mLayout.strips() - 1))
                generateBand(mNextBand++);
            while (!mBands.empty() && mBands.front().index < strip - mLayout.reach())
                mBands.pop_front();
            for (int index = mLayout.firstImage(strip); index < mLayout.firstImage(strip + 1); ++index)
                writeImage(index);
        }
        writeStatistics();

        qint64 bytes = 0;
        for (OutputFile *file : {&mImageFile, &mOrientationFile, &mObjectFile, &mObservationFile}) {
            if (!file->close(error))
                return false;
            bytes += file->size();
        }
        mSummary.images = mOptions.imageCount;
        mSummary.bytes += bytes;
        return true;
    }

private:
    void generateBand(int bandIndex)
    {
        const int strips = mLayout.strips();
        const int firstStrip = std::max(0, bandIndex - mLayout.reach());
        const int lastStrip = std::min(strips - 1, bandIndex + mLayout.reach());
        Band band;
        band.index = bandIndex;
        band.firstImage = mLayout.firstImage(firstStrip);
        band.pointsOfImage.resize(mLayout.firstImage(lastStrip + 1) - band.firstImage);

        const double halfBand = mLayout.stripDistance() / 2;
        const double outerEdge = kFootprint / 2 - kPlacementMargin;
        const double yLow = bandIndex == 0 ? -outerEdge : bandIndex * mLayout.stripDistance() - halfBand;
        const double yHigh = bandIndex == strips - 1 ? (strips - 1) * mLayout.stripDistance() + outerEdge
                                                     : bandIndex * mLayout.stripDistance() + halfBand;
        const double xLow = -outerEdge;
        const double xHigh = mLayout.blockLength() + outerEdge;

        const qint64 points = mOptions.pointCount;
        const qint64 first = points * bandIndex / strips;
        const qint64 end = points * (bandIndex + 1) / strips;
        Random random(mOptions.seed, ST_Band, bandIndex);
        for (qint64 number = first; number < end; ++number) {
            BandPoint point{int(kFirstPointId + number), 0, 0, 0};
            for (int attempt = 0; attempt < kPlacementAttempts && mSeeing.size() < 2; ++attempt) {
                point.x = random.uniform(xLow, xHigh);
                point.y = random.uniform(yLow, yHigh);
                point.z = terrainHeight(point.x, point.y) + random.normal(kTerrainNoise);
                mLayout.imagesSeeing(point.x, point.y, point.z, firstStrip, lastStrip, mSeeing);
            }
            if (mSeeing.size() < 2)
                placeBetweenFirstImages(bandIndex, firstStrip, lastStrip, point);

            // Each point picks its rays at random among the images that see it.
            const int available = int(mSeeing.size());
            // Points near the block's edges see fewer images; the rays they could not have are
            // passed on to the next points, so that the block reaches the requested total.
            const double wanted = mRaysPerPoint * random.uniform(0.5, 1.5) + mMissingRays;
            const int rays = std::min(available, std::max(2, int(std::lround(wanted))));
            mMissingRays = std::clamp(wanted - rays, 0.0, kMaxCarriedRays);
            for (int ray = 0; ray < rays; ++ray) {
                std::swap(mSeeing[ray], mSeeing[ray + random.below(available - ray)]);
                band.pointsOfImage[mSeeing[ray] - band.firstImage].push_back(quint32(band.points.size()));
            }
            mSeeing.clear();
            writeObjectPoint(point, rays, random);
            band.points.push_back(point);
        }
        mSummary.objectPoints += end - first;
        mBands.push_back(std::move(band));
    }

    // Fallback for a band no image sees twice: midway between the strip's first two images.
    void placeBetweenFirstImages(int bandIndex, int firstStrip, int lastStrip, BandPoint &point)
    {
        const int strip = std::clamp(bandIndex, 0, mLayout.strips() - 1);
        const Image &a = mLayout.image(mLayout.firstImage(strip));
        const Image &b = mLayout.image(mLayout.firstImage(strip) + std::min(1, mLayout.imagesInStrip(strip) - 1));
        point.x = (a.x0 + b.x0) / 2;
        point.y = (a.y0 + b.y0) / 2;
        point.z = terrainHeight(point.x, point.y);
        mLayout.imagesSeeing(point.x, point.y, point.z, firstStrip, lastStrip, mSeeing);
    }

    void writeObjectPoint(const BandPoint &point, int rays, Random &random)
    {
        qint16 code = kCodeNewPoint;
        if (random.chance(mControlShare)) {
            const double kind = random.uniform();
            code = kind < 0.25 ? kCodeVertical : kind < 0.5 ? kCodeHorizontal : kCodeFull;
        }
        const double rayFactor = std::sqrt(kReferenceRays / std::max(1, rays));
        const double sigmaXY = kPointSigmaXY * rayFactor * random.uniform(0.8, 1.2);
        const double sigmaZ = kPointSigmaZ * rayFactor * random.uniform(0.8, 1.2);
        mObjectFile.write(PatbWriter::objectRecord(code, point.id, point.x, point.y, point.z, sigmaXY * sigmaXY,
                                                   sigmaXY * sigmaXY, sigmaZ * sigmaZ));
        if (code == kCodeNewPoint)
            return;
        ++mSummary.controlPoints;
        if (code != kCodeVertical) {
            writeObservation(PatbWriter::OT_ControlX, point.id, point.x, kControlSigmaXY, random);
            writeObservation(PatbWriter::OT_ControlY, point.id, point.y, kControlSigmaXY, random);
        }
        if (code != kCodeHorizontal)
            writeObservation(PatbWriter::OT_ControlZ, point.id, point.z, kControlSigmaZ, random);
    }

    // The file's residual is observed minus adjusted; a rejected observation is a blunder.
    void writeObservation(qint16 type, int id, double adjusted, double sigma, Random &random)
    {
        const bool rejected = random.chance(kRejectedShare);
        double residual = random.normal(sigma);
        if (rejected)
            residual += random.chance(0.5) ? kRejectedOffset : -kRejectedOffset;
        mObservationFile.write(
            PatbWriter::observationRecord(type, rejected ? kEliminated : 0, id, adjusted + residual, residual, sigma));
        ++mSummary.coordinateObservations;
        mObservedValues += 1;
    }

    void writeImage(int index)
    {
        const Image &image = mLayout.image(index);
        mImageFile.write(PatbWriter::imageHeader(image.number));
        for (const Band &band : mBands) {
            const int local = index - band.firstImage;
            if (local < 0 || local >= int(band.pointsOfImage.size()))
                continue;
            for (quint32 pointIndex : band.pointsOfImage[local])
                writeImagePoint(image, band.points[pointIndex]);
        }
        writeLonelyPoints(index);
        mImageFile.write(PatbWriter::imageTrailer());

        mOrientationFile.write(PatbWriter::orientationRecord(
            image.number, kCameraId, image.x0, image.y0, image.z0, image.sigma[0] * image.sigma[0],
            image.sigma[1] * image.sigma[1], image.sigma[2] * image.sigma[2]));
        if (image.observedCentre) {
            Random random(mOptions.seed, ST_Image, quint64(index) + quint64(kMaxImages));
            writeObservation(PatbWriter::OT_CentreX, image.number, image.x0, kCentreSigma, random);
            writeObservation(PatbWriter::OT_CentreY, image.number, image.y0, kCentreSigma, random);
            writeObservation(PatbWriter::OT_CentreZ, image.number, image.z0, kCentreSigma, random);
        }
    }

    // The measurement is the projection minus its residual, so that x + vx lies on the ray.
    void writeImagePoint(const Image &image, const BandPoint &point)
    {
        Random random(mOptions.seed, quint64(point.id), quint64(image.number));
        double x = 0, y = 0;
        image.project(point.x, point.y, point.z, &x, &y);
        const bool eliminated = random.chance(kEliminatedShare);
        const double sigma = eliminated ? kBlunderSigma : kImageSigma;
        const double vx = random.normal(sigma);
        const double vy = random.normal(sigma);
        mImageFile.write(PatbWriter::imagePoint(eliminated ? kEliminated : 0, point.id, x - vx, y - vy, vx, vy,
                                                eliminated ? 0.0 : 1.0));
        ++mSummary.imageObservations;
        if (eliminated)
            ++mSummary.eliminatedPoints;
        else
            mObservedValues += 2;
    }

    // Points measured in one image only, which the adjustment therefore left out of (o).
    void writeLonelyPoints(int index)
    {
        Random random(mOptions.seed, ST_Lonely, index);
        if (index != 0 && !random.chance(kLonelyPointsPerImage))
            return;
        const double x = random.uniform(-kUsableHalfFormat, kUsableHalfFormat);
        const double y = random.uniform(-kUsableHalfFormat, kUsableHalfFormat);
        mImageFile.write(PatbWriter::imagePoint(0, int(kFirstLonelyId + mSummary.lonelyPoints), x, y, 0.0, 0.0, 1.0));
        ++mSummary.lonelyPoints;
        ++mSummary.imageObservations;
    }

    void writeStatistics()
    {
        Random random(mOptions.seed, ST_Statistics, 0);
        const double unknowns = 3.0 * double(mOptions.pointCount) + 6.0 * mOptions.imageCount;
        const double redundancy = std::clamp((mObservedValues - unknowns) / std::max(1.0, mObservedValues), 0.01, 0.99);
        mObjectFile.write(PatbWriter::statisticsRecord(kSigma0Min + kSigma0Spread * random.uniform(), redundancy,
                                                       PatbWriter::kInversionDone));
    }

    const BlockGenerator::Options &mOptions;
    Layout mLayout;
    BlockGenerator::Summary &mSummary;
    QString mBase;
    OutputFile mImageFile;
    OutputFile mOrientationFile;
    OutputFile mObjectFile;
    OutputFile mObservationFile;
    std::deque<Band> mBands;
    std::vector<int> mSeeing;
    int mNextBand = 0;
    double mRaysPerPoint = 0;
    double mMissingRays = 0;
    double mControlShare = kControlShare;
    double mObservedValues = 0;
};

} // namespace

BlockGenerator::BlockGenerator(const Options &options) : mOptions(options) {}

double BlockGenerator::raysPerPoint() const
{
    return mOptions.observationCount > 0
               ? double(mOptions.observationCount) / double(std::max<qint64>(1, mOptions.pointCount))
               : mOptions.raysPerPoint;
}

QString BlockGenerator::checkOptions() const
{
    const Options &o = mOptions;
    if (o.imageCount < 2 || o.imageCount > kMaxImages)
        return QStringLiteral("The number of images must be between 2 and %1.").arg(kMaxImages);
    if (o.pointCount < 1 || o.pointCount > kMaxPoints)
        return QStringLiteral("The number of points must be between 1 and %1.").arg(kMaxPoints);
    const double rays = raysPerPoint();
    if (!(rays >= 2.0 && rays <= kMaxRaysPerPoint))
        return QStringLiteral("Every point needs 2 to %1 observations on average (asked for %2).")
            .arg(kMaxRaysPerPoint)
            .arg(rays);
    if (o.strips < 0 || o.strips > o.imageCount / 2)
        return QStringLiteral("The number of strips must be between 1 and half the number of images.");
    if (o.outputDirectory.isEmpty())
        return QStringLiteral("No output directory given.");
    if (o.name.isEmpty() || o.name.contains('/') || o.name.contains('\\'))
        return QStringLiteral("The project name must be a plain file name.");
    return {};
}

bool BlockGenerator::write(QString *error)
{
    mSummary = {};
    if (const QString problem = checkOptions(); !problem.isEmpty()) {
        *error = problem;
        return false;
    }
    QDir directory(mOptions.outputDirectory);
    if (!directory.mkpath(QStringLiteral("."))) {
        *error = QStringLiteral("Can't create the directory '%1'.").arg(mOptions.outputDirectory);
        return false;
    }

    Generation generation(mOptions, raysPerPoint(), mSummary);
    if (!generation.run(error))
        return false;

    // Pat.ini and PAT-B's project file name their neighbours relative to their own folder,
    // so that the block can be moved with its folder and opened from any working folder.
    const QString name = mOptions.name;
    const QString cameraFile = name + QStringLiteral(".cam");
    PatbWriter::CameraData cameraData{};
    cameraData[0] = kFocalLength;
    const struct {
        QString file;
        QByteArray bytes;
    } textFiles[] = {
        {name + ".(p)", PatbWriter::projectFile(PatbWriter::projectFileNames(name, cameraFile))},
        {cameraFile,
         PatbWriter::cameraRecord(kCameraId, -kFormatSize / 2, kFormatSize / 2, kFormatSize, kFormatSize, cameraData)},
        {name + ".pro", PatbWriter::patProjectFile(name)},
        {QStringLiteral("Pat.ini"), PatbWriter::patIni(name + ".pro", QStringLiteral("."))},
    };
    for (const auto &file : textFiles) {
        if (!PatbWriter::writeFile(directory.filePath(file.file), file.bytes, error))
            return false;
        mSummary.bytes += file.bytes.size();
    }
    return true;
}

QString BlockGenerator::summaryLine() const
{
    const Summary &s = mSummary;
    return QStringLiteral("%1 images, %2 object points (%3 control), %4 image observations "
                          "(%5 eliminated, %6 lonely), %7 coordinate observations, %8 bytes")
        .arg(s.images)
        .arg(s.objectPoints)
        .arg(s.controlPoints)
        .arg(s.imageObservations)
        .arg(s.eliminatedPoints)
        .arg(s.lonelyPoints)
        .arg(s.coordinateObservations)
        .arg(s.bytes);
}
