// SPDX-License-Identifier: GPL-3.0-or-later
// The report writers on a document built here: what a browser and a PDF reader find in the
// files, and that the HTML is self-contained.
#include "report/SReportFile.h"
#include "report/SReportHtmlWriter.h"
#include "tests/common/TestFiles.h"

#include <QPainter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

using namespace SReport;

namespace {

Picture dotPicture(qint64 items)
{
    Picture p;
    p.caption = QStringLiteral("Dots");
    p.size = QSize(300, 200);
    p.itemCount = items;
    p.paint = [](QPainter &painter) {
        painter.setBrush(Qt::black);
        painter.drawEllipse(QPoint(150, 100), 4, 4);
    };
    return p;
}

// A document with a control table long enough to run over a page, a chart and two pictures.
Document sampleDocument(int controlRows)
{
    Document d;
    d.title = QStringLiteral("Block <A> & B");
    d.projectName = QStringLiteral("block.(p)");
    Section head{QStringLiteral("project"), QString(), {}};
    Table files;
    files.keyValue = true;
    files.addRow({QStringLiteral("Project file"), QStringLiteral("/data/block.(p)")});
    head.blocks.append(files);
    d.sections.append(head);

    Section control{QStringLiteral("control"), QStringLiteral("Control points"), {}};
    Table t;
    t.header = {QStringLiteral("Point"), QStringLiteral("Axis"), QStringLiteral("Residual")};
    t.numeric = {true, false, true};
    for (int i = 0; i < controlRows; ++i)
        t.addRow({QString::number(7000 + i), QStringLiteral("X"), QString::number(0.001 * i, 'f', 3)}, i == 3);
    control.blocks.append(t);
    Chart chart;
    chart.title = QStringLiteral("Rays per point");
    chart.categories = {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")};
    chart.counts = {4, 10, 2};
    control.blocks.append(chart);
    control.blocks.append(dotPicture(10));
    control.blocks.append(dotPicture(kMaxVectorItems + 1));
    d.sections.append(control);
    return d;
}

} // namespace

class TestReportWriters : public QObject {
    Q_OBJECT
private slots:
    void htmlIsOneWellFormedFile()
    {
        const QByteArray html = htmlReport(sampleDocument(5));
        // Nested correctly: written so that an XML parser reads it as well as a browser.
        QXmlStreamReader xml(html);
        int svgs = 0, tables = 0, sections = 0;
        while (!xml.atEnd()) {
            if (xml.readNext() == QXmlStreamReader::StartElement) {
                svgs += xml.name() == QLatin1String("svg");
                tables += xml.name() == QLatin1String("table");
                sections += xml.name() == QLatin1String("section");
            }
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString() + QStringLiteral(" at line %1").arg(xml.lineNumber())));
        QCOMPARE(sections, 2);
        QCOMPARE(tables, 2);
        QCOMPARE(svgs, 2); // the chart and the small picture; the large one is a PNG
        QVERIFY(html.contains("<img src=\"data:image/png;base64,"));
        QVERIFY(html.contains("<title>Block &lt;A&gt; &amp; B</title>"));
        QVERIFY(html.contains("<tr class=\"marked\"><td class=\"n\">7003</td>"));
        // Nothing runs and nothing is fetched.
        QVERIFY(!html.contains("<script"));
        QVERIFY(!html.contains("<?xml"));
        const QString text = QString::fromUtf8(html);
        static const QRegularExpression external(QStringLiteral("(src|href)=\"(?!data:|#)"));
        QVERIFY(!external.match(text).hasMatch());
    }

    void pdfCarriesTablesOnA4()
    {
        if (!TestFiles::hasProgram(QStringLiteral("pdftotext")) || !TestFiles::hasProgram(QStringLiteral("pdfinfo")))
            QSKIP("poppler-utils (pdftotext, pdfinfo) are not installed");
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
        QString error;
        QVERIFY2(writeReportFile(sampleDocument(120), pdf, &error), qPrintable(error));
        const QString info = QString::fromUtf8(TestFiles::runProgram(QStringLiteral("pdfinfo"), {pdf}));
        QVERIFY2(info.contains(
                     QRegularExpression(QStringLiteral("Page size:\\s+595(\\.\\d+)? x 84[12](\\.\\d+)? pts \\(A4\\)"))),
                 qPrintable(info));
        const QString text = QString::fromUtf8(
            TestFiles::runProgram(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")}));
        QVERIFY(text.contains(QStringLiteral("7119")));
        QVERIFY(text.contains(QStringLiteral("0.119")));
        // The control table runs over a page: its header comes again, and every page has a footer.
        const int pages = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info).captured(1).toInt();
        QVERIFY(pages >= 3);
        QVERIFY(text.count(QStringLiteral("Residual")) >= 2);
        QVERIFY(text.count(QStringLiteral("block.(p)")) >= pages);
        for (int page = 1; page <= pages; ++page)
            QVERIFY(text.contains(QStringLiteral("Page %1\n").arg(page)));
    }
};

QTEST_MAIN(TestReportWriters)
#include "tst_reportwriters.moc"
