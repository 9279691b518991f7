// Drawing and interaction of the object view: pixels at mapped positions, marks, texts,
// residual vectors, zoom and selection bands, toggles, the context menu and the index.
#include "SObjectView.h"
#include "Mu.h"
#include "ObjectBlock.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPainter>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QtTest>

namespace {

const QColor kBackground(Qt::white);
const QColor kPointColor(Qt::black);
const QColor kBlunderColor(Qt::red);
const QColor kMarkColor(Qt::yellow);

// The middle of the test block (X 1000, Y 500) in the XY view at 100 %.
constexpr float kMidX = 1000.0f, kMidY = 500.0f;
const QPoint kMid(290, 165);

QImage paint(SObjectView &view, SObjectView::VisitE visit = SObjectView::VisitE::Indexed)
{
    QImage image(view.canvasSize(), QImage::Format_RGB32);
    image.fill(Qt::magenta);
    QPainter painter(&image);
    view.paintCanvas(painter, image.rect(), visit);
    return image;
}

QColor at(const QImage &image, int x, int y) { return image.pixelColor(x, y); }

int inkIn(const QImage &image, const QRect &rect)
{
    int ink = 0;
    const QRect r = rect & image.rect();
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            ink += image.pixelColor(x, y) != kBackground;
    return ink;
}

void sendMouse(SObjectView &view, QEvent::Type type, const QPoint &viewportPos, Qt::MouseButton button,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent event(type, QPointF(viewportPos), view.viewport()->mapToGlobal(QPointF(viewportPos)),
                      type == QEvent::MouseMove ? Qt::NoButton : button, buttons, modifiers);
    QApplication::sendEvent(view.viewport(), &event);
}

// Drags a band from a to b, in viewport coordinates.
void drag(SObjectView &view, const QPoint &a, const QPoint &b, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    sendMouse(view, QEvent::MouseButtonPress, a, Qt::LeftButton, modifiers);
    sendMouse(view, QEvent::MouseMove, (a + b) / 2, Qt::LeftButton, modifiers);
    sendMouse(view, QEvent::MouseMove, b, Qt::LeftButton, modifiers);
    sendMouse(view, QEvent::MouseButtonRelease, b, Qt::LeftButton, modifiers);
}

struct MessageLog {
    QStringList notes, warnings;
    MessageLog()
    {
        Mu::setSink([this](Mu::Level level, const QString &text) {
            if (level == Mu::Level::Note)
                notes << text;
            else if (level == Mu::Level::Warn)
                warnings << text;
        });
    }
    ~MessageLog() { Mu::setSink({}); }
};

} // namespace

class TestObjectView : public QObject {
    Q_OBJECT

private slots:
    void nothingWithoutPoints();
    void pointAtMappedPosition();
    void concentricMarkBlunderSymbol();
    void symbolShapes_data();
    void symbolShapes();
    void hiddenIndexAndBlunders();
    void idTexts_data();
    void idTexts();
    void residualVector_data();
    void residualVector();
    void residualVectorRangeGuard();
    void connectionsOnlyToSelectedCentres();
    void zoomLimits_data();
    void zoomLimits();
    void zoomBand();
    void smallZoomBandIgnored();
    void selectionBand_data();
    void selectionBand();
    void ctrlAddsWithoutDoubleCount();
    void selectionIncludesHiddenPoints();
    void textExclusion_data();
    void textExclusion();
    void sigmasNeedInversion();
    void contextMenu_data();
    void contextMenu();
    void contextMenuActions();
    void deselectPoints();
    void indexMatchesFullPaint_data();
    void indexMatchesFullPaint();
};

void TestObjectView::nothingWithoutPoints()
{
    SObjectView view(0);
    QVERIFY(!view.isReady());
    QImage image(100, 100, QImage::Format_RGB32);
    image.fill(Qt::magenta);
    QPainter painter(&image);
    view.paintCanvas(painter, image.rect());
    painter.end();
    QCOMPARE(at(image, 50, 50), QColor(Qt::magenta)); // not even the background
    SObjectPointList empty;
    view.setObjectPoints(&empty, false);
    QVERIFY(!view.isReady());
    view.slotZoom(200);
    QCOMPARE(view.zoomPercent(), 100);
}

void TestObjectView::pointAtMappedPosition()
{
    ObjectBlock block;
    block.add(10, 0, kMidX, kMidY, 0.0f);
    SObjectView view(0);
    view.setObjectPoints(&block.points, false);
    const QImage image = paint(view);
    QCOMPARE(image.size(), QSize(580, 330));
    QCOMPARE(at(image, kMid.x(), kMid.y()), kPointColor);
    QCOMPARE(at(image, 40, 290), kPointColor); // corner point (Xmin, Ymin)
    QCOMPARE(at(image, 540, 40), kPointColor); // corner point (Xmax, Ymax)
    QCOMPARE(at(image, kMid.x() + 20, kMid.y()), kBackground);
    QCOMPARE(at(image, 100, 100), kBackground);
    QCOMPARE(at(image, 0, 0), kBackground); // the margin is background too
}

void TestObjectView::concentricMarkBlunderSymbol()
{
    ObjectBlock block;
    SObjectPoint *p = block.add(10, 0, kMidX, kMidY, 0.0f);
    p->setActive(false);
    p->setSelected(true);
    SObjectView view(0);
    view.setBlundersOn(true);
    view.setObjectPoints(&block.points, false);
    const QImage image = paint(view);
    // Mark 7 + 2*2 + 2*2 = 15, blunder disc 7 + 2*2 = 11, symbol 7; all centred on the point.
    const int mark = 15 / 2, disc = 11 / 2, symbol = 7 / 2;
    for (int sign : {-1, 1}) {
        QCOMPARE(at(image, kMid.x() + sign * mark, kMid.y()), kMarkColor);
        QCOMPARE(at(image, kMid.x() + sign * (mark + 1), kMid.y()), kBackground);
        QCOMPARE(at(image, kMid.x(), kMid.y() + sign * mark), kMarkColor);
        QCOMPARE(at(image, kMid.x(), kMid.y() + sign * (mark + 1)), kBackground);
        QCOMPARE(at(image, kMid.x() + sign * disc, kMid.y()), kBlunderColor);
        QCOMPARE(at(image, kMid.x() + sign * (disc + 1), kMid.y()), kMarkColor);
        QCOMPARE(at(image, kMid.x(), kMid.y() + sign * disc), kBlunderColor);
        QCOMPARE(at(image, kMid.x() + sign * symbol, kMid.y()), kPointColor);
        QCOMPARE(at(image, kMid.x() + sign * (symbol + 1), kMid.y()), kBlunderColor);
        QCOMPARE(at(image, kMid.x(), kMid.y() + sign * symbol), kPointColor);
        QCOMPARE(at(image, kMid.x(), kMid.y() + sign * (symbol + 1)), kBlunderColor);
    }
}

void TestObjectView::symbolShapes_data()
{
    QTest::addColumn<int>("symbol");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("drawnWidth"); // black pixels on the point's row
    QTest::newRow("circle 8 stays 8") << 0 << 8 << 8;
    QTest::newRow("circle 7") << 0 << 7 << 7;
    QTest::newRow("triangle 8 draws 7") << 1 << 8 << 7;
    QTest::newRow("cross 8 draws 7") << 2 << 8 << 7;
    QTest::newRow("cross 9") << 2 << 9 << 9;
    QTest::newRow("unknown symbol draws nothing") << 5 << 7 << 0;
}

void TestObjectView::symbolShapes()
{
    QFETCH(int, symbol);
    QFETCH(int, size);
    QFETCH(int, drawnWidth);
    ObjectBlock block;
    block.add(10, 0, kMidX, kMidY, 0.0f);
    SObjectView view(0);
    view.setPointSymbol(0, symbol);
    view.setPointSize(0, size);
    view.setObjectPoints(&block.points, false);
    const QImage image = paint(view);
    const int drawnSize = symbol == 0 ? size : size - (size % 2 == 0 ? 1 : 0);
    const int a = drawnSize / 2;
    // A triangle is widest on its base, py + a; circle and cross on the point's row.
    const int row = symbol == 1 ? kMid.y() + a : kMid.y();
    int black = 0;
    for (int x = kMid.x() - 20; x <= kMid.x() + 20; ++x)
        black += at(image, x, row) == kPointColor;
    QCOMPARE(black, drawnWidth);
    if (symbol == 2) { // a cross leaves its diagonal free
        QCOMPARE(at(image, kMid.x() + 1, kMid.y() + 1), kBackground);
        QCOMPARE(at(image, kMid.x(), kMid.y() - a), kPointColor);
    }
    if (symbol == 1) { // a triangle points up: its apex row has one pixel
        QCOMPARE(at(image, kMid.x(), kMid.y() - a), kPointColor);
        QCOMPARE(at(image, kMid.x() - 1, kMid.y() - a), kBackground);
    }
}

void TestObjectView::hiddenIndexAndBlunders()
{
    ObjectBlock block;
    block.add(10, SGlobal::kCodeVerticalControl, kMidX, kMidY, 0.0f);
    SObjectPoint *blunder = block.add(11, 0, kMidX + 200.0f, kMidY, 0.0f); // 50 pixels right
    blunder->setActive(false);
    SObjectView view(0);
    view.setObjectPoints(&block.points, false);
    view.setPointOn(SGlobal::kIndexVerticalControl, false);
    QImage image = paint(view);
    QCOMPARE(at(image, kMid.x(), kMid.y()), kBackground);
    QCOMPARE(at(image, kMid.x() + 50, kMid.y()), kBackground); // blunders off
    view.setPointOn(SGlobal::kIndexVerticalControl, true);
    view.slotToggleBlunders();
    image = paint(view);
    QCOMPARE(at(image, kMid.x(), kMid.y()), kPointColor);
    QCOMPARE(at(image, kMid.x() + 50, kMid.y()), kPointColor);
    QCOMPARE(at(image, kMid.x() + 50 + 4, kMid.y()), kBlunderColor);
}

void TestObjectView::idTexts_data()
{
    QTest::addColumn<bool>("centre");
    QTest::addColumn<bool>("selected");
    QTest::addColumn<bool>("pointIds");
    QTest::addColumn<bool>("imageIds");
    QTest::addColumn<bool>("text");
    QTest::newRow("selected point, point ids") << false << true << true << false << true;
    QTest::newRow("unselected point, point ids") << false << false << true << false << false;
    QTest::newRow("selected point, image ids only") << false << true << false << true << false;
    QTest::newRow("selected centre, image ids") << true << true << false << true << true;
    QTest::newRow("selected centre, point ids only") << true << true << true << false << false;
    QTest::newRow("unselected centre, image ids") << true << false << false << true << false;
}

void TestObjectView::idTexts()
{
    QFETCH(bool, centre);
    QFETCH(bool, selected);
    QFETCH(bool, pointIds);
    QFETCH(bool, imageIds);
    QFETCH(bool, text);
    ObjectBlock block;
    SObjectPoint *p = block.add(4711, centre ? SGlobal::kCodeProjectionCentre : 0, kMidX, kMidY, 0.0f);
    p->setSelected(selected);
    SObjectView view(0);
    view.setObjectPoints(&block.points, false);
    if (pointIds)
        view.slotTogglePointIds();
    if (imageIds)
        view.slotToggleImageIds();
    const QImage image = paint(view);
    // The id sits right of the point's extent, on the baseline py + descent + 1.
    const int k = (7 + (selected ? 4 : 0)) / 2;
    const QRect textArea(kMid.x() + k + 1, kMid.y() - 4, 60, 30);
    QCOMPARE(inkIn(image, textArea) > 0, text);
}

void TestObjectView::residualVector_data()
{
    QTest::addColumn<int>("xState"); // 0 no observation, 1 accepted, 2 rejected
    QTest::addColumn<int>("yState");
    QTest::addColumn<QColor>("diagonal");   // middle of the whole vector
    QTest::addColumn<QColor>("horizontal"); // middle of the X component alone
    QTest::addColumn<QColor>("vertical");   // middle of the Y component alone
    const QColor n = kBackground;
    QTest::newRow("both accepted") << 1 << 1 << kPointColor << n << n;
    QTest::newRow("both rejected") << 2 << 2 << kBlunderColor << n << n;
    QTest::newRow("no observation counts as rejected") << 0 << 0 << kBlunderColor << n << n;
    QTest::newRow("X rejected, Y accepted") << 2 << 1 << kBlunderColor << n << kPointColor;
    QTest::newRow("X accepted, Y rejected") << 1 << 2 << kBlunderColor << kPointColor << n;
    QTest::newRow("X accepted, Y unobserved") << 1 << 0 << n << kPointColor << n;
    QTest::newRow("X unobserved, Y accepted") << 0 << 1 << n << n << kPointColor;
}

void TestObjectView::residualVector()
{
    QFETCH(int, xState);
    QFETCH(int, yState);
    QFETCH(QColor, diagonal);
    QFETCH(QColor, horizontal);
    QFETCH(QColor, vertical);
    ObjectBlock block;
    SObjectPoint *p = block.add(10, SGlobal::kCodeFullControl, kMidX, kMidY, 0.0f);
    // Residuals 120 and 80 units: 30 and 20 pixels at zoom factor 0.25 and scale 1.
    const int states[2] = {xState, yState};
    const float residuals[2] = {120.0f, 80.0f};
    for (int axis = 0; axis < 2; ++axis) {
        if (states[axis] == 0)
            p->setObservation(axis, SGlobal::kNoObservation, residuals[axis], 0.0f);
        else
            p->setObservation(axis, 1.0f, residuals[axis], 0.0f);
        p->setAccepted(axis, states[axis] == 1);
    }
    p->setSelected(true);
    SObjectView view(0);
    view.setScale(1.0f);
    view.setObjectPoints(&block.points, false);
    view.slotToggleResiduals(VM_Graphical);
    const QImage image = paint(view);
    // The vector ends at (px + 30, py - 20), larger v being up.
    QCOMPARE(at(image, kMid.x() + 15, kMid.y() - 10), diagonal);
    QCOMPARE(at(image, kMid.x() + 15, kMid.y()), horizontal);
    QCOMPARE(at(image, kMid.x(), kMid.y() - 15), vertical);
}

void TestObjectView::residualVectorRangeGuard()
{
    ObjectBlock block;
    SObjectPoint *p = block.add(10, SGlobal::kCodeFullControl, kMidX, kMidY, 0.0f);
    p->setObservation(0, 1.0f, 1e30f, 0.0f);
    p->setObservation(1, 1.0f, 0.0f, 0.0f);
    p->setAccepted(0, true);
    p->setAccepted(1, true);
    p->setSelected(true);
    SObjectView view(0);
    view.setObjectPoints(&block.points, false);
    view.slotToggleResiduals(VM_Graphical);
    const QImage image = paint(view); // must neither hang nor crash
    // The end point is shrunk by tens in both coordinates, so the line still runs to the
    // right edge, now tilting up by less than a pixel over the canvas.
    QVERIFY(at(image, 560, kMid.y()) == kPointColor || at(image, 560, kMid.y() - 1) == kPointColor);
    QCOMPARE(at(image, 560, kMid.y() + 1), kBackground);
}

void TestObjectView::connectionsOnlyToSelectedCentres()
{
    ObjectBlock block;
    SObjectPoint *p = block.add(10, 0, kMidX, kMidY, 0.0f);
    block.addImage(100, kMidX + 400.0f, kMidY, 0.0f, {{10, true}});  // 100 px right
    block.addImage(101, kMidX - 400.0f, kMidY, 0.0f, {{10, false}}); // 100 px left, eliminated
    block.addImage(102, kMidX, kMidY + 400.0f, 0.0f, {{10, true}});  // 100 px up, not selected
    p->setSelected(true);
    block.points.find(100)->setSelected(true);
    block.points.find(101)->setSelected(true);
    SObjectView view(0);
    view.setObjectPoints(&block.points, false); // takes over the selected centres
    QCOMPARE(view.selectedCentreCount(), 2);
    view.slotToggleShowConnections();
    const QImage image = paint(view);
    QCOMPARE(at(image, kMid.x() + 50, kMid.y()), kPointColor);
    QCOMPARE(at(image, kMid.x() - 50, kMid.y()), kBlunderColor); // its image point is eliminated
    QCOMPARE(at(image, kMid.x(), kMid.y() - 50), kBackground);
}

void TestObjectView::zoomLimits_data()
{
    QTest::addColumn<int>("request");
    QTest::addColumn<int>("expected");
    QTest::newRow("below minimum") << 5 << 10;
    QTest::newRow("above maximum") << 200000000 << 100000000;
    QTest::newRow("inside") << 350 << 350;
}

void TestObjectView::zoomLimits()
{
    QFETCH(int, request);
    QFETCH(int, expected);
    ObjectBlock block;
    SObjectView view(0);
    view.setObjectPoints(&block.points, false);
    QSignalSpy spy(&view, &SObjectView::sigZoomChanged);
    view.slotZoom(request);
    QCOMPARE(view.zoomPercent(), expected);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toInt(), expected);
    view.slotZoom(request); // the same value again emits nothing
    QCOMPARE(spy.count(), 1);
}

void TestObjectView::zoomBand()
{
    ObjectBlock block;
    SObjectView view(0);
    view.resize(400, 300);
    view.setObjectPoints(&block.points, false);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    // A band of a quarter of the widget's width and height: 100 x 75 pixels.
    const QPoint topLeft(100, 60);
    drag(view, topLeft, topLeft + QPoint(99, 74));
    QCOMPARE(view.zoomPercent(), 400);
    QVERIFY(!view.rubberBand().isValid());
    // The band's corner (100, 60) moves to the view's corner: (100 - 40) * 4 + 40, (60 - 40) * 4 + 40.
    QCOMPARE(view.scrollPosition(), QPoint(280, 120));
}

void TestObjectView::smallZoomBandIgnored()
{
    MessageLog log;
    ObjectBlock block;
    SObjectView view(0);
    view.resize(400, 300);
    view.setObjectPoints(&block.points, false);
    drag(view, QPoint(50, 50), QPoint(68, 68)); // 19 x 19
    QCOMPARE(view.zoomPercent(), 100);
    QVERIFY(log.notes.contains("The zoom-rect you specified is to small (min 20 pixel)!"));
    QVERIFY(log.notes.contains("Ignoring zoom."));
}

void TestObjectView::selectionBand_data()
{
    QTest::addColumn<QSize>("band");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("25 x 3") << QSize(25, 3) << true;
    QTest::newRow("3 x 25") << QSize(3, 25) << true;
    QTest::newRow("19 x 19") << QSize(19, 19) << false;
}

void TestObjectView::selectionBand()
{
    QFETCH(QSize, band);
    QFETCH(bool, accepted);
    MessageLog log;
    ObjectBlock block;
    SObjectPoint *p = block.add(10, 0, kMidX, kMidY, 0.0f);
    SObjectView view(0);
    view.resize(700, 450); // the whole canvas is visible, so viewport and canvas agree
    view.setObjectPoints(&block.points, false);
    view.slotSetMode(SObjectView::MD_Selection);
    drag(view, kMid - QPoint(1, 1), kMid - QPoint(1, 1) + QPoint(band.width() - 1, band.height() - 1));
    QCOMPARE(p->isSelected(), accepted);
    QCOMPARE(block.points.selectedCount(), accepted ? 1 : 0);
    QCOMPARE(log.notes.contains("The selection-rect you specified is to small (min 20 pixel)!"), !accepted);
}

void TestObjectView::ctrlAddsWithoutDoubleCount()
{
    ObjectBlock block;
    // A row of five points 10 pixels apart.
    std::vector<SObjectPoint *> row;
    for (int i = 0; i < 5; ++i)
        row.push_back(block.add(10 + i, 0, kMidX + 40.0f * i, kMidY, 0.0f));
    SObjectView view(0);
    view.resize(700, 450);
    view.setObjectPoints(&block.points, false);
    view.slotSetMode(SObjectView::MD_Selection);
    auto pixelX = [](int i) { return kMid.x() + 10 * i; };

    drag(view, QPoint(pixelX(0) - 2, kMid.y() - 10), QPoint(pixelX(1) + 2, kMid.y() + 10)); // points 0, 1
    QCOMPARE(block.points.selectedCount(), 2);
    drag(view, QPoint(pixelX(3) - 2, kMid.y() - 10), QPoint(pixelX(4) + 2, kMid.y() + 10)); // replaces
    QCOMPARE(block.points.selectedCount(), 2);
    QVERIFY(!row[0]->isSelected());
    QVERIFY(row[3]->isSelected() && row[4]->isSelected());
    // With Ctrl: points 2, 3 join; 3 was already selected and is not counted twice.
    drag(view, QPoint(pixelX(2) - 2, kMid.y() - 10), QPoint(pixelX(3) + 2, kMid.y() + 10), Qt::ControlModifier);
    QCOMPARE(block.points.selectedCount(), 3);
    QVERIFY(row[2]->isSelected() && row[3]->isSelected() && row[4]->isSelected());
    QVERIFY(!row[1]->isSelected());
}

void TestObjectView::selectionIncludesHiddenPoints()
{
    ObjectBlock block;
    SObjectPoint *hidden = block.add(10, SGlobal::kCodeVerticalControl, kMidX, kMidY, 0.0f);
    SObjectPoint *blunder = block.add(11, 0, kMidX + 4.0f, kMidY, 0.0f);
    blunder->setActive(false);
    block.addImage(100, kMidX, kMidY + 4.0f, 0.0f, {});
    SObjectView view(0);
    view.setObjectPoints(&block.points, false);
    view.setPointOn(SGlobal::kIndexVerticalControl, false);
    view.selectPointsInRect(QRect(kMid - QPoint(5, 5), QSize(11, 11)), false);
    QVERIFY(hidden->isSelected());
    QVERIFY(blunder->isSelected());
    QCOMPARE(block.points.selectedCount(), 3);
    QVERIFY(view.isSelectedCentre(100));
}

void TestObjectView::textExclusion_data()
{
    QTest::addColumn<bool>("residualsFirst");
    QTest::newRow("residual values, then sigma values") << true;
    QTest::newRow("sigma values, then residual values") << false;
}

void TestObjectView::textExclusion()
{
    QFETCH(bool, residualsFirst);
    ObjectBlock block;
    SObjectView view(0);
    view.setObjectPoints(&block.points, true);
    if (residualsFirst) {
        view.slotToggleResiduals(VM_Textual);
        view.slotToggleSigmas(VM_Textual);
    } else {
        view.slotToggleSigmas(VM_Textual);
        view.slotToggleResiduals(VM_Textual);
    }
    QCOMPARE(view.sigmasOn(VM_Textual), residualsFirst);
    QCOMPARE(view.residualsOn(VM_Textual), !residualsFirst);
    // The graphical forms do not exclude each other.
    view.slotToggleResiduals(VM_Graphical);
    view.slotToggleSigmas(VM_Graphical);
    QVERIFY(view.residualsOn(VM_Graphical) && view.sigmasOn(VM_Graphical));
}

void TestObjectView::sigmasNeedInversion()
{
    MessageLog log;
    ObjectBlock block;
    SObjectView view(0);
    view.setObjectPoints(&block.points, false);
    view.slotToggleSigmas(VM_Graphical);
    view.slotToggleSigmas(VM_Textual);
    QVERIFY(!view.sigmasOn(VM_Graphical) && !view.sigmasOn(VM_Textual));
    QCOMPARE(log.warnings.count("No inversion: sigmas were not computed!"), 2);
}

void TestObjectView::contextMenu_data()
{
    QTest::addColumn<bool>("sigmas");
    QTest::addColumn<int>("zoom");
    QTest::addColumn<bool>("selection");
    QTest::addColumn<QStringList>("entries");
    const QString sep = QStringLiteral("-");
    QTest::newRow("plain") << false << 100 << false
                           << QStringList{"Show Point-IDs", "Show Image-IDs", "Show Number of Links", "Show Blunders",
                                          "&Residuals", sep, "Show Connections"};
    QTest::newRow("zoomed, sigmas, selection")
        << true << 200 << true
        << QStringList{"Zoom 100%",   sep,          "Show Point-IDs",   "Show Image-IDs", "Show Number of Links",
                       "Show Blunders", "&Residuals", "&Sigmas", sep, "Show Connections", sep, "Deselect all Points"};
}

void TestObjectView::contextMenu()
{
    QFETCH(bool, sigmas);
    QFETCH(int, zoom);
    QFETCH(bool, selection);
    QFETCH(QStringList, entries);
    ObjectBlock block;
    SObjectView view(0);
    view.setObjectPoints(&block.points, sigmas);
    view.slotZoom(zoom);
    if (selection)
        view.selectPointsInRect(QRect(QPoint(0, 0), view.canvasSize()), false);
    QStringList texts;
    for (QAction *action : view.fillContextMenu()->actions())
        texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    QCOMPARE(texts, entries);
}

void TestObjectView::contextMenuActions()
{
    ObjectBlock block;
    SObjectView view(0);
    view.setObjectPoints(&block.points, true);
    auto trigger = [&view](int id) {
        std::function<QAction *(QMenu *)> find = [&](QMenu *menu) -> QAction * {
            for (QAction *action : menu->actions()) {
                if (action->menu())
                    if (QAction *inner = find(action->menu()))
                        return inner;
                if (!action->isSeparator() && !action->menu() && action->data().toInt() == id)
                    return action;
            }
            return nullptr;
        };
        QAction *action = find(view.fillContextMenu());
        QVERIFY2(action, qPrintable(QStringLiteral("no entry %1").arg(id)));
        action->trigger();
    };
    trigger(SObjectView::CM_PointIds);
    QVERIFY(view.pointIdsOn());
    trigger(SObjectView::CM_ResidualsTextual);
    QVERIFY(view.residualsOn(VM_Textual));
    trigger(SObjectView::CM_SigmasTextual);
    QVERIFY(view.sigmasOn(VM_Textual) && !view.residualsOn(VM_Textual));
    trigger(SObjectView::CM_LinkCount);
    QVERIFY(view.linkCountOn());
    // The menu reads the new state: Hide for flags that are on.
    QCOMPARE(view.fillContextMenu()->actions().at(0)->text(), QStringLiteral("Hide Point-IDs"));
    view.slotZoom(300);
    trigger(SObjectView::CM_Zoom100);
    QCOMPARE(view.zoomPercent(), 100);
}

void TestObjectView::deselectPoints()
{
    ObjectBlock block;
    block.addImage(100, kMidX, kMidY, 0.0f, {});
    SObjectView view(0);
    view.setObjectPoints(&block.points, false);
    view.selectPointsInRect(QRect(QPoint(0, 0), view.canvasSize()), false);
    QCOMPARE(block.points.selectedCount(), 3);
    QVERIFY(view.isSelectedCentre(100));
    view.slotDeselectPoints();
    QCOMPARE(block.points.selectedCount(), 0);
    QCOMPARE(view.selectedCentreCount(), 0);
    for (const SObjectPoint &p : block.points)
        QVERIFY(!p.isSelected());
}

void TestObjectView::indexMatchesFullPaint_data()
{
    QTest::addColumn<int>("zoom");
    QTest::addColumn<QRect>("rect");
    QTest::newRow("whole canvas") << 100 << QRect();
    QTest::newRow("part at 100 %") << 100 << QRect(130, 70, 211, 97);
    QTest::newRow("part at 700 %") << 700 << QRect(1400, 900, 300, 200);
}

void TestObjectView::indexMatchesFullPaint()
{
    QFETCH(int, zoom);
    QFETCH(QRect, rect);
    ObjectBlock block;
    QRandomGenerator random(1234);
    const int codes[] = {0, 200, 300, 500, 0, 0, 17};
    constexpr int kPoints = 20000;
    for (int i = 0; i < 20; ++i) // a few centres for the connections
        block.addImage(100000 + i, float(random.bounded(2000.0)), float(random.bounded(1000.0)), 0.0f, {});
    for (int i = 0; i < kPoints; ++i) {
        SObjectPoint *p = block.add(i + 10, codes[random.bounded(7)], float(random.bounded(2000.0)),
                                    float(random.bounded(1000.0)), float(random.bounded(400.0)), 0.5f);
        if (random.bounded(10) == 0)
            p->setActive(false);
        if (p->code() != 0) {
            p->setObservation(0, 1.0f, float(random.bounded(40.0) - 20.0), 0.01f);
            p->setObservation(1, 1.0f, float(random.bounded(40.0) - 20.0), 0.01f);
            p->setAccepted(0, random.bounded(2) == 0);
            p->setAccepted(1, true);
        }
    }
    for (int i = 0; i < 200; ++i) // images linking the points to the centres
        block.images.at(i % 20)->addImagePoint(10 + random.bounded(kPoints), random.bounded(5) != 0, 0, 0, 0, 0, 1);
    SObjectView view(0);
    view.setObjectPoints(&block.points, false);
    view.setBlundersOn(true);
    view.setScale(4.0f);
    view.setPointSymbol(1, 1);
    view.setPointSymbol(2, 2);
    view.setPointSize(3, 12);
    view.slotZoom(zoom);
    // Select a band and some of the centres so that texts, vectors and connections appear.
    view.selectPointsInRect(QRect(QPoint(200, 100 * zoom / 100), QSize(200, 40 * zoom / 100)), false);
    for (int i = 0; i < 20; i += 2)
        view.selectPointsInRect(QRect(view.mapping().map(block.images.at(i)->X0(), block.images.at(i)->Y0()), QSize(1, 1)), true);
    view.slotTogglePointIds();
    view.slotToggleImageIds();
    view.slotToggleShowLinkCount();
    view.slotToggleResiduals(VM_Graphical);
    view.slotToggleResiduals(VM_Textual);
    view.slotToggleShowConnections();
    QVERIFY(view.selectedCentreCount() > 0);

    const QRect area = rect.isNull() ? QRect(QPoint(0, 0), view.canvasSize()) : rect;
    QImage full(view.canvasSize(), QImage::Format_RGB32);
    full.fill(Qt::magenta);
    {
        QPainter painter(&full);
        view.paintCanvas(painter, QRect(QPoint(0, 0), view.canvasSize()), SObjectView::VisitE::AllPoints);
    }
    QImage indexed(view.canvasSize(), QImage::Format_RGB32);
    indexed.fill(Qt::magenta);
    {
        QPainter painter(&indexed);
        view.paintCanvas(painter, area, SObjectView::VisitE::Indexed);
    }
    QCOMPARE(indexed.copy(area), full.copy(area));
    // The exposed part really was painted, and it is not blank.
    QVERIFY(inkIn(indexed, area) > 0);
}

QTEST_MAIN(TestObjectView)
#include "tst_objectview.moc"
