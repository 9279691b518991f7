// SPDX-License-Identifier: GPL-3.0-or-later
// Views of damaged data: non-finite coordinates, residuals and sigmas, a block without extent
// and a hand-edited configuration with absurd values. Every paint finishes, the mapping stays
// finite and the sound points are still drawn where the mapping puts them.
#include "framework/MxCfg.h"
#include "imageviewer/SImageView.h"
#include "misc/SImageData.h"
#include "misc/SObjectPoint.h"
#include "objectviewer/SObjectView.h"
#include "prefs/SSettings.h"
#include "tests/common/CanvasPicture.h"

#include <QtTest>

#include <cmath>
#include <limits>

namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
// At 100 % the longer side of the data is 500 pixels, with 40 pixels of margin.
constexpr int kCanvasAt100 = 500 + 2 * 40;
constexpr int kPointCode = 3;

void addPoint(SObjectPointList &list, int id, float X, float Y, float Z, float sigma = 0.01f)
{
    list.append(SObjectPoint(id, kPointCode, X, Y, Z, sigma, sigma, sigma));
}

void switchEverythingOn(SObjectView &view, SObjectPointList &list)
{
    view.slotTogglePointIds();
    view.slotToggleImageIds();
    view.slotToggleBlunders();
    view.slotToggleShowLinkCount();
    view.slotToggleResiduals(VM_Graphical);
    view.slotToggleResiduals(VM_Textual);
    view.slotToggleSigmas(VM_Graphical);
    view.slotToggleSigmas(VM_Textual);
    view.slotToggleShowConnections();
    for (SObjectPoint &p : list)
        list.setSelected(p, true);
}

} // namespace

class TestHostileViews : public QObject {
    Q_OBJECT

private slots:
    void nonFiniteObjectPoints_data()
    {
        QTest::addColumn<int>("plane");
        QTest::newRow("XY") << 0;
        QTest::newRow("XZ") << 1;
        QTest::newRow("YZ") << 2;
    }

    void nonFiniteObjectPoints()
    {
        QFETCH(int, plane);
        SObjectPointList list;
        addPoint(list, 1, 0.0f, 0.0f, 0.0f);
        addPoint(list, 2, 1000.0f, 1000.0f, 1000.0f);
        addPoint(list, 3, kNaN, kInf, -kInf, kNaN);
        addPoint(list, 4, kInf, kNaN, kInf, kInf);
        addPoint(list, 5, 500.0f, 500.0f, 500.0f, kNaN); // negative variance: no sigma
        SObjectView view(plane);
        view.setObjectPoints(&list, true);
        switchEverythingOn(view, list);

        const QImage image = paintedCanvas(view.canvas());
        QVERIFY(std::isfinite(view.canvas().zoomFactor()) && view.canvas().zoomFactor() > 0.0f);
        QCOMPARE(view.canvas().canvasSize(), QSize(kCanvasAt100, kCanvasAt100));
        const SObjectMapping &m = view.canvas().mapping();
        QCOMPARE(m.map(0.0f, 0.0f), QPoint(40, kCanvasAt100 - 40));
        QVERIFY(image.pixelColor(m.map(0.0f, 0.0f)) != QColor(Qt::white));
        QVERIFY(image.pixelColor(m.map(1000.0f, 1000.0f)) != QColor(Qt::white));
    }

    void nonFiniteImagePoints()
    {
        SImage image;
        image.setId(1);
        image.addImagePoint(10, true, 0.0f, 0.0f, 0.01f, 0.01f, 1.0f);
        image.addImagePoint(11, true, 100.0f, 100.0f, kNaN, kInf, 1.0f);
        image.addImagePoint(12, true, kNaN, kInf, 0.01f, 0.01f, kNaN);
        image.addImagePoint(13, false, -kInf, kNaN, -kInf, kNaN, 1.0f);
        SImageView view;
        view.setImage(&image);
        view.slotTogglePointIds();
        view.slotToggleResiduals(VM_Graphical);
        view.slotToggleResiduals(VM_Textual);
        view.slotToggleBlunders();
        paintedCanvas(view.canvas());
        const SImageCanvas &canvas = view.canvas();
        QVERIFY(std::isfinite(canvas.zoomFactor()) && canvas.zoomFactor() > 0.0f);
        QVERIFY(canvas.canvasSize().width() <= kCanvasAt100 && canvas.canvasSize().height() <= kCanvasAt100);
        // Within a sound extent the sound points are drawn, and the point with a non-finite
        // residual has no vector: the ground shows above and below it, and up and to the left,
        // where a vector to a saturated end would run.
        image.setXmin(0.0f);
        image.setYmin(0.0f);
        image.setXmax(100.0f);
        image.setYmax(100.0f);
        const QImage painted = paintedCanvas(view.canvas());
        const QPoint sound = canvas.mapping().toCanvas(0.0f, 0.0f);
        const QPoint badResidual = canvas.mapping().toCanvas(100.0f, 100.0f);
        QCOMPARE(painted.pixel(sound), QColor(Qt::black).rgb());
        QCOMPARE(painted.pixel(badResidual), QColor(Qt::black).rgb());
        QCOMPARE(painted.pixel(badResidual - QPoint(0, 20)), QColor(Qt::white).rgb());
        QCOMPARE(painted.pixel(badResidual + QPoint(0, 20)), QColor(Qt::white).rgb());
        QCOMPARE(painted.pixel(badResidual - QPoint(20, 20)), QColor(Qt::white).rgb());
    }
};

QTEST_MAIN(TestHostileViews)
#include "tst_hostile_views.moc"
