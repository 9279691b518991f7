// SPDX-License-Identifier: GPL-3.0-or-later
// The command line, run as a user runs it: help and version without a display, unknown
// options refused, the report and the picture export on a project the test writes.
#include "tests/app/CliRun.h"
#include "tools/PatbWriter.h"

#include <QDir>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString writeProject(const QString &dir)
{
    using namespace PatbWriter;
    QByteArray i = imageHeader(5) + imagePoint(0, 100, -50, 40, 0.01, 0.02) + imagePoint(0, 101, 60, -30, 0.0, 0.0) +
                   imagePoint(3, 102, 10, 10, 0.5, 0.5) + imageTrailer();
    QByteArray e = orientationRecord(5, 1, 100, 200, 1000, 0.25, 0.25, 1.0);
    QByteArray o = statisticsRecord(0.5, 2.0, kInversionDone) + objectRecord(0, 100, 1, 2, 3, 0.01, 0.04, 0.09) +
                   objectRecord(200, 101, 4, 5, 6, 0, 0, 0);
    QByteArray c = observationRecord(OT_ControlZ, 0, 101, 6.5, 0.012, 0.05);
    writeFile(dir + QStringLiteral("/b.(i)"), i);
    writeFile(dir + QStringLiteral("/b.(e)"), e);
    writeFile(dir + QStringLiteral("/b.(o)"), o);
    writeFile(dir + QStringLiteral("/b.(c)"), c);
    writeFile(dir + QStringLiteral("/b.(p)"),
              projectFile(projectFileNames(QStringLiteral("b"), QStringLiteral("none.cam"))));
    return dir + QStringLiteral("/b.(p)");
}

} // namespace

class TestCli : public QObject {
    Q_OBJECT
    QTemporaryDir mDir;

private slots:
    void helpAndVersionNeedNoDisplay()
    {
        const CliRun help = runVarlomin({QStringLiteral("--help")});
        QCOMPARE(help.exitCode, 0);
        QVERIFY(help.out.contains("--report"));
        const CliRun version = runVarlomin({QStringLiteral("--version")});
        QCOMPARE(version.exitCode, 0);
        QVERIFY(version.out.contains("1.0.5"));
    }

    void refusals_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("message");
        QTest::newRow("unknown option") << QStringList{"--frobnicate"} << QByteArray("frobnicate");
        QTest::newRow("report without file") << QStringList{"--report"} << QByteArray("project file");
        QTest::newRow("export without out") << QStringList{"--export", "image:5", "x.(p)"} << QByteArray("--out");
        QTest::newRow("bad zoom") << QStringList{"--export", "image:5", "--out", "a.png", "--zoom", "abc", "x.(p)"}
                                  << QByteArray("--zoom");
    }

    void refusals()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, message);
        const CliRun r = runVarlomin(args);
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains(message), r.err.constData());
    }

    void noDisplayIsSaidPlainly()
    {
        const CliRun r = runVarlomin({QStringLiteral("-p")});
        QVERIFY(r.exitCode != 0);
        QVERIFY2(r.err.contains("display"), r.err.constData());
    }

    void reportOfAWrittenProject()
    {
        const CliRun r = runVarlomin({QStringLiteral("--report"), writeProject(mDir.path())});
        QCOMPARE(r.exitCode, 0);
        const QJsonObject doc = QJsonDocument::fromJson(r.out).object();
        QCOMPARE(doc.value(QStringLiteral("sigma0")).toDouble(), 0.5);
        QVERIFY(doc.value(QStringLiteral("error")).isNull());
        const QJsonArray images = doc.value(QStringLiteral("images")).toArray();
        QCOMPARE(images.size(), 1);
        QCOMPARE(images[0].toObject().value(QStringLiteral("eliminated")).toInt(), 1);
        const QJsonArray points = doc.value(QStringLiteral("object_points")).toArray();
        QCOMPARE(points.size(), 3); // the projection centre comes first
        const QJsonObject control = points[2].toObject();
        QCOMPARE(float(control.value(QStringLiteral("residual")).toArray()[2].toDouble()), -0.012f);
        QCOMPARE(doc.value(QStringLiteral("lonely_image_points")).toInt(), 1); // point 102
    }

    void reportOfAMissingProjectFails()
    {
        const CliRun r = runVarlomin({QStringLiteral("--report"), mDir.filePath(QStringLiteral("nothing.(p)"))});
        QCOMPARE(r.exitCode, 1);
        const QJsonObject error = QJsonDocument::fromJson(r.out).object().value(QStringLiteral("error")).toObject();
        QCOMPARE(error.value(QStringLiteral("code")).toInt(), 0);
        QVERIFY(error.value(QStringLiteral("message")).toString().startsWith(QStringLiteral("Project file corrupt!")));
    }

    void exportOfAnImage()
    {
        const QString project = writeProject(mDir.path());
        const QString out = mDir.filePath(QStringLiteral("image.png"));
        const CliRun r = runVarlomin({QStringLiteral("--export"), QStringLiteral("image:5"), QStringLiteral("--out"),
                                      out, QStringLiteral("--show"), QStringLiteral("ids,residuals"), project});
        QVERIFY2(r.exitCode == 0, r.err.constData());
        const QImage image(out);
        // Extent 110 x 70 from the points: the longer side is 500 pixels, margins of 40.
        QCOMPARE(image.width(), 580);
        QCOMPARE(image.height(), 40 + 318 + 40);

        const CliRun unknown = runVarlomin(
            {QStringLiteral("--export"), QStringLiteral("image:77"), QStringLiteral("--out"), out, project});
        QCOMPARE(unknown.exitCode, 1);
        QVERIFY(unknown.err.contains("77"));
        const CliRun unwritable =
            runVarlomin({QStringLiteral("--export"), QStringLiteral("object:xy"), QStringLiteral("--out"),
                         QStringLiteral("/nonexistent/dir/x.png"), project});
        QCOMPARE(unwritable.exitCode, 1);
        QVERIFY(unwritable.err.contains("/nonexistent/dir/x.png"));
    }

    // Without a runtime folder in the session Qt would warn about it on stderr.
    void onlyOwnOutputWithoutRuntimeFolder_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::newRow("report") << QStringLiteral("--report");
        QTest::newRow("export") << QStringLiteral("--export");
    }
    void onlyOwnOutputWithoutRuntimeFolder()
    {
        QFETCH(QString, mode);
        const QString project = writeProject(mDir.path());
        QStringList args{mode};
        if (mode == QStringLiteral("--export"))
            args << QStringLiteral("object:xy") << QStringLiteral("--out") << mDir.filePath(QStringLiteral("q.png"));
        const CliRun r = runVarlomin(args << project, {QStringLiteral("XDG_RUNTIME_DIR")});
        QVERIFY2(r.exitCode == 0, r.err.constData());
        QVERIFY2(!r.err.contains("XDG_RUNTIME_DIR") && !r.err.contains("QStandardPaths"), r.err.constData());
    }

    void exportFollowsTheConfigFile()
    {
        const QString project = writeProject(mDir.path());
        const QString config = mDir.filePath(QStringLiteral("house.cfg"));
        PatbWriter::writeFile(config, "[ObjectViewer]\nBG_Color=#000080\n");
        const QString out = mDir.filePath(QStringLiteral("xy.png"));
        const CliRun r = runVarlomin({QStringLiteral("--export"), QStringLiteral("object:xy"), QStringLiteral("--out"),
                                      out, QStringLiteral("--config"), config, project});
        QVERIFY2(r.exitCode == 0, r.err.constData());
        QCOMPARE(QImage(out).pixelColor(2, 2), QColor(0, 0, 128));
        const CliRun missing =
            runVarlomin({QStringLiteral("--export"), QStringLiteral("object:xy"), QStringLiteral("--out"), out,
                         QStringLiteral("--config"), mDir.filePath(QStringLiteral("no.cfg")), project});
        QCOMPARE(missing.exitCode, 1);
        QVERIFY(missing.err.contains("no.cfg"));
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
