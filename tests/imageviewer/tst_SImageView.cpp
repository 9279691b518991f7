// The graphical image view: mapping and canvas size, drawing rules checked on painted
// pixels, zoom limits and steps, the rubber band and the context menu.
#include "ImageFixtures.h"
#include "Mu.h"
#include "SImageMapping.h"
#include "SImageView.h"

#include <QApplication>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <cmath>
#include <memory>

using namespace ImageFixtures;

namespace {

const QColor kGround(200, 220, 255);
const QColor kInk(0, 0, 200);
const QColor kBlunder(255, 0, 0);

// The whole canvas of the view as it paints it.
QImage paint(SImageView &view)
{
    QImage image(view.canvasSize(), QImage::Format_RGB32);
    image.fill(Qt::magenta);
    QPainter painter(&image);
    view.paintCanvas(painter, QRect(QPoint(0, 0), view.canvasSize()));
    return image;
}

} // namespace

class TestSImageView : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void rounding_data();
    void rounding();
    void canvasGeometry_data();
    void canvasGeometry();
    void degenerateExtentStaysInsideFrame();

    void symbolSizes_data();
    void symbolSizes();
    void pointColourAndGround();
    void blunderDiscOnlyWithBlundersOn();
    void residualScaleZeroIsOne();
    void hiddenIndexStillMarksLargestResidual();
    void residualVectorColour_data();
    void residualVectorColour();
    void residualTexts_data();
    void residualTexts();
    void clipLimitsTheFill();

    void zoomSteps_data();
    void zoomSteps();
    void zoomWithoutImageDoesNothing();
    void rubberBand_data();
    void rubberBand();
    void rubberBandCapsAtMaximum();
    void scrollCursor();
    void contextMenu_data();
    void contextMenu();

private:
    std::unique_ptr<SImage> mImage;
    std::unique_ptr<SImageView> mView;
    QStringList mNotes;

    // A view showing mImage with easily told colours, background kGround, ink kInk.
    void makeView();
};

void TestSImageView::init()
{
    mNotes.clear();
    Mu::setSink([this](Mu::Level level, const QString &text) {
        if (level == Mu::Level::Note || level == Mu::Level::Warn)
            mNotes << text;
    });
    mImage.reset(makeUnitImage());
}

void TestSImageView::cleanup()
{
    mView.reset();
    mImage.reset();
    SImage::clearPointIndex();
    Mu::setSink(nullptr);
}

void TestSImageView::makeView()
{
    mView = std::make_unique<SImageView>();
    mView->setBackgroundColor(kGround);
    for (int i = 0; i < SImageView::kPointCodeCount; ++i)
        mView->setPointColor(i, kInk);
    mView->setBlunderColor(kBlunder);
    mView->setImage(mImage.get());
}

void TestSImageView::rounding_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("expected");
    QTest::newRow("2.5 up") << 2.5 << 3;
    QTest::newRow("-2.5 up") << -2.5 << -2;
    QTest::newRow("2.49") << 2.49 << 2;
    QTest::newRow("-2.51") << -2.51 << -3;
    QTest::newRow("0.5") << 0.5 << 1;
    QTest::newRow("-0.5") << -0.5 << 0;
    QTest::newRow("huge is bounded") << 1.0e30 << 2000000000;
}

void TestSImageView::rounding()
{
    QFETCH(double, value);
    QFETCH(int, expected);
    QCOMPARE(SImageMapping::rnd(value), expected);
}

void TestSImageView::canvasGeometry_data()
{
    QTest::addColumn<QRectF>("extent"); // xmin, ymin, width, height
    QTest::addColumn<int>("zoom");
    QTest::addColumn<QSize>("canvas");
    QTest::addColumn<double>("factor");
    QTest::addColumn<QPointF>("image");
    QTest::addColumn<QPoint>("pixel");

    const QRectF wide(-1000, 500, 2000, 1000);
    QTest::newRow("wide: top left") << wide << 100 << QSize(580, 330) << 0.25 << QPointF(-1000, 1500) << QPoint(40, 40);
    QTest::newRow("wide: bottom right") << wide << 100 << QSize(580, 330) << 0.25 << QPointF(1000, 500)
                                        << QPoint(540, 290);
    QTest::newRow("wide at 200 %") << wide << 200 << QSize(1080, 580) << 0.5 << QPointF(1000, 500) << QPoint(1040, 540);
    QTest::newRow("tall") << QRectF(0, 0, 1000, 2000) << 100 << QSize(330, 580) << 0.25 << QPointF(1000, 0)
                          << QPoint(290, 540);
    QTest::newRow("square at 10 %") << QRectF(0, 0, 500, 500) << 10 << QSize(130, 130) << 0.1 << QPointF(250, 250)
                                    << QPoint(65, 65);
    // 5 units at 0.5 pixels per unit: 42.5 rounds up to 43, on both axes.
    QTest::newRow("half pixel rounds up") << QRectF(0, 0, 1000, 1000) << 100 << QSize(580, 580) << 0.5
                                          << QPointF(5, 995) << QPoint(43, 43);
}

void TestSImageView::canvasGeometry()
{
    QFETCH(QRectF, extent);
    QFETCH(int, zoom);
    QFETCH(QSize, canvas);
    QFETCH(double, factor);
    QFETCH(QPointF, image);
    QFETCH(QPoint, pixel);

    const SImageMapping map(float(extent.left()), float(extent.top()), float(extent.right()),
                            float(extent.bottom()), zoom);
    QCOMPARE(map.canvasSize(), canvas);
    QCOMPARE(map.zoomFactor(), float(factor));
    QCOMPARE(map.toCanvas(float(image.x()), float(image.y())), pixel);
    QCOMPARE(map.frameRect(), QRect(40, 40, canvas.width() - 80, canvas.height() - 80));

    // The view follows the same geometry.
    mImage.reset(makeImage(1, float(extent.left()), float(extent.top()), float(extent.right()),
                           float(extent.bottom())));
    makeView();
    mView->slotZoom(zoom);
    QCOMPARE(mView->canvasSize(), canvas);
}

void TestSImageView::degenerateExtentStaysInsideFrame()
{
    mImage.reset(new SImage());
    addNewPoint(mImage.get(), 7, true, 3.0f, 4.0f, 0.0f, 0.0f);
    const SImageMapping map(mImage->xmin(), mImage->ymin(), mImage->xmax(), mImage->ymax(), 100);
    QVERIFY(std::isfinite(map.zoomFactor()));
    QVERIFY(map.frameRect().adjusted(0, 0, 1, 1).contains(map.toCanvas(3.0f, 4.0f)));

    const SImage empty;
    const SImageMapping none(empty.xmin(), empty.ymin(), empty.xmax(), empty.ymax(), 100);
    QVERIFY(none.canvasSize().width() > 2 * SImageMapping::kMargin);
}

void TestSImageView::symbolSizes_data()
{
    QTest::addColumn<int>("symbol");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("reach"); // half of the drawn size on the left of the centre
    // Triangles and crosses lose one pixel when even; circles keep their size.
    QTest::newRow("cross 8 draws 7") << int(SImageView::SY_Cross) << 8 << 3;
    QTest::newRow("cross 7") << int(SImageView::SY_Cross) << 7 << 3;
    QTest::newRow("cross 9") << int(SImageView::SY_Cross) << 9 << 4;
    QTest::newRow("triangle 8 draws 7") << int(SImageView::SY_Triangle) << 8 << 3;
    QTest::newRow("circle 8 stays 8") << int(SImageView::SY_Circle) << 8 << 4;
    QTest::newRow("circle 7") << int(SImageView::SY_Circle) << 7 << 3;
}

void TestSImageView::symbolSizes()
{
    QFETCH(int, symbol);
    QFETCH(int, size);
    QFETCH(int, reach);
    addNewPoint(mImage.get(), 1, true, 250.0f, 250.0f, 0.0f, 0.0f);
    makeView();
    mView->setLargestResidualColor(kGround); // keep the largest-residual circle out of sight
    mView->setPointSymbol(0, symbol);
    mView->setPointSize(0, size);
    const QImage image = paint(*mView);
    const QPoint c = unitCanvas(250, 250);

    // Left end of the horizontal bar (cross), of the base (triangle, one row below the
    // centre by the half size) or of the middle row (circle).
    const int row = symbol == SImageView::SY_Triangle ? c.y() + reach : c.y();
    QCOMPARE(pixel(image, QPoint(c.x() - reach, row)), kInk);
    QCOMPARE(pixel(image, QPoint(c.x() - reach - 1, row)), kGround);
}

void TestSImageView::pointColourAndGround()
{
    addNewPoint(mImage.get(), 1, true, 100.0f, 400.0f, 0.0f, 0.0f);
    addNewPoint(mImage.get(), 2, true, 300.0f, 50.0f, 0.0f, 0.0f);
    makeView();
    mView->setPointColor(0, QColor(0, 150, 0));
    const QImage image = paint(*mView);
    QCOMPARE(pixel(image, unitCanvas(100, 400)), QColor(0, 150, 0));
    QCOMPARE(pixel(image, unitCanvas(300, 50)), QColor(0, 150, 0));
    QCOMPARE(pixel(image, unitCanvas(200, 200)), kGround);
    // Frame in black at (40, 40), canvas outline in light grey.
    QCOMPARE(pixel(image, QPoint(40, 300)), QColor(Qt::black));
    QCOMPARE(pixel(image, QPoint(0, 300)), QColor(Qt::lightGray));
    QCOMPARE(pixel(image, QPoint(20, 300)), kGround);
}

void TestSImageView::blunderDiscOnlyWithBlundersOn()
{
    addNewPoint(mImage.get(), 1, false, 250.0f, 250.0f, 0.0f, 0.0f);
    makeView();
    const QPoint c = unitCanvas(250, 250);

    QImage image = paint(*mView);
    QCOMPARE(pixel(image, c), kGround);

    mView->slotToggleBlunders();
    QVERIFY(mView->hasBlundersOn());
    image = paint(*mView);
    // Symbol of 7 (reaching 3 pixels), disc of 7 + 2 x 2 = 11 (reaching 5) under it.
    QCOMPARE(pixel(image, c), kInk);
    QCOMPARE(pixel(image, c + QPoint(4, 0)), kBlunder);
    QCOMPARE(pixel(image, c + QPoint(-5, 0)), kBlunder);
    QCOMPARE(pixel(image, c + QPoint(-6, 0)), kGround);
}

void TestSImageView::residualScaleZeroIsOne()
{
    addNewPoint(mImage.get(), 1, true, 250.0f, 250.0f, 0.0f, 30.0f);
    makeView();
    mView->setResidualScale(0.0f);
    mView->slotToggleResiduals(VM_Graphical);
    const QImage image = paint(*mView);
    QCOMPARE(mView->residualScale(), 1.0f);
    // 30 units at one pixel per unit, upwards.
    const QPoint c = unitCanvas(250, 250);
    QCOMPARE(pixel(image, c - QPoint(0, 25)), kInk);
    QCOMPARE(pixel(image, c - QPoint(0, 32)), kGround);
}

void TestSImageView::hiddenIndexStillMarksLargestResidual()
{
    addNewPoint(mImage.get(), 1, true, 250.0f, 250.0f, 3.0f, 4.0f);
    makeView();
    const QColor mark(0, 180, 180);
    mView->setLargestResidualColor(mark);
    mView->setPointOn(0, false);
    mView->slotToggleResiduals(VM_Graphical);
    mView->setResidualScale(10.0f);
    const QImage image = paint(*mView);
    const QPoint c = unitCanvas(250, 250);
    QCOMPARE(pixel(image, c), kGround);                  // no symbol
    QCOMPARE(pixel(image, c + QPoint(15, -20)), kGround); // no vector (ends at +30, -40)
    // The circle of 7 + 2 x 2 = 11 pixels around the point.
    QCOMPARE(pixel(image, c + QPoint(-5, 0)), mark);
    QCOMPARE(pixel(image, c + QPoint(0, -5)), mark);
}

void TestSImageView::residualVectorColour_data()
{
    QTest::addColumn<bool>("active");
    QTest::addColumn<QColor>("expected");
    QTest::newRow("active point: point colour") << true << kInk;
    QTest::newRow("blunder: blunder colour") << false << kBlunder;
}

void TestSImageView::residualVectorColour()
{
    QFETCH(bool, active);
    QFETCH(QColor, expected);
    addNewPoint(mImage.get(), 1, active, 250.0f, 250.0f, 0.0f, 30.0f);
    makeView();
    mView->setBlundersOn(true);
    mView->slotToggleResiduals(VM_Graphical);
    const QImage image = paint(*mView);
    // Beyond the symbol and the blunder disc (radius 5), on the way up to 30 pixels.
    const QPoint c = unitCanvas(250, 250);
    QCOMPARE(pixel(image, c - QPoint(0, 20)), expected);
}

void TestSImageView::residualTexts_data()
{
    QTest::addColumn<bool>("pointOn");
    QTest::addColumn<bool>("graphical");
    QTest::addColumn<bool>("textual");
    QTest::addColumn<bool>("textExpected");
    // A hidden largest-residual point is still annotated while only its vector mode is on.
    QTest::newRow("hidden, vectors only") << false << true << false << true;
    QTest::newRow("hidden, both modes") << false << true << true << false;
    QTest::newRow("hidden, values only") << false << false << true << false;
    QTest::newRow("hidden, no residuals") << false << false << false << false;
    QTest::newRow("shown, values only") << true << false << true << true;
    QTest::newRow("shown, no residuals") << true << false << false << false;
}

void TestSImageView::residualTexts()
{
    QFETCH(bool, pointOn);
    QFETCH(bool, graphical);
    QFETCH(bool, textual);
    QFETCH(bool, textExpected);
    addNewPoint(mImage.get(), 1, true, 250.0f, 250.0f, 3.0f, 4.0f);
    makeView();
    mView->setPointOn(0, pointOn);
    if (graphical)
        mView->slotToggleResiduals(VM_Graphical);
    if (textual)
        mView->slotToggleResiduals(VM_Textual);
    const QImage image = paint(*mView);

    // The texts start right of the symbol and the largest-residual circle (11 pixels)
    // and run downwards from the point; nothing else is painted there.
    const QPoint c = unitCanvas(250, 250);
    const QRect textArea(c.x() + 8, c.y() - 4, 100, 40);
    bool inked = false;
    for (int y = textArea.top(); y <= textArea.bottom() && !inked; ++y)
        for (int x = textArea.left(); x <= textArea.right() && !inked; ++x)
            inked = pixel(image, QPoint(x, y)) != kGround;
    QCOMPARE(inked, textExpected);
}

void TestSImageView::clipLimitsTheFill()
{
    makeView();
    QImage image(mView->canvasSize(), QImage::Format_RGB32);
    image.fill(Qt::magenta);
    {
        QPainter painter(&image);
        mView->paintCanvas(painter, QRect(100, 100, 50, 50));
    }
    QCOMPARE(pixel(image, QPoint(120, 120)), kGround);
    QCOMPARE(pixel(image, QPoint(300, 300)), QColor(Qt::magenta));
}

void TestSImageView::zoomSteps_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("step"); // +1 plus, -1 minus, 0 slotZoom(value)
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("expected");
    QTest::addColumn<int>("emitted");
    QTest::newRow("15 minus") << 15 << -1 << 0 << 10 << 1;
    QTest::newRow("10 minus stays") << 10 << -1 << 0 << 10 << 0;
    QTest::newRow("100 plus") << 100 << 1 << 0 << 110 << 1;
    QTest::newRow("max plus stays") << SImageView::kZoomMax << 1 << 0 << SImageView::kZoomMax << 0;
    QTest::newRow("below minimum") << 100 << 0 << 3 << 10 << 1;
    QTest::newRow("above maximum") << 100 << 0 << 2000000000 << SImageView::kZoomMax << 1;
    QTest::newRow("unchanged") << 250 << 0 << 250 << 250 << 0;
}

void TestSImageView::zoomSteps()
{
    QFETCH(int, start);
    QFETCH(int, step);
    QFETCH(int, value);
    QFETCH(int, expected);
    QFETCH(int, emitted);
    makeView();
    mView->slotZoom(start);
    QCOMPARE(mView->zoom(), start);
    QSignalSpy spy(mView.get(), &SImageView::sigZoomChanged);
    if (step > 0)
        mView->slotZoomPlus();
    else if (step < 0)
        mView->slotZoomMinus();
    else
        mView->slotZoom(value);
    QCOMPARE(mView->zoom(), expected);
    QCOMPARE(spy.count(), emitted);
    if (emitted)
        QCOMPARE(spy.at(0).at(0).toInt(), expected);
}

void TestSImageView::zoomWithoutImageDoesNothing()
{
    SImageView view;
    QSignalSpy spy(&view, &SImageView::sigZoomChanged);
    view.slotZoom(300);
    view.slotZoomPlus();
    QCOMPARE(view.zoom(), 100);
    QCOMPARE(spy.count(), 0);
    QVERIFY(view.buildContextMenu()->actions().isEmpty());
}

void TestSImageView::rubberBand_data()
{
    QTest::addColumn<QPoint>("from");
    QTest::addColumn<QPoint>("to");
    QTest::addColumn<bool>("zooms");
    // Pixel counts include both corners: (100, 100) to (129, 109) is 30 x 10.
    QTest::newRow("30 x 10 zooms") << QPoint(100, 100) << QPoint(129, 109) << true;
    QTest::newRow("10 x 30 zooms") << QPoint(100, 100) << QPoint(109, 129) << true;
    QTest::newRow("dragged up-left") << QPoint(200, 150) << QPoint(150, 120) << true;
    QTest::newRow("19 x 19 refused") << QPoint(100, 100) << QPoint(118, 118) << false;
    QTest::newRow("click refused") << QPoint(100, 100) << QPoint(100, 100) << false;
}

void TestSImageView::rubberBand()
{
    QFETCH(QPoint, from);
    QFETCH(QPoint, to);
    QFETCH(bool, zooms);
    makeView();
    mView->resize(400, 300);
    mView->show();
    QVERIFY(QTest::qWaitForWindowExposed(mView.get()));
    QSignalSpy spy(mView.get(), &SImageView::sigZoomChanged);

    QWidget *viewport = mView->viewport();
    QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, from);
    if (to != from) {
        QTest::mouseMove(viewport, to);
        QCOMPARE(mView->rubberBand(), QRect(from, to).normalized());
    }
    QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, to);
    QVERIFY(!mView->rubberBand().isValid());

    if (!zooms) {
        QCOMPARE(mView->zoom(), 100);
        QCOMPARE(spy.count(), 0);
        QVERIFY(mNotes.contains(QStringLiteral("The zoom-rect you specified is to small (min 20 pixel)!")));
        QVERIFY(mNotes.contains(QStringLiteral("Ignoring zoom.")));
        return;
    }
    const QRect band = QRect(from, to).normalized();
    const float f = std::min(float(mView->width()) / float(band.width()), float(mView->height()) / float(band.height()));
    const int zoom = int(std::floor(100.0f * f + 0.5f));
    QCOMPARE(mView->zoom(), zoom);
    QCOMPARE(spy.count(), 1);
    // The band's top-left corner comes to the top-left of the viewport.
    const QPoint expected(int(std::floor((band.left() - 40) * f + 40 + 0.5f)),
                          int(std::floor((band.top() - 40) * f + 40 + 0.5f)));
    QCOMPARE(mView->contentsPos(), expected);
}

void TestSImageView::rubberBandCapsAtMaximum()
{
    makeView();
    mView->resize(400, 300);
    mView->show();
    QVERIFY(QTest::qWaitForWindowExposed(mView.get()));
    mView->slotZoom(SImageView::kZoomMax / 2);
    QWidget *viewport = mView->viewport();
    QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    QTest::mouseMove(viewport, QPoint(40, 40));
    QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, QPoint(40, 40));
    QCOMPARE(mView->zoom(), SImageView::kZoomMax);

    // At the maximum a press starts no band.
    QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    QTest::mouseMove(viewport, QPoint(60, 60));
    QVERIFY(!mView->rubberBand().isValid());
}

void TestSImageView::scrollCursor()
{
    makeView();
    mView->resize(400, 300);
    mView->show();
    QVERIFY(QTest::qWaitForWindowExposed(mView.get()));
    mView->slotZoom(10);
    mView->slotSetMode(SImageView::MD_Scroll);
    QCOMPARE(mView->viewport()->cursor().shape(), Qt::ArrowCursor);
    mView->slotZoom(400);
    mView->resize(401, 300);
    QCOMPARE(mView->viewport()->cursor().shape(), Qt::SizeAllCursor);

    // Dragging moves the canvas against the pointer.
    const QPoint before = mView->contentsPos();
    QTest::mousePress(mView->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(200, 200));
    QTest::mouseMove(mView->viewport(), QPoint(150, 170));
    QTest::mouseRelease(mView->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(150, 170));
    QCOMPARE(mView->contentsPos(), before + QPoint(50, 30));

    mView->slotSetMode(SImageView::MD_Zoom);
    QCOMPARE(mView->viewport()->cursor().shape(), Qt::CrossCursor);
}

void TestSImageView::contextMenu_data()
{
    QTest::addColumn<int>("zoom");
    QTest::addColumn<bool>("toggled");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QStringList>("residualEntries");
    QTest::newRow("at 100, all off") << 100 << false
                                     << QStringList{"Show Point-IDs", "Show Number of Links", "&Residuals",
                                                    "Show Blunders"}
                                     << QStringList{"Show Graphical", "Show Textual"};
    QTest::newRow("at 200, all on") << 200 << true
                                    << QStringList{"Zoom 100%", "", "Hide Point-IDs", "Hide Number of Links",
                                                   "&Residuals", "Hide Blunders"}
                                    << QStringList{"Hide Graphical", "Hide Textual"};
}

void TestSImageView::contextMenu()
{
    QFETCH(int, zoom);
    QFETCH(bool, toggled);
    QFETCH(QStringList, entries);
    QFETCH(QStringList, residualEntries);
    makeView();
    mView->slotZoom(zoom);
    if (toggled) {
        mView->slotTogglePointIds();
        mView->slotToggleShowLinkCount();
        mView->slotToggleResiduals(VM_Graphical);
        mView->slotToggleResiduals(VM_Textual);
        mView->slotToggleBlunders();
    }
    QMenu *menu = mView->buildContextMenu();
    QStringList texts;
    QMenu *residuals = nullptr;
    for (QAction *action : menu->actions()) {
        texts << action->text();
        if (action->menu())
            residuals = action->menu();
    }
    QCOMPARE(texts, entries);
    QVERIFY(residuals);
    QStringList residualTexts;
    for (QAction *action : residuals->actions())
        residualTexts << action->text();
    QCOMPARE(residualTexts, residualEntries);

    // Each entry carries the id its handler executes.
    const auto idOf = [](QMenu *m, const QString &text) {
        for (QAction *action : m->actions())
            if (action->text() == text)
                return action->data().toInt();
        return -1;
    };
    const QString prefix = toggled ? QStringLiteral("Hide ") : QStringLiteral("Show ");
    QCOMPARE(idOf(menu, prefix + "Point-IDs"), 1);
    QCOMPARE(idOf(menu, prefix + "Number of Links"), 5);
    QCOMPARE(idOf(menu, prefix + "Blunders"), 4);
    QCOMPARE(idOf(residuals, prefix + "Graphical"), 2);
    QCOMPARE(idOf(residuals, prefix + "Textual"), 3);
    if (zoom != 100)
        QCOMPARE(idOf(menu, "Zoom 100%"), 0);

    for (int id : {0, 1, 2, 3, 4, 5})
        QMetaObject::invokeMethod(mView.get(), "_slotHandleContextMenu", Q_ARG(int, id));
    QCOMPARE(mView->zoom(), 100);
    QCOMPARE(mView->hasPointIdsOn(), !toggled);
    QCOMPARE(mView->hasLinkCountOn(), !toggled);
    QCOMPARE(mView->hasBlundersOn(), !toggled);
    QCOMPARE(mView->hasResidualsOn(VM_Graphical), !toggled);
    QCOMPARE(mView->hasResidualsOn(VM_Textual), !toggled);

    QMetaObject::invokeMethod(mView.get(), "_slotHandleContextMenu", Q_ARG(int, 9));
    QVERIFY(mNotes.contains(QStringLiteral("Invalid case: 9!")));
}

QTEST_MAIN(TestSImageView)
#include "tst_SImageView.moc"
