// SPDX-License-Identifier: GPL-3.0-or-later
// The block generator: its files decoded independently of the writer, and read back through
// the PAT-B readers as the program finds them with "-p"; its options and command line.
#include "patb/SPatbReader.h"
#include "tests/common/StopHandler.h"
#include "tests/tools/ProjectScan.h"
#include "tools/BlockGenerator.h"

#include <QDir>
#include <QHash>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

using namespace ProjectScan;

namespace {

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

// Finds the current project through Pat.ini in windir, from the folder `current`, and reads it.
QString readCurrentProject(const QString &current, const QByteArray &windir, SProjectData &data, StopHandler &handler)
{
    const QString previous = QDir::currentPath();
    QDir::setCurrent(current);
    qputenv("windir", windir);
    SPatbReader reader(data, handler);
    QString project = reader.findCurrentPATProject(true);
    if (!project.isEmpty() && !reader.readProjectFile(project))
        project.clear();
    QDir::setCurrent(previous);
    return project;
}

} // namespace

class TestBlockGenerator : public QObject {
    Q_OBJECT

private slots:
    void generatedBlock_data()
    {
        QTest::addColumn<int>("images");
        QTest::addColumn<qint64>("points");
        QTest::addColumn<double>("rays");
        QTest::addColumn<int>("strips");
        QTest::newRow("example size") << 18 << qint64(450) << 5.0 << 0;
        QTest::newRow("uneven strips") << 17 << qint64(300) << 4.0 << 3;
        QTest::newRow("dense") << 40 << qint64(1000) << 20.0 << 0;
    }
    void generatedBlock()
    {
        QFETCH(int, images);
        QFETCH(qint64, points);
        QFETCH(double, rays);
        QFETCH(int, strips);
        QTemporaryDir dir;
        BlockGenerator generator(options(QStringLiteral("examples"), images, points, rays, strips));
        const QString previous = QDir::currentPath();
        QDir::setCurrent(dir.path());
        QString error;
        const bool written = generator.write(&error);
        QDir::setCurrent(previous);
        QVERIFY2(written, qPrintable(error));
        const Project p(dir.filePath("examples/demo"));

        // Images: a header and a trailer each, in the order of (e); object points in two images at least.
        QCOMPARE(p.headers.size(), images);
        QCOMPARE(p.trailers, images);
        QCOMPARE(p.objects.size(), int(points));
        QHash<int, QSet<int>> imagesOfPoint;
        qint64 lonely = 0, eliminated = 0;
        for (const ImagePointRecord &point : p.imagePoints) {
            QVERIFY(std::abs(point.x) <= kHalfFormat && std::abs(point.y) <= kHalfFormat);
            QVERIFY2(!imagesOfPoint[point.id].contains(point.image), "point measured twice in one image");
            imagesOfPoint[point.id].insert(point.image);
            lonely += !p.objects.contains(point.id);
            eliminated += point.status != 0;
        }
        for (auto it = p.objects.cbegin(); it != p.objects.cend(); ++it)
            QVERIFY2(imagesOfPoint.value(it.key()).size() >= 2, qPrintable(QString::number(it.key())));
        const BlockGenerator::Summary &summary = generator.summary();
        QVERIFY(summary.lonelyPoints > 0 && summary.eliminatedPoints > 0);
        QCOMPARE(summary.lonelyPoints, lonely);
        QCOMPARE(summary.eliminatedPoints, eliminated);
        QCOMPARE(summary.imageObservations, qint64(p.imagePoints.size()));
        QCOMPARE(summary.coordinateObservations, qint64(p.observations.size()));

        // Read back: images in file order with their orientation, points and the camera's format.
        SProjectData data;
        StopHandler handler;
        QCOMPARE(readCurrentProject(dir.path(), "examples", data, handler), QStringLiteral("examples/demo.(p)"));
        QVERIFY2(handler.errors.isEmpty(), qPrintable(handler.errors.join('\n')));
        QCOMPARE(data.mListImageData.count(), images);
        for (int index = 0; index < p.orientations.size(); ++index) {
            const OrientationRecord &record = p.orientations[index];
            const SImage *image = data.mListImageData.at(index);
            QCOMPARE(image->id(), record.number);
            QCOMPARE(image->cameraId(), record.cameraId);
            QCOMPARE(image->X0(), float(record.x0));
            QCOMPARE(image->sigmaZ0(), float(std::sqrt(record.varZ0)));
            QCOMPARE(image->xmin(), float(-kHalfFormat));
        }
        for (const ImagePointRecord &point : p.imagePoints) {
            const SImagePoint *read = SImageList::find(point.image)->imagePoint(point.id);
            QVERIFY(read);
            QCOMPARE(read->x(), float(point.x));
            QCOMPARE(read->vy(), float(point.vy));
            QCOMPARE(read->isActive(), point.status == 0);
        }
        // Object points after the projection centres; observations with the model's sign.
        QCOMPARE(data.mListObjectData.count(), images + int(points));
        QCOMPARE(data.projectFiles->sigma0, float64At(p.statistics.value(0), 12));
        for (const ObservationRecord &observation : p.observations) {
            const SObjectPoint *point = data.mListObjectData.find(observation.id);
            QVERIFY(point);
            const int axis = (observation.type - 1) % 3;
            QCOMPARE(point->observation().coord(axis), float(observation.observed));
            QCOMPARE(point->observation().deviation(axis), -float(observation.residual));
        }
        for (auto it = p.objects.cbegin(); it != p.objects.cend(); ++it) {
            const SObjectPoint *point = data.mListObjectData.find(it.key());
            QCOMPARE(point->code(), int(it->code));
            QCOMPARE(point->sigmaX(), float(std::sqrt(it->varX)));
        }
    }

    void deterministic()
    {
        QTemporaryDir a, b, c;
        QString error;
        QVERIFY(BlockGenerator(options(a.path(), 12, 300, 5.0, 0, 42)).write(&error));
        QVERIFY(BlockGenerator(options(b.path(), 12, 300, 5.0, 0, 42)).write(&error));
        QVERIFY(BlockGenerator(options(c.path(), 12, 300, 5.0, 0, 43)).write(&error));
        for (const QString &file : QDir(a.path()).entryList({"demo.(*)"}, QDir::Files))
            QVERIFY2(readFile(a.filePath(file)) == readFile(b.filePath(file)), qPrintable(file));
        QVERIFY(readFile(a.filePath("demo.(i)")) != readFile(c.filePath("demo.(i)")));
    }

    void badOptions_data()
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
    void badOptions()
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
        QString error;
        QVERIFY(!generator.write(&error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(error, generator.checkOptions());
        QVERIFY(!QFileInfo::exists(dir.filePath("out")));
    }

    // The committed example opens as the program opens it with "-p": from the repository root as
    // the README says, and from any other folder with windir naming the example's folder.
    void bundledExample_data()
    {
        QTest::addColumn<bool>("fromRoot");
        QTest::newRow("repository root") << true;
        QTest::newRow("another folder") << false;
    }
    void bundledExample()
    {
        QFETCH(bool, fromRoot);
        const QString root = QStringLiteral(VARLOMIN_SOURCE_DIR);
        QTemporaryDir elsewhere;
        SProjectData data;
        StopHandler handler;
        const QString project = readCurrentProject(
            fromRoot ? root : elsewhere.path(),
            fromRoot ? QByteArray("examples") : QFile::encodeName(root + "/examples"), data, handler);
        QVERIFY(!project.isEmpty());
        QVERIFY2(handler.errors.isEmpty(), qPrintable(handler.errors.join('\n')));
        QVERIFY(data.mListImageData.count() >= 12);
        QCOMPARE(data.mListImageData.first()->xmin(), float(-kHalfFormat));
    }
};

QTEST_GUILESS_MAIN(TestBlockGenerator)
#include "tst_BlockGenerator.moc"
