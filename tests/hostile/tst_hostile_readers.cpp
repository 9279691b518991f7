// SPDX-License-Identifier: GPL-3.0-or-later
// Damaged, hostile and absurd PAT-B files: every reader reports the file and the problem,
// never crashes or hangs, and reading a good project afterwards still works.
#include "misc/SException.h"
#include "patb/SPatbReader.h"
#include "tests/common/MessageCapture.h"
#include "tests/common/ResultFiles.h"
#include "tests/common/StopHandler.h"

#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <optional>

using namespace PatbWriter;

namespace {

constexpr int kCameraId = 1;
constexpr int kImageCount = 2;
constexpr int kObjectPointCount = 3;
constexpr qint64 kFourGigabytes = 4LL * 1024 * 1024 * 1024;
// A streaming reader needs a few buffers; slurping would need the whole file.
constexpr qint64 kMaxPeakGrowthKb = 256 * 1024;
#ifdef __SANITIZE_ADDRESS__
constexpr bool kMemoryMeasurable = false; // the sanitizer's own bookkeeping grows with every read
#else
constexpr bool kMemoryMeasurable = true;
#endif
constexpr qint64 kCancelAfterBytes = 64LL * 1024 * 1024;

// Collects every warning and error dialog (errors); the dialogs answer "stop this read". A read
// may be cancelled from the progress notice once it passed cancelAfterBytes.
class Capture : public StopHandler {
public:
    bool progress(const QString &, qint64 done, qint64 total) override
    {
        progressDone = done;
        progressTotal = total;
        return cancelAfterBytes < 0 || done < cancelAfterBytes;
    }
    bool warned(const QString &part) const { return !messages.warnings().filter(part).isEmpty(); }

    MessageCapture messages;
    qint64 cancelAfterBytes = -1;
    qint64 progressDone = 0;
    qint64 progressTotal = 0;
};

// The result of one read: what the model holds and the exception that ended it, if any.
struct ReadResult {
    bool completed = false;
    std::optional<int> exceptionCode;
    int images = 0;
    int objectPoints = 0;
};

ReadResult readProject(const QString &projectFile, Capture &capture)
{
    SProjectData data;
    ReadResult result;
    try {
        result.completed = SPatbReader(data, capture).readProjectFile(projectFile);
        data.initialise();
    } catch (const SException &e) {
        result.exceptionCode = e.code();
    }
    result.images = data.mListImageData.count();
    result.objectPoints = int(data.mListObjectData.count());
    return result;
}

// block.(p) with its (i), (e), (o), (c) and camera files.
struct Files {
    QByteArray image, orientation, object, observation, camera;
};

Files goodFiles()
{
    Files f;
    for (int image = 1; image <= kImageCount; ++image) {
        f.image += imageHeader(image) + imagePoint(0, 101, -10.0, 5.0, 0.002, -0.001) +
                   imagePoint(0, 102, 20.0, -15.0, 0.003, 0.004) + imagePoint(7, 103, 0.5, 0.5, 0.1, 0.2) +
                   imageTrailer();
        f.orientation += orientationRecord(image, kCameraId, 1000.0 * image, 500.0, 1500.0, 4.0, 9.0, 16.0);
    }
    f.object = statisticsRecord(0.8, 2.5, kInversionDone);
    for (int point = 101; point < 101 + kObjectPointCount; ++point)
        f.object += objectRecord(3, point, 900.0 + point, 450.0 + point, 100.0, 0.01, 0.01, 0.04);
    f.observation = observationRecord(OT_ControlX, 0, 101, 1001.0, 0.012, 0.5) +
                    observationRecord(OT_CentreZ, 1, 2, 1500.0, -0.1, 0.2);
    f.camera = cameraRecord(kCameraId, -115.0, 115.0, 230.0, 230.0);
    return f;
}

QString writeProject(const QString &dir, const Files &f = goodFiles())
{
    writeFile(QDir(dir).filePath("block.cam"), f.camera);
    return writeResultFiles(dir, "block", f.image, f.orientation, f.object, f.observation, "block.cam");
}

// Peak resident memory of this process in kilobytes (VmHWM), 0 when unknown.
qint64 peakResidentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return 0;
}

} // namespace

class TestHostileReaders : public QObject {
    Q_OBJECT

    QTemporaryDir mDir;
    QString path(const QString &name) const { return QDir(mDir.path()).filePath(name); }

    // Reading an undamaged project in a fresh folder gives the whole block.
    void verifyGoodProjectStillReads()
    {
        QTemporaryDir dir;
        Capture capture;
        const ReadResult result = readProject(writeProject(dir.path()), capture);
        QVERIFY(result.completed);
        QCOMPARE(result.images, kImageCount);
        QCOMPARE(result.objectPoints, kObjectPointCount + kImageCount);
        QVERIFY(capture.errors.isEmpty());
    }

private slots:
    void initTestCase()
    {
        QVERIFY(mDir.isValid());
        // No Pat.ini: the camera file is looked for next to the project file.
        qputenv("windir", QFile::encodeName(mDir.path() + "/no-windows"));
    }

    void init() { QDir(mDir.path()).removeRecursively(), QDir().mkpath(mDir.path()); }
    void cleanup() { verifyGoodProjectStillReads(); }

    void emptyAndTruncatedFiles_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("cut");         // bytes taken from the end; -1 empties the file
        QTest::addColumn<QString>("warning"); // "!" prefix: the warning names the file too
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<int>("exceptionCode");
        QTest::addColumn<int>("images");

        const QString incomplete = QStringLiteral("!ends with an incomplete record");
        QTest::newRow("(i) empty") << "block.(i)" << -1 << "No image loaded to extract camera ID from."
                                   << "" << 0 << 0;
        QTest::newRow("(i) cut in a record") << "block.(i)" << 26 << incomplete << "" << 0 << 1;
        QTest::newRow("(e) empty") << "block.(e)" << -1 << ""
                                   << "" << 60868 << 0;
        QTest::newRow("(e) cut in a record") << "block.(e)" << 35 << ""
                                             << "" << 60868 << 1;
        QTest::newRow("(o) empty") << "block.(o)" << -1 << "Point/Image 101 found in file (c)"
                                   << "" << 0 << 2;
        QTest::newRow("(o) cut in a record") << "block.(o)" << 30 << incomplete << "" << 0 << 2;
        QTest::newRow("(c) cut in a record") << "block.(c)" << 19 << incomplete << "" << 0 << 2;
        QTest::newRow("camera cut in the record") << "block.cam" << 100 << "!is shorter than one record"
                                                  << "" << 0 << 2;
        QTest::newRow("project empty") << "block.(p)" << -1 << ""
                                       << "Project file corrupt!" << 0 << 0;
    }

    void emptyAndTruncatedFiles()
    {
        QFETCH(QString, file);
        QFETCH(int, cut);
        QFETCH(QString, warning);
        QFETCH(QString, dialog);
        QFETCH(int, exceptionCode);
        QFETCH(int, images);
        const QString project = writeProject(mDir.path());
        QVERIFY(QFile(path(file)).resize(cut < 0 ? 0 : QFileInfo(path(file)).size() - cut));

        Capture capture;
        const ReadResult result = readProject(project, capture);
        QCOMPARE(result.exceptionCode.value_or(0), exceptionCode);
        if (warning.startsWith('!'))
            QVERIFY2(capture.warned(file), "the warning names the damaged file");
        if (!warning.isEmpty())
            QVERIFY2(capture.warned(warning.mid(warning.startsWith('!'))),
                     qPrintable(capture.messages.warnings().join('\n')));
        QCOMPARE(capture.errors.value(0).left(dialog.size()), dialog);
        QCOMPARE(result.images, images);
    }

    // Negative variances give no sigma (NaN), infinite coordinates stay out of the bounding box.
    void nonFiniteValuesAndNegativeVariances()
    {
        const double inf = std::numeric_limits<double>::infinity();
        const double nan = std::numeric_limits<double>::quiet_NaN();
        Files f = goodFiles();
        f.object += objectRecord(3, 201, nan, 460.0, 100.0, -4.0, -0.0, nan) +
                    objectRecord(3, 202, inf, -inf, inf, inf, -inf, 1.0);
        f.observation += observationRecord(OT_ControlY, 0, 201, inf, nan, -inf);
        f.image = imageHeader(1) + imagePoint(0, 101, nan, inf, -inf, nan) + imageTrailer() + imageHeader(2) +
                  imagePoint(0, 102, 1.0, 2.0, 0.1, 0.1) + imageTrailer();
        Capture capture;
        SProjectData data;
        QVERIFY(SPatbReader(data, capture).readProjectFile(writeProject(mDir.path(), f)));
        data.initialise();
        SObjectPointList &points = data.mListObjectData;
        QCOMPARE(points.count(), kObjectPointCount + 2 + kImageCount);
        for (int plane = 0; plane < 3; ++plane) {
            QVERIFY(std::isfinite(points.horizontalMin(plane)) && std::isfinite(points.horizontalMax(plane)));
            QVERIFY(std::isfinite(points.verticalMin(plane)) && std::isfinite(points.verticalMax(plane)));
        }
        QVERIFY(std::isnan(points.find(201)->sigmaX()));
    }

    // A file of 4 GB of zeros is streamed, never held: the read reports its progress through
    // the whole size (or refuses a text file that large), and the peak memory hardly grows.
    void hugeSparseFile_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("(i)") << "block.(i)";
        QTest::newRow("(o)") << "block.(o)";
        QTest::newRow("project") << "block.(p)";
    }

    void hugeSparseFile()
    {
        QFETCH(QString, file);
        const QString project = writeProject(mDir.path());
        QFile huge(path(file));
        QVERIFY(huge.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QVERIFY(huge.resize(kFourGigabytes)); // ftruncate: no block is written
        const qint64 peakBefore = peakResidentKb();
        Capture capture;
        capture.cancelAfterBytes = kCancelAfterBytes;
        QVERIFY(!readProject(project, capture).completed);
        if (file == "block.(p)") {
            QVERIFY(capture.warned("block.(p)' is too large"));
            QVERIFY(capture.errors.value(0).startsWith("Project file corrupt!"));
            // PAT-B's own project file is streamed line piece by line piece.
            SProjectData data;
            QVERIFY(SPatbReader(data, capture).readPATpro(project, "PROJECT", "PATB_OUT_GRAV").isEmpty());
        } else {
            QCOMPARE(capture.progressTotal, kFourGigabytes);
            QVERIFY(capture.progressDone >= kCancelAfterBytes);
        }
        QVERIFY2(!kMemoryMeasurable || peakResidentKb() - peakBefore < kMaxPeakGrowthKb,
                 "the reader must not slurp the file");
    }
};

QTEST_GUILESS_MAIN(TestHostileReaders)
#include "tst_hostile_readers.moc"
