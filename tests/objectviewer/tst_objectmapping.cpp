// The canvas size, zoom factor and point mapping of the object view, per plane.
#include "SObjectMapping.h"
#include "ObjectBlock.h"

#include <QtTest>

class TestObjectMapping : public QObject {
    Q_OBJECT

private slots:
    void rounding_data();
    void rounding();
    void canvasPerPlane_data();
    void canvasPerPlane();
    void zoomScalesCanvas();
    void withoutDataKeepsZoomFactor();
    void singleSpotBlock();
};

void TestObjectMapping::rounding_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("expected");
    QTest::newRow("half up") << 2.5 << 3;
    QTest::newRow("negative half up") << -2.5 << -2;
    QTest::newRow("below half") << 0.49 << 0;
    QTest::newRow("above half") << 1.51 << 2;
    QTest::newRow("negative") << -1.6 << -2;
    QTest::newRow("saturates") << 1e12 << INT_MAX;
}

void TestObjectMapping::rounding()
{
    QFETCH(double, value);
    QFETCH(int, expected);
    QCOMPARE(SObjectMapping::rnd(value), expected);
}

void TestObjectMapping::canvasPerPlane_data()
{
    QTest::addColumn<int>("plane");
    QTest::addColumn<QSize>("canvas");
    QTest::addColumn<float>("zoomFactor");
    QTest::addColumn<QPoint>("minCorner"); // (hmin, vmin) on screen: bottom left
    QTest::addColumn<QPoint>("maxCorner"); // (hmax, vmax): top right
    // X 0..2000, Y 0..1000, Z 0..400; the longer side is 500 pixels, margins of 40.
    QTest::newRow("XY") << 0 << QSize(580, 330) << 0.25f << QPoint(40, 290) << QPoint(540, 40);
    QTest::newRow("XZ") << 1 << QSize(580, 180) << 0.25f << QPoint(40, 140) << QPoint(540, 40);
    QTest::newRow("YZ") << 2 << QSize(580, 280) << 0.5f << QPoint(40, 240) << QPoint(540, 40);
}

void TestObjectMapping::canvasPerPlane()
{
    QFETCH(int, plane);
    QFETCH(QSize, canvas);
    QFETCH(float, zoomFactor);
    QFETCH(QPoint, minCorner);
    QFETCH(QPoint, maxCorner);
    ObjectBlock block;
    const SObjectMapping m = SObjectMapping::forList(&block.points, plane, 100, 1.0f);
    QCOMPARE(m.canvasSize(), canvas);
    QCOMPARE(m.zoomFactor(), zoomFactor);
    const SObjectPoint &low = *block.points.at(0);
    const SObjectPoint &high = *block.points.at(1);
    QCOMPARE(m.map(low.horizontal(plane), low.vertical(plane)), minCorner);
    QCOMPARE(m.map(high.horizontal(plane), high.vertical(plane)), maxCorner);
}

void TestObjectMapping::zoomScalesCanvas()
{
    ObjectBlock block;
    // 250 % of 500 is 1250 pixels for X; Y is half of it, 625.
    const SObjectMapping m = SObjectMapping::forList(&block.points, 0, 250, 1.0f);
    QCOMPARE(m.canvasSize(), QSize(1250 + 80, 625 + 80));
    QCOMPARE(m.zoomFactor(), 0.625f);
    // A point at X 1001 lands at 1001 * 0.625 + 40 = 665.625 -> 666.
    QCOMPARE(m.map(1001.0f, 1000.0f), QPoint(666, 40));
    // Halves go up: X 4 -> 2.5 + 40 = 42.5 -> 43.
    QCOMPARE(m.map(4.0f, 0.0f).x(), 43);
}

void TestObjectMapping::withoutDataKeepsZoomFactor()
{
    const SObjectMapping m = SObjectMapping::forList(nullptr, 0, 100, 0.75f);
    QCOMPARE(m.canvasSize(), QSize(580, 580));
    QCOMPARE(m.zoomFactor(), 0.75f);
    SObjectPointList empty;
    QCOMPARE(SObjectMapping::forList(&empty, 1, 50, 2.0f).canvasSize(), QSize(330, 330));
}

void TestObjectMapping::singleSpotBlock()
{
    ObjectBlock block(false);
    block.add(7, 0, 5.0f, 5.0f, 5.0f);
    const SObjectMapping m = SObjectMapping::forList(&block.points, 0, 100, 1.0f);
    QCOMPARE(m.canvasSize(), QSize(580, 580));
    QVERIFY(std::isfinite(m.zoomFactor()));
    QCOMPARE(m.map(5.0f, 5.0f), QPoint(290, 290)); // the spot in the middle of the drawing area
}

QTEST_GUILESS_MAIN(TestObjectMapping)
#include "tst_objectmapping.moc"
