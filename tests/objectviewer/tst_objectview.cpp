// SPDX-License-Identifier: GPL-3.0-or-later
// Drawing and interaction of the object view: pixels at mapped positions, marks, texts,
// residual vectors, zoom and selection bands, toggles, the context menu and the index.
#include "objectviewer/SObjectView.h"
#include "tests/common/CanvasPicture.h"
#include "tests/common/MessageCapture.h"
#include "tests/objectviewer/ObjectBlock.h"

#include <QApplication>
#include <QtTest>

namespace {

const QColor kBackground(Qt::white);
const QColor kPointColor(Qt::black);
const QColor kBlunderColor(Qt::red);
const QColor kMarkColor(Qt::yellow);

// The middle of the test block (X 1000, Y 500) in the XY view at 100 %.
constexpr float kMidX = 1000.0f, kMidY = 500.0f;
const QPoint kMid(290, 165);

// The test block with one more point in its middle, attached to an XY view.
struct Fixture {
    ObjectBlock block;
    SObjectPoint *mid;
    SObjectView view{0};
    explicit Fixture(int midCode = 0, bool sigmas = false)
    {
        mid = block.add(10, midCode, kMidX, kMidY, 0.0f);
        view.resize(700, 450); // the whole canvas is visible, so viewport and canvas agree
        view.setObjectPoints(&block.points, sigmas);
    }
};

QColor at(const QImage &image, const QPoint &p) { return image.pixelColor(p); }

int inkIn(const QImage &image, const QRect &rect)
{
    int ink = 0;
    const QRect r = rect & image.rect();
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            ink += image.pixelColor(x, y) != kBackground;
    return ink;
}

void sendMouse(SObjectView &view, QEvent::Type type, const QPoint &pos, Qt::KeyboardModifiers modifiers)
{
    const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(pos), view.viewport()->mapToGlobal(QPointF(pos)),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons, modifiers);
    QApplication::sendEvent(view.viewport(), &event);
}

// Drags a band from a to b, both corners included, in viewport coordinates.
void drag(SObjectView &view, const QPoint &a, const QPoint &b, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    sendMouse(view, QEvent::MouseButtonPress, a, modifiers);
    sendMouse(view, QEvent::MouseMove, (a + b) / 2, modifiers);
    sendMouse(view, QEvent::MouseMove, b, modifiers);
    sendMouse(view, QEvent::MouseButtonRelease, b, modifiers);
}

} // namespace

class TestObjectView : public QObject {
    Q_OBJECT

private slots:
    void concentricMarkBlunderSymbol()
    {
        Fixture f;
        f.mid->setActive(false);
        f.block.points.setSelected(*f.mid, true);
        f.view.canvas().setBlundersOn(true);
        const QImage image = paintedCanvas(f.view.canvas());
        // Mark 7 + 2*2 + 2*2 = 15, blunder disc 7 + 2*2 = 11, symbol 7; all centred on the point.
        const struct {
            int reach;
            QColor inside, outside;
        } rings[] = {{15 / 2, kMarkColor, kBackground},
                     {11 / 2, kBlunderColor, kMarkColor},
                     {7 / 2, kPointColor, kBlunderColor}};
        for (const auto &ring : rings)
            for (const QPoint dir : {QPoint(1, 0), QPoint(-1, 0), QPoint(0, 1), QPoint(0, -1)}) {
                QCOMPARE(at(image, kMid + dir * ring.reach), ring.inside);
                QCOMPARE(at(image, kMid + dir * (ring.reach + 1)), ring.outside);
            }
    }

    void hiddenIndexAndBlunders()
    {
        Fixture f(SGlobal::kCodeVerticalControl);
        f.block.add(11, 0, kMidX + 200.0f, kMidY, 0.0f)->setActive(false); // 50 pixels right
        f.view.setObjectPoints(&f.block.points, false);
        f.view.canvas().setPointOn(SGlobal::kIndexVerticalControl, false);
        QImage image = paintedCanvas(f.view.canvas());
        QCOMPARE(at(image, kMid), kBackground);
        QCOMPARE(at(image, kMid + QPoint(50, 0)), kBackground); // blunders off
        f.view.canvas().setPointOn(SGlobal::kIndexVerticalControl, true);
        f.view.slotToggleBlunders();
        image = paintedCanvas(f.view.canvas());
        QCOMPARE(at(image, kMid), kPointColor);
        QCOMPARE(at(image, kMid + QPoint(50, 0)), kPointColor);
        QCOMPARE(at(image, kMid + QPoint(54, 0)), kBlunderColor);
    }

    void idTexts_data()
    {
        QTest::addColumn<bool>("centre");
        QTest::addColumn<bool>("selected");
        QTest::addColumn<bool>("pointIds");
        QTest::addColumn<bool>("text");
        QTest::newRow("selected point, point ids") << false << true << true << true;
        QTest::newRow("unselected point, point ids") << false << false << true << false;
        QTest::newRow("selected point, image ids only") << false << true << false << false;
        QTest::newRow("selected centre, image ids") << true << true << false << true;
        QTest::newRow("selected centre, point ids only") << true << true << true << false;
    }
    void idTexts()
    {
        QFETCH(bool, centre);
        QFETCH(bool, selected);
        QFETCH(bool, pointIds);
        QFETCH(bool, text);
        Fixture f(centre ? SGlobal::kCodeProjectionCentre : 0);
        f.block.points.setSelected(*f.mid, selected);
        if (pointIds)
            f.view.slotTogglePointIds();
        else
            f.view.slotToggleImageIds();
        // The id sits right of the point's extent, on the baseline py + descent + 1.
        const int k = (7 + (selected ? 4 : 0)) / 2;
        QCOMPARE(inkIn(paintedCanvas(f.view.canvas()), QRect(kMid.x() + k + 1, kMid.y() - 4, 60, 30)) > 0, text);
    }

    void residualVector_data()
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
    void residualVector()
    {
        QFETCH(int, xState);
        QFETCH(int, yState);
        QFETCH(QColor, diagonal);
        QFETCH(QColor, horizontal);
        QFETCH(QColor, vertical);
        Fixture f(SGlobal::kCodeFullControl);
        // Residuals 60 and 40 units: 30 and 20 pixels at zoom factor 0.25 and scale 2.
        const int states[2] = {xState, yState};
        const float residuals[2] = {60.0f, 40.0f};
        for (int axis = 0; axis < 2; ++axis) {
            f.mid->setObservation(axis, states[axis] == 0 ? SGlobal::kNoObservation : 1.0f, residuals[axis], 0.0f);
            f.mid->setAccepted(axis, states[axis] == 1);
        }
        f.block.points.setSelected(*f.mid, true);
        f.view.canvas().setScale(2.0f);
        f.view.slotToggleResiduals(VM_Graphical);
        const QImage image = paintedCanvas(f.view.canvas());
        // The vector ends at (px + 30, py - 20), larger v being up.
        QCOMPARE(at(image, kMid + QPoint(15, -10)), diagonal);
        QCOMPARE(at(image, kMid + QPoint(15, 0)), horizontal);
        QCOMPARE(at(image, kMid + QPoint(0, -15)), vertical);
    }

    void residualVectorRangeGuard()
    {
        Fixture f(SGlobal::kCodeFullControl);
        f.mid->setObservation(0, 1.0f, 1e30f, 0.0f);
        f.mid->setObservation(1, 1.0f, 0.0f, 0.0f);
        f.mid->setAccepted(0, true);
        f.mid->setAccepted(1, true);
        f.block.points.setSelected(*f.mid, true);
        f.view.slotToggleResiduals(VM_Graphical);
        const QImage image = paintedCanvas(f.view.canvas()); // must neither hang nor crash
        // The end point is shrunk by tens in both coordinates, so the line still runs to the
        // right edge, now tilting up by less than a pixel over the canvas.
        QVERIFY(at(image, QPoint(560, kMid.y())) == kPointColor || at(image, QPoint(560, kMid.y() - 1)) == kPointColor);
        QCOMPARE(at(image, QPoint(560, kMid.y() + 1)), kBackground);
    }

    void connectionsOnlyToSelectedCentres()
    {
        Fixture f;
        f.block.addImage(100, kMidX + 400.0f, kMidY, 0.0f, {{10, true}});  // 100 px right
        f.block.addImage(101, kMidX - 400.0f, kMidY, 0.0f, {{10, false}}); // 100 px left, eliminated
        f.block.addImage(102, kMidX, kMidY + 400.0f, 0.0f, {{10, true}});  // 100 px up, not selected
        f.block.points.setSelected(*f.mid, true);
        f.block.points.setSelected(*f.block.points.find(100), true);
        f.block.points.setSelected(*f.block.points.find(101), true);
        f.view.setObjectPoints(&f.block.points, false); // takes over the selected centres
        QCOMPARE(f.view.canvas().selectedCentreCount(), 2);
        f.view.slotToggleShowConnections();
        const QImage image = paintedCanvas(f.view.canvas());
        QCOMPARE(at(image, kMid + QPoint(50, 0)), kPointColor);
        QCOMPARE(at(image, kMid - QPoint(50, 0)), kBlunderColor); // its image point is eliminated
        QCOMPARE(at(image, kMid - QPoint(0, 50)), kBackground);
    }

    void selectionBand_data()
    {
        QTest::addColumn<QSize>("band");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("25 x 3") << QSize(25, 3) << true;
        QTest::newRow("3 x 25") << QSize(3, 25) << true;
        QTest::newRow("19 x 19") << QSize(19, 19) << false;
    }
    void selectionBand()
    {
        QFETCH(QSize, band);
        QFETCH(bool, accepted);
        MessageCapture log;
        Fixture f;
        f.view.slotSetMode(SObjectView::MD_Selection);
        drag(f.view, kMid - QPoint(1, 1), kMid + QPoint(band.width() - 2, band.height() - 2));
        QCOMPARE(f.mid->isSelected(), accepted);
        QCOMPARE(f.block.points.selectedCount(), accepted ? 1 : 0);
        QCOMPARE(log.notes().contains("The selection-rect you specified is to small (min 20 pixel)!"), !accepted);
    }

    void ctrlAddsWithoutDoubleCount()
    {
        Fixture f;
        // A row of five points 10 pixels apart, the first being the middle point.
        std::vector<SObjectPoint *> row{f.mid};
        for (int i = 1; i < 5; ++i)
            row.push_back(f.block.add(10 + i, 0, kMidX + 40.0f * i, kMidY, 0.0f));
        f.view.setObjectPoints(&f.block.points, false);
        f.view.slotSetMode(SObjectView::MD_Selection);
        auto band = [&f](int first, int last, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
            drag(f.view, kMid + QPoint(10 * first - 2, -10), kMid + QPoint(10 * last + 2, 10), modifiers);
        };
        band(0, 1);
        band(3, 4); // replaces
        QCOMPARE(f.block.points.selectedCount(), 2);
        QVERIFY(!row[0]->isSelected() && row[3]->isSelected() && row[4]->isSelected());
        // With Ctrl: points 2, 3 join; 3 was already selected and is not counted twice.
        band(2, 3, Qt::ControlModifier);
        QCOMPARE(f.block.points.selectedCount(), 3);
        QVERIFY(row[2]->isSelected() && row[3]->isSelected() && row[4]->isSelected() && !row[1]->isSelected());
    }

    void selectionIncludesHiddenPointsAndDeselects()
    {
        Fixture f(SGlobal::kCodeVerticalControl);
        SObjectPoint *blunder = f.block.add(11, 0, kMidX + 4.0f, kMidY, 0.0f);
        blunder->setActive(false);
        f.block.addImage(100, kMidX, kMidY + 4.0f, 0.0f, {});
        f.view.setObjectPoints(&f.block.points, false);
        f.view.canvas().setPointOn(SGlobal::kIndexVerticalControl, false);
        f.view.canvas().selectPointsInRect(QRect(kMid - QPoint(5, 5), QSize(11, 11)), false);
        QVERIFY(f.mid->isSelected() && blunder->isSelected());
        QCOMPARE(f.block.points.selectedCount(), 3);
        QVERIFY(f.view.canvas().isSelectedCentre(100));
        f.view.slotDeselectPoints();
        QCOMPARE(f.block.points.selectedCount(), 0);
        QCOMPARE(f.view.canvas().selectedCentreCount(), 0);
        for (const SObjectPoint &p : f.block.points)
            QVERIFY(!p.isSelected());
    }

    void textExclusion()
    {
        Fixture f(0, true);
        f.view.slotToggleResiduals(VM_Textual);
        f.view.slotToggleSigmas(VM_Textual); // pushes the residual values out
        QVERIFY(f.view.canvas().sigmasOn(VM_Textual) && !f.view.canvas().residualsOn(VM_Textual));
        f.view.slotToggleResiduals(VM_Textual); // and the reverse
        QVERIFY(!f.view.canvas().sigmasOn(VM_Textual) && f.view.canvas().residualsOn(VM_Textual));
        // The graphical forms do not exclude each other.
        f.view.slotToggleResiduals(VM_Graphical);
        f.view.slotToggleSigmas(VM_Graphical);
        QVERIFY(f.view.canvas().residualsOn(VM_Graphical) && f.view.canvas().sigmasOn(VM_Graphical));

        MessageCapture log;
        Fixture noInversion;
        noInversion.view.slotToggleSigmas(VM_Graphical);
        noInversion.view.slotToggleSigmas(VM_Textual);
        QVERIFY(!noInversion.view.canvas().sigmasOn(VM_Graphical) && !noInversion.view.canvas().sigmasOn(VM_Textual));
        QCOMPARE(log.warnings().count("No inversion: sigmas were not computed!"), 2);
    }
};

QTEST_MAIN(TestObjectView)
#include "tst_objectview.moc"
