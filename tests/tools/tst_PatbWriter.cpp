#include "PatbWriter.h"
#include "RecordDecoding.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace RecordDecoding;

class TestPatbWriter : public QObject {
  Q_OBJECT

private slots:
  void idField_data();
  void idField();
  void recordSize_data();
  void recordSize();
  void numberField_data();
  void numberField();
  void textField_data();
  void textField();
  void projectFile();
  void patFiles();
  void writeFile();
  void writeFileFailure();
};

void TestPatbWriter::idField_data() {
  QTest::addColumn<QByteArray>("field");
  QTest::addColumn<QByteArray>("expected");
  QTest::newRow("right-aligned") << PatbWriter::IdField(4711).bytes() << QByteArray("     4711");
  QTest::newRow("negative") << PatbWriter::IdField(-99).bytes() << QByteArray("      -99");
  QTest::newRow("nine digits") << PatbWriter::IdField(123456789).bytes() << QByteArray("123456789");
  QTest::newRow("zero") << PatbWriter::IdField(0).bytes() << QByteArray("        0");
  QTest::newRow("text filled") << PatbWriter::IdField("12").bytes() << QByteArray("12       ");
  QTest::newRow("text cut") << PatbWriter::IdField("0123456789").bytes() << QByteArray("012345678");
  QTest::newRow("blanks") << PatbWriter::IdField("").bytes() << QByteArray("         ");
}

void TestPatbWriter::idField() {
  QFETCH(QByteArray, field);
  QFETCH(QByteArray, expected);
  QCOMPARE(field, expected);
}

void TestPatbWriter::recordSize_data() {
  QTest::addColumn<QByteArray>("record");
  QTest::addColumn<int>("size");
  QTest::newRow("image header") << PatbWriter::imageHeader(12) << 52;
  QTest::newRow("image point") << PatbWriter::imagePoint(0, 4711, 1, 2, 3, 4) << 52;
  QTest::newRow("image trailer") << PatbWriter::imageTrailer() << 52;
  QTest::newRow("orientation") << PatbWriter::orientationRecord(12, 1, 1, 2, 3, 4, 5, 6) << 70;
  QTest::newRow("object") << PatbWriter::objectRecord(500, 4711, 1, 2, 3, 4, 5, 6) << 60;
  QTest::newRow("statistics") << PatbWriter::statisticsRecord(4.2, 0.6, 1.0) << 60;
  QTest::newRow("observation") << PatbWriter::observationRecord(1, 0, 4711, 1, 2, 3) << 38;
  QTest::newRow("camera") << PatbWriter::cameraRecord(12, -115, 115, 230, 230) << 210;
}

void TestPatbWriter::recordSize() {
  QFETCH(QByteArray, record);
  QFETCH(int, size);
  QCOMPARE(record.size(), size);
}

// Every number field of every record at the offset the file format gives it.
void TestPatbWriter::numberField_data() {
  QTest::addColumn<QByteArray>("record");
  QTest::addColumn<int>("offset");
  QTest::addColumn<bool>("isInt16");
  QTest::addColumn<double>("expected");

  const QByteArray header = PatbWriter::imageHeader(12);
  QTest::newRow("header status") << header << 0 << true << 0.0;
  for (int offset : {12, 20, 28, 36, 44})
    QTest::addRow("header value at %d", offset) << header << offset << false << 1.0;

  const QByteArray trailer = PatbWriter::imageTrailer(5.0);
  QTest::newRow("trailer status") << trailer << 0 << true << 0.0;
  QTest::newRow("trailer x is free") << trailer << 12 << false << 5.0;
  for (int offset : {20, 28, 36, 44})
    QTest::addRow("trailer value at %d", offset) << trailer << offset << false << 0.0;

  const QByteArray point = PatbWriter::imagePoint(7, 4711, 10.5, -3.25, 0.004, -0.002, 0.5);
  QTest::newRow("point status") << point << 0 << true << 7.0;
  QTest::newRow("point x") << point << 12 << false << 10.5;
  QTest::newRow("point y") << point << 20 << false << -3.25;
  QTest::newRow("point vx") << point << 28 << false << 0.004;
  QTest::newRow("point vy") << point << 36 << false << -0.002;
  QTest::newRow("point weight") << point << 44 << false << 0.5;
  QTest::newRow("point default weight") << PatbWriter::imagePoint(0, 1, 0, 0, 0, 0) << 44 << false << 1.0;

  const QByteArray orientation = PatbWriter::orientationRecord(12, 101, 1000.5, 2000.25, 1880.0, 4.0, 9.0, 16.0);
  QTest::newRow("orientation X0") << orientation << 22 << false << 1000.5;
  QTest::newRow("orientation Y0") << orientation << 30 << false << 2000.25;
  QTest::newRow("orientation Z0") << orientation << 38 << false << 1880.0;
  QTest::newRow("orientation varX0") << orientation << 46 << false << 4.0;
  QTest::newRow("orientation varY0") << orientation << 54 << false << 9.0;
  QTest::newRow("orientation varZ0") << orientation << 62 << false << 16.0;

  const QByteArray object = PatbWriter::objectRecord(300, 4711, 1.5, 2.5, 3.5, 0.01, 0.02, 0.03);
  QTest::newRow("object code") << object << 0 << true << 300.0;
  QTest::newRow("object X") << object << 12 << false << 1.5;
  QTest::newRow("object Y") << object << 20 << false << 2.5;
  QTest::newRow("object Z") << object << 28 << false << 3.5;
  QTest::newRow("object varX") << object << 36 << false << 0.01;
  QTest::newRow("object varY") << object << 44 << false << 0.02;
  QTest::newRow("object varZ") << object << 52 << false << 0.03;

  const QByteArray statistics = PatbWriter::statisticsRecord(4.2, 0.6, 1.0);
  QTest::newRow("statistics code") << statistics << 0 << true << -1.0;
  QTest::newRow("statistics sigma0") << statistics << 12 << false << 4.2;
  QTest::newRow("statistics redundancy") << statistics << 20 << false << 0.6;
  QTest::newRow("statistics inversion") << statistics << 28 << false << 1.0;

  const QByteArray observation = PatbWriter::observationRecord(5, 1, 12, 1880.25, 0.012, 0.1);
  QTest::newRow("observation type") << observation << 0 << true << 5.0;
  QTest::newRow("observation status") << observation << 2 << true << 1.0;
  QTest::newRow("observation value") << observation << 14 << false << 1880.25;
  QTest::newRow("observation residual as given") << observation << 22 << false << 0.012;
  QTest::newRow("observation shown value") << observation << 30 << false << 0.1;

  PatbWriter::CameraData data{};
  data.front() = 153.0;
  data.back() = -7.0;
  const QByteArray camera = PatbWriter::cameraRecord(12, -115.0, 114.0, 230.0, 229.0, data);
  QTest::newRow("camera first data") << camera << 10 << false << 153.0;
  QTest::newRow("camera last data") << camera << 170 << false << -7.0;
  QTest::newRow("camera xmin") << camera << 178 << false << -115.0;
  QTest::newRow("camera ymax") << camera << 186 << false << 114.0;
  QTest::newRow("camera width") << camera << 194 << false << 230.0;
  QTest::newRow("camera height") << camera << 202 << false << 229.0;
}

void TestPatbWriter::numberField() {
  QFETCH(QByteArray, record);
  QFETCH(int, offset);
  QFETCH(bool, isInt16);
  QFETCH(double, expected);
  if (isInt16)
    QCOMPARE(double(int16At(record, offset)), expected);
  else
    QCOMPARE(float64At(record, offset), expected);
}

void TestPatbWriter::textField_data() {
  QTest::addColumn<QByteArray>("record");
  QTest::addColumn<int>("offset");
  QTest::addColumn<QByteArray>("expected");

  QTest::newRow("header id") << PatbWriter::imageHeader(12) << 2 << QByteArray("       12 ");
  QTest::newRow("trailer id") << PatbWriter::imageTrailer() << 2 << QByteArray("      -99 ");
  QTest::newRow("point id") << PatbWriter::imagePoint(0, 4711, 0, 0, 0, 0) << 2 << QByteArray("     4711 ");
  const QByteArray orientation = PatbWriter::orientationRecord(12, "101", 0, 0, 0, 0, 0, 0);
  QTest::newRow("orientation number") << orientation << 2 << QByteArray("       12 ");
  QTest::newRow("orientation camera") << orientation << 12 << QByteArray("101       ");
  QTest::newRow("object id") << PatbWriter::objectRecord(0, 4711, 0, 0, 0, 0, 0, 0) << 2
                             << QByteArray("     4711 ");
  QTest::newRow("observation id") << PatbWriter::observationRecord(1, 0, 4711, 0, 0, 0) << 4
                                  << QByteArray("     4711 ");
  QTest::newRow("camera id") << PatbWriter::cameraRecord(" 12", 0, 0, 0, 0) << 0
                             << QByteArray(" 12       ");
}

void TestPatbWriter::textField() {
  QFETCH(QByteArray, record);
  QFETCH(int, offset);
  QFETCH(QByteArray, expected);
  QCOMPARE(textAt(record, offset, expected.size()), expected);
}

void TestPatbWriter::projectFile() {
  const PatbWriter::ProjectFileNames names = PatbWriter::projectFileNames("block", "camera1.cam");
  QCOMPARE(QString::fromLatin1(PatbWriter::projectFile(names)),
           QStringLiteral("CAMERA_FILE: camera1.cam\r\n"
                          "IMAGE_FILE: block.(i)\r\n"
                          "OBJECT_FILE: block.(o)\r\n"
                          "ORIENTATION_FILE: block.(e)\r\n"
                          "OBJECT_OBSERVATION_FILE: block.(c)\r\n"));
}

void TestPatbWriter::patFiles() {
  QCOMPARE(PatbWriter::patProjectFile("examples/demo"),
           QByteArray("[PROJECT]\r\nPATB_OUT_GRAV=examples/demo\r\n"));
  const QList<QByteArray> ini = PatbWriter::patIni("examples/demo.pro", "examples").split('\n');
  const int patb = ini.indexOf("[PATB]\r");
  const int pat = ini.indexOf("[PAT]\r");
  QVERIFY(patb >= 0 && pat >= 0);
  QCOMPARE(ini.value(patb + 1), QByteArray("PATB_LAST_PROJ=examples/demo.pro\r"));
  QCOMPARE(ini.value(pat + 1), QByteArray("PATH_PROGRAMS=examples\r"));
  // A ";" line would end the readers' key search.
  for (const QByteArray &line : ini)
    QVERIFY(!line.startsWith(';'));
}

void TestPatbWriter::writeFile() {
  QTemporaryDir dir;
  const QByteArray bytes = PatbWriter::imageHeader(1) + PatbWriter::imageTrailer();
  const QString path = dir.filePath("block.(i)");
  QString error;
  QVERIFY(PatbWriter::writeFile(path, "old content that is longer than the new one", &error));
  QVERIFY(PatbWriter::writeFile(path, bytes, &error));
  QFile file(path);
  QVERIFY(file.open(QIODevice::ReadOnly));
  QCOMPARE(file.readAll(), bytes);
}

void TestPatbWriter::writeFileFailure() {
  QTemporaryDir dir;
  const QString path = dir.filePath("missing/block.(i)");
  QString error;
  QVERIFY(!PatbWriter::writeFile(path, "x", &error));
  QVERIFY2(error.contains(path), qPrintable(error));
}

QTEST_GUILESS_MAIN(TestPatbWriter)
#include "tst_PatbWriter.moc"
