// SPDX-License-Identifier: GPL-3.0-or-later
// Quality statistics of a block whose residuals, rays, observations and sigmas the test wrote.
#include "patb/SPatbReader.h"
#include "statistics/SBlockStatistics.h"
#include "statistics/SDecimalText.h"
#include "statistics/SHistogramBuilder.h"
#include "statistics/SStatisticsJson.h"
#include "tests/common/StatisticsBlock.h"
#include "tests/common/StopHandler.h"

#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <limits>
#include <numeric>
#include <random>

namespace {

// RMS of values as the model keeps them (single precision), computed in double.
double rms(std::initializer_list<double> values)
{
    double sum = 0.0;
    for (double v : values)
        sum += double(float(v)) * double(float(v));
    return std::sqrt(sum / double(values.size()));
}

// Length of a residual vector as the model keeps it (single precision), computed in double.
float length(double vx, double vy)
{
    const double x = float(vx), y = float(vy);
    return float(std::sqrt(x * x + y * y));
}

// RMS of the lengths of residual vectors (vx, vy).
double rmsLength(std::initializer_list<std::pair<double, double>> vectors)
{
    double sum = 0.0;
    for (const auto &[vx, vy] : vectors)
        sum += double(float(vx)) * double(float(vx)) + double(float(vy)) * double(float(vy));
    return std::sqrt(sum / double(vectors.size()));
}

// A block of many images with random residuals, weights (some 0), eliminated and lonely points,
// control observations and sigmas: enough images for both threads to take some.
QString writeRandomBlock(const QString &dir, double sigma0, double inversion)
{
    using namespace PatbFiles;
    std::mt19937 random(11);
    std::uniform_real_distribution<double> residual(-3.0, 3.0), unit(0.0, 1.0);
    constexpr int kImages = 600, kPointsPerImage = 60, kFirstId = 1000, kObjects = 3000;
    QByteArray images, orientations, objects = statisticsRecord(sigma0, 0.75, inversion), observations;
    for (int image = 1; image <= kImages; ++image) {
        images += imageHeader(image);
        for (int k = 0; k < kPointsPerImage; ++k) {
            const int id = kFirstId + int(random() % (kObjects + 50)); // a few ids without object point
            const int status = unit(random) < 0.05 ? 1 : 0;
            const double weight = unit(random) < 0.1 ? 0.0 : 0.25 * double(1 + random() % 4);
            images += imagePoint(status, id, k, k, residual(random), residual(random), weight);
        }
        images += imageTrailer();
        orientations += orientationRecord(image, 7, 100.0 * image, 0, 1000, unit(random), unit(random), 1);
    }
    static const int codes[] = {0, 0, 0, 0, 200, 300, 500};
    for (int i = 0; i < kObjects; ++i) {
        const int id = kFirstId + i, code = codes[random() % 7];
        objects += objectRecord(code, id, i, 2 * i, 3, unit(random), unit(random), unit(random) * 10);
        if (code != 0)
            observations +=
                observationRecord(1 + int(random() % 3), random() % 5 == 0 ? 1 : 0, id, i + 0.5, residual(random));
    }
    writeFile(QDir(dir).filePath("p.(p)"), "IMAGE_FILE: b.(i)\r\nOBJECT_FILE: b.(o)\r\nORIENTATION_FILE: b.(e)\r\n"
                                           "OBJECT_OBSERVATION_FILE: b.(c)\r\nCAMERA_FILE: none.cam\r\n");
    writeFile(QDir(dir).filePath("b.(i)"), images);
    writeFile(QDir(dir).filePath("b.(e)"), orientations);
    writeFile(QDir(dir).filePath("b.(o)"), objects);
    writeFile(QDir(dir).filePath("b.(c)"), observations);
    qputenv("windir", dir.toUtf8());
    writeFile(QDir(dir).filePath("Pat.ini"), "[PAT]\nPATH_PROGRAMS=\n");
    return QDir(dir).filePath("p.(p)");
}

} // namespace

class TestStatistics : public QObject {
    Q_OBJECT
private slots:
    void imageResiduals_data()
    {
        QTest::addColumn<double>("sigma0");
        QTest::newRow("sigma 0 = 0.5") << 0.5;
        QTest::newRow("sigma 0 = 0: every standardized residual 0") << 0.0;
    }
    void imageResiduals()
    {
        QFETCH(double, sigma0);
        const SBlockStatistics s = compute({sigma0, 1.0});
        const SImageResiduals &r = s.residuals;
        QCOMPARE(r.images.size(), size_t(2));

        // Image 1: the eliminated point 102 is counted but its residual (30, 40) is left out.
        const SImageResidualRow &one = r.images[0];
        QCOMPARE(one.imageId, 1);
        QCOMPARE(one.points, 5);
        QCOMPARE(one.eliminated, 1);
        QCOMPARE(one.active, 4);
        QCOMPARE(one.rmsVx, rms({3, 0, 0.6, 1}));
        QCOMPARE(one.rmsVy, rms({4, 0, 0.8, 0}));
        QCOMPARE(one.rmsV, rmsLength({{3, 4}, {0, 0}, {0.6, 0.8}, {1, 0}}));
        QCOMPARE(one.maxV, 5.0);
        QCOMPARE(one.maxVPointId, 100);

        // Block: all six active points of both images.
        QCOMPARE(r.block.active, 6);
        QCOMPARE(r.block.eliminated, 2);
        QCOMPARE(r.block.rmsV, rmsLength({{3, 4}, {0, 0}, {0.6, 0.8}, {1, 0}, {1, 1}, {0, 2}}));
        QCOMPARE(r.block.maxVImageId, 1);

        // |v| sqrt(w) / sigma 0: point 100 of image 1 is 5 * 2 / 0.5 = 20, point 103 has weight 0,
        // point 104 of image 2 is 2 / 0.5 = 4; only these two exceed 3.
        if (sigma0 > 0.0) {
            QCOMPARE(one.maxStandardized, 5 * 2 / sigma0);
            QCOMPARE(one.maxStandardizedPointId, 100);
            QCOMPARE(r.images[1].maxStandardized, 2 / sigma0);
            QCOMPARE(r.block.aboveThreshold, 2);
        } else {
            QCOMPARE(r.block.maxStandardized, 0.0);
            QCOMPARE(r.block.aboveThreshold, 0);
        }
        // The |v| histogram counts the lengths of exactly the six active points of both images, which
        // the images' passes collect apart and join.
        const std::vector<float> lengths = {length(3, 4), length(0, 0), length(0.6, 0.8),
                                            length(1, 0), length(1, 1), length(0, 2)};
        const SHistogram expected = buildHistogram(lengths, QStringLiteral("x"), QStringLiteral("all"), 60);
        QCOMPARE(s.histograms.at(0).edges, expected.edges);
        QCOMPARE(s.histograms.at(0).counts, expected.counts);
        SImagePoint weightless(true, 0, 0, 0.6f, 0.8f, 0.0f);
        QCOMPARE(standardizedResidual(weightless, 0.5), 0.0);
    }

    void control()
    {
        const SBlockStatistics s = compute();
        const SControlStatistics &c = s.control;
        // Five accepted axes: 103 X, 104 Z, 105 X and Y, centre 2 X; 103 Y rejected; 103 Z has no
        // observation and no row.
        QCOMPARE(c.accepted.size(), size_t(5));
        QCOMPARE(c.rejected.size(), size_t(1));
        QCOMPARE(c.rejected[0].pointId, 103);
        QCOMPARE(c.rejected[0].axis, 1);
        for (const SControlRow &row : c.accepted)
            QVERIFY(!(row.pointId == 103 && row.axis == 2));

        // Model residuals are the negated file residuals; control points and centres apart.
        QCOMPARE(c.pointAxes[0].count, 2);
        QCOMPARE(c.pointAxes[0].rms, rms({-0.1, -0.3}));
        QCOMPARE(c.pointAxes[0].maxId, 105);
        QCOMPARE(c.pointAxes[1].count, 1); // the rejected Y of 103 is not in the RMS
        QCOMPARE(c.pointAxes[1].rms, rms({0.4}));
        QCOMPARE(c.pointAxes[2].rms, rms({0.2}));
        QCOMPARE(c.centreAxes[0].count, 1);
        QCOMPARE(c.centreAxes[0].rms, rms({-0.5}));
        QCOMPARE(c.centreAxes[1].count, 0);

        const SControlRow &first = c.accepted[0];
        QCOMPARE(first.pointId, 2); // the projection centres come first in the object list
        QCOMPARE(first.code, 901);
        QCOMPARE(first.adjusted, 100.0);
        QCOMPARE(first.observed, double(100.5f));
    }

    void summaryAndMultiplicity()
    {
        const SBlockStatistics s = compute();
        const SBlockSummary &b = s.summary;
        QCOMPARE(b.images, 2);
        QCOMPARE(b.imageObservations, 8);
        QCOMPARE(b.activeObservations, 6);
        QCOMPARE(b.lonelyObservations, 1);
        QCOMPARE(b.objectPoints, 6);
        QCOMPARE(b.newPoints, 3);
        QCOMPARE(b.fullControl, 1);
        QCOMPARE(b.projectionCentres, 1);
        QCOMPARE(b.observedCentres, 1);
        QCOMPARE(b.blunders, 1); // 103, whose last observation was rejected
        QCOMPARE(b.sigma0, 0.5);

        // Active rays: 100 two, 101 one (its second ray eliminated), 103 and 104 one, 102 none (its
        // only ray eliminated) and 105 none. The lonely 555 and the centres are no object points.
        const SMultiplicity &m = s.multiplicity;
        QCOMPARE(m.pointsByRays[0], 2);
        QCOMPARE(m.pointsByRays[1], 3);
        QCOMPARE(m.pointsByRays[2], 1);
        QCOMPARE(std::accumulate(m.pointsByRays.begin(), m.pointsByRays.end(), qint64(0)), qint64(b.objectPoints));
        QCOMPARE(b.weakPoints, 5);
        QCOMPARE(m.meanRaysPerPoint, 5.0 / 6.0);
        QCOMPARE(m.meanPointsPerImage, 3.0);
    }

    void precision_data()
    {
        QTest::addColumn<double>("inversion");
        QTest::newRow("inverse computed") << 1.0;
        QTest::newRow("no inverse") << 0.0;
    }
    void precision()
    {
        QFETCH(double, inversion);
        const SBlockStatistics s = compute({0.5, inversion});
        const SPrecisionStatistics &p = s.precision;
        QVERIFY(!p.note.isEmpty());
        if (inversion == 0.0) {
            QVERIFY(!p.available);
            for (const SSigmaGroup &g : p.groups)
                QCOMPARE(g.axes[0].count, 0);
            for (size_t i = 2; i < s.histograms.size(); ++i)
                QVERIFY(s.histograms[i].counts.empty());
            return;
        }
        QVERIFY(p.available);
        const SSigmaAxis &tieZ = p.groups[0].axes[2]; // 100, 101, 102: 0.3, 0.1, 0.2
        QCOMPARE(tieZ.count, 3);
        QCOMPARE(float(tieZ.mean), 0.2f);
        QCOMPARE(float(tieZ.rms), float(rms({0.3, 0.1, 0.2})));
        QCOMPARE(tieZ.maxId, 100);
        QCOMPARE(p.groups[1].axes[0].count, 3);
        QCOMPARE(float(p.groups[1].axes[0].max), 0.03f);
        QCOMPARE(p.groups[2].axes[2].maxId, 1); // sigma Z0 of image 1 is 4
        QCOMPARE(p.groups[2].axes[2].max, 4.0);
    }

    void histogram_data()
    {
        const double nan = std::numeric_limits<double>::quiet_NaN();
        QTest::addColumn<std::vector<double>>("values");
        QTest::addColumn<qint64>("skipped");
        QTest::addColumn<qint64>("overflow");
        QTest::newRow("spread") << std::vector<double>{0.1, 0.5, 0.5, 0.9, 1.3, 2.0, 2.2, 5.5, 0.0, 3.3} << 0ll << 0ll;
        QTest::newRow("quartiles equal") << std::vector<double>{1, 1, 1, 1, 1, 1, 1, 9} << 0ll << 0ll;
        QTest::newRow("one value") << std::vector<double>{2.5} << 0ll << 0ll;
        QTest::newRow("not finite left out") << std::vector<double>{1, nan, 2, HUGE_VAL, 3} << 2ll << 0ll;
        QTest::newRow("far outlier apart") << std::vector<double>{1, 2, 3, 4, 5, 6, 7, 8, 1e7} << 0ll << 1ll;
        QTest::newRow("empty") << std::vector<double>{} << 0ll << 0ll;
        QTest::newRow("largest is the first zero") << std::vector<double>{-1, 0.0, -1, -1, -0.0} << 0ll << 0ll;
        // More values than the quartiles' sample, with ties, zeros and both signs; ten far outliers
        // put the last edge on the fence, which the quartiles set.
        std::mt19937 random(5);
        std::uniform_real_distribution<double> spread(0.0, 5.0);
        std::vector<double> many;
        for (int i = 0; i < 200000; ++i)
            many.push_back(i % 20000 == 1 ? 1e6
                           : i % 7 == 0   ? 0.0
                           : i % 5 == 0   ? double(i % 3)
                                          : (i % 2 ? -1 : 1) * spread(random));
        QTest::newRow("many, both signs, far outliers") << many << 0ll << 10ll;
    }
    void histogram()
    {
        QFETCH(std::vector<double>, values);
        QFETCH(qint64, skipped);
        QFETCH(qint64, overflow);
        const std::vector<double> input = values;
        const SHistogram h = buildHistogram(values, QStringLiteral("x"), QStringLiteral("all"), 60);
        QCOMPARE(h.skipped, skipped);
        QCOMPARE(h.overflow, overflow);
        QCOMPARE(h.total, qint64(input.size()) - skipped);
        QCOMPARE(std::accumulate(h.counts.begin(), h.counts.end(), qint64(0)) + h.overflow, h.total);
        if (h.total == 0) {
            QVERIFY(h.edges.empty());
            return;
        }
        QCOMPARE(h.edges.size(), h.counts.size() + 1);
        if (h.overflow == 0) { // the last edge is the largest value as met first, sign of zero included
            double largest = -HUGE_VAL;
            for (double v : input)
                if (std::isfinite(v))
                    largest = std::max(largest, v);
            QCOMPARE(h.edges.back(), largest);
            QCOMPARE(std::signbit(h.edges.back()), std::signbit(largest));
        }
        // Each bin holds exactly the values between its edges (the last one closed).
        std::vector<qint64> expected(h.counts.size(), 0);
        for (double v : input)
            for (size_t bin = 0; bin < h.counts.size(); ++bin)
                if (v >= h.edges[bin] &&
                    (v < h.edges[bin + 1] || (bin + 1 == h.counts.size() && v == h.edges[bin + 1])))
                    ++expected[bin];
        QCOMPARE(h.counts, expected);
        QVERIFY(h.counts.size() <= 60);

        // Single precision values are binned exactly as the same values in double precision.
        std::vector<float> floats(input.begin(), input.end());
        const std::vector<double> widened(floats.begin(), floats.end());
        const SHistogram single = buildHistogram(floats, QStringLiteral("x"), QStringLiteral("all"), 60);
        const SHistogram twice = buildHistogram(widened, QStringLiteral("x"), QStringLiteral("all"), 60);
        QCOMPARE(single.edges, twice.edges);
        QCOMPARE(single.counts, twice.counts);
        QCOMPARE(single.overflow, twice.overflow);
    }

    // A second thread takes chunks of images and the object points; every figure must be the one
    // a single thread computes (doubles compared exactly).
    void twoThreadsAsOne_data()
    {
        QTest::addColumn<double>("sigma0");
        QTest::addColumn<double>("inversion");
        QTest::newRow("sigma 0 and inverse") << 0.7 << 1.0;
        QTest::newRow("sigma 0 = 0, no inverse") << 0.0 << 0.0;
    }
    void twoThreadsAsOne()
    {
        QFETCH(double, sigma0);
        QFETCH(double, inversion);
        QTemporaryDir dir;
        SProjectData data;
        StopHandler handler;
        QVERIFY(SPatbReader(data, handler).readProjectFile(writeRandomBlock(dir.path(), sigma0, inversion)));
        data.initialise();
        SStatisticsOptions options;
        options.threads = SStatisticsOptions::kOneThread;
        const QJsonObject one = statisticsJson(computeBlockStatistics(data, options));
        options.threads = SStatisticsOptions::kTwoThreads;
        for (int run = 0; run < 3; ++run)
            QCOMPARE(statisticsJson(computeBlockStatistics(data, options)), one);
        data.close();
    }

    // The text tables write numbers themselves; every character must be the one QString::number
    // writes, also for an exact half, a negative zero, a value rounding to zero, and non-finite values.
    void decimalTextAsQt()
    {
        std::vector<double> values = {0.0625,
                                      -0.0625,
                                      1880.4375,
                                      2.5,
                                      -0.0,
                                      0.0,
                                      -0.0001,
                                      0.0005,
                                      1e20,
                                      -1e300,
                                      std::numeric_limits<double>::quiet_NaN(),
                                      -HUGE_VAL,
                                      1.0 / 3.0};
        std::mt19937_64 random(7);
        std::uniform_real_distribution<double> spread(-2e4, 2e4);
        for (int i = 0; i < 10000; ++i)
            values.push_back(i % 2 ? spread(random) : double(float(spread(random))));
        for (const double v : values)
            for (const int decimals : {0, 3}) {
                std::string text;
                appendFixed(text, v, decimals);
                QCOMPARE(QString::fromStdString(text), QString::number(v, 'f', decimals));
            }
        std::string integer;
        appendInteger(integer, std::numeric_limits<qint64>::min());
        QCOMPARE(QString::fromStdString(integer), QString::number(std::numeric_limits<qint64>::min()));
    }

private:
    SBlockStatistics compute(const StatisticsBlock::Options &options = {})
    {
        QTemporaryDir dir;
        const QString project = StatisticsBlock::install(dir.path(), options);
        SProjectData data;
        StopHandler handler;
        SPatbReader(data, handler).readProjectFile(project);
        data.initialise();
        SBlockStatistics stats = computeBlockStatistics(data);
        data.close();
        return stats;
    }
};

QTEST_GUILESS_MAIN(TestStatistics)
#include "tst_statistics.moc"
