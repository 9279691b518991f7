// SPDX-License-Identifier: GPL-3.0-or-later
// Selection requests through the main window: the search tab's "S&elect" and the image
// viewer's request reach the views of all three open object viewers.
#include "app/Varlomin.h"
#include "framework/MxCfg.h"
#include "imageviewer/SImageViewer.h"
#include "objectviewer/SObjectView.h"
#include "objectviewer/SObjectViewer.h"
#include "search/SSearchWidget.h"
#include "tests/app/SelectionProject.h"
#include "tests/common/SelectedPoints.h"

#include <QGroupBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

using SelectionProject::kImageId;

class TestSelectionRouting : public QObject {
    Q_OBJECT
    QTemporaryDir mDir;

private slots:
    void init() { Mx::CfgStore::clear(); }

    void searchTabSelectsInAllViewers()
    {
        qputenv("windir", mDir.path().toLocal8Bit());
        Varlomin window{QPixmap()};
        window.openProject(SelectionProject::write(mDir.path()));
        for (int plane = 0; plane < SGlobal::kPlaneCount; ++plane)
            QVERIFY(SObjectViewer::viewer(plane));

        SSearchWidget *search = window.searchWidget();
        search->findChild<QSpinBox *>(QStringLiteral("pointIdMin"))->setValue(101);
        search->findChild<QSpinBox *>(QStringLiteral("pointIdMax"))->setValue(103);
        search->findChild<QPushButton *>(QStringLiteral("select"))->click();
        QCOMPARE(selectedNames(window.objectPoints()), (QStringList{"p101", "p102", "p103"}));

        // An image-id search in add mode enters the centre into every view's table.
        search->findChild<QGroupBox *>(QStringLiteral("group_1"))->setChecked(true);
        search->findChild<QAbstractButton *>(QStringLiteral("selectionMode_1"))->click();
        search->findChild<QSpinBox *>(QStringLiteral("imageIdMin"))->setValue(kImageId);
        search->findChild<QPushButton *>(QStringLiteral("select"))->click();
        QCOMPARE(selectedNames(window.objectPoints()), (QStringList{"c5", "p101", "p102", "p103"}));
        for (int plane = 0; plane < SGlobal::kPlaneCount; ++plane)
            QVERIFY2(SObjectViewer::viewer(plane)->view()->canvas().isSelectedCentre(kImageId), planeName(plane));

        search->findChild<QPushButton *>(QStringLiteral("deselectAll"))->click();
        QVERIFY(selectedNames(window.objectPoints()).isEmpty());
        for (int plane = 0; plane < SGlobal::kPlaneCount; ++plane)
            QCOMPARE(SObjectViewer::viewer(plane)->view()->canvas().selectedCentreCount(), 0);
    }

    void imageViewerRequestReplacesSelection()
    {
        qputenv("windir", mDir.path().toLocal8Bit());
        Varlomin window{QPixmap()};
        window.openProject(SelectionProject::write(mDir.path()));
        window.objectPoints().setSelected(*window.objectPoints().at(0), true);
        SImageViewer *viewer = window.createImageViewer(kImageId);
        QVERIFY(viewer);
        emit viewer->sigRequestSelection(SImageList::find(kImageId));
        QCOMPARE(selectedNames(window.objectPoints()), (QStringList{"c5", "p102", "p103", "p104"}));
        QCOMPARE(window.objectPoints().selectedCount(), 4);
        for (int plane = 0; plane < SGlobal::kPlaneCount; ++plane)
            QVERIFY2(SObjectViewer::viewer(plane)->view()->canvas().isSelectedCentre(kImageId), planeName(plane));
    }
};

QTEST_MAIN(TestSelectionRouting)
#include "tst_selection_routing.moc"
