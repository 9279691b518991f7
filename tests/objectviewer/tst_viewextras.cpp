// SPDX-License-Identifier: GPL-3.0-or-later
// The view additions of the Extras menus: the scale bar and the residual arrow are round
// lengths drawn at the views' own scale, crowded pixels show their count on the density ramp,
// the vertical exaggeration stretches painting and hit tests alike, and the menus' choices
// survive a save and load of the configuration. The hover hit test asks the grid and finds
// what trying every point finds.
#include "framework/MxCfg.h"
#include "imageviewer/SImageCanvas.h"
#include "imageviewer/SImageView.h"
#include "imageviewer/SImageViewer.h"
#include "misc/SDensityRamp.h"
#include "misc/SErrorColours.h"
#include "misc/SScaleMarks.h"
#include "objectviewer/SObjectCanvas.h"
#include "objectviewer/SObjectView.h"
#include "objectviewer/SObjectViewer.h"
#include "prefs/SSettings.h"
#include "tests/common/CanvasPicture.h"
#include "tests/objectviewer/ObjectBlock.h"

#include <QAction>
#include <QActionGroup>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <functional>
#include <memory>

namespace {

// The mantissa of a round length: 1, 2 or 5.
bool isRound(double length)
{
    const double mantissa = length / std::pow(10.0, std::floor(std::log10(length) + 1e-9));
    return std::abs(mantissa - 1.0) < 1e-9 || std::abs(mantissa - 2.0) < 1e-9 || std::abs(mantissa - 5.0) < 1e-9;
}

QImage paintedLegend(const QSize &size, const std::function<void(QPainter &, const QRect &)> &paint)
{
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    paint(painter, QRect(QPoint(0, 0), size));
    return picture;
}

} // namespace

enum class ShowsE { Symbol, RampBottom, RampMiddle, RampTop };

class TestViewExtras : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { Mx::CfgStore::clear(); }

    void scaleMarks_data()
    {
        QTest::addColumn<int>("zoom");
        QTest::addColumn<int>("residualScale");
        for (int zoom : {10, 100, 370, 5000})
            QTest::addRow("zoom %d", zoom) << zoom << 1000;
        QTest::newRow("residual scale 7") << 100 << 7;
    }
    // The bar and the arrow lie in the bottom left corner: a frame, then a dark line of the mark's
    // drawn length, which must be its round length at the view's scale.
    void scaleMarks()
    {
        QFETCH(int, zoom);
        QFETCH(int, residualScale);
        ObjectBlock block;
        SObjectCanvas objects(SGlobal::kPlaneXY);
        objects.setObjectPoints(&block.points, false);
        objects.setZoom(zoom);
        objects.setScaleBarOn(true);
        const QSize shown(600, 400);
        const QRect area(QPoint(0, 0), shown);
        const SScaleMarks::Mark bar = SScaleMarks::scaleBar(area, objects.zoomFactor(), SSettings::defaultTextFont());
        QVERIFY(isRound(bar.length));
        QCOMPARE(bar.pixels, SCanvasGeometry::rnd(bar.length * objects.zoomFactor()));
        // The next round length below a fifth of the width is at least 2/5 of it (5 -> 2).
        QVERIFY2(bar.pixels >= 2 * shown.width() / 25 && bar.pixels <= shown.width() / 5,
                 qPrintable(QString::number(bar.pixels)));

        SImageCanvas image;
        SImage photo;
        photo.setXmin(0.0f);
        photo.setYmin(0.0f);
        photo.setXmax(2000.0f);
        photo.setYmax(1000.0f);
        image.setImage(&photo);
        image.setZoom(zoom);
        image.setResidualScale(float(residualScale));
        image.setResidualLegendOn(true);
        const double pixelsPerResidual = double(residualScale) * image.zoomFactor();
        const SScaleMarks::Mark arrow =
            SScaleMarks::residualLegend(area, pixelsPerResidual, residualScale, SSettings::defaultTextFont());
        QVERIFY(isRound(arrow.length));
        QCOMPARE(arrow.pixels, SCanvasGeometry::rnd(arrow.length * pixelsPerResidual));

        // What is painted is what was measured: dark along the mark, light just beyond its end.
        const auto darkRun = [](const QImage &picture, const SScaleMarks::Mark &mark, int y) {
            const int x = mark.box.left() + 4;
            for (int i = 0; i < mark.pixels; ++i)
                if (qGray(picture.pixel(x + i, y)) > 100)
                    return -1;
            return qGray(picture.pixel(x + mark.pixels + 1, y)) > 100 ? mark.pixels : -2;
        };
        const QImage barPicture = paintedLegend(shown, [&](QPainter &p, const QRect &r) { objects.paintLegend(p, r); });
        QCOMPARE(darkRun(barPicture, bar, bar.box.bottom() - 4), bar.pixels);
        const QImage arrowPicture = paintedLegend(shown, [&](QPainter &p, const QRect &r) { image.paintLegend(p, r); });
        QCOMPARE(darkRun(arrowPicture, arrow, arrow.box.bottom() - 4 - 2), arrow.pixels);
    }

    void density_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("selectOne");
        QTest::addColumn<bool>("neighbour"); // one more point on the next pixel
        QTest::addColumn<ShowsE>("shows");
        QTest::newRow("one point keeps its symbol") << 1 << false << false << ShowsE::Symbol;
        QTest::newRow("a neighbour under the symbol: bottom of the ramp") << 1 << false << true << ShowsE::RampBottom;
        QTest::newRow("ten points: inside the ramp") << 10 << false << false << ShowsE::RampMiddle;
        QTest::newRow("150 points: top of the ramp") << 150 << false << false << ShowsE::RampTop;
        QTest::newRow("a selected point stays on top") << 5 << true << false << ShowsE::Symbol;
    }
    // count points on one pixel: with density off the picture is what the plain loop paints; with
    // density on that pixel shows the ramp colour of the count (a lone point, or a selected one,
    // its symbol), the lone corner points keep their symbols, and the legend shows the ramp.
    void density()
    {
        QFETCH(int, count);
        QFETCH(bool, selectOne);
        QFETCH(bool, neighbour);
        QFETCH(ShowsE, shows);
        ObjectBlock block;
        for (int i = 0; i < count; ++i)
            block.add(10 + i, 0, 1000.0f, 500.0f, 0.0f);
        SObjectCanvas canvas(SGlobal::kPlaneXY);
        canvas.setObjectPoints(&block.points, false);
        if (neighbour) {
            float x = 1000.0f;
            while (canvas.mapping().map(x, 500.0f).x() == canvas.mapping().map(1000.0f, 500.0f).x())
                x += 0.5f;
            block.add(9, 0, x, 500.0f, 0.0f);
            canvas.setObjectPoints(&block.points, false);
        }
        if (selectOne)
            block.points.addToSelection(*block.points.at(block.points.count() / 2));
        const QPoint crowded = canvas.mapping().map(1000.0f, 500.0f);
        const QPoint corner = canvas.mapping().map(0.0f, 0.0f);

        const QImage plain = paintedCanvas(canvas);
        QCOMPARE(plain, paintedCanvas(canvas, SObjectCanvas::VisitE::AllPoints));
        QVERIFY(!canvas.hasLegend());
        canvas.setDensityOn(true);
        const QImage density = paintedCanvas(canvas);
        QCOMPARE(density.pixel(corner), plain.pixel(corner));
        const QRgb bottom = SErrorColours::stepColour(0).rgb();
        const QRgb top = SErrorColours::stepColour(SErrorColours::kRampSteps - 1).rgb();
        const QRgb at = density.pixel(crowded);
        switch (shows) {
        case ShowsE::Symbol: QCOMPARE(at, plain.pixel(crowded)); break;
        case ShowsE::RampBottom: QCOMPARE(at, bottom); break;
        case ShowsE::RampTop: QCOMPARE(at, top); break;
        case ShowsE::RampMiddle: {
            bool inside = false;
            for (int step = 1; step < SErrorColours::kRampSteps - 1; ++step)
                inside = inside || at == SErrorColours::stepColour(step).rgb();
            QVERIFY2(inside, qPrintable(QString::number(at, 16)));
            break;
        }
        }
        if (count == 1 && !neighbour)
            QCOMPARE(density, plain);

        QVERIFY(canvas.hasLegend());
        const QRect area(QPoint(0, 0), QSize(400, 300));
        const QImage legend =
            paintedLegend(area.size(), [&](QPainter &p, const QRect &r) { canvas.paintLegend(p, r); });
        const QRect box = SDensityRamp::legendBox(area, SSettings::defaultTextFont());
        QVERIFY(area.contains(box));
        bool bottomShown = false, topShown = false;
        for (int y = box.top(); y <= box.bottom(); ++y)
            for (int x = box.left(); x <= box.right(); ++x) {
                bottomShown = bottomShown || legend.pixel(x, y) == bottom;
                topShown = topShown || legend.pixel(x, y) == top;
            }
        QVERIFY(bottomShown && topShown);
    }

    // Points of several sizes crowd a small block, some hidden or blunders: on random positions
    // the grid finds the same topmost point as trying every point.
    void hitTestMatchesScan()
    {
        ObjectBlock block;
        QRandomGenerator random(15);
        for (int i = 0; i < 3000; ++i) {
            const int code = i % 3 == 0 ? SGlobal::kCodeFullControl : 0;
            SObjectPoint *point =
                block.add(10 + i, code, float(random.bounded(2000)), float(random.bounded(1000)), 0.0f);
            if (i % 7 == 0)
                point->setActive(false);
        }
        SObjectCanvas canvas(SGlobal::kPlaneXY);
        canvas.setObjectPoints(&block.points, false);
        canvas.setPointSize(pointCodeIndex(SGlobal::kCodeFullControl), 21);
        canvas.setPointOn(pointCodeIndex(SGlobal::kCodeLonely), false);
        for (int i = 0; i < 300; ++i) {
            const QPoint at(random.bounded(canvas.canvasSize().width()), random.bounded(canvas.canvasSize().height()));
            QCOMPARE(canvas.pointAt(at), canvas.pointAt(at, SObjectCanvas::VisitE::AllPoints));
        }
    }

    // 5x in XZ: a Z difference takes five times the pixels, and the rectangle selection finds the
    // point where it is painted.
    void verticalExaggeration()
    {
        ObjectBlock block(false);
        block.add(1, 0, 0.0f, 0.0f, 0.0f);
        block.add(2, 0, 2000.0f, 0.0f, 20.0f); // a flat block: 2000 long, 20 high
        SObjectPoint *probe = block.add(3, 0, 1000.0f, 0.0f, 8.0f);
        SObjectCanvas canvas(SGlobal::kPlaneXZ);
        canvas.setObjectPoints(&block.points, false);
        const QPoint low = canvas.mapping().map(0.0f, 0.0f);
        const QPoint plain = canvas.mapping().map(1000.0f, 8.0f);
        QVERIFY(canvas.setVerticalExaggeration(5));
        const float zoom = canvas.zoomFactor(); // the block stays wider than high: the same scale
        const QPoint lowAt5 = canvas.mapping().map(0.0f, 0.0f);
        const QPoint at5 = canvas.mapping().map(1000.0f, 8.0f);
        QCOMPARE(lowAt5.y() - at5.y(), SCanvasGeometry::rnd(5 * 8.0 * zoom));
        QCOMPARE(lowAt5.y() - at5.y(), 5 * (low.y() - plain.y()));
        QCOMPARE(canvas.canvasSize().height(), SCanvasGeometry::rnd(5 * 20.0 * zoom) + 2 * SCanvasGeometry::kMargin);

        canvas.selectPointsInRect(QRect(at5 - QPoint(2, 2), QSize(5, 5)), false);
        QVERIFY(probe->isSelected());
        canvas.selectPointsInRect(QRect(QPoint(at5.x() - 2, lowAt5.y() - (low.y() - plain.y()) - 2), QSize(5, 5)),
                                  false);
        QVERIFY(!probe->isSelected());

        SObjectCanvas xy(SGlobal::kPlaneXY); // Z is not vertical in XY
        QVERIFY(!xy.setVerticalExaggeration(5));
    }

    // The Extras menus write the configuration, and a new viewer takes the choices from it.
    void menuChoicesAreStored()
    {
        {
            std::unique_ptr<SObjectViewer> xz(SObjectViewer::instance(SGlobal::kPlaneXZ, nullptr));
            QVERIFY(xz->exaggerationGroup());
            for (QAction *action : xz->exaggerationGroup()->actions())
                if (action->data().toInt() == 5)
                    action->trigger();
            xz->scaleBarAction()->trigger();
            xz->densityAction()->trigger();
            QCOMPARE(xz->view()->canvas().verticalExaggeration(), 5);
            SImageViewer image(nullptr);
            for (QAction *action : image.colourByGroup()->actions())
                if (action->data().toInt() == int(SErrorColours::MeasureE::Standardized))
                    action->trigger();
        }
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("Varlomin.cfg"));
        QVERIFY(Mx::CfgStore::save(file));
        Mx::CfgStore::clear();
        QCOMPARE(SSettings::readObjectViewExtras().verticalExaggeration, 1);
        QVERIFY(Mx::CfgStore::load(file));

        const SObjectViewer yz(SGlobal::kPlaneYZ);
        QCOMPARE(yz.view()->canvas().verticalExaggeration(), 5);
        QVERIFY(yz.view()->canvas().scaleBarOn());
        QVERIFY(yz.scaleBarAction()->isChecked());
        QVERIFY(yz.view()->canvas().densityOn());
        SImageViewer image(nullptr);
        QCOMPARE(image.graphicalView()->canvas().colouring().measure, SErrorColours::MeasureE::Standardized);
        // The menus of viewers made later show the stored choices.
        const auto checkedValue = [](const QActionGroup *group) {
            return group->checkedAction() ? group->checkedAction()->data().toInt() : -1;
        };
        QCOMPARE(checkedValue(yz.exaggerationGroup()), 5);
        QCOMPARE(checkedValue(image.colourByGroup()), int(SErrorColours::MeasureE::Standardized));
        QCOMPARE(image.graphicalView()->canvas().colouring().threshold, SSettings::kDefaultStandardizedThreshold);
    }
};

QTEST_MAIN(TestViewExtras)
#include "tst_viewextras.moc"
