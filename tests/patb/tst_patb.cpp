// SPDX-License-Identifier: GPL-3.0-or-later
// The PAT-B readers, fed with files that each test writes record by record.
#include "framework/MuMath.h"
#include "misc/SException.h"
#include "patb/SPatbReader.h"
#include "tests/patb/PatbFiles.h"
#include "tools/BlockGenerator.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace PatbFiles;

namespace {

class TestHandler : public SPatbHandler {
public:
    SReadErrorChoice readError(const QString &text) override
    {
        errors << text;
        return choice;
    }
    void requestOtherProjectFile() override { ++otherRequests; }
    void dataInputComplete() override { ++completions; }
    bool progress(const QString &file, qint64 done, qint64 total) override
    {
        progressReports << QString("%1 %2 %3").arg(QFileInfo(file).fileName()).arg(done).arg(total);
        return file.endsWith("(o)") ? --objectReportsUntilCancel != 0 : --imageReportsUntilCancel != 0;
    }

    SReadErrorChoice choice = SReadErrorChoice::Stop;
    QStringList progressReports;
    int objectReportsUntilCancel = -1; // cancels at that report of the (o) file
    int imageReportsUntilCancel = -1;  // of the (i) file
    QStringList errors;
    int otherRequests = 0;
    int completions = 0;
};

struct QuitCalled {
    QString text;
};

} // namespace

class TestPatb : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void iniSearch_data();
    void iniSearch();

    void projectFileKeys();
    void projectFileCorrupt_data();
    void projectFileCorrupt();
    void projectFileMissingResultAndOpenFailure();

    void headerAndTrailerRecognition();
    void imageWithoutPointsAndMissingTrailer();
    void orientationSigmasAndUnreadRecords();
    void readerExceptions_data();
    void readerExceptions();
    void recordsOutsideImages();

    void objectFileAndStatistics();
    void observationBlunderRules_data();
    void observationBlunderRules();
    void observationsOfCentresAndUnknownIds();
    void objectOpenFailureOpenOtherDiscardsImages();
    void objectsReadBesideImagesAsInOrder_data();
    void objectsReadBesideImagesAsInOrder();
    void quitEndsThroughFatal();

    void cameraFile_data();
    void cameraFile();

    void reconcileCodesAndInversion();
    void pointCodesOnTwoThreadsAsOnOne_data();
    void pointCodesOnTwoThreadsAsOnOne();

private:
    QString path(const QString &name) const { return mDir->filePath(name); }
    // A small consistent block: images 11 and 12 with points 5 and 6, object points 5 and 6.
    void writeBlock();
    // A generated block of 12 images and 900 points, "block.*"; false with the error.
    bool writeGeneratedBlock(QString *error) const
    {
        BlockGenerator::Options options;
        options.imageCount = 12;
        options.pointCount = 900;
        options.outputDirectory = mDir->path();
        return BlockGenerator(options).write(error);
    }
    // Writes t.(i) and t.(e), or t.(o) and t.(c), and reads them.
    bool readImages(const QByteArray &i, const QByteArray &e)
    {
        writeFile(path("t.(i)"), i);
        writeFile(path("t.(e)"), e);
        return SPatbReader(mData, mHandler).ReadImageFiles(path("t.(i)"), path("t.(e)"));
    }
    bool readObjects(const QByteArray &o, const QByteArray &c = {})
    {
        writeFile(path("t.(o)"), o);
        writeFile(path("t.(c)"), c);
        return SPatbReader(mData, mHandler).ReadObjectFiles(path("t.(o)"), path("t.(c)"));
    }

    std::unique_ptr<QTemporaryDir> mDir;
    SProjectData mData;
    TestHandler mHandler;
};

void TestPatb::init()
{
    mDir = std::make_unique<QTemporaryDir>();
    mData.close();
    mData.projectFiles.reset();
    mHandler = TestHandler();
    qputenv("windir", mDir->path().toUtf8());
}

void TestPatb::cleanup()
{
    Mu::setFatalHook(nullptr);
    mData.close();
}

void TestPatb::writeBlock()
{
    writeFile(path("b.(i)"), imageHeader(11) + imagePoint(0, 5, 1, 2, 0.3, 0.4) + imagePoint(0, 6, -3, 4) +
                                 imageTrailer() + imageHeader(12) + imagePoint(0, 5, 7, 8) + imageTrailer());
    writeFile(path("b.(e)"), orientationRecord(11, 3, 100, 200, 300) + orientationRecord(12, 3, 110, 210, 310));
    writeFile(path("b.(o)"),
              statisticsRecord(0.5, 1.25, 1.0) + objectRecord(200, 5, 10, 20, 30) + objectRecord(0, 6, 11, 21, 31));
    writeFile(path("b.(c)"), QByteArray());
}

void TestPatb::iniSearch_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("warned");
    QTest::newRow("plain") << QByteArray("[PATB]\r\nPATB_LAST_PROJ = C:\\proj\\block.pro\r\n") << "C:\\proj\\block.pro"
                           << false;
    QTest::newRow("value with =") << QByteArray("[PATB]\nPATB_LAST_PROJ=a=b\n") << "a=b" << false;
    QTest::newRow("prefix of line") << QByteArray("[PATB]\nPATB_LAST_PROJECT=x\n") << "x" << false;
    QTest::newRow("no =") << QByteArray("[PATB]\n PATB_LAST_PROJ  \nPATB_LAST_PROJ yes \n") << "PATB_LAST_PROJ yes"
                          << false;
    QTest::newRow("indented header") << QByteArray(" [PATB]\nPATB_LAST_PROJ=x\n") << "" << false;
    QTest::newRow("header case") << QByteArray("[patb]\nPATB_LAST_PROJ=x\n") << "" << false;
    QTest::newRow("key case") << QByteArray("[PATB]\npatb_last_proj=x\n") << "" << false;
    QTest::newRow("semicolon stops") << QByteArray("[PATB]\n;comment\nPATB_LAST_PROJ=x\n") << "" << true;
    QTest::newRow("later section") << QByteArray("[PATB]\nOTHER=1\n[PAT]\nPATB_LAST_PROJ=late\n") << "late" << false;
    QTest::newRow("end of file") << QByteArray("[PATB]\nOTHER=1\n") << "" << false;
}

void TestPatb::iniSearch()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, value);
    QFETCH(bool, warned);
    writeFile(path("block.pro"), content);
    MessageCapture capture;
    SPatbReader reader(mData, mHandler);
    QCOMPARE(reader.readPATpro(path("block.pro"), "PATB", "PATB_LAST_PROJ"), value);
    const QStringList expected =
        warned ? QStringList{QString("Keyword 'PATB_LAST_PROJ' not found in section [PATB] of file '%1'!")
                                 .arg(path("block.pro"))}
               : QStringList{};
    QCOMPARE(capture.warnings(), expected);
}

// ---- project file ---------------------------------------------------------------------------

void TestPatb::projectFileKeys()
{
    writeBlock();
    writeFile(path("cam1.cam"), cameraRecord("3", -115, 115, 230, 230));
    writeFile(path("p.(p)"), "TITLE: whatever\r\nIMAGE_FILE: wrong.(i)\r\nCAMERA_FILE:   cam1.cam  \r\n"
                             "IMAGE_FILE: b.(i) trailing text\r\nOBJECT_FILE: b.(o)\r\nORIENTATION_FILE: b.(e)\r\n"
                             "OBJECT_OBSERVATION_FILE: b.(c)\r\n");
    MessageCapture capture;
    SPatbReader reader(mData, mHandler);
    QVERIFY(reader.readProjectFile(path("p.(p)")));
    QVERIFY(mHandler.errors.isEmpty());
    QCOMPARE(mHandler.completions, 1);
    QCOMPARE(mData.projectFiles->imageFile, path("b.(i)")); // last occurrence, cut after ")"
    QCOMPARE(mData.projectFiles->cameraFile, path("cam1.cam"));
    QCOMPARE(mData.projectFiles->sigma0, 0.5);
    QCOMPARE(mData.projectFiles->averageRedundancy, 1.25);
    QVERIFY(mData.projectFiles->inversion);
    QCOMPARE(mData.mListImageData.count(), 2);
    QCOMPARE(mData.mListImageData.first()->xmin(), -115.0f); // camera applied
    // no Pat.ini: the camera is looked for beside the project, with the ini warning only
    QCOMPARE(capture.warnings(),
             QStringList{QString("PAT configuaration file '%1' doesn't exist!").arg(path("Pat.ini"))});

    // with PATH_PROGRAMS the camera is taken from the PAT-B program directory
    writeFile(path("Pat.ini"), "[PAT]\nPATH_PROGRAMS=/nonexistent/patb\n");
    mData.close();
    QVERIFY(reader.readProjectFile(path("p.(p)")));
    QCOMPARE(mData.projectFiles->cameraFile, QString("/nonexistent/patb/cam1.cam"));
    QVERIFY(capture.texts(Mu::Level::Info)
                .contains("Camera file not found! Will fit image coordinates within their extreme values."));
    QCOMPARE(mData.mListImageData.first()->xmin(), -3.0f);
}

void TestPatb::projectFileCorrupt_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("warning");
    const QByteArray full = "IMAGE_FILE: b.(i)\r\nOBJECT_FILE: b.(o)\r\nORIENTATION_FILE: b.(e)\r\n";
    QTest::newRow("missing key") << full << "";
    QTest::newRow("no closing bracket")
        << QByteArray(full + "OBJECT_OBSERVATION_FILE: b.c\r\n")
        << "Value of OBJECT_OBSERVATION_FILE in project file '%1' has no closing ')'; ignored.";
}

void TestPatb::projectFileCorrupt()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, warning);
    writeBlock();
    writeFile(path("p.(p)"), content);
    MessageCapture capture;
    QVERIFY(!SPatbReader(mData, mHandler).readProjectFile(path("p.(p)")));
    QCOMPARE(mHandler.errors, QStringList{"Project file corrupt!\nCould not read necessary parameters.\n\n"});
    QCOMPARE(mData.mListImageData.count(), 0);
    QVERIFY(!mData.projectFiles);
    QCOMPARE(mHandler.completions, 0);
    QCOMPARE(capture.warnings(), warning.isEmpty() ? QStringList{} : QStringList{warning.arg(path("p.(p)"))});
}

void TestPatb::projectFileMissingResultAndOpenFailure()
{
    writeBlock();
    writeFile(path("p.(p)"), "IMAGE_FILE: /nonexistent/x.(i)\r\nOBJECT_FILE: b.(o)\r\nORIENTATION_FILE: b.(e)\r\n"
                             "OBJECT_OBSERVATION_FILE: b.(c)\r\nCAMERA_FILE: c.cam\r\n");
    MessageCapture capture;
    mHandler.choice = SReadErrorChoice::OpenOther;
    QVERIFY(!SPatbReader(mData, mHandler).readProjectFile(path("p.(p)")));
    QVERIFY(capture.warnings().contains("Can't find file '/nonexistent/x.(i)'"));
    QCOMPARE(mHandler.errors, QStringList{"Could not open file\n/nonexistent/x.(i)\n\n"});
    QCOMPARE(mHandler.otherRequests, 1);
    QCOMPARE(mData.mListObjectData.count(), 0); // the read stopped at once
    QCOMPARE(mHandler.completions, 0);
}

// ---- (i) and (e) ----------------------------------------------------------------------------

void TestPatb::headerAndTrailerRecognition()
{
    QVERIFY(readImages(imageHeader(1) + imageRecord(3, 20, 1, 1, 1, 1, 1) // header values, status 3: point
                           + imagePoint(0, -99, 2, 0.1, 0, 0, 0)          // id -99 with y 0.1: point
                           + imagePoint(7, 21, 5, 6)                      // status 7: eliminated
                           + imageTrailer(5.0),                           // x is not examined
                       orientationRecord(1, 9, 0, 0, 0)));
    QCOMPARE(mData.mListImageData.count(), 1);
    SImage *image = mData.mListImageData.first();
    QCOMPARE(image->id(), 1);
    QCOMPARE(image->cameraId(), 9);
    QCOMPARE(image->numberOfPoints(), 3);
    QVERIFY(!image->imagePoint(20)->isActive());
    QVERIFY(image->imagePoint(-99)->isActive());
    QCOMPARE(image->imagePoint(-99)->y(), 0.1f);
    QCOMPARE(image->eliminatedCount(), 2);
}

void TestPatb::imageWithoutPointsAndMissingTrailer()
{
    QVERIFY(readImages(imageHeader(1) + imageTrailer() + imagePoint(0, 77, 3, 3) // after trailer: still image 1
                           + imageHeader(2) + imagePoint(0, 5, 1, 1)             // no trailer before next header
                           + imageHeader(3) + imagePoint(0, 6, 1, 1) + imageTrailer() + imageHeader(4) +
                           imagePoint(0, 8, 1, 1), // no trailer at the end
                       orientationRecord(1, 9, 1, 2, 3) + orientationRecord(3, 9, 4, 5, 6)));
    QCOMPARE(mData.mListImageData.count(), 2);
    QCOMPARE(mData.mListImageData.at(0)->numberOfPoints(), 1); // the point after the trailer
    QCOMPARE(mData.mListImageData.at(1)->id(), 3);
    QCOMPARE(mData.mListObjectData.count(), 2);
    QCOMPARE(mData.mListObjectData.at(0)->code(), 900);
    // points of images that never ended are withdrawn with them
    QCOMPARE(SImage::numberOfLinks(5), 0);
    QCOMPARE(SImage::numberOfLinks(8), 0);
    QCOMPARE(SImage::numberOfLinks(6), 1);

    mData.close();
    QVERIFY(readImages(imageHeader(1) + imageTrailer(), orientationRecord(1, 9, 1, 2, 3)));
    SImage *empty = mData.mListImageData.first();
    QCOMPARE(empty->numberOfPoints(), 0);
    QCOMPARE(empty->xmin(), Mu::Math::MAX_FLT);
    QCOMPARE(empty->ymax(), Mu::Math::MIN_FLT);
}

void TestPatb::orientationSigmasAndUnreadRecords()
{
    QVERIFY(readImages(imageHeader(1) + imageTrailer(), orientationRecord(1, 9, 10, 20, 30, 4.0, 9.0, 16.0) +
                                                            QByteArray(70, '\xff') +
                                                            orientationRecord(99, 9, 0, 0, 0)));
    const SObjectCoord &pc = mData.mListImageData.first()->projectionCentre();
    QCOMPARE(pc.X, 10.0f);
    QCOMPARE(pc.dX, 2.0f);
    QCOMPARE(pc.dY, 3.0f);
    QCOMPARE(pc.dZ, 4.0f);
    const SObjectPoint *centre = mData.mListObjectData.find(1);
    QVERIFY(centre && centre->isProjectionCentre() && centre->isActive());
    QCOMPARE(centre->sigmaZ(), 4.0f);
    QCOMPARE(centre->Z(), 30.0f);
    QVERIFY(!centre->hasObservationX());
}

void TestPatb::readerExceptions_data()
{
    QTest::addColumn<QByteArray>("orientation"); // empty: only (o) and (c) are read
    QTest::addColumn<QByteArray>("object");
    QTest::addColumn<QByteArray>("observation");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("objects"); // kept after the exception
    const QString sequence = "Varlomin::ReadImageFiles: Sequences in files (i) and (e) don't fit!";
    const QByteArray e1 = orientationRecord(1, 9, 0, 0, 0);
    QTest::newRow("(e) other image") << e1 + orientationRecord(3, 9, 0, 0, 0) << QByteArray() << QByteArray() << 60868
                                     << sequence << 1;
    QTest::newRow("(e) truncated") << e1 + orientationRecord(2, 9, 0, 0, 0).left(69) << QByteArray() << QByteArray()
                                   << 60868 << sequence << 1;
    QTest::newRow("inversion 0.5") << QByteArray()
                                   << objectRecord(0, 5, 1, 2, 3) + statisticsRecord(0.75, 2.5, 0.5) +
                                          objectRecord(0, 6, 1, 2, 3)
                                   << QByteArray() << 60865
                                   << "Varlomin::ReadObjectFiles: Check for inversion neither 0 nor 1!" << 1;
    QTest::newRow("observation type 7") << QByteArray() << objectRecord(0, 5, 1, 2, 3)
                                        << observationRecord(1, 0, 5, 1.0, 0.1) + observationRecord(7, 0, 5, 1.0, 0.1)
                                        << 60867 << "Varlomin::ReadObjectFiles: illegal point code!" << 1;
}

void TestPatb::readerExceptions()
{
    QFETCH(QByteArray, orientation);
    QFETCH(QByteArray, object);
    QFETCH(QByteArray, observation);
    QFETCH(int, code);
    QFETCH(QString, message);
    QFETCH(int, objects);
    try {
        if (!orientation.isEmpty())
            readImages(imageHeader(1) + imagePoint(0, 5, 1, 1) + imageTrailer() + imageHeader(2) +
                           imagePoint(0, 6, 1, 1) + imageTrailer() + imageHeader(4) + imageTrailer(),
                       orientation);
        else
            readObjects(object, observation);
        QFAIL("no exception");
    } catch (const SException &e) {
        QCOMPARE(e.code(), code);
        QCOMPARE(e.message(), message);
    }
    QCOMPARE(mData.mListImageData.count(), orientation.isEmpty() ? 0 : 1); // images before the failure stay
    QCOMPARE(mData.mListObjectData.count(), objects);
    QCOMPARE(SImage::numberOfLinks(6), 0);
}

void TestPatb::recordsOutsideImages()
{
    MessageCapture capture;
    QVERIFY(
        readImages(imagePoint(0, 5, 1, 1) + imagePoint(0, 6, 1, 1) + imageTrailer() + imageHeader(1) + imageTrailer(),
                   orientationRecord(1, 9, 0, 0, 0)));
    QCOMPARE(mData.mListImageData.count(), 1);
    QCOMPARE(capture.warnings().size(), 1);
    QVERIFY(capture.warnings().first().contains(path("t.(i)")));

    // a second trailer still belongs to the image and asks (e) for its record
    QVERIFY_THROWS_EXCEPTION(
        SException, readImages(imageHeader(2) + imageTrailer() + imageTrailer(), orientationRecord(2, 9, 0, 0, 0)));
    QCOMPARE(mData.mListImageData.count(), 2);
}

// ---- (o) and (c) ----------------------------------------------------------------------------

void TestPatb::objectFileAndStatistics()
{
    QVERIFY(readObjects(objectRecord(0, 5, 1, 2, 3, 4, 9, 16) + objectRecord(300, 5, 9, 9, 9) +
                        statisticsRecord(0.75, 2.5, 0.0) + objectRecord(200, 6, 1, 1, 1) +
                        objectRecord(500, 5, 7, 7, 7)));
    QCOMPARE(mData.mListObjectData.count(), 3); // 5, 6, 5: only consecutive duplicates are skipped
    const SObjectPoint *p = mData.mListObjectData.at(0);
    QCOMPARE(p->code(), 0);
    QCOMPARE(p->sigmaX(), 2.0f);
    QCOMPARE(p->sigmaZ(), 4.0f);
    QCOMPARE(mData.mListObjectData.at(2)->code(), 500);
    QCOMPARE(mData.projectFiles->sigma0, 0.75);
    QCOMPARE(mData.projectFiles->averageRedundancy, 2.5);
    QVERIFY(!mData.projectFiles->inversion);
}

void TestPatb::observationBlunderRules_data()
{
    QTest::addColumn<QList<int>>("statuses"); // for X, Y, Z records in this order
    QTest::addColumn<bool>("active");
    QTest::addColumn<QList<bool>>("accepted");
    QTest::newRow("X ok, Y rejected, Z ok") << QList<int>{0, 1, 0} << true << QList<bool>{true, false, true};
    QTest::newRow("X rejected, Y ok, Z ok") << QList<int>{2, 0, 0} << false << QList<bool>{false, true, true};
    QTest::newRow("all ok") << QList<int>{0, 0, 0} << true << QList<bool>{true, true, true};
    QTest::newRow("Z rejected last") << QList<int>{0, 0, 1} << false << QList<bool>{true, true, false};
}

void TestPatb::observationBlunderRules()
{
    QFETCH(QList<int>, statuses);
    QFETCH(bool, active);
    QFETCH(QList<bool>, accepted);
    QVERIFY(readObjects(objectRecord(500, 5, 1, 2, 3), observationRecord(1, statuses[0], 5, 10.5, 0.012, 0.25) +
                                                           observationRecord(2, statuses[1], 5, 20.5, -0.5) +
                                                           observationRecord(3, statuses[2], 5, 30.5, 0.0)));
    const SObjectPoint *p = mData.mListObjectData.find(5);
    QCOMPARE(p->isActive(), active);
    QCOMPARE(p->observation().flagX, accepted[0]);
    QCOMPARE(p->observation().flagY, accepted[1]);
    QCOMPARE(p->observation().flagZ, accepted[2]);
    QCOMPARE(p->observation().X, 10.5f);
    QCOMPARE(p->observation().dX, -0.012f); // stored with the opposite sign
    QCOMPARE(p->observation().dY, 0.5f);
    QCOMPARE(p->observation().eX, 0.25f);
    QCOMPARE(p->code(), 500);
}

void TestPatb::observationsOfCentresAndUnknownIds()
{
    MessageCapture capture;
    QVERIFY(readImages(imageHeader(12) + imageTrailer(), orientationRecord(12, 1, 0, 0, 0)));
    QVERIFY(readObjects(objectRecord(0, 12, 1, 2, 3), // shares the id of the image
                        observationRecord(5, 1, 12, 3.0, 0.1) + observationRecord(1, 0, 4711, 1.0, 0.1)));
    const SObjectPoint *centre = mData.mListObjectData.at(0);
    QCOMPARE(centre->code(), 901);
    QVERIFY(!centre->isActive());
    QVERIFY(centre->hasObservationY());
    const SObjectPoint *object = mData.mListObjectData.at(1);
    QVERIFY(object->isActive());
    QVERIFY(!object->hasObservationY());
    QCOMPARE(capture.warnings(), QStringList{"Point/Image 4711 found in file (c) but not in (o) or (e)"});
}

void TestPatb::objectOpenFailureOpenOtherDiscardsImages()
{
    writeBlock();
    SPatbReader reader(mData, mHandler);
    QVERIFY(reader.ReadImageFiles(path("b.(i)"), path("b.(e)")));
    // (c) missing: nothing is discarded
    mHandler.choice = SReadErrorChoice::OpenOther;
    QVERIFY(!reader.ReadObjectFiles(path("b.(o)"), path("none.(c)")));
    QCOMPARE(mHandler.errors.last(), QString("Could not open file\n%1\n\n").arg(path("none.(c)")));
    QCOMPARE(mData.mListImageData.count(), 2);
    // (o) missing: the images go, the projection centres stay
    QVERIFY(!reader.ReadObjectFiles(path("none.(o)"), path("b.(c)")));
    QCOMPARE(mHandler.otherRequests, 2);
    QCOMPARE(mData.mListImageData.count(), 0);
    QCOMPARE(SImage::numberOfLinks(5), 0);
    QCOMPARE(mData.mListObjectData.count(), 2);
}

void TestPatb::objectsReadBesideImagesAsInOrder_data()
{
    QTest::addColumn<int>("cancelAt");         // that report of (o)
    QTest::addColumn<int>("imageCancelAt");    // that report of (i), counted from its last
    QTest::addColumn<QByteArray>("imageTail"); // records appended to (i)
    QTest::newRow("to the end") << -1 << -1 << QByteArray();
    QTest::newRow("cancelled at the third report of (o)") << 3 << -1 << QByteArray();
    QTest::newRow("cancelled in the later part of (i)") << -1 << 3 << QByteArray();
    QTest::newRow("a point after the last trailer") << -1 << -1 << imagePoint(0, 5, 1, 2);
    QTest::newRow("an image without trailer at the end")
        << -1 << -1 << imageHeader(99) + imagePoint(0, 5, 1, 2) + imagePoint(0, 6, 1, 2);
    QTest::newRow("an incomplete record at the end") << -1 << -1 << imagePoint(0, 5, 1, 2).left(30);
}

namespace {
// Values as QString::arg writes them, separated by blanks.
QString numbers(std::initializer_list<double> values)
{
    QStringList texts;
    for (double v : values)
        texts << QString("%1").arg(v);
    return texts.join(' ');
}

// What a read leaves, in order: object points, images with their points, links, statistics.
QStringList modelText(const SProjectData &data)
{
    QStringList lines;
    const SObjectPointList &objects = data.mListObjectData;
    for (const SObjectPoint &p : objects) {
        const SObjectCoord &o = p.observation();
        lines << "o " + numbers({double(p.id()), double(p.code()), p.X(), p.Y(), p.Z(), p.sigmaX(), p.sigmaY(),
                                 p.sigmaZ(), double(p.isActive()), o.X, o.dZ});
    }
    lines << "box " + numbers({objects.Xmin(), objects.Ymin(), objects.Zmin(), objects.Xmax(), objects.Ymax(),
                               objects.Zmax()});
    for (const SImage *image : data.mListImageData) {
        lines << QString("i %1 %2 %3").arg(image->id()).arg(image->X0()).arg(image->numberOfPoints());
        for (const SImagePointEntry &e : image->points()) {
            QStringList links;
            for (const SImage *linked : SImage::imagesOfPoint(e.id))
                links << QString::number(linked->id());
            lines << QString("p %1 %2 %3 %4").arg(e.id).arg(e.point.x()).arg(e.point.active()).arg(links.join(','));
        }
    }
    if (data.projectFiles)
        lines << QString("s %1 %2 %3")
                     .arg(data.projectFiles->sigma0)
                     .arg(data.projectFiles->averageRedundancy)
                     .arg(data.projectFiles->inversion);
    return lines;
}
} // namespace

// The project read with (o) and the later part of (i) on workers beside the first part of (i)
// and (e), against the files read one after the other: the same model, progress reports and
// messages, also when the user cancels or the later part is not image after image.
void TestPatb::objectsReadBesideImagesAsInOrder()
{
    QFETCH(int, cancelAt);
    QFETCH(int, imageCancelAt);
    QFETCH(QByteArray, imageTail);
    QString error;
    QVERIFY2(writeGeneratedBlock(&error), qPrintable(error));
    const QString block = path("block");
    QVERIFY(QFileInfo(block + ".(o)").size() > 4 * 4096);
    QFile imageFile(block + ".(i)");
    QVERIFY(imageFile.open(QIODevice::Append));
    imageFile.write(imageTail);
    imageFile.close();
    const int imageReports = int(imageFile.size() / 4096);

    QStringList reports[2], messages[2], model[2];
    bool completed[2];
    for (int threaded = 0; threaded < 2; ++threaded) {
        mData.close();
        mData.projectFiles.reset();
        mHandler = TestHandler();
        mHandler.objectReportsUntilCancel = cancelAt;
        mHandler.imageReportsUntilCancel = imageCancelAt < 0 ? -1 : imageReports + 1 - imageCancelAt;
        MessageCapture capture;
        SPatbReader reader(mData, mHandler);
        reader.setProgressBytes(4096);
        reader.setWorkerThreads(threaded);
        reader.setSplitFrom(0);
        if (threaded) {
            completed[1] = reader.readProjectFile(block + ".(p)");
        } else {
            mData.projectFiles = std::make_unique<ProjectFiles>();
            completed[0] = reader.ReadImageFiles(block + ".(i)", block + ".(e)") &&
                           reader.ReadObjectFiles(block + ".(o)", block + ".(c)");
        }
        reports[threaded] = mHandler.progressReports;
        messages[threaded] = capture.warnings();
        model[threaded] = modelText(mData);
    }
    QCOMPARE(completed[1], cancelAt < 0 && imageCancelAt < 0);
    QCOMPARE(completed[0], completed[1]);
    QCOMPARE(reports[1], reports[0]);
    QCOMPARE(messages[1], messages[0]);
    QCOMPARE(model[1], model[0]);
    if (imageCancelAt > 0)
        return;
    // First the centres in image order, then the object points of the records read.
    const int images = mData.mListImageData.count();
    QCOMPARE(mData.mListObjectData.at(images - 1)->id(), mData.mListImageData.at(images - 1)->id());
    QVERIFY(mData.mListObjectData.at(images - 1)->isProjectionCentre());
    QVERIFY(!mData.mListObjectData.at(images)->isProjectionCentre());
    if (cancelAt > 0) // the generator writes one record per point, and the statistics last
        QCOMPARE(mData.mListObjectData.count(), images + 3 * 4096 / 60);
}

void TestPatb::quitEndsThroughFatal()
{
    Mu::setFatalHook([](const QString &text) { throw QuitCalled{text}; });
    mHandler.choice = SReadErrorChoice::Quit;
    MessageCapture capture;
    try {
        SPatbReader(mData, mHandler).ReadImageFiles(path("none.(i)"), path("none.(e)"));
        QFAIL("no quit");
    } catch (const QuitCalled &quit) {
        QCOMPARE(quit.text, QString("Quitting ..."));
    }
    QCOMPARE(mHandler.otherRequests, 0);
}

// ---- camera file ----------------------------------------------------------------------------

void TestPatb::cameraFile_data()
{
    QTest::addColumn<QByteArray>("idField");
    QTest::addColumn<int>("imageCamera");
    QTest::addColumn<bool>("applied");
    QTest::addColumn<bool>("warned");
    QTest::newRow("blanks around id") << QByteArray("   12    ") << 12 << true << false;
    QTest::newRow("other camera") << QByteArray("   12    ") << 13 << false << false;
    QTest::newRow("nine blanks") << QByteArray("         ") << 12 << false << true;
    QTest::newRow("letters") << QByteArray("cam12") << 12 << false << true;
}

void TestPatb::cameraFile()
{
    QFETCH(QByteArray, idField);
    QFETCH(int, imageCamera);
    QFETCH(bool, applied);
    QFETCH(bool, warned);
    QVERIFY(readImages(imageHeader(1) + imagePoint(0, 5, 1, 2) + imagePoint(0, 6, 3, 4) + imageTrailer() +
                           imageHeader(2) + imagePoint(0, 5, 1, 2) + imageTrailer(),
                       orientationRecord(1, imageCamera, 0, 0, 0) + orientationRecord(2, 77, 0, 0, 0)));
    writeFile(path("c.cam"), cameraRecord(idField, -115.0, 115.0, 230.0, 230.0));
    MessageCapture capture;
    QCOMPARE(SPatbReader(mData, mHandler).ReadPATCameraFile(path("c.cam")), !warned);
    for (SImage *image : mData.mListImageData) {
        QCOMPARE(image->xmin(), applied ? -115.0f : 1.0f);
        QCOMPARE(image->ymax(), applied ? 115.0f : (image->id() == 1 ? 4.0f : 2.0f));
        QCOMPARE(image->ymin(), applied ? -115.0f : 2.0f);
    }
    QCOMPARE(capture.warnings(),
             warned ? QStringList{QString("Camera ID in '%1' is no number! Can't compare with Camera ID of images.")
                                      .arg(path("c.cam"))}
                    : QStringList{});
}

// ---- initialisation -------------------------------------------------------------------------

void TestPatb::reconcileCodesAndInversion()
{
    const QByteArray images = imageHeader(2) + imagePoint(0, 5, 1, 1) + imagePoint(0, 1, 1, 1) +
                              imagePoint(0, 9, 1, 1) + imageTrailer() + imageHeader(1) + imagePoint(0, 5, 1, 1) +
                              imageTrailer();
    const QByteArray orientations = orientationRecord(2, 1, 0, 0, 0) + orientationRecord(1, 1, 0, 0, 0);
    QVERIFY(readImages(images, orientations));
    // object 5 twice with different codes; projection centre 1 shares its id with image point 1
    QVERIFY(readObjects(statisticsRecord(1, 1, 0.0) + objectRecord(200, 5, 0, 0, 0) + objectRecord(0, 7, 0, 0, 0) +
                        objectRecord(300, 5, 0, 0, 0)));
    MessageCapture capture;
    mData.initialise();
    QCOMPARE(mData.mListImageData.at(0)->id(), 1); // sorted
    for (SImage *image : mData.mListImageData)
        QCOMPARE(image->imagePoint(5)->code(), 200);          // first code kept
    QCOMPARE(SImageList::find(2)->imagePoint(1)->code(), -1); // centres give no codes
    QCOMPARE(mData.lonelyImagePointCount(), 2);
    QCOMPARE(capture.warnings(),
             (QStringList{"Pointcode for image-point 5 is not unique!", "Pointcode for image-point 5 is not unique!",
                          "No inversion: sigmas were not computed!"}));

    // without conflicts: an object point behind a projection centre of the same id still gives its code
    mData.close();
    QVERIFY(readImages(images, orientations));
    QVERIFY(readObjects(statisticsRecord(1, 1, 1.0) + objectRecord(200, 5, 0, 0, 0) + objectRecord(300, 1, 0, 0, 0)));
    capture.messages.clear();
    mData.initialise();
    QCOMPARE(SImageList::find(2)->imagePoint(1)->code(), 300);
    QCOMPARE(SImageList::find(2)->imagePoint(9)->code(), -1);
    QVERIFY(capture.warnings().isEmpty());

    mData.projectFiles.reset();
    mData.checkInversion();
    QVERIFY(capture.warnings().isEmpty());
}

void TestPatb::pointCodesOnTwoThreadsAsOnOne_data()
{
    QTest::addColumn<int>("codedImage"); // of an image point given a code before; -1: none
    QTest::newRow("no code given before") << -1;
    QTest::newRow("a code given before in the first half") << 1;
    QTest::newRow("a code given before in the second half") << 10;
}

// The point codes given on two threads, each for half of the images, and while reading,
// against one thread after reading: the same code for every image point and the same
// warnings, also where a pass stops early.
void TestPatb::pointCodesOnTwoThreadsAsOnOne()
{
    QFETCH(int, codedImage);
    QString error;
    QVERIFY2(writeGeneratedBlock(&error), qPrintable(error));

    enum { OneThread, TwoThreads, WhileReading };
    QStringList codes[3];
    // A code given between reading and initialising cannot come after codes given while reading.
    for (int way = OneThread; way <= (codedImage < 0 ? WhileReading : TwoThreads); ++way) {
        mData.close();
        mData.projectFiles.reset();
        mData.setParallelCodesFrom(way == OneThread ? std::numeric_limits<qint64>::max() : 0);
        mData.setCodesWhileReading(way == WhileReading);
        QVERIFY(SPatbReader(mData, mHandler).readProjectFile(path("block.(p)")));
        if (codedImage >= 0)
            mData.mListImageData.at(codedImage)->points()[3].point.setCode(77);
        MessageCapture capture;
        mData.initialise();
        for (const SImage *image : mData.mListImageData)
            for (const SImagePointEntry &e : image->points())
                codes[way] << QString("%1 %2 %3").arg(image->id()).arg(e.id).arg(e.point.code());
        codes[way] << capture.warnings();
    }
    mData.setCodesWhileReading(false);
    QVERIFY(mData.lonelyImagePointCount() < codes[0].size() / 2);
    QCOMPARE(codes[TwoThreads], codes[OneThread]);
    if (codedImage < 0)
        QCOMPARE(codes[WhileReading], codes[OneThread]);
}

QTEST_GUILESS_MAIN(TestPatb)
#include "tst_patb.moc"
