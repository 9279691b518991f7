#include "ObjectBlock.h"
#include "SObjectSprites.h"
#include "SObjectView.h"

#include <QPainter>
#include <QWidget>
#include <QRegion>
#include <QRandomGenerator>
#include <QTest>

class TstFastPaint : public QObject {
    Q_OBJECT

private slots:
    void spriteEqualsDrawing_data();
    void spriteEqualsDrawing();
    void spritesWrittenDirectlyOnlyIntoPlainImages_data();
    void spritesWrittenDirectlyOnlyIntoPlainImages();
    void spritesInWidgetEqualDrawing();
    void spritesOnlyWhereExact();
    void crowdedPaintEqualsPlainPaint_data();
    void crowdedPaintEqualsPlainPaint();
};

namespace {
constexpr int kImageSide = 40;

QImage blankImage(QImage::Format format = QImage::Format_ARGB32_Premultiplied, QColor ground = Qt::white)
{
    QImage image(kImageSide, kImageSide, format);
    image.fill(ground);
    return image;
}

// Cuts symbols at the image edge and, with a hole in the middle, inside it.
QRegion clipWithHole()
{
    return QRegion(2, 2, kImageSide - 4, kImageSide - 4) - QRegion(22, 20, 6, 6);
}
} // namespace

void TstFastPaint::spriteEqualsDrawing_data()
{
    QTest::addColumn<int>("shape");
    QTest::addColumn<int>("size");
    QTest::addColumn<QPoint>("centre");
    QTest::addColumn<QImage::Format>("format");
    QTest::addColumn<QColor>("ground");
    QTest::addColumn<QPoint>("origin");
    const QList<QPoint> centres{QPoint(20, 20), QPoint(0, 0), QPoint(-2, 39), QPoint(39, 5)};
    for (int shape : {SObjectSprites::SH_Disc, SObjectSprites::SH_Triangle, SObjectSprites::SH_Cross})
        for (int size : {0, 1, 2, 5, 7, 8, 15})
            for (const QPoint &c : centres)
                QTest::addRow("shape %d size %d at %d,%d", shape, size, c.x(), c.y())
                    << shape << size << c << QImage::Format_ARGB32_Premultiplied << QColor(Qt::white) << QPoint();
    // Images that take the sprites pixel by pixel, and ones that leave them to the painter.
    const struct {
        const char *name;
        QImage::Format format;
        QColor ground;
    } targets[] = {{"rgb32", QImage::Format_RGB32, Qt::white},
                   {"premultiplied half-transparent", QImage::Format_ARGB32_Premultiplied, QColor(0, 0, 255, 100)},
                   {"argb32 half-transparent", QImage::Format_ARGB32, QColor(90, 200, 10, 77)},
                   {"rgb16", QImage::Format_RGB16, Qt::gray}};
    for (const auto &target : targets)
        for (int shape : {SObjectSprites::SH_Disc, SObjectSprites::SH_Triangle, SObjectSprites::SH_Cross})
            for (const QPoint &origin : {QPoint(0, 0), QPoint(-3, 4)})
                QTest::addRow("%s shape %d origin %d,%d", target.name, shape, origin.x(), origin.y())
                    << shape << 7 << QPoint(21, 19) << target.format << target.ground << origin;
}

void TstFastPaint::spriteEqualsDrawing()
{
    QFETCH(int, shape);
    QFETCH(int, size);
    QFETCH(QPoint, centre);
    QFETCH(QImage::Format, format);
    QFETCH(QColor, ground);
    QFETCH(QPoint, origin);
    const QColor color(20, 120, 200);
    const QPen pen(color, 0);
    const QBrush brush(color);

    QImage drawn = blankImage(format, ground);
    {
        QPainter painter(&drawn);
        painter.translate(origin);
        painter.setClipRegion(clipWithHole().translated(-origin));
        SObjectSprites::drawSymbol(painter, shape, centre.x(), centre.y(), size, pen, brush);
    }
    QImage copied = blankImage(format, ground);
    SObjectSprites sprites;
    {
        QPainter painter(&copied);
        painter.translate(origin);
        painter.setClipRegion(clipWithHole().translated(-origin));
        sprites.beginPaint(painter);
        QVERIFY(sprites.usable());
        sprites.draw(painter, shape, centre.x(), centre.y(), size, pen, brush);
    }
    QCOMPARE(copied, drawn);
    if (size >= 5 && clipWithHole().contains(centre + origin))
        QVERIFY(copied != blankImage(format, ground)); // the comparison saw a symbol
}

void TstFastPaint::spritesWrittenDirectlyOnlyIntoPlainImages_data()
{
    QTest::addColumn<QImage::Format>("format");
    QTest::addColumn<bool>("direct");
    QTest::newRow("premultiplied") << QImage::Format_ARGB32_Premultiplied << true;
    QTest::newRow("rgb32") << QImage::Format_RGB32 << true;
    QTest::newRow("argb32 converts around the symbol") << QImage::Format_ARGB32 << false;
    QTest::newRow("rgb16") << QImage::Format_RGB16 << false;
}

void TstFastPaint::spritesWrittenDirectlyOnlyIntoPlainImages()
{
    QFETCH(QImage::Format, format);
    QFETCH(bool, direct);
    QImage image = blankImage(format);
    SObjectSprites sprites;
    {
        QPainter painter(&image);
        sprites.beginPaint(painter);
        QCOMPARE(sprites.writesDirectly(), direct);
        painter.scale(2, 2);
        sprites.beginPaint(painter);
        QVERIFY(!sprites.writesDirectly());
    }
}

namespace {
// Paints symbols the way the object view does: translated, clipped, through sprites or not.
class SymbolWidget : public QWidget {
public:
    explicit SymbolWidget(bool useSprites) : mUseSprites(useSprites) { setFixedSize(kImageSide * 3, kImageSide * 2); }
    bool wroteDirectly = false;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.translate(-7, 3);
        painter.setClipRect(10, 0, kImageSide * 2, kImageSide + 5);
        mSprites.beginPaint(painter);
        wroteDirectly = mSprites.writesDirectly();
        const QColor color(200, 30, 60);
        for (int i = 0; i < 12; ++i) {
            const int shape = i % 3;
            const QPoint c(8 + i * 9, 6 + (i * 7) % (kImageSide + 4));
            if (mUseSprites)
                mSprites.draw(painter, shape, c.x(), c.y(), 5 + i % 4, QPen(color, 0), QBrush(color));
            else
                SObjectSprites::drawSymbol(painter, shape, c.x(), c.y(), 5 + i % 4, QPen(color, 0), QBrush(color));
        }
    }

private:
    bool mUseSprites;
    SObjectSprites mSprites;
};
} // namespace

// A widget paints into its backing store (or, when grabbed, into a pixmap) through a
// redirected painter: the copies must land where the drawing would, inside the exposed region.
void TstFastPaint::spritesInWidgetEqualDrawing()
{
    SymbolWidget copied(true);
    SymbolWidget drawn(false);
    const QRegion exposed = QRegion(0, 0, kImageSide * 3, kImageSide * 2) - QRegion(26, 28, 20, 8); // cuts two symbols
    QImage copiedImage(copied.size(), QImage::Format_RGB32);
    QImage drawnImage(drawn.size(), QImage::Format_RGB32);
    copiedImage.fill(Qt::white);
    drawnImage.fill(Qt::white);
    copied.render(&copiedImage, QPoint(), exposed, QWidget::RenderFlags());
    drawn.render(&drawnImage, QPoint(), exposed, QWidget::RenderFlags());
    QVERIFY(copied.wroteDirectly);
    QCOMPARE(copiedImage, drawnImage);
    int symbolPixels = 0;
    for (int y = 0; y < copiedImage.height(); ++y)
        for (int x = 0; x < copiedImage.width(); ++x)
            symbolPixels += copiedImage.pixel(x, y) != QColor(Qt::white).rgb();
    QVERIFY(symbolPixels > 100); // the comparison saw symbols
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
