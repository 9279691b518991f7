// SPDX-License-Identifier: GPL-3.0-or-later
// Selection requests through the main window: the search tab's "S&elect" and the image
// viewer's request reach the views of all three open object viewers.
#include "app/Varlomin.h"
#include "framework/MxCfg.h"
#include "imageviewer/SImageViewer.h"
#include "objectviewer/SObjectView.h"
#include "objectviewer/SObjectViewer.h"
#include "search/SSearchWidget.h"
#include "tools/PatbWriter.h"

#include <QGroupBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr int kImageId = 5;

// Points 100..104; image 5 measured 102, 103 and (eliminated) 104.
QString writeProject(const QString &dir)
{
    using namespace PatbWriter;
    const QByteArray i = imageHeader(kImageId) + imagePoint(0, 102, -50, 40, 0.01, 0.02) +
                         imagePoint(0, 103, 60, -30, 0.0, 0.0) + imagePoint(3, 104, 10, 10, 0.5, 0.5) + imageTrailer();
    const QByteArray e = orientationRecord(kImageId, 1, 600, 400, 1000, 0.25, 0.25, 1.0);
    QByteArray o = statisticsRecord(0.5, 2.0, kInversionDone);
    for (int id = 100; id <= 104; ++id)
        o += objectRecord(0, id, (id - 100) * 250.0, (id - 100) * 100.0, 0.0, 0.01, 0.01, 0.01);
    writeFile(dir + QStringLiteral("/r.(i)"), i);
    writeFile(dir + QStringLiteral("/r.(e)"), e);
    writeFile(dir + QStringLiteral("/r.(o)"), o);
    writeFile(dir + QStringLiteral("/r.(c)"), QByteArray());
    writeFile(dir + QStringLiteral("/r.(p)"),
              projectFile(projectFileNames(QStringLiteral("r"), QStringLiteral("none.cam"))));
    return dir + QStringLiteral("/r.(p)");
}

QStringList selected(const SObjectPointList &points)
{
    QStringList names;
    for (const SObjectPoint &p : points)
        if (p.isSelected())
            names << QStringLiteral("%1%2").arg(QLatin1Char(p.isProjectionCentre() ? 'c' : 'p')).arg(p.id());
    names.sort();
    return names;
}

} // namespace

class TestSelectionRouting : public QObject {
    Q_OBJECT
    QTemporaryDir mDir;

private slots:
    void init() { Mx::CfgStore::clear(); }

    void searchTabSelectsInAllViewers()
    {
        qputenv("windir", mDir.path().toLocal8Bit());
        Varlomin window{QPixmap()};
        window.openProject(writeProject(mDir.path()));
        for (int plane = 0; plane < SGlobal::kPlaneCount; ++plane)
            QVERIFY(SObjectViewer::viewer(plane));

        SSearchWidget *search = window.searchWidget();
        search->findChild<QSpinBox *>(QStringLiteral("pointIdMin"))->setValue(101);
        search->findChild<QSpinBox *>(QStringLiteral("pointIdMax"))->setValue(103);
        search->findChild<QPushButton *>(QStringLiteral("select"))->click();
        QCOMPARE(selected(window.objectPoints()), (QStringList{"p101", "p102", "p103"}));

        // An image-id search in add mode enters the centre into every view's table.
        search->findChild<QGroupBox *>(QStringLiteral("group_1"))->setChecked(true);
        search->findChild<QAbstractButton *>(QStringLiteral("selectionMode_1"))->click();
        search->findChild<QSpinBox *>(QStringLiteral("imageIdMin"))->setValue(kImageId);
        search->findChild<QPushButton *>(QStringLiteral("select"))->click();
        QCOMPARE(selected(window.objectPoints()), (QStringList{"c5", "p101", "p102", "p103"}));
        for (int plane = 0; plane < SGlobal::kPlaneCount; ++plane)
            QVERIFY2(SObjectViewer::viewer(plane)->view()->canvas().isSelectedCentre(kImageId), planeName(plane));

        search->findChild<QPushButton *>(QStringLiteral("deselectAll"))->click();
        QVERIFY(selected(window.objectPoints()).isEmpty());
        for (int plane = 0; plane < SGlobal::kPlaneCount; ++plane)
            QCOMPARE(SObjectViewer::viewer(plane)->view()->canvas().selectedCentreCount(), 0);
    }

    void imageViewerRequestReplacesSelection()
    {
        qputenv("windir", mDir.path().toLocal8Bit());
        Varlomin window{QPixmap()};
        window.openProject(writeProject(mDir.path()));
        window.objectPoints().setSelected(*window.objectPoints().at(0), true);
        SImageViewer *viewer = window.createImageViewer(kImageId);
        QVERIFY(viewer);
        emit viewer->sigRequestSelection(SImageList::find(kImageId));
        QCOMPARE(selected(window.objectPoints()), (QStringList{"c5", "p102", "p103", "p104"}));
        QCOMPARE(window.objectPoints().selectedCount(), 4);
        for (int plane = 0; plane < SGlobal::kPlaneCount; ++plane)
            QVERIFY2(SObjectViewer::viewer(plane)->view()->canvas().isSelectedCentre(kImageId), planeName(plane));
    }
};

QTEST_MAIN(TestSelectionRouting)
#include "tst_selection_routing.moc"
