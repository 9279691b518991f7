// Damaged, hostile and absurd PAT-B files: every reader reports the file and the problem,
// never crashes or hangs, and reading a good project afterwards still works.
#include "HostileProject.h"

#include <QFileInfo>
#include <QRandomGenerator>
#include <QtTest>

#include <cmath>
#include <unistd.h>

using namespace Hostile;

namespace {

constexpr qint64 kFourGigabytes = 4LL * 1024 * 1024 * 1024;
// A streaming reader needs a few buffers; slurping would need the whole file.
constexpr qint64 kMaxPeakGrowthKb = 256 * 1024;
#ifdef __SANITIZE_ADDRESS__
constexpr bool kMemoryMeasurable = false; // the sanitizer's own bookkeeping grows with every read
#else
constexpr bool kMemoryMeasurable = true;
#endif
constexpr qint64 kCancelAfterBytes = 64LL * 1024 * 1024;

void makeSparseFile(const QString &path, qint64 size)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QVERIFY(file.resize(size)); // ftruncate: no block is written
}

} // namespace

class TestHostileReaders : public QObject {
    Q_OBJECT

    QTemporaryDir mDir;

    // Reading an undamaged project in a fresh folder gives the whole block.
    void verifyGoodProjectStillReads()
    {
        QTemporaryDir dir;
        Capture capture;
        const ReadResult result = readProject(writeProject(dir.path(), goodFiles()), capture);
        QVERIFY(result.completed);
        QCOMPARE(result.images, kImageCount);
        QCOMPARE(result.objectPoints, kObjectPointCount + kImageCount);
        QVERIFY(capture.dialogs.isEmpty());
    }

private slots:
    void initTestCase()
    {
        QVERIFY(mDir.isValid());
        // No Pat.ini: the camera file is looked for next to the project file.
        qputenv("windir", QFile::encodeName(mDir.path() + "/no-windows"));
    }

    void init() { QDir(mDir.path()).removeRecursively(), QDir().mkpath(mDir.path()); }

    void emptyAndTruncatedFiles_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("cut"); // bytes taken from the end; -1 empties the file
        QTest::addColumn<QString>("warning");
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<int>("exceptionCode");
        QTest::addColumn<int>("images");

        const QString incomplete = QStringLiteral("ends with an incomplete record");
        QTest::newRow("(i) empty") << "block.(i)" << -1 << "No image loaded to extract camera ID from." << "" << 0 << 0;
        QTest::newRow("(i) cut in a record") << "block.(i)" << 26 << incomplete << "" << 0 << 1;
        QTest::newRow("(e) empty") << "block.(e)" << -1 << "" << "" << 60868 << 0;
        QTest::newRow("(e) cut in a record") << "block.(e)" << 35 << "" << "" << 60868 << 1;
        QTest::newRow("(o) empty") << "block.(o)" << -1 << "Point/Image 101 found in file (c)" << "" << 0 << 2;
        QTest::newRow("(o) cut in a record") << "block.(o)" << 30 << incomplete << "" << 0 << 2;
        QTest::newRow("(c) cut in a record") << "block.(c)" << 19 << incomplete << "" << 0 << 2;
        QTest::newRow("camera cut in the record") << "block.cam" << 100 << "is shorter than one record" << "" << 0 << 2;
        QTest::newRow("project empty") << "block.(p)" << -1 << "" << "Project file corrupt!" << 0 << 0;
    }

    void emptyAndTruncatedFiles()
    {
        QFETCH(QString, file);
        QFETCH(int, cut);
        QFETCH(QString, warning);
        QFETCH(QString, dialog);
        QFETCH(int, exceptionCode);
        QFETCH(int, images);

        const QString project = writeProject(mDir.path(), goodFiles());
        const QString path = QDir(mDir.path()).filePath(file);
        QFile damaged(path);
        QVERIFY(damaged.resize(cut < 0 ? 0 : QFileInfo(path).size() - cut));

        Capture capture;
        const ReadResult result = readProject(project, capture);
        if (exceptionCode) {
            QCOMPARE(result.exceptionCode.value_or(0), exceptionCode);
        } else {
            QVERIFY(!result.exceptionCode);
        }
        if (!warning.isEmpty()) {
            QVERIFY2(capture.warned(warning), qPrintable(capture.warnings.join('\n')));
            if (warning == QLatin1String("ends with an incomplete record")
                || warning == QLatin1String("is shorter than one record"))
                QVERIFY2(capture.warned(file), "the warning names the damaged file");
        }
        if (dialog.isEmpty())
            QVERIFY(capture.dialogs.isEmpty());
        else
            QVERIFY(capture.dialogs.value(0).startsWith(dialog));
        QCOMPARE(result.images, images);
        verifyGoodProjectStillReads();
    }

    // Ids are nine characters converted as atoi converts them; nothing in them can overflow.
    void garbageIds_data()
    {
        QTest::addColumn<QByteArray>("idField");
        QTest::addColumn<int>("id");
        QTest::newRow("letters") << QByteArray("abcdefghi") << 0;
        QTest::newRow("digits then letters") << QByteArray("12abc") << 12;
        QTest::newRow("blanks and sign") << QByteArray("   -5") << -5;
        QTest::newRow("binary") << QByteArray("\xff\xfe\x80\x01\x02\x03\x04\x05\x06", 9) << 0;
        QTest::newRow("more digits than fit") << QByteArray("12345678901234") << 123456789;
    }

    void garbageIds()
    {
        QFETCH(QByteArray, idField);
        QFETCH(int, id);
        const QDir dir(mDir.path());
        PatbWriter::writeFile(dir.filePath("x.(o)"),
                              PatbWriter::objectRecord(3, PatbWriter::IdField(idField), 1, 2, 3, 0, 0, 0));
        PatbWriter::writeFile(dir.filePath("x.(c)"), QByteArray());
        SProjectData data;
        Capture capture;
        SPatbReader reader(data, capture);
        QVERIFY(reader.ReadObjectFiles(dir.filePath("x.(o)"), dir.filePath("x.(c)")));
        QCOMPARE(data.mListObjectData.count(), 1);
        QCOMPARE(data.mListObjectData.at(0)->id(), id);
    }

    // Negative variances give no sigma (NaN), infinite coordinates stay out of the bounding box.
    void nonFiniteValuesAndNegativeVariances()
    {
        using namespace PatbWriter;
        const double inf = std::numeric_limits<double>::infinity();
        const double nan = std::numeric_limits<double>::quiet_NaN();
        Files f = goodFiles();
        f.object += objectRecord(3, 201, nan, 460.0, 100.0, -4.0, -0.0, nan)
                    + objectRecord(3, 202, inf, -inf, inf, inf, -inf, 1.0);
        f.observation += observationRecord(OT_ControlY, 0, 201, inf, nan, -inf);
        f.image = imageHeader(1) + imagePoint(0, 101, nan, inf, -inf, nan) + imageTrailer() + imageHeader(2)
                  + imagePoint(0, 102, 1.0, 2.0, 0.1, 0.1) + imageTrailer();
        Capture capture;
        SProjectData data;
        SPatbReader reader(data, capture);
        QVERIFY(reader.readProjectFile(writeProject(mDir.path(), f)));
        data.initialise();
        SObjectPointList &points = data.mListObjectData;
        QCOMPARE(points.count(), kObjectPointCount + 2 + kImageCount);
        for (int plane = 0; plane < 3; ++plane) {
            QVERIFY(std::isfinite(points.horizontalMin(plane)) && std::isfinite(points.horizontalMax(plane)));
            QVERIFY(std::isfinite(points.verticalMin(plane)) && std::isfinite(points.verticalMax(plane)));
        }
        QVERIFY(std::isnan(points.find(201)->sigmaX()));
        verifyGoodProjectStillReads();
    }

    // A file of 4 GB of zeros is streamed, never held: the read reports its progress through
    // the whole size, and the peak memory hardly grows.
    void hugeSparseResultFile_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("(i)") << "block.(i)";
        QTest::newRow("(o)") << "block.(o)";
    }

    void hugeSparseResultFile()
    {
        QFETCH(QString, file);
        const QString project = writeProject(mDir.path(), goodFiles());
        makeSparseFile(QDir(mDir.path()).filePath(file), kFourGigabytes);
        const qint64 peakBefore = peakResidentKb();
        Capture capture;
        capture.cancelAfterBytes = kCancelAfterBytes;
        const ReadResult result = readProject(project, capture);
        QVERIFY(!result.completed);
        QCOMPARE(capture.progressTotal, kFourGigabytes);
        QVERIFY(capture.progressDone >= kCancelAfterBytes);
        QVERIFY2(!kMemoryMeasurable || peakResidentKb() - peakBefore < kMaxPeakGrowthKb,
                 "the reader must not slurp the file");
        verifyGoodProjectStillReads();
    }

    void hugeSparseTextFiles()
    {
        const QString project = QDir(mDir.path()).filePath("huge.(p)");
        makeSparseFile(project, kFourGigabytes);
        const qint64 peakBefore = peakResidentKb();
        Capture capture;
        QVERIFY(!readProject(project, capture).completed);
        QVERIFY(capture.warned("huge.(p)' is too large"));
        QVERIFY(capture.dialogs.value(0).startsWith("Project file corrupt!"));

        // Pat.ini and PAT-B's project file are streamed line piece by line piece.
        SProjectData data;
        SPatbReader reader(data, capture);
        QVERIFY(reader.readPATpro(project, "PROJECT", "PATB_OUT_GRAV").isEmpty());
        QVERIFY2(!kMemoryMeasurable || peakResidentKb() - peakBefore < kMaxPeakGrowthKb,
                 "the readers must not slurp the file");
        verifyGoodProjectStillReads();
    }

    void directoryInsteadOfFile_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("dialog");
        QTest::newRow("(i)") << "block.(i)" << "Could not open file\n";
        QTest::newRow("(o)") << "block.(o)" << "Could not open file\n";
        QTest::newRow("camera") << "block.cam" << "Could not open file\n";
        QTest::newRow("project") << "block.(p)" << "Project file corrupt!";
    }

    void directoryInsteadOfFile()
    {
        QFETCH(QString, file);
        QFETCH(QString, dialog);
        const QString project = writeProject(mDir.path(), goodFiles());
        const QString path = QDir(mDir.path()).filePath(file);
        QVERIFY(QFile::remove(path));
        QVERIFY(QDir().mkpath(path));
        Capture capture;
        QVERIFY(!readProject(project, capture).completed);
        QCOMPARE(capture.dialogs.size(), 1);
        QVERIFY(capture.dialogs.first().startsWith(dialog));
        if (file != QLatin1String("block.(p)"))
            QVERIFY2(capture.dialogs.first().contains(file), "the dialog names the file");
        verifyGoodProjectStillReads();
    }

    void unreadableFile()
    {
        if (geteuid() == 0)
            QSKIP("Permissions do not stop root from reading.");
        const QString project = writeProject(mDir.path(), goodFiles());
        const QString path = QDir(mDir.path()).filePath("block.(o)");
        QVERIFY(QFile::setPermissions(path, QFileDevice::WriteOwner));
        Capture capture;
        QVERIFY(!readProject(project, capture).completed);
        QCOMPARE(capture.dialogs.size(), 1);
        QVERIFY(capture.dialogs.first().contains("block.(o)"));
        verifyGoodProjectStillReads();
    }

    void projectFileGarbage_data()
    {
        QTest::addColumn<QByteArray>("prefix");
        QTest::addColumn<bool>("keepNames");
        QTest::addColumn<QString>("dialog");

        QByteArray garbage(64 * 1024, '\0');
        QRandomGenerator random(4711);
        for (char &c : garbage)
            c = char(random.bounded(256));
        const QByteArray longLine = QByteArray(200000, 'x') + "\r\n";
        QTest::newRow("binary garbage only") << garbage << false << "Project file corrupt!";
        QTest::newRow("one very long line only") << longLine << false << "Project file corrupt!";
        QTest::newRow("a long value without ')' in reach")
            << QByteArray("IMAGE_FILE: " + QByteArray(5000, 'y') + ")\r\n") << false << "Project file corrupt!";
        QTest::newRow("garbage before the names") << garbage + "\r\n" << true << "";
        QTest::newRow("long line before the names") << longLine << true << "";
    }

    void projectFileGarbage()
    {
        QFETCH(QByteArray, prefix);
        QFETCH(bool, keepNames);
        QFETCH(QString, dialog);
        Files f = goodFiles();
        f.project = prefix + (keepNames ? f.project : QByteArray());
        Capture capture;
        const ReadResult result = readProject(writeProject(mDir.path(), f), capture);
        QCOMPARE(result.completed, dialog.isEmpty());
        if (!dialog.isEmpty())
            QVERIFY(capture.dialogs.value(0).startsWith(dialog));
        else
            QCOMPARE(result.images, kImageCount);
        verifyGoodProjectStillReads();
    }
};

QTEST_GUILESS_MAIN(TestHostileReaders)
#include "tst_hostile_readers.moc"
