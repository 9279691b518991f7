// SPDX-License-Identifier: GPL-3.0-or-later
// The command-line report: a small project written record by record, read back as JSON.
#include "formats/SReportRun.h"
#include "patb/SProjectReport.h"
#include "tests/patb/PatbFiles.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>
#include <limits>

using namespace PatbFiles;

class TestProjectReport : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        mDir = std::make_unique<QTemporaryDir>();
        qputenv("windir", mDir->path().toUtf8());
        writeFile(path("Pat.ini"), "[PAT]\nPATH_PROGRAMS=\n");
    }

    void fullProject()
    {
        writeProject();
        // image 20 is read first; 10 has no points; point 8 is measured only (lonely)
        writeFile(path("b.(i)"), imageHeader(20) + imagePoint(0, 5, -1.5, 2.0, 0.3, 0.4) +
                                     imagePoint(3, 6, 4.0, -2.0, 9, 9) + imagePoint(0, 8, 0.5, 0.5) + imageTrailer() +
                                     imageHeader(10) + imageTrailer());
        writeFile(path("b.(e)"),
                  orientationRecord(20, 7, 100.5, 200.25, 300.0, 4, 9, 16) + orientationRecord(10, 7, 1, 2, 3));
        writeFile(path("b.(o)"), statisticsRecord(0.8, 1.5, 1.0) +
                                     objectRecord(500, 5, 10.5, 20.5, 30.5, 0.25, 0.25, 1.0) +
                                     objectRecord(0, 6, 1, 2, 3));
        writeFile(path("b.(c)"), observationRecord(1, 0, 5, 10.4, 0.1, 0.05) + observationRecord(3, 1, 5, 30.0, -0.5) +
                                     observationRecord(4, 0, 20, 100.0, 0.5));

        const QJsonObject r = report(0);
        QVERIFY(!r.isEmpty());
        QCOMPARE(r["sigma0"].toDouble(), 0.8);
        QCOMPARE(r["average_redundancy"].toDouble(), 1.5);
        QCOMPARE(r["inversion"].toBool(), true);
        QVERIFY(r["error"].isNull());

        const QJsonArray images = r["images"].toArray();
        QCOMPARE(images.size(), 2);
        const QJsonObject empty = images[0].toObject();
        QCOMPARE(empty["id"].toInt(), 10);
        QCOMPARE(empty["points"].toInt(), 0);
        QVERIFY(empty["extent"].isNull());
        QVERIFY(empty["largest_residual"].isNull());
        QCOMPARE(empty["largest_residual_id"].toInt(), -1);
        const QJsonObject img = images[1].toObject();
        QCOMPARE(img["id"].toInt(), 20);
        QCOMPARE(img["camera_id"].toInt(), 7);
        QCOMPARE(img["points"].toInt(), 3);
        QCOMPARE(img["eliminated"].toInt(), 1);
        QCOMPARE(img["largest_residual_id"].toInt(), 5);
        QCOMPARE(float(img["largest_residual"].toDouble()), std::sqrt(0.3f * 0.3f + 0.4f * 0.4f));
        QCOMPARE(img["extent"].toArray(), (QJsonArray{-1.5, -2.0, 4.0, 2.0}));
        QCOMPARE(img["projection_centre"].toArray(), (QJsonArray{100.5, 200.25, 300.0}));
        QCOMPARE(img["projection_centre_sigma"].toArray(), (QJsonArray{2.0, 3.0, 4.0}));

        const QJsonArray objects = r["object_points"].toArray();
        QCOMPARE(objects.size(), 4); // two centres in reading order, then the object file
        const QJsonObject pc20 = objects[0].toObject();
        QCOMPARE(pc20["id"].toInt(), 20);
        QCOMPARE(pc20["code"].toInt(), 901);
        QCOMPARE(pc20["links"].toInt(), 2); // active image points of image 20
        QCOMPARE(pc20["observed"].toArray()[0].toDouble(), 100.0);
        QVERIFY(pc20["observed"].toArray()[1].isNull());
        const QJsonObject p5 = objects[2].toObject();
        QCOMPARE(p5["id"].toInt(), 5);
        QCOMPARE(p5["code"].toInt(), 500);
        QCOMPARE(p5["active"].toBool(), false); // the Z observation was rejected last
        QCOMPARE(p5["links"].toInt(), 1);
        QCOMPARE(p5["adjusted"].toArray(), (QJsonArray{10.5, 20.5, 30.5}));
        QCOMPARE(p5["sigma"].toArray(), (QJsonArray{0.5, 0.5, 1.0}));
        QCOMPARE(float(p5["observed"].toArray()[0].toDouble()), 10.4f);
        QVERIFY(p5["observed"].toArray()[1].isNull());
        QCOMPARE(p5["observed"].toArray()[2].toDouble(), 30.0);
        QCOMPARE(float(p5["residual"].toArray()[0].toDouble()), -0.1f);
        QCOMPARE(p5["residual"].toArray()[2].toDouble(), 0.5);
        QCOMPARE(p5["accepted"].toArray(), (QJsonArray{true, false, false}));
        QCOMPARE(objects[3].toObject()["links"].toInt(), 1);

        QCOMPARE(r["lonely_image_points"].toInt(), 1);
        // PATH_PROGRAMS is empty and the camera is not beside the project
        QCOMPARE(r["warnings"].toArray(),
                 QJsonArray{"No installation of PAT found! Can't look for camera file 'none.cam'."});
    }

    void unusableProjectFile()
    {
        writeFile(path("p.(p)"), "IMAGE_FILE: b.(i)\r\n");
        const QJsonObject r = report(1);
        QVERIFY(!r.isEmpty());
        QCOMPARE(r["sigma0"].toDouble(), 0.0);
        QCOMPARE(r["average_redundancy"].toDouble(), 0.0);
        QCOMPARE(r["inversion"].toBool(), false);
        QCOMPARE(r["images"].toArray().size(), 0);
        QCOMPARE(r["object_points"].toArray().size(), 0);
        QCOMPARE(r["warnings"].toArray(), QJsonArray{});
        const QJsonObject error = r["error"].toObject();
        QCOMPARE(error["code"].toInt(), 0);
        QCOMPARE(error["message"].toString(),
                 QString("Project file corrupt!\nCould not read necessary parameters.\n\n"));
    }

    void inconsistentFiles()
    {
        writeProject();
        writeFile(path("b.(i)"),
                  imageHeader(1) + imageTrailer() + imageHeader(2) + imagePoint(0, 5, 1, 1) + imageTrailer());
        writeFile(path("b.(e)"), orientationRecord(1, 7, 1, 2, 3) + orientationRecord(3, 7, 1, 2, 3));
        writeFile(path("b.(o)"), QByteArray());
        writeFile(path("b.(c)"), QByteArray());
        const QJsonObject r = report(1);
        QVERIFY(!r.isEmpty());
        QCOMPARE(r["error"].toObject()["code"].toInt(), 60868);
        QCOMPARE(r["error"].toObject()["message"].toString(),
                 QString("Varlomin::ReadImageFiles: Sequences in files (i) and (e) don't fit!"));
        QCOMPARE(r["images"].toArray().size(), 1);
        QCOMPARE(r["lonely_image_points"].toInt(), 0);
        // the record exists, the object file was never read: no inverse known
        QCOMPARE(r["warnings"].toArray(),
                 (QJsonArray{"No installation of PAT found! Can't look for camera file 'none.cam'.",
                             "No inversion: sigmas were not computed!"}));
    }

private:
    QString path(const QString &name) const { return mDir->filePath(name); }

    void writeProject() const
    {
        writeFile(path("p.(p)"), "IMAGE_FILE: b.(i)\r\nOBJECT_FILE: b.(o)\r\nORIENTATION_FILE: b.(e)\r\n"
                                 "OBJECT_OBSERVATION_FILE: b.(c)\r\nCAMERA_FILE: none.cam\r\n");
    }

    QJsonObject report(int expectedStatus) const
    {
        QByteArray json;
        const int status = runProjectReport(path("p.(p)"), &json);
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
        if (error.error != QJsonParseError::NoError)
            qWarning() << error.errorString() << json;
        if (status != expectedStatus)
            qWarning() << "status" << status;
        return status == expectedStatus ? doc.object() : QJsonObject();
    }
    std::unique_ptr<QTemporaryDir> mDir;
};

QTEST_GUILESS_MAIN(TestProjectReport)
#include "tst_projectreport.moc"
