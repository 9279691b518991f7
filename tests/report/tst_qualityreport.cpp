// SPDX-License-Identifier: GPL-3.0-or-later
// The adjustment report as a user makes it on the command line: its numbers are those of
// --stats --json, the PDF is A4 with the summary and the control table, a real browser
// shows and prints the HTML, and bad input leaves no file behind.
#include "tests/app/CliRun.h"
#include "tests/common/ResultFiles.h"
#include "tests/common/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

namespace {

using Rows = QList<QStringList>;

QString examplesDir() { return QStringLiteral(VARLOMIN_SOURCE_DIR "/examples"); }

// The project of a data row: the bundled example, or a real project from the shared data.
QString projectOf(const QString &row)
{
    if (row == QLatin1String("example"))
        return examplesDir() + QStringLiteral("/demo.(p)");
    const QDir dir(qEnvironmentVariable("VARLOMIN_SHARED_DATA") + QStringLiteral("/patb/") + row);
    const QStringList projects = dir.entryList({QStringLiteral("*.(p)")}, QDir::Files);
    return projects.isEmpty() ? QString() : dir.filePath(projects.first());
}

// Every table of the HTML report by its id: rows of cell texts, header row first.
QHash<QString, Rows> htmlTables(const QByteArray &html)
{
    QHash<QString, Rows> tables;
    QXmlStreamReader xml(html);
    QString table;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("table"))
            table = xml.attributes().value(QLatin1String("id")).toString();
        else if (xml.isStartElement() && xml.name() == QLatin1String("tr"))
            tables[table].append(QStringList());
        else if (xml.isStartElement() && (xml.name() == QLatin1String("td") || xml.name() == QLatin1String("th")))
            tables[table].last().append(xml.readElementText(QXmlStreamReader::IncludeChildElements));
    }
    return tables;
}

QString value(const Rows &keyValue, const QString &key)
{
    for (const QStringList &row : keyValue)
        if (row.size() == 2 && row[0] == key)
            return row[1];
    return QStringLiteral("(missing %1)").arg(key);
}

QString three(const QJsonValue &v) { return QString::number(v.toDouble(), 'f', 3); }

QString writePartialProject(const QString &dir)
{
    using namespace PatbWriter;
    return writeResultFiles(
        dir, "b", imageHeader(1) + imageTrailer() + imageHeader(2) + imagePoint(0, 5, 1, 1, 0, 0, 1) + imageTrailer(),
        orientationRecord(1, 7, 1, 2, 3, 0, 0, 0) + orientationRecord(3, 7, 1, 2, 3, 0, 0, 0), {}, {});
}

QStringList entries(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
}

} // namespace

class TestQualityReport : public QObject {
    Q_OBJECT
    QTemporaryDir mDir;

    QString out(const QString &name) const { return mDir.filePath(name); }
    CliRun report(const QString &file, const QString &project, const QStringList &more = {}) const
    {
        return runVarlomin(QStringList{QStringLiteral("--quality-report"), file} + more + QStringList{project});
    }

private slots:
    void numbersEqualStatistics_data()
    {
        QTest::addColumn<QString>("project");
        for (const char *row : {"example", "Balbianello", "problem-49-7776-pre"})
            QTest::newRow(row) << projectOf(QString::fromLatin1(row));
    }
    void numbersEqualStatistics()
    {
        QFETCH(QString, project);
        if (project.isEmpty())
            QSKIP("the shared data is not present");
        const QString html = out(QStringLiteral("%1.html").arg(QTest::currentDataTag()));
        const CliRun run = report(html, project, {QStringLiteral("--title"), QStringLiteral("Block A")});
        QVERIFY2(run.exitCode == 0, run.err.constData());
        const CliRun stats = runVarlomin({QStringLiteral("--stats"), QStringLiteral("--json"), project});
        QCOMPARE(stats.exitCode, 0);
        const QJsonObject s = QJsonDocument::fromJson(stats.out).object();
        QFile file(html);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QHash<QString, Rows> tables = htmlTables(file.readAll());

        const Rows &summary = tables[QStringLiteral("summary-table")];
        const QJsonObject sum = s[QStringLiteral("summary")].toObject();
        QCOMPARE(value(summary, QStringLiteral("Images")), QString::number(sum[QStringLiteral("images")].toInt()));
        QCOMPARE(value(summary, QStringLiteral("Eliminated image observations")),
                 QString::number(sum[QStringLiteral("eliminated_observations")].toInteger()));
        QCOMPARE(value(summary, QStringLiteral("Points with fewer than two active rays")),
                 QString::number(sum[QStringLiteral("points_under_two_active_rays")].toInt()));
        QCOMPARE(value(summary, QStringLiteral("Sigma 0")), three(sum[QStringLiteral("sigma0")]));
        const QJsonObject block = s[QStringLiteral("image_residuals")][QStringLiteral("block")].toObject();
        QCOMPARE(value(summary, QStringLiteral("RMS |v| of the block")), three(block[QStringLiteral("rms_v")]));

        // Every control observation with its residual and verdict, and every image's RMS.
        QMap<QString, QStringList> control; // "id axis" -> residual, accepted
        for (const QStringList &row : tables[QStringLiteral("control-table")].mid(1))
            control.insert(row[0] + QLatin1Char(' ') + row[2], {row[5], row[6]});
        const QJsonObject c = s[QStringLiteral("control")].toObject();
        QJsonArray observations = c[QStringLiteral("accepted")].toArray();
        for (const QJsonValue &v : c[QStringLiteral("rejected")].toArray())
            observations.append(v);
        QCOMPARE(control.size(), observations.size());
        for (const QJsonValue &v : observations) {
            const QJsonObject o = v.toObject();
            const QString key = QString::number(o[QStringLiteral("id")].toInt()) + QLatin1Char(' ') +
                                o[QStringLiteral("axis")].toString();
            QCOMPARE(control.value(key), (QStringList{three(o[QStringLiteral("residual")]),
                                                      o[QStringLiteral("accepted")].toBool() ? QStringLiteral("yes")
                                                                                             : QStringLiteral("no")}));
        }
        const QJsonArray images = s[QStringLiteral("image_residuals")][QStringLiteral("images")].toArray();
        const Rows allImages = tables[QStringLiteral("all-images")].mid(1);
        QCOMPARE(allImages.size(), images.size());
        for (int i = 0; i < images.size(); ++i) {
            const QJsonObject img = images[i].toObject();
            QCOMPARE(allImages[i][0], QString::number(img[QStringLiteral("image")].toInt()));
            QCOMPARE(allImages[i][5], three(img[QStringLiteral("rms_v")]));
            QCOMPARE(allImages[i][6], three(img[QStringLiteral("max_v")]));
        }
    }

    void pdfIsA4WithSummaryAndControl()
    {
        if (!TestFiles::hasProgram(QStringLiteral("pdftotext")) || !TestFiles::hasProgram(QStringLiteral("pdfinfo")))
            QSKIP("poppler-utils (pdftotext, pdfinfo) are not installed");
        const QString project = projectOf(QStringLiteral("example"));
        const QString pdf = out(QStringLiteral("example.pdf"));
        const CliRun run = report(pdf, project);
        QVERIFY2(run.exitCode == 0, run.err.constData());
        const QString info = QString::fromUtf8(TestFiles::runProgram(QStringLiteral("pdfinfo"), {pdf}));
        QVERIFY2(info.contains(QStringLiteral("(A4)")), qPrintable(info));
        const QJsonObject s =
            QJsonDocument::fromJson(runVarlomin({QStringLiteral("--stats"), QStringLiteral("--json"), project}).out)
                .object();
        const QString text = QString::fromUtf8(
            TestFiles::runProgram(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")}));
        const QJsonObject sum = s[QStringLiteral("summary")].toObject();
        QVERIFY(text.contains(
            QRegularExpression(QStringLiteral("Sigma 0\\s+%1\\n").arg(three(sum[QStringLiteral("sigma0")])))));
        QVERIFY(text.contains(QRegularExpression(
            QStringLiteral("Image observations\\s+%1\\n").arg(sum[QStringLiteral("image_observations")].toInteger()))));
        const QJsonArray accepted = s[QStringLiteral("control")][QStringLiteral("accepted")].toArray();
        QVERIFY(!accepted.isEmpty());
        QVERIFY(text.contains(
            QRegularExpression(QStringLiteral("Point\\s+Code\\s+Axis\\s+Observed\\s+Adjusted\\s+Residual"))));
        for (const QJsonValue &v : accepted) {
            const QJsonObject o = v.toObject();
            const QString line = QStringLiteral("%1\\s+%2\\s+%3\\s+%4\\s+%5\\s+%6\\s+yes")
                                     .arg(o[QStringLiteral("id")].toInt())
                                     .arg(o[QStringLiteral("code")].toInt())
                                     .arg(o[QStringLiteral("axis")].toString(), three(o[QStringLiteral("observed")]),
                                          three(o[QStringLiteral("adjusted")]), three(o[QStringLiteral("residual")]));
            QVERIFY2(text.contains(QRegularExpression(line)), qPrintable(line));
        }
    }

    void browserShowsAndPrintsHtml()
    {
        QString chromium = QStandardPaths::findExecutable(QStringLiteral("chromium"));
        if (chromium.isEmpty())
            QSKIP("chromium is not installed: the HTML report is not shown in a browser");
        const QString html = out(QStringLiteral("browser.html"));
        const CliRun run = report(html, projectOf(QStringLiteral("example")));
        QVERIFY2(run.exitCode == 0, run.err.constData());
        QTemporaryDir profile;
        const QString png = out(QStringLiteral("browser.png"));
        const QString pdf = out(QStringLiteral("browser.pdf"));
        const QStringList common = {QStringLiteral("--headless"),
                                    QStringLiteral("--no-sandbox"),
                                    QStringLiteral("--disable-gpu"),
                                    QStringLiteral("--disable-background-networking"),
                                    QStringLiteral("--disable-component-update"),
                                    QStringLiteral("--disable-sync"),
                                    QStringLiteral("--no-first-run"),
                                    QStringLiteral("--enable-logging=stderr"),
                                    QStringLiteral("--user-data-dir=") + profile.path()};
        for (const QStringList &job :
             {QStringList{QStringLiteral("--window-size=1100,1400"), QStringLiteral("--screenshot=") + png},
              QStringList{QStringLiteral("--print-to-pdf=") + pdf, QStringLiteral("--no-pdf-header-footer")}}) {
            QProcess p;
            p.start(chromium, common + job + QStringList{QUrl::fromLocalFile(html).toString()});
            QVERIFY(p.waitForFinished(120000));
            const QString log = QString::fromUtf8(p.readAllStandardError());
            QVERIFY2(!log.contains(QStringLiteral("CONSOLE")) && !log.contains(QStringLiteral("Uncaught")),
                     qPrintable(log));
        }
        const QImage shot(png);
        QVERIFY(!shot.isNull());
        qint64 dark = 0; // pixels of text, table rules, bars and points
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x)
                dark += qGray(shot.pixel(x, y)) < 128;
        QVERIFY2(dark > shot.width() * shot.height() / 200, qPrintable(QString::number(dark)));
        if (TestFiles::hasProgram(QStringLiteral("pdfinfo"))) {
            const QString info = QString::fromUtf8(TestFiles::runProgram(QStringLiteral("pdfinfo"), {pdf}));
            QVERIFY2(info.contains(QStringLiteral("(A4)")), qPrintable(info));
            const int pages = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info).captured(1).toInt();
            QVERIFY(pages >= 7); // a page for each section
        }
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("project");
        QTest::addColumn<QByteArray>("message");
        const QString example = projectOf(QStringLiteral("example"));
        QTest::newRow("folder missing") << QStringLiteral("missing/r.html") << example << QByteArray("does not exist");
        QTest::newRow("directory") << QStringLiteral("adir.pdf") << example << QByteArray("is a directory");
        QTest::newRow("unknown format") << QStringLiteral("r.txt") << example << QByteArray("unknown format");
        QTest::newRow("no project") << QStringLiteral("r.html") << QStringLiteral("nowhere.(p)")
                                    << QByteArray("cannot read the project");
    }
    void refusals()
    {
        QFETCH(QString, output);
        QFETCH(QString, project);
        QFETCH(QByteArray, message);
        QTemporaryDir dir;
        QDir(dir.path()).mkdir(QStringLiteral("adir.pdf"));
        const QStringList before = entries(dir.path());
        const CliRun run = report(dir.filePath(output), project);
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(message), run.err.constData());
        QCOMPARE(entries(dir.path()), before);
        QCOMPARE(entries(dir.filePath(QStringLiteral("adir.pdf"))), QStringList());
    }

    void readErrorStatedAtTop()
    {
        QTemporaryDir dir;
        const QString project = writePartialProject(dir.path());
        const QString html = dir.filePath(QStringLiteral("r.html"));
        const CliRun run = report(html, project);
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("was written"), run.err.constData());
        QFile file(html);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        const qsizetype at = text.indexOf("Sequences in files (i) and (e) don't fit!");
        QVERIFY(at > 0);
        QVERIFY(at < text.indexOf("<h2>"));
    }
};

QTEST_MAIN(TestQualityReport)
#include "tst_qualityreport.moc"
