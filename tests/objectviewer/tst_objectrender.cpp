// SPDX-License-Identifier: GPL-3.0-or-later
// A view of a block large enough to paint on a worker thread shows, once finished, exactly the
// picture the canvas paints at once, and the picture of the newest state, never an older one.
// A picture painted in bands on several threads is the one a single painter paints.
#include "objectviewer/SObjectCanvas.h"
#include "objectviewer/SObjectView.h"
#include "tests/objectviewer/ObjectBlock.h"

#include <QPainter>
#include <QtTest>

#include <thread>

namespace {

constexpr int kColumns = 60, kRows = 30;
constexpr int kImages = 4;

// Points on a grid over the block with residuals, and images that measure each a share of
// them, so that ids, link counts, vectors and connections all have something to draw.
void fillBlock(ObjectBlock &block)
{
    std::vector<std::vector<std::pair<int, bool>>> measured(kImages);
    for (int row = 0; row < kRows; ++row)
        for (int column = 0; column < kColumns; ++column) {
            const int id = 1000 + row * kColumns + column;
            const float x = ObjectBlock::kWidth * float(column) / kColumns;
            const float y = ObjectBlock::kHeight * float(row) / kRows;
            SObjectPoint *point = block.add(id, 0, x, y, 0.0f, 0.5f);
            point->setObservation(SObjectPoint::AX_X, x, float(column % 7) - 3.0f, 0.0f);
            point->setObservation(SObjectPoint::AX_Y, y, float(row % 5) - 2.0f, 0.0f);
            measured[size_t(id % kImages)].emplace_back(id, id % 11 != 0);
        }
    for (int image = 0; image < kImages; ++image)
        block.addImage(10 + image, 400.0f + 400.0f * float(image), 500.0f, 0.0f, measured[size_t(image)]);
}

struct RenderFixture {
    ObjectBlock block;
    SObjectView view{SGlobal::kPlaneXY};

    RenderFixture()
    {
        fillBlock(block);
        view.setAsyncPointCount(kColumns * kRows / 2);
        view.resize(320, 220); // smaller than the canvas at 200 %: the view scrolls
        view.setObjectPoints(&block.points, true);
        view.slotZoom(200);
        view.scrollTo(QPoint(150, 120));
        view.canvas().selectPointsInRect(QRect(QPoint(0, 0), view.canvas().canvasSize() / 2), false);
        view.canvas().selectImagePoints(block.images.at(1), false);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
    }

    // The visible area as the canvas paints it at once.
    QImage paintedAtOnce()
    {
        const QRect area(view.scrollPosition(), view.viewport()->size());
        QImage image(area.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::magenta);
        QPainter painter(&image);
        painter.translate(-area.topLeft());
        view.canvas().paintCanvas(painter, area);
        return image;
    }

    QImage shown() { return view.viewport()->grab().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied); }
};

enum ToggleE { T_Ids = 1, T_LinkCounts = 2, T_Connections = 4, T_Blunders = 8, T_Vectors = 16, T_Values = 32 };

void applyToggles(SObjectCanvas &canvas, int toggles)
{
    canvas.setPointIdsOn(toggles & T_Ids);
    canvas.setLinkCountOn(toggles & T_LinkCounts);
    canvas.setConnectionsOn(toggles & T_Connections);
    canvas.setBlundersOn(toggles & T_Blunders);
    canvas.setResidualsOn(VM_Graphical, toggles & T_Vectors);
    canvas.setResidualsOn(VM_Textual, toggles & T_Values);
}

void applyToggles(SObjectView &view, int toggles)
{
    if (toggles & T_Ids)
        view.slotTogglePointIds();
    if (toggles & T_LinkCounts)
        view.slotToggleShowLinkCount();
    if (toggles & T_Connections)
        view.slotToggleShowConnections();
    if (toggles & T_Blunders)
        view.slotToggleBlunders();
    if (toggles & T_Vectors)
        view.slotToggleResiduals(VM_Graphical);
    if (toggles & T_Values)
        view.slotToggleResiduals(VM_Textual);
}

} // namespace

class TestObjectRender : public QObject {
    Q_OBJECT

private slots:
    void finishedPictureEqualsPaint_data();
    void finishedPictureEqualsPaint();
    void newerStateSupersedesOlder();
    void bandsPaintAsOnePainter_data();
    void bandsPaintAsOnePainter();
};

void TestObjectRender::finishedPictureEqualsPaint_data()
{
    QTest::addColumn<int>("toggles");
    QTest::newRow("marks") << 0;
    QTest::newRow("ids and link counts") << (T_Ids | T_LinkCounts);
    QTest::newRow("connections and blunders") << (T_Connections | T_Blunders);
    QTest::newRow("residual vectors and values") << (T_Vectors | T_Values);
}

void TestObjectRender::finishedPictureEqualsPaint()
{
    QFETCH(int, toggles);
    RenderFixture f;
    QVERIFY(f.view.paintsAsync());
    applyToggles(f.view, toggles);
    f.view.viewport()->repaint();
    QTRY_VERIFY(f.view.showsFinishedPicture());
    QCOMPARE(f.shown(), f.paintedAtOnce());
}

void TestObjectRender::newerStateSupersedesOlder()
{
    RenderFixture f;
    auto *renderer = f.view.findChild<SObjectRenderer *>();
    QVERIFY(renderer);
    f.view.viewport()->repaint(); // asks for the picture without ids
    while (!renderer->hasFinishedPicture())
        std::this_thread::yield(); // finished; its delivery waits in the event queue
    f.view.slotTogglePointIds();
    f.view.slotZoom(300);
    f.view.viewport()->repaint(); // asks for the picture with ids, whose paint places the points
    // The selection changes while that paint runs: it must not read the flags, and it places
    // the points too (its rectangle leaves out a corner pixel of the canvas, so that it asks
    // the grid), once between the two threads (the thread sanitizer run would see any other
    // way); the newest picture shows the new selection.
    f.view.canvas().selectPointsInRect(QRect(QPoint(0, 0), f.view.canvas().canvasSize() - QSize(1, 1)), false);
    f.view.repaintCanvas();
    QTRY_VERIFY(f.view.showsFinishedPicture());
    QCoreApplication::processEvents();
    QCOMPARE(f.shown(), f.paintedAtOnce());
}

void TestObjectRender::bandsPaintAsOnePainter_data()
{
    QTest::addColumn<int>("toggles");
    QTest::addColumn<int>("bands");
    QTest::addColumn<bool>("positionsKept");
    QTest::newRow("marks, two bands") << 0 << 2 << false;
    QTest::newRow("ids and link counts, two bands") << (T_Ids | T_LinkCounts) << 2 << false;
    QTest::newRow("dashed connections and blunders, three bands, positions kept")
        << (T_Connections | T_Blunders) << 3 << true;
    QTest::newRow("residual vectors and values, four bands") << (T_Vectors | T_Values) << 4 << false;
}

void TestObjectRender::bandsPaintAsOnePainter()
{
    QFETCH(int, toggles);
    QFETCH(int, bands);
    QFETCH(bool, positionsKept);
    ObjectBlock block;
    fillBlock(block);
    SObjectCanvas canvas(SGlobal::kPlaneXY);
    canvas.setPositionsKept(positionsKept);
    canvas.setBackgroundColor(QColor(200, 220, 255)); // a row no band paints shows
    canvas.setPointSize(0, 9);
    canvas.setLinkLineType(1); // dashes count from where the rasteriser starts a line
    canvas.setObjectPoints(&block.points, true);
    canvas.setZoom(200);
    const QRect whole(QPoint(0, 0), canvas.canvasSize());
    // Points on the rows at and beside where bands meet, inside the block (its mapping stays).
    int id = 9000;
    for (int b = 1; b < bands; ++b)
        for (int dy = -2; dy <= 2; ++dy) {
            const QPointF at =
                canvas.mapping().toPlane(QPoint(whole.width() / 3 + 30 * dy, whole.height() * b / bands + dy));
            block.add(id++, 0, float(at.x()), float(at.y()), 0.0f);
        }
    canvas.setObjectPoints(&block.points, true);
    QCOMPARE(canvas.canvasSize(), whole.size());
    applyToggles(canvas, toggles);
    canvas.selectPointsInRect(QRect(whole.width() / 4, 0, whole.width() / 2, whole.height()), false);
    canvas.selectImagePoints(block.images.at(1), false);

    // Banded first: the threads find the point index of the link counts not yet built.
    QImage banded(whole.size(), QImage::Format_ARGB32_Premultiplied);
    banded.fill(Qt::white);
    canvas.paintInBands(banded, whole, bands);
    QImage onePainter(whole.size(), QImage::Format_ARGB32_Premultiplied);
    onePainter.fill(Qt::white);
    {
        QPainter painter(&onePainter);
        canvas.paintCanvas(painter, whole);
    }
    QCOMPARE(banded, onePainter);
}

QTEST_MAIN(TestObjectRender)
#include "tst_objectrender.moc"
