// SPDX-License-Identifier: GPL-3.0-or-later
#include "patb/SPatbReader.h"
#include "tests/tools/ProjectScan.h"
#include "tools/BlockGenerator.h"
#include "tools/PatbWriter.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

using namespace ProjectScan;

namespace {

constexpr double kHalfFormat = 115.0;

// Turns every error dialog into a test failure message.
class RecordingHandler : public SPatbHandler {
public:
    SReadErrorChoice readError(const QString &text) override
    {
        errors << text;
        return SReadErrorChoice::Stop;
    }
    QStringList errors;
};

int axisOfType(int type) { return (type - 1) % 3; }

} // namespace

class TestBlockRoundTrip : public QObject {
    Q_OBJECT

private slots:
    void generatedBlock();
    void writeFileFailure();
    void bundledExample_data();
    void bundledExample();
};

// A generated block read back through Pat.ini as the program finds it with "-p", from the
// directory the generator was started in.
void TestBlockRoundTrip::generatedBlock()
{
    QTemporaryDir dir;
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    BlockGenerator::Options options;
    options.imageCount = 12;
    options.pointCount = 300;
    options.raysPerPoint = 5.0;
    options.seed = 11;
    options.outputDirectory = QStringLiteral("examples");
    options.name = QStringLiteral("demo");
    QString error;
    const bool written = BlockGenerator(options).write(&error);
    qputenv("windir", "examples");
    SProjectData data;
    RecordingHandler handler;
    SPatbReader reader(data, handler);
    const QString project = reader.findCurrentPATProject(true);
    const bool read = written && reader.readProjectFile(project);
    QDir::setCurrent(previous);
    QVERIFY2(written, qPrintable(error));
    QCOMPARE(project, QStringLiteral("examples/demo.(p)"));
    QVERIFY(read);
    QVERIFY2(handler.errors.isEmpty(), qPrintable(handler.errors.join('\n')));
    const Project files(dir.filePath("examples/demo"));

    // Images in file order, with their orientation, points and the camera's format.
    QCOMPARE(data.mListImageData.count(), options.imageCount);
    for (int index = 0; index < files.orientations.size(); ++index) {
        const OrientationRecord &record = files.orientations[index];
        const SImage *image = data.mListImageData.at(index);
        QCOMPARE(image->id(), record.number);
        QCOMPARE(image->cameraId(), record.cameraId);
        QCOMPARE(image->X0(), float(record.x0));
        QCOMPARE(image->sigmaZ0(), float(std::sqrt(record.varZ0)));
        QCOMPARE(image->xmin(), float(-kHalfFormat));
        QCOMPARE(image->ymax(), float(kHalfFormat));
        int points = 0;
        int eliminated = 0;
        for (const ImagePointRecord &point : files.imagePoints) {
            if (point.image != record.number)
                continue;
            ++points;
            eliminated += point.status != 0;
            const SImagePoint *read = image->imagePoint(point.id);
            QVERIFY(read);
            QCOMPARE(read->x(), float(point.x));
            QCOMPARE(read->vy(), float(point.vy));
            QCOMPARE(read->isActive(), point.status == 0);
        }
        QCOMPARE(image->numberOfPoints(), points);
        QCOMPARE(image->eliminatedCount(), eliminated);
    }

    // Object points after the projection centres; statistics; observations with the model's sign.
    QCOMPARE(data.mListObjectData.count(), options.imageCount + int(options.pointCount));
    QVERIFY(data.projectFiles);
    QVERIFY(data.projectFiles->inversion);
    QCOMPARE(data.projectFiles->sigma0, float64At(files.statistics.value(0), 12));
    for (const ObservationRecord &observation : files.observations) {
        const SObjectPoint *point = data.mListObjectData.find(observation.id);
        QVERIFY(point);
        const int axis = axisOfType(observation.type);
        QCOMPARE(point->observation().coord(axis), float(observation.observed));
        QCOMPARE(point->observation().deviation(axis), -float(observation.residual));
        if (observation.type >= 4)
            QCOMPARE(point->code(), 901);
    }
    for (auto it = files.objects.cbegin(); it != files.objects.cend(); ++it) {
        const SObjectPoint *point = data.mListObjectData.find(it.key());
        QVERIFY(point);
        QCOMPARE(point->code(), int(it->code));
        QCOMPARE(point->sigmaX(), float(std::sqrt(it->varX)));
    }
}

// The committed example opens from the repository root as the program opens it with "-p".
// From the repository root as the README says, and from any other folder with windir
// naming the example's folder: its files name each other relative to their own folder.
void TestBlockRoundTrip::bundledExample_data()
{
    QTest::addColumn<bool>("fromRoot");
    QTest::newRow("repository root") << true;
    QTest::newRow("another folder") << false;
}

void TestBlockRoundTrip::bundledExample()
{
    QFETCH(bool, fromRoot);
    const QString root = QStringLiteral(VARLOMIN_SOURCE_DIR);
    const QString previous = QDir::currentPath();
    QTemporaryDir elsewhere;
    QVERIFY(QDir::setCurrent(fromRoot ? root : elsewhere.path()));
    qputenv("windir", fromRoot ? QByteArray("examples") : QFile::encodeName(root + QStringLiteral("/examples")));
    SProjectData data;
    RecordingHandler handler;
    SPatbReader reader(data, handler);
    const QString project = reader.findCurrentPATProject(true);
    const bool read = !project.isEmpty() && reader.readProjectFile(project);
    QDir::setCurrent(previous);
    QVERIFY2(read, qPrintable(project));
    QVERIFY2(handler.errors.isEmpty(), qPrintable(handler.errors.join('\n')));
    QVERIFY(data.mListImageData.count() >= 12);
    QVERIFY(data.mListObjectData.count() > data.mListImageData.count());
    QCOMPARE(data.mListImageData.first()->xmin(), float(-kHalfFormat));
}

// The writer names the file it could not write.
void TestBlockRoundTrip::writeFileFailure()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("missing/block.(i)");
    QString error;
    QVERIFY(!PatbWriter::writeFile(path, "x", &error));
    QVERIFY2(error.contains(path), qPrintable(error));
}

QTEST_GUILESS_MAIN(TestBlockRoundTrip)
#include "tst_BlockRoundTrip.moc"
