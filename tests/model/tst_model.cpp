// SPDX-License-Identifier: GPL-3.0-or-later
// The data model: point-code indices, images and their point index, image list, object points.
#include "framework/MuMath.h"
#include "misc/SGlobal.h"
#include "misc/SImageData.h"
#include "misc/SObjectPoint.h"

#include <QtTest>

#include <algorithm>

class TestModel : public QObject {
    Q_OBJECT
private slots:
    void init() { SImage::clearPointIndex(); }

    void codeIndex_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("index");
        QTest::newRow("lonely") << -1 << 6;
        QTest::newRow("vertical") << 200 << 1;
        QTest::newRow("horizontal") << 300 << 2;
        QTest::newRow("full") << 500 << 3;
        QTest::newRow("centre") << 900 << 4;
        QTest::newRow("observed centre") << 901 << 5;
        QTest::newRow("zero") << 0 << 0;
        QTest::newRow("999") << 999 << 0;
    }
    void codeIndex()
    {
        QFETCH(int, code);
        QFETCH(int, index);
        QCOMPARE(pointCodeIndex(code), index);
    }

    void duplicatePointReplacesButCountsBoth()
    {
        SImage image;
        QVERIFY(image.addImagePoint(7, false, -10.0f, 20.0f, 1.0f, 1.0f, 1.0f));
        QVERIFY(image.addImagePoint(3, true, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f));
        QVERIFY(image.addImagePoint(7, true, 30.0f, -40.0f, 0.5f, 0.0f, 2.0f));

        QCOMPARE(image.numberOfPoints(), 2);
        const SImagePoint *p = image.imagePoint(7);
        QVERIFY(p);
        QCOMPARE(p->x(), 30.0f);
        QVERIFY(p->isActive());
        QCOMPARE(p->code(), -1);
        // extent and eliminated count remember the replaced point too
        QCOMPARE(image.xmin(), -10.0f);
        QCOMPARE(image.xmax(), 30.0f);
        QCOMPARE(image.ymin(), -40.0f);
        QCOMPARE(image.ymax(), 20.0f);
        QCOMPARE(image.eliminatedCount(), 1);
        QCOMPARE(SImage::numberOfLinks(7), 1);
    }

    void largestResidualStrictlyGreater()
    {
        SImage image;
        QCOMPARE(image.largestResidual(), Mu::Math::MIN_FLT);
        image.addImagePoint(1, true, 0, 0, 0.0f, 0.0f, 1);
        QCOMPARE(image.largestResidualId(), 1); // 0 is greater than the initial value
        QCOMPARE(image.largestResidual(), 0.0f);
        image.addImagePoint(2, true, 0, 0, 3.0f, 4.0f, 1);
        QCOMPARE(image.largestResidualId(), 2);
        QCOMPARE(image.largestResidual(), 5.0f);
        image.addImagePoint(3, true, 0, 0, -4.0f, -3.0f, 1); // equal length: not taken
        QCOMPARE(image.largestResidualId(), 2);
        image.addImagePoint(4, false, 0, 0, 100.0f, 0.0f, 1); // eliminated: plays no part
        QCOMPARE(image.largestResidualId(), 2);
        image.addImagePoint(5, true, 0, 0, 6.0f, 0.0f, 1);
        QCOMPARE(image.largestResidualId(), 5);
        QCOMPARE(image.largestResidual(), 6.0f);
    }

    void onlyEliminatedPoints()
    {
        SImageList list;
        auto *image = new SImage;
        image->setId(41);
        image->addImagePoint(1, false, 1, 1, 2, 2, 1);
        image->addImagePoint(2, false, 1, 1, 2, 2, 1);
        list.append(image);
        QCOMPARE(image->largestResidualId(), -1);
        QCOMPARE(image->eliminatedCount(), image->numberOfPoints());
        QCOMPARE(SImage::activePointCount(41), 0);
        QCOMPARE(SImage::activePointCount(42), 0);
    }

    void deletedImageLeavesIndex()
    {
        SImage kept;
        kept.addImagePoint(7, true, 0, 0, 0, 0, 1);
        {
            SImage gone;
            gone.addImagePoint(7, true, 0, 0, 0, 0, 1);
            gone.addImagePoint(9, true, 0, 0, 0, 0, 1);
            QCOMPARE(SImage::numberOfLinks(7), 2);
        }
        QCOMPARE(SImage::numberOfLinks(7), 1);
        QCOMPARE(SImage::imagesOfPoint(7).at(0), &kept);
        QCOMPARE(SImage::numberOfLinks(9), 0);
    }

    void imageListFindSortClear()
    {
        SImageList list;
        list.append(nullptr);
        QCOMPARE(list.count(), 0);
        auto make = [](int id) {
            auto *image = new SImage;
            image->setId(id);
            return image;
        };
        SImage *first5 = make(5);
        SImage *second5 = make(5);
        list.append(make(9));
        list.append(first5);
        list.append(make(2));
        list.append(second5);
        QCOMPARE(list.count(), 4);
        QCOMPARE(SImageList::find(5), second5);
        QVERIFY(SImageList::contains(9));
        QVERIFY(!SImageList::contains(3));

        list.sort();
        QList<int> ids;
        for (SImage *image : list)
            ids << image->id();
        QCOMPARE(ids, (QList<int>{2, 5, 5, 9}));
        QCOMPARE(list.at(1), first5); // equal ids keep their order

        list.clear();
        QCOMPARE(list.count(), 0);
        QVERIFY(!SImageList::find(5));
    }

    void rejectionStates_data()
    {
        QTest::addColumn<int>("plane");
        QTest::addColumn<int>("state");
        QTest::addColumn<bool>("rejectedHasObservation");
        QTest::addColumn<bool>("horizontalRejected");
        // X observed and rejected, Y observed and accepted, Z without observation
        QTest::newRow("XY") << 0 << 2 << true << true;
        QTest::newRow("XZ") << 1 << 1 << false << true;
        QTest::newRow("YZ") << 2 << 2 << false << false;
        QTest::newRow("3") << 3 << -1 << false << false;
    }
    void rejectionStates()
    {
        QFETCH(int, plane);
        QFETCH(int, state);
        QFETCH(bool, rejectedHasObservation);
        QFETCH(bool, horizontalRejected);
        SObjectPoint p(7, 300, 0, 0, 0, 0, 0, 0);
        p.setObservation(SObjectPoint::AX_X, 10.0f, 0.1f, 0.0f);
        p.setAccepted(SObjectPoint::AX_X, false);
        p.setObservation(SObjectPoint::AX_Y, 20.0f, 0.2f, 0.0f);
        p.setAccepted(SObjectPoint::AX_Y, true);
        QCOMPARE(p.rejectionState(plane), state);
        QCOMPARE(p.rejectedAxisHasObservation(plane), rejectedHasObservation);
        QCOMPARE(p.horizontalRejected(plane), horizontalRejected);

        SObjectPoint none(8, 0, 0, 0, 0, 0, 0, 0);
        QCOMPARE(none.rejectionState(0), 1);
    }

    void objectListBoxFindSelection()
    {
        SObjectPointList list;
        const float M = Mu::Math::MAX_FLT;
        auto checkNew = [&]() {
            QCOMPARE(list.Xmin(), M);
            QCOMPARE(list.Zmin(), M);
            QCOMPARE(list.Xmax(), -M);
            QCOMPARE(list.Zmax(), -M);
            QCOMPARE(list.count(), 0);
            QCOMPARE(list.selectedCount(), 0);
        };
        checkNew();
        list.append(SObjectPoint(12, 900, 1, 2, 3, 0, 0, 0));
        QCOMPARE(list.Xmin(), 1.0f);
        QCOMPARE(list.Zmax(), 3.0f);
        list.append(SObjectPoint(5, 0, -4, 8, 0, 0, 0, 0));
        list.append(SObjectPoint(12, 200, 9, 9, 9, 0, 0, 0));
        QCOMPARE(list.find(12)->code(), 900); // the earlier point wins
        QVERIFY(!list.find(4711));
        QCOMPARE(list.horizontalMin(2), 2.0f);
        QCOMPARE(list.verticalMax(1), 9.0f);
        QCOMPARE(list.horizontalExtent(0), 13.0f);
        QCOMPARE(list.horizontalExtent(3), 0.0f);

        list.setSelected(*list.at(1), true);
        list.setSelectedCount(1);
        list.deselectAll();
        QCOMPARE(list.selectedCount(), 0);
        QVERIFY(!list.at(1)->isSelected());

        list.clear();
        checkNew();
        QVERIFY(!list.find(12));
    }

    // The list keeps the number of set flags through every change, so that an empty selection
    // needs no pass: checked against a count of the flags after each step.
    void flaggedCountFollowsEveryChange()
    {
        const auto flagsSet = [](const SObjectPointList &list) {
            return int(std::count_if(list.begin(), list.end(), [](const SObjectPoint &p) { return p.isSelected(); }));
        };
        const auto fill = [](SObjectPointList &list, int first, int n) {
            for (int id = first; id < first + n; ++id)
                list.append(SObjectPoint(id, id % 2 ? 900 : 0, float(id), 0, 0, 0, 0, 0));
        };
        SObjectPointList list, other;
        fill(list, 1, 6);
        fill(other, 100, 3);
        list.setSelected(*list.at(1), true);
        list.setSelected(*list.at(1), true);
        list.addToSelection(*list.at(4));
        other.setSelected(*other.at(0), true);
        QCOMPARE(list.flaggedCount(), flagsSet(list));
        list.append(*list.at(4)); // a copy keeps its flag
        QCOMPARE(list.flaggedCount(), flagsSet(list));
        list.appendAll(other); // the shorter list moves
        other.appendAll(list);
        QCOMPARE(list.flaggedCount(), 0);
        QCOMPARE(other.flaggedCount(), flagsSet(other));
        QCOMPARE(other.flaggedCount(), 4);
        other.keepFirst(7);
        QCOMPARE(other.flaggedCount(), flagsSet(other));
        other.swap(list);
        QCOMPARE(list.flaggedCount(), flagsSet(list));
        QCOMPARE(other.flaggedCount(), 0);
        std::vector<SObjectPoint *> centres;
        list.selectIds({2, 4}, {3}, centres);
        QCOMPARE(list.flaggedCount(), flagsSet(list));
        QCOMPARE(list.flaggedCount(), 3);
        list.deselectAll();
        QCOMPARE(list.flaggedCount(), 0);
        QCOMPARE(flagsSet(list), 0);
        list.setSelected(*list.at(0), true);
        list.clear();
        QCOMPARE(list.flaggedCount(), 0);
    }

    // A point keeps its observation block outside itself: copies, moves (a vector growing) and
    // assignments carry it along, and a point without one reads none.
    void observationTravelsWithPoint()
    {
        std::vector<SObjectPoint> points;
        for (int id = 1; id <= 3; ++id) {
            points.emplace_back(id, 0, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f);
            points.back().setObservation(SObjectPoint::AX_Y, float(10 * id), 0.5f, 0.0f);
        }
        points.emplace_back(4, 0, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f);
        const SObjectPoint copy = points[1];
        SObjectPoint assigned = points[3];
        assigned = std::move(points[2]);
        for (int id = 1; id <= 2; ++id)
            QCOMPARE(points[size_t(id - 1)].observation().Y, float(10 * id));
        QCOMPARE(copy.observation().Y, 20.0f);
        QCOMPARE(assigned.observation().Y, 30.0f);
        QVERIFY(!points[3].hasObservationY());
    }

    // Tables freed so that regions empty down to their last table while others are still filled:
    // no live table may be handed out again or lose its memory.
    void blockTablesKeepTheirContents()
    {
        using Table = std::vector<int, SBlockAllocator<int>>;
        constexpr size_t kMegabyte = 1 << 18; // ints
        std::vector<Table> tables;
        for (int i = 0; i < 100; ++i)
            tables.emplace_back(i % 40 == 39 ? 9 * kMegabyte : i % 2 ? kMegabyte : 100 + 1000 * size_t(i), i);
        for (size_t i = 0; i < tables.size(); ++i)
            if (i != 5 && i < 90)
                Table().swap(tables[i]);
        for (int i = 100; i < 150; ++i)
            tables.emplace_back(kMegabyte / 2, i);
        for (size_t i = 0; i < tables.size(); ++i)
            QVERIFY(std::all_of(tables[i].begin(), tables[i].end(), [i](int v) { return v == int(i); }));
    }
};

QTEST_GUILESS_MAIN(TestModel)
#include "tst_model.moc"
