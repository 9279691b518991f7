#include "ObjectBlock.h"
#include "SObjectSprites.h"
#include "SObjectView.h"

#include <QPainter>
#include <QRandomGenerator>
#include <QTest>

class TstFastPaint : public QObject {
    Q_OBJECT

private slots:
    void spriteEqualsDrawing_data();
    void spriteEqualsDrawing();
    void spritesOnlyWhereExact();
    void crowdedPaintEqualsPlainPaint_data();
    void crowdedPaintEqualsPlainPaint();
};

namespace {
constexpr int kImageSide = 40;

QImage blankImage()
{
    QImage image(kImageSide, kImageSide, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    return image;
}
} // namespace

void TstFastPaint::spriteEqualsDrawing_data()
{
    QTest::addColumn<int>("shape");
    QTest::addColumn<int>("size");
    QTest::addColumn<QPoint>("centre");
    const QList<QPoint> centres{QPoint(20, 20), QPoint(0, 0), QPoint(-2, 39), QPoint(39, 5)};
    for (int shape : {SObjectSprites::SH_Disc, SObjectSprites::SH_Triangle, SObjectSprites::SH_Cross})
        for (int size : {0, 1, 2, 5, 7, 8, 15})
            for (const QPoint &c : centres)
                QTest::addRow("shape %d size %d at %d,%d", shape, size, c.x(), c.y()) << shape << size << c;
}

void TstFastPaint::spriteEqualsDrawing()
{
    QFETCH(int, shape);
    QFETCH(int, size);
    QFETCH(QPoint, centre);
    const QColor color(20, 120, 200);
    const QPen pen(color, 0);
    const QBrush brush(color);

    QImage drawn = blankImage();
    {
        QPainter painter(&drawn);
        painter.setClipRect(2, 2, kImageSide - 4, kImageSide - 4); // cuts symbols at the edge
        SObjectSprites::drawSymbol(painter, shape, centre.x(), centre.y(), size, pen, brush);
    }
    QImage copied = blankImage();
    SObjectSprites sprites;
    {
        QPainter painter(&copied);
        painter.setClipRect(2, 2, kImageSide - 4, kImageSide - 4);
        sprites.beginPaint(painter);
        QVERIFY(sprites.usable());
        sprites.draw(painter, shape, centre.x(), centre.y(), size, pen, brush);
    }
    QCOMPARE(copied, drawn);
}

void TstFastPaint::spritesOnlyWhereExact()
{
    QImage image = blankImage();
    QPainter painter(&image);
    QVERIFY(SObjectSprites::suits(painter));
    painter.translate(3, -4);
    QVERIFY(SObjectSprites::suits(painter));
    painter.translate(0.5, 0);
    QVERIFY(!SObjectSprites::suits(painter)); // half pixels would shift the copies
    painter.resetTransform();
    painter.scale(2, 2);
    QVERIFY(!SObjectSprites::suits(painter));
    painter.resetTransform();
    painter.setRenderHint(QPainter::Antialiasing);
    QVERIFY(!SObjectSprites::suits(painter));
}

void TstFastPaint::crowdedPaintEqualsPlainPaint_data()
{
    QTest::addColumn<int>("zoom");
    QTest::addColumn<bool>("blunders");
    QTest::addColumn<bool>("transparentCode");
    QTest::newRow("100 %") << 100 << false << false;
    QTest::newRow("100 % with blunders") << 100 << true << false;
    QTest::newRow("100 % half-transparent new points") << 100 << true << true;
    QTest::newRow("400 %") << 400 << true << false;
}

// Many points on few pixels with mixed codes, sizes, blunders and selections: the indexed
// paint, which skips covered points, must give the pixels of the plain paint of every point.
void TstFastPaint::crowdedPaintEqualsPlainPaint()
{
    QFETCH(int, zoom);
    QFETCH(bool, blunders);
    QFETCH(bool, transparentCode);

    ObjectBlock block;
    QRandomGenerator random(7);
    const int codes[] = {0, SGlobal::kCodeVerticalControl, SGlobal::kCodeHorizontalControl,
                         SGlobal::kCodeFullControl, SGlobal::kCodeProjectionCentre};
    constexpr int kPoints = 60000;
    for (int id = 10; id < 10 + kPoints; ++id) {
        // Coordinates on a coarse lattice, so that points share pixels.
        const float x = float(random.bounded(200)) * ObjectBlock::kWidth / 200.0f;
        const float y = float(random.bounded(100)) * ObjectBlock::kHeight / 100.0f;
        SObjectPoint *point = block.add(id, codes[random.bounded(5)], x, y, 0.0f);
        if (random.bounded(10) == 0)
            point->setActive(false);
        if (random.bounded(500) == 0) {
            point->setSelected(true);
            block.points.incSelectedCount();
        }
    }
    SObjectView view(0);
    view.setObjectPoints(&block.points, true);
    view.slotZoom(zoom);
    view.setBlundersOn(blunders);
    view.setPointSize(SGlobal::kIndexVerticalControl, 4);
    view.setPointSymbol(SGlobal::kIndexHorizontalControl, SObjectSprites::SH_Triangle);
    view.setPointSymbol(SGlobal::kIndexFullControl, SObjectSprites::SH_Cross);
    view.setPointColor(SGlobal::kIndexFullControl, Qt::darkGreen);
    if (transparentCode)
        view.setPointColor(SGlobal::kIndexNewPoint, QColor(255, 0, 0, 128));
    SObjectView::noteSelectionChanged();

    const QRect rect = QRect(QPoint(0, 0), view.canvasSize()) & QRect(0, 0, 600, 400);
    QImage indexed(rect.size(), QImage::Format_ARGB32_Premultiplied);
    QImage plain(rect.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto [image, visit] : {std::pair{&indexed, SObjectView::VisitE::Indexed},
                                std::pair{&plain, SObjectView::VisitE::AllPoints}}) {
        image->fill(Qt::gray);
        QPainter painter(image);
        painter.translate(-rect.topLeft());
        view.paintCanvas(painter, rect, visit);
    }
    QCOMPARE(indexed, plain);
    int symbolPixels = 0; // the comparison means something only where points were drawn
    for (int y = 0; y < indexed.height(); ++y)
        for (int x = 0; x < indexed.width(); ++x)
            symbolPixels += indexed.pixel(x, y) != QColor(Qt::white).rgb();
    QVERIFY(symbolPixels > indexed.width() * indexed.height() / 10);
}

QTEST_MAIN(TstFastPaint)
#include "tst_fastpaint.moc"
