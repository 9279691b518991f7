// SPDX-License-Identifier: GPL-3.0-or-later
// Exports with a selection, run as a user runs them: --select image:ID and --search mark
// the chosen points in the mark colour at their mapped positions; bad values exit 1.
#include "objectviewer/SObjectMapping.h"
#include "tests/app/CliRun.h"
#include "tests/app/SelectionProject.h"

#include <QImage>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QColor kBackground(Qt::white);
const QColor kMarkColor(0, 255, 0);
// Symbols 7 pixels wide with marks of 3 pixels on each side: 5 pixels right of a point
// lies on the mark ring of a selected point and on the ground otherwise.
constexpr int kRingOffset = 5;
const QByteArray kConfig = "[ObjectViewer]\nBG_Color=#ffffff\n[Points]\nMarkColor=#00ff00\nMarkSize=3\n"
                           "PointSize_0=7\nPointSize_4=7\n";

using namespace SelectionProject;

QString writeProject(const QString &dir)
{
    PatbWriter::writeFile(dir + QStringLiteral("/select.cfg"), kConfig);
    return SelectionProject::write(dir);
}

QPoint mapped(const QPointF &xy)
{
    const SObjectMapping m = SObjectMapping::compute(true, 0.0f, 1000.0f, 0.0f, 500.0f, 100, 1.0f);
    return m.map(float(xy.x()), float(xy.y())) + QPoint(kRingOffset, 0);
}

// Which of the object points and the centre carry a mark in the picture.
QStringList marked(const QImage &image)
{
    QStringList names;
    for (const auto &[id, xy] : kPoints)
        if (image.pixelColor(mapped(xy)) == kMarkColor)
            names << QString::number(id);
    if (image.pixelColor(mapped(kCentre)) == kMarkColor)
        names << QStringLiteral("centre");
    return names;
}

} // namespace

class TestCliSelect : public QObject {
    Q_OBJECT
    QTemporaryDir mDir;

    QStringList exportArgs(const QString &out) const
    {
        return {QStringLiteral("--export"), QStringLiteral("object:xy"),
                QStringLiteral("--out"),    out,
                QStringLiteral("--config"), mDir.filePath(QStringLiteral("select.cfg"))};
    }

private slots:
    void initTestCase() { QVERIFY(mDir.isValid()); }

    void selectionMarks_data()
    {
        QTest::addColumn<QStringList>("selection");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("no selection") << QStringList{} << QStringList{};
        // The eliminated image point 104 is selected too, with the image's centre.
        QTest::newRow("image") << QStringList{"--select", "image:5"} << QStringList{"102", "103", "104", "centre"};
        QTest::newRow("point-id pattern") << QStringList{"--search", "point-id:*3::pattern"} << QStringList{"103"};
        QTest::newRow("blunder") << QStringList{"--search", "blunder"} << QStringList{"104", "centre"};
    }

    void selectionMarks()
    {
        QFETCH(QStringList, selection);
        QFETCH(QStringList, expected);
        const QString project = writeProject(mDir.path());
        const QString out = mDir.filePath(QStringLiteral("%1.png").arg(QTest::currentDataTag()).replace(u' ', u'_'));
        const CliRun r = runVarlomin(exportArgs(out) + selection + QStringList{project});
        QVERIFY2(r.exitCode == 0, r.err.constData());
        const QImage image(out);
        QCOMPARE(image.size(), QSize(580, 330));
        QCOMPARE(marked(image), expected);
        // The ground stays where no point is.
        QCOMPARE(image.pixelColor(mapped(QPointF(500.0, 450.0))), kBackground);
    }

    void badValuesRefused_data()
    {
        QTest::addColumn<QStringList>("selection");
        QTest::addColumn<QByteArray>("message");
        QTest::newRow("unknown mode") << QStringList{"--search", "colour:1:2"} << QByteArray("unknown mode 'colour'");
        QTest::newRow("min above max") << QStringList{"--search", "point-id:5:3"} << QByteArray("above maximum");
        QTest::newRow("no bound") << QStringList{"--search", "links::"} << QByteArray("minimum, a maximum or both");
        QTest::newRow("not a number") << QStringList{"--search", "residuals:abc:"} << QByteArray("'abc'");
        QTest::newRow("negative bound") << QStringList{"--search", "sigmas:-2:"} << QByteArray("'-2'");
        QTest::newRow("bad pattern") << QStringList{"--search", "point-id:12a::pattern"} << QByteArray("pattern");
        QTest::newRow("bad fourth field") << QStringList{"--search", "point-id:1:2:regex"} << QByteArray("'regex'");
        QTest::newRow("too many fields") << QStringList{"--search", "point-id:1:2:pattern:x"}
                                         << QByteArray("too many fields");
        QTest::newRow("pattern for links") << QStringList{"--search", "links:1::pattern"} << QByteArray("pattern");
        QTest::newRow("short mask") << QStringList{"--search", "point-code:101"} << QByteArray("mask of 7");
        QTest::newRow("empty mask") << QStringList{"--search", "point-code:0000000"} << QByteArray("mask of 7");
        QTest::newRow("blunder with bounds") << QStringList{"--search", "blunder:1"} << QByteArray("no parameters");
        QTest::newRow("unknown image") << QStringList{"--select", "image:77"} << QByteArray("no image 77");
        QTest::newRow("image not a number") << QStringList{"--select", "image:x"} << QByteArray("whole number");
        QTest::newRow("unknown selection") << QStringList{"--select", "some"} << QByteArray("unknown selection");
        QTest::newRow("select with search")
            << QStringList{"--select", "all", "--search", "blunder"} << QByteArray("cannot be combined");
    }

    void badValuesRefused()
    {
        QFETCH(QStringList, selection);
        QFETCH(QByteArray, message);
        const QString project = writeProject(mDir.path());
        const QString out = mDir.filePath(QStringLiteral("refused.png"));
        QFile::remove(out);
        const CliRun r = runVarlomin(exportArgs(out) + selection + QStringList{project});
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains(message), r.err.constData());
        QVERIFY(!QFile::exists(out));
    }
};

QTEST_GUILESS_MAIN(TestCliSelect)
#include "tst_cli_select.moc"
