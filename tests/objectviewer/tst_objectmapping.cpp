// SPDX-License-Identifier: GPL-3.0-or-later
// The canvas size, zoom factor and point mapping of the object view, per plane.
#include "objectviewer/SObjectMapping.h"
#include "tests/objectviewer/ObjectBlock.h"

#include <QtTest>

class TestObjectMapping : public QObject {
    Q_OBJECT

private slots:
    void canvasPerPlane_data()
    {
        QTest::addColumn<int>("plane");
        QTest::addColumn<int>("zoom");
        QTest::addColumn<QSize>("canvas");
        QTest::addColumn<float>("zoomFactor");
        QTest::addColumn<QPoint>("minCorner"); // (hmin, vmin) on screen: bottom left
        QTest::addColumn<QPoint>("maxCorner"); // (hmax, vmax): top right
        // X 0..2000, Y 0..1000, Z 0..400; the longer side is 500 pixels, margins of 40.
        QTest::newRow("XY") << 0 << 100 << QSize(580, 330) << 0.25f << QPoint(40, 290) << QPoint(540, 40);
        QTest::newRow("XZ") << 1 << 100 << QSize(580, 180) << 0.25f << QPoint(40, 140) << QPoint(540, 40);
        QTest::newRow("YZ") << 2 << 100 << QSize(580, 280) << 0.5f << QPoint(40, 240) << QPoint(540, 40);
        // 250 % of 500 is 1250 pixels for X; Y is half of it, 625.
        QTest::newRow("XY 250 %") << 0 << 250 << QSize(1330, 705) << 0.625f << QPoint(40, 665) << QPoint(1290, 40);
    }
    void canvasPerPlane()
    {
        QFETCH(int, plane);
        QFETCH(int, zoom);
        QFETCH(QSize, canvas);
        QFETCH(float, zoomFactor);
        QFETCH(QPoint, minCorner);
        QFETCH(QPoint, maxCorner);
        ObjectBlock block;
        const SObjectMapping m = SObjectMapping::forList(&block.points, plane, zoom, 1.0f);
        QCOMPARE(m.canvasSize(), canvas);
        QCOMPARE(m.zoomFactor(), zoomFactor);
        const SObjectPoint &low = *block.points.at(0);
        const SObjectPoint &high = *block.points.at(1);
        QCOMPARE(m.map(low.horizontal(plane), low.vertical(plane)), minCorner);
        QCOMPARE(m.map(high.horizontal(plane), high.vertical(plane)), maxCorner);
        // Halves go up: h = 2 / zoom factor lands 0.5 past a whole pixel.
        QCOMPARE(m.map(2.0f / zoomFactor, low.vertical(plane)).x(), 40 + 2);
        QCOMPARE(m.map(2.0f / zoomFactor + 0.5f / zoomFactor, low.vertical(plane)).x(), 40 + 3);
    }

    void withoutUsableExtent()
    {
        // Without points the drawing area is square and the zoom factor stays as it was.
        const SObjectMapping none = SObjectMapping::forList(nullptr, 0, 100, 0.75f);
        QCOMPARE(none.canvasSize(), QSize(580, 580));
        QCOMPARE(none.zoomFactor(), 0.75f);
        // One spot has no scale of its own: it lands in the middle of the drawing area.
        ObjectBlock block(false);
        block.add(7, 0, 5.0f, 5.0f, 5.0f);
        const SObjectMapping spot = SObjectMapping::forList(&block.points, 0, 100, 1.0f);
        QCOMPARE(spot.canvasSize(), QSize(580, 580));
        QCOMPARE(spot.map(5.0f, 5.0f), QPoint(290, 290));
    }
};

QTEST_GUILESS_MAIN(TestObjectMapping)
#include "tst_objectmapping.moc"
