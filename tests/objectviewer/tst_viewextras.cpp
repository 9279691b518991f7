// SPDX-License-Identifier: GPL-3.0-or-later
// The view additions of the Extras menus: the scale bar and the residual arrow are round
// lengths drawn at the views' own scale, the vertical exaggeration stretches painting and
// hit tests alike, and the menus' choices survive a save and load of the configuration.
#include "framework/MxCfg.h"
#include "imageviewer/SImageCanvas.h"
#include "imageviewer/SImageView.h"
#include "imageviewer/SImageViewer.h"
#include "misc/SScaleMarks.h"
#include "objectviewer/SObjectCanvas.h"
#include "objectviewer/SObjectView.h"
#include "objectviewer/SObjectViewer.h"
#include "prefs/SSettings.h"
#include "tests/objectviewer/ObjectBlock.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <functional>
#include <memory>

class TestViewExtras : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { Mx::CfgStore::clear(); }
    void scaleMarks_data();
    void scaleMarks();
    void verticalExaggeration();
    void menuChoicesAreStored();
};

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

void TestViewExtras::scaleMarks_data()
{
    QTest::addColumn<int>("zoom");
    QTest::addColumn<int>("residualScale");
    for (int zoom : {10, 100, 370, 5000})
        QTest::addRow("zoom %d", zoom) << zoom << 1000;
    QTest::newRow("residual scale 7") << 100 << 7;
}

// The bar and the arrow lie in the bottom left corner: a frame, then a dark line of the mark's
// drawn length, which must be its round length at the view's scale.
void TestViewExtras::scaleMarks()
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

// 5x in XZ: a Z difference takes five times the pixels, and the rectangle selection finds the
// point where it is painted.
void TestViewExtras::verticalExaggeration()
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
    canvas.selectPointsInRect(QRect(QPoint(at5.x() - 2, lowAt5.y() - (low.y() - plain.y()) - 2), QSize(5, 5)), false);
    QVERIFY(!probe->isSelected());

    SObjectCanvas xy(SGlobal::kPlaneXY); // Z is not vertical in XY
    QVERIFY(!xy.setVerticalExaggeration(5));
}

// The Extras menus write the configuration, and a new viewer takes the choices from it.
void TestViewExtras::menuChoicesAreStored()
{
    {
        std::unique_ptr<SObjectViewer> xz(SObjectViewer::instance(SGlobal::kPlaneXZ, nullptr));
        QVERIFY(xz->exaggerationGroup());
        for (QAction *action : xz->exaggerationGroup()->actions())
            if (action->data().toInt() == 5)
                action->trigger();
        xz->scaleBarAction()->trigger();
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
    SImageViewer image(nullptr);
    QCOMPARE(image.graphicalView()->canvas().colouring().measure, SErrorColours::MeasureE::Standardized);
    QCOMPARE(image.graphicalView()->canvas().colouring().threshold, SSettings::kDefaultStandardizedThreshold);
}

QTEST_MAIN(TestViewExtras)
#include "tst_viewextras.moc"
