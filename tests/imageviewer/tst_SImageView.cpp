// SPDX-License-Identifier: GPL-3.0-or-later
// The graphical image view: mapping and canvas size, drawing rules checked on painted
// pixels, zoom limits and steps, the rubber band and the context menu.
#include "imageviewer/SImageMapping.h"
#include "imageviewer/SImageView.h"
#include "tests/common/MessageCapture.h"
#include "tests/imageviewer/ImageFixtures.h"

#include <QSignalSpy>
#include <QTest>

#include <climits>
#include <cmath>
#include <functional>
#include <memory>
#include <optional>

using namespace ImageFixtures;

namespace {
const QColor kGround(200, 220, 255);
const QColor kInk(0, 0, 200);
const QColor kBlunder(255, 0, 0);
const QColor kMark(0, 180, 180);
} // namespace

class TestSImageView : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        mMessages.emplace();
        mImage.reset(makeImage(1, 0.0f, 0.0f, 500.0f, 500.0f));
    }

    void cleanup()
    {
        mView.reset();
        mImage.reset();
        SImage::clearPointIndex();
        mMessages.reset();
    }

    void rounding_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("expected");
        QTest::newRow("2.5 up") << 2.5 << 3;
        QTest::newRow("-2.5 up") << -2.5 << -2;
        QTest::newRow("huge saturates") << 1.0e30 << INT_MAX;
        QTest::newRow("huge negative saturates") << -1.0e30 << INT_MIN;
        QTest::newRow("NaN is not drawable") << std::nan("") << INT_MIN;
    }
    void rounding()
    {
        QFETCH(double, value);
        QFETCH(int, expected);
        QCOMPARE(SCanvasGeometry::rnd(value), expected);
    }

    void canvasGeometry_data()
    {
        QTest::addColumn<QRectF>("extent"); // xmin, ymin, width, height
        QTest::addColumn<int>("zoom");
        QTest::addColumn<QSize>("canvas");
        QTest::addColumn<QPointF>("image");
        QTest::addColumn<QPoint>("pixel");

        const QRectF wide(-1000, 500, 2000, 1000);
        QTest::newRow("wide: top left") << wide << 100 << QSize(580, 330) << QPointF(-1000, 1500) << QPoint(40, 40);
        QTest::newRow("wide: bottom right") << wide << 100 << QSize(580, 330) << QPointF(1000, 500) << QPoint(540, 290);
        QTest::newRow("wide at 200 %") << wide << 200 << QSize(1080, 580) << QPointF(1000, 500) << QPoint(1040, 540);
        QTest::newRow("tall") << QRectF(0, 0, 1000, 2000) << 100 << QSize(330, 580) << QPointF(1000, 0)
                              << QPoint(290, 540);
        // 5 units at 0.5 pixels per unit: 42.5 rounds up to 43, on both axes.
        QTest::newRow("half pixel rounds up")
            << QRectF(0, 0, 1000, 1000) << 100 << QSize(580, 580) << QPointF(5, 995) << QPoint(43, 43);
    }
    void canvasGeometry()
    {
        QFETCH(QRectF, extent);
        QFETCH(int, zoom);
        QFETCH(QSize, canvas);
        QFETCH(QPointF, image);
        QFETCH(QPoint, pixel);

        const auto [x0, y0, x1, y1] =
            std::tuple{float(extent.left()), float(extent.top()), float(extent.right()), float(extent.bottom())};
        const SImageMapping map(x0, y0, x1, y1, zoom);
        QCOMPARE(map.canvasSize(), canvas);
        QCOMPARE(map.toCanvas(float(image.x()), float(image.y())), pixel);
        QCOMPARE(map.frameRect(), QRect(40, 40, canvas.width() - 80, canvas.height() - 80));
    }

    void degenerateExtentStaysInsideFrame()
    {
        mImage.reset(new SImage());
        addNewPoint(mImage.get(), 7, true, 3.0f, 4.0f);
        const SImageMapping map(mImage->xmin(), mImage->ymin(), mImage->xmax(), mImage->ymax(), 100);
        QVERIFY(std::isfinite(map.zoomFactor()));
        QVERIFY(map.frameRect().adjusted(0, 0, 1, 1).contains(map.toCanvas(3.0f, 4.0f)));

        const SImage empty;
        const SImageMapping none(empty.xmin(), empty.ymin(), empty.xmax(), empty.ymax(), 100);
        QVERIFY(none.canvasSize().width() > 2 * SCanvasGeometry::kMargin);
    }

    void frame()
    {
        makeView();
        const QImage image = paintedCanvas(mView->canvas());
        // Frame in black at (40, 40), canvas outline in light grey.
        QCOMPARE(image.pixelColor(40, 300), QColor(Qt::black));
        QCOMPARE(image.pixelColor(0, 300), QColor(Qt::lightGray));
        QCOMPARE(image.pixelColor(20, 300), kGround);
    }

    void drawing_data()
    {
        // One point at (250, 250) with the given residual; probes relative to its pixel.
        QTest::addColumn<bool>("active");
        QTest::addColumn<bool>("pointOn");
        QTest::addColumn<bool>("blunders");
        QTest::addColumn<bool>("vectors");
        QTest::addColumn<float>("scale");
        QTest::addColumn<QPointF>("residual");
        QTest::addColumn<QList<QPoint>>("probes");
        QTest::addColumn<QList<QColor>>("colours");
        const QPointF up(0, 30);
        QTest::newRow("blunder hidden") << false << true << false << false << 1.0f << up << QList<QPoint>{{0, 0}}
                                        << QList<QColor>{kGround};
        // Symbol of 7 (reaching 3 pixels), disc of 7 + 2 x 2 = 11 (reaching 5) under it.
        QTest::newRow("blunder disc") << false << true << true << false << 1.0f << up
                                      << QList<QPoint>{{0, 0}, {4, 0}, {-5, 0}, {-6, 0}}
                                      << QList<QColor>{kInk, kBlunder, kBlunder, kGround};
        // 30 units at one pixel per unit, upwards.
        QTest::newRow("residual scale 0 is 1") << true << true << false << true << 0.0f << up
                                               << QList<QPoint>{{0, -25}, {0, -32}} << QList<QColor>{kInk, kGround};
        // Beyond the symbol and the blunder disc, on the way up to 30 pixels.
        QTest::newRow("vector in point colour")
            << true << true << true << true << 1.0f << up << QList<QPoint>{{0, -20}} << QList<QColor>{kInk};
        QTest::newRow("blunder vector in blunder colour")
            << false << true << true << true << 1.0f << up << QList<QPoint>{{0, -20}} << QList<QColor>{kBlunder};
        // No symbol, no vector (it would end at +30, -40), but the largest-residual circle of
        // 7 + 2 x 2 = 11 pixels.
        QTest::newRow("hidden index keeps its mark")
            << true << false << false << true << 10.0f << QPointF(3, 4)
            << QList<QPoint>{{0, 0}, {15, -20}, {-5, 0}, {0, -5}} << QList<QColor>{kGround, kGround, kMark, kMark};
    }
    void drawing()
    {
        QFETCH(bool, active);
        QFETCH(bool, pointOn);
        QFETCH(bool, blunders);
        QFETCH(bool, vectors);
        QFETCH(float, scale);
        QFETCH(QPointF, residual);
        QFETCH(QList<QPoint>, probes);
        QFETCH(QList<QColor>, colours);
        addNewPoint(mImage.get(), 1, active, 250.0f, 250.0f, float(residual.x()), float(residual.y()));
        makeView();
        mView->canvas().setLargestResidualColor(kMark);
        mView->canvas().setPointOn(0, pointOn);
        mView->canvas().setBlundersOn(blunders);
        if (vectors)
            mView->slotToggleResiduals(VM_Graphical);
        mView->canvas().setResidualScale(scale);
        const QImage image = paintedCanvas(mView->canvas());
        const QPoint c = unitCanvas(250, 250);
        for (int i = 0; i < probes.size(); ++i)
            QCOMPARE(image.pixelColor(c + probes.at(i)), colours.at(i));
    }

    void residualTexts_data()
    {
        QTest::addColumn<bool>("pointOn");
        QTest::addColumn<bool>("graphical");
        QTest::addColumn<bool>("textual");
        QTest::addColumn<bool>("textExpected");
        // A hidden largest-residual point is still annotated while only its vector mode is on.
        QTest::newRow("hidden, vectors only") << false << true << false << true;
        QTest::newRow("hidden, both modes") << false << true << true << false;
        QTest::newRow("shown, values only") << true << false << true << true;
        QTest::newRow("shown, no residuals") << true << false << false << false;
    }
    void residualTexts()
    {
        QFETCH(bool, pointOn);
        QFETCH(bool, graphical);
        QFETCH(bool, textual);
        QFETCH(bool, textExpected);
        addNewPoint(mImage.get(), 1, true, 250.0f, 250.0f, 3.0f, 4.0f);
        makeView();
        mView->canvas().setPointOn(0, pointOn);
        if (graphical)
            mView->slotToggleResiduals(VM_Graphical);
        if (textual)
            mView->slotToggleResiduals(VM_Textual);
        const QImage image = paintedCanvas(mView->canvas());

        // The texts start right of the symbol and the largest-residual circle (11 pixels)
        // and run downwards from the point; nothing else is painted there.
        const QPoint c = unitCanvas(250, 250);
        const QRect textArea(c.x() + 8, c.y() - 4, 100, 40);
        bool inked = false;
        for (int y = textArea.top(); y <= textArea.bottom(); ++y)
            for (int x = textArea.left(); x <= textArea.right(); ++x)
                inked = inked || image.pixelColor(x, y) != kGround;
        QCOMPARE(inked, textExpected);
    }

    void zoomSteps_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("step"); // +1 plus, -1 minus, 0 slotZoom(value)
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("expected");
        QTest::addColumn<int>("emitted");
        QTest::newRow("15 minus") << 15 << -1 << 0 << 10 << 1;
        QTest::newRow("10 minus stays") << 10 << -1 << 0 << 10 << 0;
        QTest::newRow("100 plus") << 100 << 1 << 0 << 110 << 1;
        QTest::newRow("below minimum") << 100 << 0 << 3 << 10 << 1;
        QTest::newRow("above maximum") << 100 << 0 << 2000000000 << SImageView::kZoomMax << 1;
    }
    void zoomSteps()
    {
        QFETCH(int, start);
        QFETCH(int, step);
        QFETCH(int, value);
        QFETCH(int, expected);
        QFETCH(int, emitted);
        makeView();
        mView->slotZoom(start);
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

    void rubberBand_data()
    {
        QTest::addColumn<QPoint>("from");
        QTest::addColumn<QPoint>("to");
        QTest::addColumn<bool>("zooms");
        // Pixel counts include both corners: (100, 100) to (129, 109) is 30 x 10.
        QTest::newRow("30 x 10 zooms") << QPoint(100, 100) << QPoint(129, 109) << true;
        QTest::newRow("dragged up-left") << QPoint(200, 150) << QPoint(150, 120) << true;
        QTest::newRow("19 x 19 refused") << QPoint(100, 100) << QPoint(118, 118) << false;
    }
    void rubberBand()
    {
        QFETCH(QPoint, from);
        QFETCH(QPoint, to);
        QFETCH(bool, zooms);
        makeView(true);
        QSignalSpy spy(mView.get(), &SImageView::sigZoomChanged);

        QWidget *viewport = mView->viewport();
        QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, from);
        QTest::mouseMove(viewport, to);
        const QRect band = QRect(from, to).normalized();
        QCOMPARE(mView->canvas().rubberBand(), band);
        QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, to);
        QVERIFY(!mView->canvas().rubberBand().isValid());

        if (!zooms) {
            QCOMPARE(mView->zoom(), 100);
            QCOMPARE(spy.count(), 0);
            QVERIFY(
                mMessages->notes().contains(QStringLiteral("The zoom-rect you specified is to small (min 20 pixel)!")));
            QVERIFY(mMessages->notes().contains(QStringLiteral("Ignoring zoom.")));
            return;
        }
        const float f =
            std::min(float(mView->width()) / float(band.width()), float(mView->height()) / float(band.height()));
        QCOMPARE(mView->zoom(), int(std::floor(100.0f * f + 0.5f)));
        QCOMPARE(spy.count(), 1);
        // The band's top-left corner comes to the top-left of the viewport.
        const QPoint expected(int(std::floor((band.left() - 40) * f + 40 + 0.5f)),
                              int(std::floor((band.top() - 40) * f + 40 + 0.5f)));
        QCOMPARE(mView->contentsPos(), expected);
    }

private:
    std::unique_ptr<SImage> mImage;
    std::unique_ptr<SImageView> mView;
    std::optional<MessageCapture> mMessages;

    // A view showing mImage with easily told colours; shown on screen when asked.

    void makeView(bool onScreen = false)
    {
        mView = std::make_unique<SImageView>();
        mView->canvas().setBackgroundColor(kGround);
        for (int i = 0; i < SGlobal::kPointCodeIndexCount; ++i)
            mView->canvas().setPointColor(i, kInk);
        mView->canvas().setBlunderColor(kBlunder);
        mView->setImage(mImage.get());
        if (onScreen) {
            mView->resize(400, 300);
            mView->show();
            QVERIFY(QTest::qWaitForWindowExposed(mView.get()));
        }
    }
};

QTEST_MAIN(TestSImageView)
#include "tst_SImageView.moc"
