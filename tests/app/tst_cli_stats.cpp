// SPDX-License-Identifier: GPL-3.0-or-later
// varlomin --stats, run as a user runs it: tables and JSON of a block the test wrote, with the
// exit codes of --report.
#include "tests/app/CliRun.h"
#include "tests/common/StatisticsBlock.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

class TestCliStats : public QObject {
    Q_OBJECT
    QTemporaryDir mDir;
    QString mProject;

private slots:
    void initTestCase() { mProject = StatisticsBlock::install(mDir.path()); }

    void textAndJsonAgree()
    {
        const CliRun text = runVarlomin({QStringLiteral("--stats"), mProject});
        QCOMPARE(text.exitCode, 0);
        const CliRun json = runVarlomin({QStringLiteral("--stats"), QStringLiteral("--json"), mProject});
        QCOMPARE(json.exitCode, 0);
        const QJsonObject doc = QJsonDocument::fromJson(json.out).object();
        QVERIFY(doc["error"].isNull());
        const QJsonObject block = doc["image_residuals"].toObject()["block"].toObject();
        QCOMPARE(block["active"].toInt(), 6);
        QCOMPARE(doc["image_residuals"].toObject()["images"].toArray().size(), 2);
        QCOMPARE(doc["control"].toObject()["rejected"].toArray().size(), 1);
        QCOMPARE(doc["histograms"].toArray().size(), 5);
        // The text shows the same RMS |v| and control RMS, with three decimals.
        const QByteArray rmsV = QByteArray::number(block["rms_v"].toDouble(), 'f', 3);
        QVERIFY2(text.out.contains(rmsV), text.out.constData());
        const double rmsX = doc["control"].toObject()["control_points"].toObject()["X"].toObject()["rms"].toDouble();
        QVERIFY(text.out.contains(QByteArray::number(rmsX, 'f', 3)));
    }

    void errors_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("message");
        QTest::newRow("json without stats") << QStringList{"--json", "p.(p)"} << 1 << QByteArray("--json");
        QTest::newRow("with report") << QStringList{"--stats", "--report", "p.(p)"} << 1 << QByteArray("--stats");
        QTest::newRow("no project file") << QStringList{"--stats"} << 1 << QByteArray("project file");
        QTest::newRow("missing project") << QStringList{"--stats", "missing.(p)"} << 1 << QByteArray("corrupt");
    }

    void errors()
    {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, message);
        const CliRun run = runVarlomin(args);
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(run.err.contains(message), run.err.constData());
    }
};

QTEST_GUILESS_MAIN(TestCliStats)
#include "tst_cli_stats.moc"
