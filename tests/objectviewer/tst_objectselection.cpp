// SPDX-License-Identifier: GPL-3.0-or-later
// Selecting points by search criteria and by image: every search mode with its range kinds,
// erase and add, the blunder test, the table of selected centres, the selected count, the
// marks painted for the result, and the class-wide operations over all open viewers.
#include "framework/Mu.h"
#include "framework/MxCfg.h"
#include "misc/SException.h"
#include "objectviewer/SObjectView.h"
#include "objectviewer/SObjectViewer.h"
#include "search/SSearchRequest.h"
#include "tests/common/MessageCapture.h"
#include "tests/common/SelectedPoints.h"
#include "tests/objectviewer/ObjectBlock.h"

#include <QCoreApplication>
#include <QtTest>

#include <algorithm>

using SGlobal::SearchModeE;
using SGlobal::SelectionModeE;

namespace {

SObjectPoint *addWithSigmas(ObjectBlock &block, int id, int code, float x, float y, float sx, float sy, float sz)
{
    return block.points.append(SObjectPoint(id, code, x, y, 0.0f, sx, sy, sz));
}

// Points for the search modes. Links: p100 and p200 two each, p1105 and p250 one; centres
// c7 and c8 have two active points, c150 one. Centre 150 shares its id with point 150.
void buildSearchBlock(ObjectBlock &block)
{
    block.points.setSelected(*block.points.at(0), false);
    block.add(100, 0, 100.0f, 100.0f, 0.0f, 0.05f)->setObservation(SObjectPoint::AX_X, 100.0f, 1.0f, 0.0f);
    block.add(150, 0, 150.0f, 100.0f, 0.0f, 0.2f)->setActive(false);
    block.add(200, 0, 200.0f, 100.0f, 0.0f, 0.3f);
    addWithSigmas(block, 1105, 0, 300.0f, 100.0f, 0.0f, 0.0f, 0.4f);
    block.add(250, SGlobal::kCodeVerticalControl, 400.0f, 100.0f, 0.0f, 0.1f)
        ->setObservation(SObjectPoint::AX_Z, 0.0f, -0.02f, 0.0f);
    SObjectPoint *p260 = block.add(260, SGlobal::kCodeHorizontalControl, 500.0f, 100.0f, 0.0f, 0.1f);
    p260->setObservation(SObjectPoint::AX_X, 500.0f, 0.005f, 0.0f);
    p260->setObservation(SObjectPoint::AX_Y, 100.0f, 0.5f, 0.0f);
    SObjectPoint *p270 = block.add(270, SGlobal::kCodeFullControl, 600.0f, 100.0f, 0.0f, 0.1f);
    p270->setObservation(SObjectPoint::AX_X, 600.0f, 0.3f, 0.0f);
    p270->setObservation(SObjectPoint::AX_Y, 100.0f, 0.4f, 0.0f);
    p270->setObservation(SObjectPoint::AX_Z, 0.0f, 0.5f, 0.0f);
    block.addImage(7, 700.0f, 800.0f, 0.0f, {{100, true}, {200, true}, {250, false}});
    block.addImage(8, 800.0f, 800.0f, 0.0f, {{100, true}, {1105, true}});
    block.points.at(block.points.count() - 1)->setCode(SGlobal::kCodeObservedProjectionCentre);
    block.addImage(150, 900.0f, 800.0f, 0.0f, {{200, true}});
}

void flushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

} // namespace

class TestObjectSelection : public QObject {
    Q_OBJECT

private slots:
    void cleanup()
    {
        Mu::setSink({});
        SObjectViewer::closeAll();
        flushDeletes();
    }

    void searchModes_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("par1");
        QTest::addColumn<QString>("par2");
        QTest::addColumn<QStringList>("expected");
        const QString none; // a bound the search tab leaves out

        QTest::newRow("point id both") << int(SGlobal::SM_PointId) << "100"
                                       << "200" << QStringList{"p100", "p150", "p200"};
        QTest::newRow("point id no bounds: at least 0")
            << int(SGlobal::SM_PointId) << none << none
            << QStringList{"p1", "p100", "p1105", "p150", "p2", "p200", "p250", "p260", "p270"};
        QTest::newRow("image id min only") << int(SGlobal::SM_ImageId) << "8" << none << QStringList{"c150", "c8"};
        QTest::newRow("links min only") << int(SGlobal::SM_Links) << "2" << none
                                        << QStringList{"c7", "c8", "p100", "p200"};
        // Axes without observation count as residual 0; tie points are never tested.
        QTest::newRow("residuals max only")
            << int(SGlobal::SM_Residuals) << none << "0.01" << QStringList{"c150", "c7", "c8", "p250", "p260"};
        QTest::newRow("residuals min only")
            << int(SGlobal::SM_Residuals) << "0.45" << none << QStringList{"p260", "p270"};
        // Point 150 has sigma 0.2 but is not active.
        QTest::newRow("sigmas min only") << int(SGlobal::SM_Sigmas) << "0.15" << none << QStringList{"p1105", "p200"};
        QTest::newRow("sigmas both, inactive skipped") << int(SGlobal::SM_Sigmas) << "0.15"
                                                       << "0.25" << QStringList{};
        QTest::newRow("point code centres")
            << int(SGlobal::SM_PointCode) << "0000110" << none << QStringList{"c150", "c7", "c8"};
        QTest::newRow("point code short mask")
            << int(SGlobal::SM_PointCode) << "1" << none << QStringList{"p1", "p100", "p1105", "p150", "p2", "p200"};
    }
    void searchModes()
    {
        QFETCH(int, mode);
        QFETCH(QString, par1);
        QFETCH(QString, par2);
        QFETCH(QStringList, expected);
        ObjectBlock block;
        buildSearchBlock(block);
        SObjectView view(0);
        view.setObjectPoints(&block.points, true);
        view.canvas().selectPoints(SSearchRequest(SGlobal::SL_Erase, SearchModeE(mode), par1, par2, false));
        QCOMPARE(selectedNames(block.points), expected);
    }

    void eraseVersusAdd_data()
    {
        QTest::addColumn<int>("selectionMode");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<bool>("centre7Kept");
        QTest::newRow("erase") << int(SGlobal::SL_Erase) << QStringList{"p100", "p150", "p200"} << false;
        QTest::newRow("add") << int(SGlobal::SL_Add) << QStringList{"c7", "p1", "p100", "p150", "p200"} << true;
    }
    void eraseVersusAdd()
    {
        QFETCH(int, selectionMode);
        QFETCH(QStringList, expected);
        QFETCH(bool, centre7Kept);
        ObjectBlock block;
        buildSearchBlock(block);
        SObjectView view(0);
        view.setObjectPoints(&block.points, true);
        const SObjectMapping &m = view.canvas().mapping();
        const QPoint p1 = m.map(0.0f, 0.0f);
        const QPoint c7 = m.map(700.0f, 800.0f);
        view.canvas().selectPointsInRect(QRect(p1, p1), false);
        view.canvas().selectPointsInRect(QRect(c7, c7), true);
        QCOMPARE(selectedNames(block.points), (QStringList{"c7", "p1"}));
        QVERIFY(view.canvas().isSelectedCentre(7));

        // Centre 150 lies in the id range but centres never pass the point-id test.
        view.canvas().selectPoints(SSearchRequest(SelectionModeE(selectionMode), SGlobal::SM_PointId,
                                                  QStringLiteral("100"), QStringLiteral("200"), false));
        QCOMPARE(selectedNames(block.points), expected);
        QCOMPARE(view.canvas().isSelectedCentre(7), centre7Kept);
        QVERIFY(!view.canvas().isSelectedCentre(150));
    }

    void blunderRules()
    {
        ObjectBlock block;
        block.add(10, 0, 10.0f, 10.0f, 0.0f)->setActive(false); // rule 1: not active
        block.add(11, 0, 11.0f, 10.0f, 0.0f);                   // rule 3: an inactive image point in image 20
        block.add(12, 0, 12.0f, 10.0f, 0.0f);                   // measured, all image points active
        block.add(13, 0, 13.0f, 10.0f, 0.0f);                   // measured by no image
        block.addImage(20, 500.0f, 500.0f, 0.0f, {{11, false}, {12, true}}); // rule 2: eliminated points
        block.addImage(21, 600.0f, 500.0f, 0.0f, {{11, true}, {12, true}});
        block.addImage(22, 700.0f, 500.0f, 0.0f, {{12, true}});
        block.points.at(block.points.count() - 1)->setActive(false); // rule 1 for a centre
        SObjectView view(0);
        view.setObjectPoints(&block.points, false);
        view.canvas().selectPoints(SSearchRequest(SGlobal::SL_Erase, SGlobal::SM_Blunder, QString(), QString(), false));
        QCOMPARE(selectedNames(block.points), (QStringList{"c20", "c22", "p10", "p11"}));
        QVERIFY(view.canvas().isSelectedCentre(20));
        QVERIFY(view.canvas().isSelectedCentre(22));
        QVERIFY(!view.canvas().isSelectedCentre(21));
    }

    // The eliminated image points are looked up in the point index: after every change of the
    // images a search must see the new state, not the one of the previous search.
    void blunderFollowsModelChanges()
    {
        const auto blunders = [](ObjectBlock &block) {
            SObjectView view(0);
            view.setObjectPoints(&block.points, false);
            view.canvas().selectPoints(
                SSearchRequest(SGlobal::SL_Erase, SGlobal::SM_Blunder, QString(), QString(), false));
            return selectedNames(block.points);
        };
        {
            ObjectBlock block;
            block.add(11, 0, 11.0f, 10.0f, 0.0f);
            block.add(12, 0, 12.0f, 10.0f, 0.0f);
            SImage *image = block.addImage(20, 500.0f, 500.0f, 0.0f, {{11, false}});
            SImage *other = block.addImage(21, 600.0f, 500.0f, 0.0f, {{11, true}, {12, true}});
            QCOMPARE(blunders(block), (QStringList{"c20", "p11"}));

            image->addImagePoint(11, true, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f); // replaces the eliminated one
            other->addImagePoint(12, false, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f);
            QCOMPARE(blunders(block), (QStringList{"c20", "c21", "p12"}));
        }
        // Another project after the first was closed: its ids start from nothing eliminated.
        ObjectBlock block;
        block.add(11, 0, 11.0f, 10.0f, 0.0f);
        block.add(12, 0, 12.0f, 10.0f, 0.0f);
        block.addImage(30, 500.0f, 500.0f, 0.0f, {{11, true}, {12, true}});
        QCOMPARE(blunders(block), QStringList{});
    }

    void imageSelection()
    {
        ObjectBlock block;
        buildSearchBlock(block);
        // A second centre under id 7: only the first one in the list is taken.
        SObjectPoint *secondSeven = block.add(7, SGlobal::kCodeProjectionCentre, 1000.0f, 900.0f, 0.0f);
        SObjectView view(0);
        view.setObjectPoints(&block.points, true);
        view.canvas().selectPointsInRect(QRect(QPoint(0, 0), view.canvas().canvasSize()), false);
        view.selectImagePoints(SImageList::find(7), true);
        // Point 250's image point is not active; it is selected all the same.
        QCOMPARE(selectedNames(block.points), (QStringList{"c7", "p100", "p200", "p250"}));
        QVERIFY(!secondSeven->isSelected());
        QCOMPARE(block.points.selectedCount(), 4);
        QCOMPARE(view.canvas().selectedCentreCount(), 1);
        // Without erase the new points join and are counted once.
        view.selectImagePoints(SImageList::find(8), false);
        QCOMPARE(selectedNames(block.points), (QStringList{"c7", "c8", "p100", "p1105", "p200", "p250"}));
        QCOMPARE(block.points.selectedCount(), 6);
    }
};

QTEST_MAIN(TestObjectSelection)
#include "tst_objectselection.moc"
