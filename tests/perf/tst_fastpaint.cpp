// SPDX-License-Identifier: GPL-3.0-or-later
#include "objectviewer/SObjectSprites.h"
#include "objectviewer/SObjectView.h"
#include "tests/objectviewer/ObjectBlock.h"

#include <QPainter>
#include <QRandomGenerator>
#include <QTest>

namespace {
constexpr int kImageSide = 40;
} // namespace

class TstFastPaint : public QObject {
    Q_OBJECT

private slots:
    void spriteEqualsDrawing_data()
    {
        QTest::addColumn<int>("shape");
        QTest::addColumn<int>("size");
        QTest::addColumn<QPoint>("centre");
        QTest::addColumn<QImage::Format>("format");
        QTest::addColumn<QColor>("ground");
        // Images that take the sprites pixel by pixel, and ones that leave them to the painter.
        const struct {
            const char *name;
            QImage::Format format;
            QColor ground;
        } targets[] = {{"premultiplied", QImage::Format_ARGB32_Premultiplied, Qt::white},
                       {"rgb32", QImage::Format_RGB32, Qt::white},
                       {"premultiplied half-transparent", QImage::Format_ARGB32_Premultiplied, QColor(0, 0, 255, 100)},
                       {"argb32 half-transparent", QImage::Format_ARGB32, QColor(90, 200, 10, 77)},
                       {"rgb16", QImage::Format_RGB16, Qt::gray}};
        // Centres inside, on and beyond the image edge; sizes from empty to larger than the hole.
        const QList<QPoint> centres{QPoint(24, 22), QPoint(0, 0), QPoint(-2, 39), QPoint(39, 5)};
        for (const auto &target : targets)
            for (int shape : {SObjectSprites::SH_Disc, SObjectSprites::SH_Triangle, SObjectSprites::SH_Cross})
                for (int size : {0, 1, 8, 15})
                    for (const QPoint &c : centres)
                        QTest::addRow("%s shape %d size %d at %d,%d", target.name, shape, size, c.x(), c.y())
                            << shape << size << c << target.format << target.ground;
    }
    // Drawn translated by a whole pixel offset and clipped at the edge and by a hole in the middle.
    void spriteEqualsDrawing()
    {
        QFETCH(int, shape);
        QFETCH(int, size);
        QFETCH(QPoint, centre);
        QFETCH(QImage::Format, format);
        QFETCH(QColor, ground);
        const QColor color(20, 120, 200);
        const QPoint origin(-3, 4);
        const QRegion clip = QRegion(2, 2, kImageSide - 4, kImageSide - 4) - QRegion(22, 20, 6, 6);
        QImage images[2];
        for (bool useSprites : {false, true}) {
            QImage &image = images[useSprites];
            image = QImage(kImageSide, kImageSide, format);
            image.fill(ground);
            SObjectSprites sprites;
            QPainter painter(&image);
            painter.translate(origin);
            painter.setClipRegion(clip.translated(-origin));
            sprites.beginPaint(painter);
            QVERIFY(sprites.usable());
            if (useSprites)
                sprites.draw(painter, shape, centre.x(), centre.y(), size, QPen(color, 0), QBrush(color));
            else
                SObjectSprites::drawSymbol(painter, shape, centre.x(), centre.y(), size, QPen(color, 0), QBrush(color));
        }
        QCOMPARE(images[1], images[0]);
        if (size >= 8 && centre.x() > 0) { // the comparison saw a symbol
            QImage blank(kImageSide, kImageSide, format);
            blank.fill(ground);
            QVERIFY(images[0] != blank);
        }
    }

    void crowdedPaintEqualsPlainPaint_data()
    {
        QTest::addColumn<int>("zoom");
        QTest::addColumn<bool>("blunders");
        QTest::addColumn<bool>("transparentCode");
        QTest::addColumn<QRect>("rect");
        QTest::newRow("100 %") << 100 << false << false << QRect(0, 0, 600, 400);
        QTest::newRow("100 % half-transparent new points") << 100 << true << true << QRect(0, 0, 600, 400);
        QTest::newRow("part at 100 %") << 100 << true << false << QRect(130, 70, 211, 97);
        QTest::newRow("part at 700 %") << 700 << true << false << QRect(1400, 900, 300, 200);
    }
    // Many points on few pixels with mixed codes, sizes, blunders and annotated selections: the
    // indexed paint, which skips covered points, must give the pixels of the plain paint of every point.
    void crowdedPaintEqualsPlainPaint()
    {
        QFETCH(int, zoom);
        QFETCH(bool, blunders);
        QFETCH(bool, transparentCode);
        QFETCH(QRect, rect);

        ObjectBlock block;
        QRandomGenerator random(7);
        constexpr int kCentres = 20;
        for (int i = 0; i < kCentres; ++i) // centres for the connections
            block.addImage(100000 + i, float(random.bounded(2000.0)), float(random.bounded(1000.0)), 0.0f, {});
        const int codes[] = {0, SGlobal::kCodeVerticalControl, SGlobal::kCodeHorizontalControl,
                             SGlobal::kCodeFullControl, SGlobal::kCodeProjectionCentre};
        constexpr int kPoints = 60000;
        for (int id = 10; id < 10 + kPoints; ++id) {
            // Coordinates on a coarse lattice, so that points share pixels.
            const float x = float(random.bounded(200)) * ObjectBlock::kWidth / 200.0f;
            const float y = float(random.bounded(100)) * ObjectBlock::kHeight / 100.0f;
            SObjectPoint *point = block.add(id, codes[random.bounded(5)], x, y, 0.0f, 0.5f);
            point->setActive(random.bounded(10) != 0);
            block.points.setSelected(*point, random.bounded(500) == 0);
            point->setObservation(0, 1.0f, float(random.bounded(40.0) - 20.0), 0.01f);
            point->setAccepted(0, random.bounded(2) == 0);
            if (random.bounded(50) == 0)
                block.images.at(id % kCentres)->addImagePoint(id, random.bounded(5) != 0, 0, 0, 0, 0, 1);
        }
        for (int i = 0; i < kCentres; i += 2)
            block.points.setSelected(*block.points.find(100000 + i), true);
        SObjectView view(0);
        view.setObjectPoints(&block.points, true);
        view.slotZoom(zoom);
        view.canvas().setBlundersOn(blunders);
        view.canvas().setScale(4.0f);
        view.canvas().setPointSize(SGlobal::kIndexVerticalControl, 4);
        view.canvas().setPointSymbol(SGlobal::kIndexHorizontalControl, SObjectSprites::SH_Triangle);
        view.canvas().setPointSymbol(SGlobal::kIndexFullControl, SObjectSprites::SH_Cross);
        view.canvas().setPointColor(SGlobal::kIndexFullControl, Qt::darkGreen);
        if (transparentCode)
            view.canvas().setPointColor(SGlobal::kIndexNewPoint, QColor(255, 0, 0, 128));
        for (auto toggle : {&SObjectView::slotTogglePointIds, &SObjectView::slotToggleImageIds,
                            &SObjectView::slotToggleShowLinkCount, &SObjectView::slotToggleShowConnections})
            (view.*toggle)();
        view.slotToggleResiduals(VM_Graphical);
        view.slotToggleResiduals(VM_Textual);

        QImage indexed(rect.size(), QImage::Format_ARGB32_Premultiplied);
        QImage plain(rect.size(), QImage::Format_ARGB32_Premultiplied);
        for (auto [image, visit] : {std::pair{&indexed, SObjectCanvas::VisitE::Indexed},
                                    std::pair{&plain, SObjectCanvas::VisitE::AllPoints}}) {
            image->fill(Qt::gray);
            QPainter painter(image);
            painter.translate(-rect.topLeft());
            view.canvas().paintCanvas(painter, rect, visit);
        }
        QCOMPARE(indexed, plain);
        int symbolPixels = 0; // the comparison means something only where points were drawn
        for (int y = 0; y < indexed.height(); ++y)
            for (int x = 0; x < indexed.width(); ++x)
                symbolPixels += indexed.pixel(x, y) != QColor(Qt::white).rgb();
        QVERIFY(symbolPixels > indexed.width() * indexed.height() / 10);
    }
};

QTEST_MAIN(TstFastPaint)
#include "tst_fastpaint.moc"
