// SPDX-License-Identifier: GPL-3.0-or-later
// The command line, run as a user runs it: help and version without a display, unknown
// options refused, the report and the picture export on a project the test writes, the window
// handed to the full program.
#include "tests/app/CliRun.h"
#include "tests/common/ResultFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstring>

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
    return writeResultFiles(dir, "b", i, e, o, c);
}

} // namespace

class TestCli : public QObject {
    Q_OBJECT
    QTemporaryDir mDir;

private slots:
    // Each run's exit code (-1: any failure) and a text it writes to "out" or "err". In the
    // arguments PROJECT stands for a written project and DIR/ for a folder of the test.
    void runs_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("stream");
        QTest::addColumn<QByteArray>("text");
        const auto row = [](const char *name, const QStringList &args, int exitCode, const char *stream,
                            const QByteArray &text) {
            QTest::newRow(name) << args << exitCode << QString::fromLatin1(stream) << text;
        };
        row("help needs no display", {"--help"}, 0, "out", "--report");
        row("version needs no display", {"--version"}, 0, "out", "1.0.5");
        row("no display said plainly", {"-p"}, -1, "err", "display");
        row("unknown option", {"--frobnicate"}, 1, "err", "frobnicate");
        row("report without file", {"--report"}, 1, "err", "project file");
        row("export without out", {"--export", "image:5", "x.(p)"}, 1, "err", "--out");
        row("bad zoom", {"--export", "image:5", "--out", "a.png", "--zoom", "abc", "x.(p)"}, 1, "err", "--zoom");
        row("report", {"--report", "PROJECT"}, 0, "out", "\"lonely_image_points\": 1"); // point 102
        row("report of a missing project", {"--report", "DIR/nothing.(p)"}, 1, "out",
            "\"message\": \"Project file corrupt!");
        row("export of an unknown image", {"--export", "image:77", "--out", "DIR/x.png", "PROJECT"}, 1, "err", "77");
        row("export into a missing folder", {"--export", "object:xy", "--out", "/nonexistent/dir/x.png", "PROJECT"}, 1,
            "err", "/nonexistent/dir/x.png");
        row("missing config file", {"--export", "object:xy", "--out", "DIR/x.png", "--config", "DIR/no.cfg", "PROJECT"},
            1, "err", "no.cfg");
    }

    void runs()
    {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, stream);
        QFETCH(QByteArray, text);
        const QString project = writeProject(mDir.path());
        for (QString &arg : args)
            arg = arg == QLatin1String("PROJECT") ? project : arg.replace(QLatin1String("DIR/"), mDir.path() + u'/');
        const CliRun r = runVarlomin(args);
        QVERIFY2(exitCode < 0 ? r.exitCode != 0 : r.exitCode == exitCode, r.err.constData());
        QVERIFY2((stream == QLatin1String("out") ? r.out : r.err).contains(text), r.err.constData());
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

    // varlomin runs the window through the full program; without it, it names the path it tried.
    void missingFullProgramIsNamed()
    {
        const QString alone = mDir.filePath(QStringLiteral("alone/bin/varlomin"));
        QVERIFY(QDir().mkpath(QFileInfo(alone).path()));
        QVERIFY(QFile::copy(qEnvironmentVariable("VARLOMIN_BIN_DIR") + QStringLiteral("/varlomin"), alone));
        QProcess p;
        p.start(alone, {QStringLiteral("-p")});
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), 127);
        const QString expected = mDir.filePath(QStringLiteral("alone/lib/varlomin/varlomin-gui: ")) +
                                 QString::fromLocal8Bit(std::strerror(ENOENT));
        QVERIFY2(QString::fromLocal8Bit(p.readAllStandardError()).contains(expected), qPrintable(expected));
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
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
