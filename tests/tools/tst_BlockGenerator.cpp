// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/tools/ProjectScan.h"
#include "tools/BlockGenerator.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <cmath>

using namespace ProjectScan;

namespace {

constexpr int kCameraRecord = 210;
constexpr double kHalfFormat = 115.0; // mm, the camera's 230 x 230 format

BlockGenerator::Options options(const QString &dir, int images, qint64 points, double rays, int strips = 0,
                                quint64 seed = 1)
{
    BlockGenerator::Options o;
    o.imageCount = images;
    o.pointCount = points;
    o.raysPerPoint = rays;
    o.strips = strips;
    o.seed = seed;
    o.outputDirectory = dir;
    o.name = QStringLiteral("demo");
    return o;
}

} // namespace

class TestBlockGenerator : public QObject {
    Q_OBJECT

private slots:
    void structure_data();
    void structure();
    void deterministic();
    void badOptions_data();
    void badOptions();
    void commandLine();
};

void TestBlockGenerator::structure_data()
{
    QTest::addColumn<int>("images");
    QTest::addColumn<qint64>("points");
    QTest::addColumn<double>("rays");
    QTest::addColumn<int>("strips");
    QTest::newRow("example size") << 18 << qint64(450) << 5.0 << 0;
    QTest::newRow("uneven strips") << 17 << qint64(300) << 4.0 << 3;
    QTest::newRow("dense") << 40 << qint64(1000) << 20.0 << 0;
}

void TestBlockGenerator::structure()
{
    QFETCH(int, images);
    QFETCH(qint64, points);
    QFETCH(double, rays);
    QFETCH(int, strips);
    QTemporaryDir dir;
    BlockGenerator generator(options(dir.path(), images, points, rays, strips));
    QString error;
    QVERIFY2(generator.write(&error), qPrintable(error));
    const Project p(dir.filePath("demo"));

    QVERIFY(!p.i.isEmpty());
    QCOMPARE(p.i.size() % Project::kImageRecord, 0);
    QCOMPARE(p.e.size() % Project::kOrientationRecord, 0);
    QCOMPARE(p.o.size() % Project::kObjectRecord, 0);
    QCOMPARE(p.c.size() % Project::kObservationRecord, 0);
    QCOMPARE(p.camera.size(), kCameraRecord);

    // Images: a header and a trailer each, in the order of (e), numbers apart from point ids.
    QCOMPARE(p.headers.size(), images);
    QCOMPARE(p.trailers, images);
    QList<int> orientationOrder;
    for (const OrientationRecord &record : p.orientations)
        orientationOrder << record.number;
    QCOMPARE(orientationOrder, p.headers);
    QCOMPARE(QSet<int>(p.headers.begin(), p.headers.end()).size(), images);
    const int cameraId = idAt(p.camera, 0);
    for (const OrientationRecord &record : p.orientations) {
        QVERIFY(!p.objects.contains(record.number));
        QCOMPARE(record.cameraId, cameraId);
        QVERIFY(record.varX0 > 0 && record.varY0 > 0 && record.varZ0 > 0);
    }
    QCOMPARE(float64At(p.camera, 178), -kHalfFormat);
    QCOMPARE(float64At(p.camera, 186), kHalfFormat);

    // Object points: each once, positive variances, measured in at least two images.
    QCOMPARE(p.objectRecords, int(points));
    QCOMPARE(p.objects.size(), int(points));
    QCOMPARE(p.statistics.size(), 1);
    QCOMPARE(float64At(p.statistics[0], 28), 1.0);
    QVERIFY(float64At(p.statistics[0], 12) > 0.0);
    const double redundancy = float64At(p.statistics[0], 20);
    QVERIFY(redundancy > 0.0 && redundancy < 1.0);
    QHash<int, QSet<int>> imagesOfPoint;
    int lonely = 0;
    int eliminated = 0;
    for (const ImagePointRecord &point : p.imagePoints) {
        QVERIFY(p.headers.contains(point.image));
        QVERIFY(std::abs(point.x) <= kHalfFormat && std::abs(point.y) <= kHalfFormat);
        QVERIFY2(!imagesOfPoint[point.id].contains(point.image), "point measured twice in one image");
        imagesOfPoint[point.id].insert(point.image);
        if (!p.objects.contains(point.id))
            ++lonely;
        if (point.status != 0)
            ++eliminated;
    }
    QVERIFY(lonely > 0);
    for (auto it = p.objects.cbegin(); it != p.objects.cend(); ++it) {
        QVERIFY2(imagesOfPoint.value(it.key()).size() >= 2, qPrintable(QString::number(it.key())));
        QVERIFY(it->varX > 0 && it->varY > 0 && it->varZ > 0);
    }

    // Coordinate observations: of existing points, on the axes their codes observe.
    int centreObservations = 0;
    for (const ObservationRecord &observation : p.observations) {
        QVERIFY(observation.type >= 1 && observation.type <= 6);
        if (observation.type >= 4) {
            QVERIFY(p.headers.contains(observation.id));
            ++centreObservations;
            continue;
        }
        QVERIFY(p.objects.contains(observation.id));
        const int code = p.objects[observation.id].code;
        QVERIFY(code == 500 || (code == 300 && observation.type != 3) || (code == 200 && observation.type == 3));
    }
    QVERIFY(centreObservations >= 3);
    QVERIFY(std::any_of(p.observations.cbegin(), p.observations.cend(),
                        [](const ObservationRecord &o) { return o.status != 0; }));
    QVERIFY(eliminated > 0);

    const BlockGenerator::Summary &summary = generator.summary();
    QCOMPARE(summary.images, images);
    QCOMPARE(summary.objectPoints, points);
    QCOMPARE(summary.imageObservations, qint64(p.imagePoints.size()));
    QCOMPARE(summary.lonelyPoints, qint64(lonely));
    QCOMPARE(summary.eliminatedPoints, qint64(eliminated));
    QCOMPARE(summary.coordinateObservations, qint64(p.observations.size()));
    qint64 bytes = 0;
    for (const QFileInfo &file : QDir(dir.path()).entryInfoList(QDir::Files))
        bytes += file.size();
    QCOMPARE(summary.bytes, bytes);
}

void TestBlockGenerator::deterministic()
{
    QTemporaryDir a, b, c;
    QString error;
    QVERIFY(BlockGenerator(options(a.path(), 12, 300, 5.0, 0, 42)).write(&error));
    QVERIFY(BlockGenerator(options(b.path(), 12, 300, 5.0, 0, 42)).write(&error));
    QVERIFY(BlockGenerator(options(c.path(), 12, 300, 5.0, 0, 43)).write(&error));
    const QStringList files = QDir(a.path()).entryList(QDir::Files);
    QCOMPARE(files.size(), 8);
    for (const QString &file : files) {
        if (file == "Pat.ini" || file.endsWith(".pro"))
            continue; // they name their own directory
        QVERIFY2(readAll(a.filePath(file)) == readAll(b.filePath(file)), qPrintable(file));
    }
    QVERIFY(readAll(a.filePath("demo.(i)")) != readAll(c.filePath("demo.(i)")));
    QVERIFY(readAll(a.filePath("demo.(o)")) != readAll(c.filePath("demo.(o)")));
}

void TestBlockGenerator::badOptions_data()
{
    QTest::addColumn<int>("images");
    QTest::addColumn<qint64>("points");
    QTest::addColumn<double>("rays");
    QTest::addColumn<int>("strips");
    QTest::addColumn<QString>("name");
    QTest::newRow("one image") << 1 << qint64(10) << 3.0 << 0 << "demo";
    QTest::newRow("no points") << 4 << qint64(0) << 3.0 << 0 << "demo";
    QTest::newRow("single rays") << 4 << qint64(10) << 1.5 << 0 << "demo";
    QTest::newRow("absurd rays") << 4 << qint64(10) << 1e9 << 0 << "demo";
    QTest::newRow("not a number") << 4 << qint64(10) << std::nan("") << 0 << "demo";
    QTest::newRow("strips of one image") << 4 << qint64(10) << 3.0 << 3 << "demo";
    QTest::newRow("name with a path") << 4 << qint64(10) << 3.0 << 0 << "../demo";
}

void TestBlockGenerator::badOptions()
{
    QFETCH(int, images);
    QFETCH(qint64, points);
    QFETCH(double, rays);
    QFETCH(int, strips);
    QFETCH(QString, name);
    QTemporaryDir dir;
    BlockGenerator::Options o = options(dir.filePath("out"), images, points, rays, strips);
    o.name = name;
    BlockGenerator generator(o);
    QVERIFY(!generator.checkOptions().isEmpty());
    QString error;
    QVERIFY(!generator.write(&error));
    QCOMPARE(error, generator.checkOptions());
    QVERIFY(!QFileInfo::exists(dir.filePath("out")));
}

void TestBlockGenerator::commandLine()
{
    const QString binDir = qEnvironmentVariable("VARLOMIN_BIN_DIR");
    if (binDir.isEmpty())
        QSKIP("VARLOMIN_BIN_DIR not set");
    const QString program = QDir(binDir).filePath("varlomin-blockgen");
    QTemporaryDir dir;

    QProcess run;
    run.start(program, {"--images", "6", "--points", "100", "--observations", "400", "--seed", "3", "--out", dir.path(),
                        "--name", "cli"});
    QVERIFY(run.waitForFinished());
    QCOMPARE(run.exitCode(), 0);
    const QString line = QString::fromLocal8Bit(run.readAllStandardOutput()).trimmed();
    QVERIFY2(!line.contains('\n') && line.contains("6 images") && line.contains("100 object points") &&
                 line.contains("bytes"),
             qPrintable(line));
    QVERIFY(QFileInfo::exists(dir.filePath("cli.(p)")));

    QProcess bad;
    bad.start(program, {"--images", "six", "--points", "100", "--out", dir.filePath("bad")});
    QVERIFY(bad.waitForFinished());
    QCOMPARE(bad.exitCode(), 2);
    QVERIFY(bad.readAllStandardError().contains("six"));
    QVERIFY(!QFileInfo::exists(dir.filePath("bad")));
}

QTEST_GUILESS_MAIN(TestBlockGenerator)
#include "tst_BlockGenerator.moc"
