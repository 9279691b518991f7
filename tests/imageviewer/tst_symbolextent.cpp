// SPDX-License-Identifier: GPL-3.0-or-later
// The pixels a point symbol covers, in the image canvas, the object canvas (sprites) and
// the object symbols drawn directly (vector exports): circles fill their s x s box from
// the corner (p - s/2); triangles and crosses, of odd size s, reach s/2 on every side.
#include "imageviewer/SImageCanvas.h"
#include "misc/SImageData.h"
#include "objectviewer/SObjectCanvas.h"
#include "objectviewer/SObjectSprites.h"
#include "tests/common/CanvasPicture.h"
#include "tests/objectviewer/ObjectBlock.h"

#include <QImage>
#include <QPainter>
#include <QTest>

namespace {

const QColor kGround(Qt::white);
const QColor kInk(Qt::black);
constexpr int kProbe = 20; // pixels searched around the point

// Bounding box of the ink within kProbe pixels of centre.
QRect inkBox(const QImage &image, QPoint centre)
{
    QRect box;
    for (int y = centre.y() - kProbe; y <= centre.y() + kProbe; ++y)
        for (int x = centre.x() - kProbe; x <= centre.x() + kProbe; ++x)
            if (image.pixelColor(x, y) == kInk)
                box |= QRect(x, y, 1, 1);
    return box;
}

// Image extent 0..500: (250, 250) lands at canvas (290, 290).
QRect imageCanvasBox(int symbol, int size)
{
    SImage image;
    image.setXmin(0.0f);
    image.setYmin(0.0f);
    image.setXmax(500.0f);
    image.setYmax(500.0f);
    image.addImagePoint(1, true, 250.0f, 250.0f, 0.0f, 0.0f, 1.0f);
    image.imagePoint(1)->setCode(0);
    SImageCanvas canvas;
    canvas.setImage(&image);
    canvas.setLargestResidualColor(Qt::transparent); // the lone point is the largest residual
    canvas.setPointSymbol(0, symbol);
    canvas.setPointSize(0, size);
    const QImage picture = paintedCanvas(canvas);
    SImage::clearPointIndex();
    return inkBox(picture, QPoint(290, 290));
}

// The block's middle (1000, 500) lands at canvas (290, 165).
QRect objectCanvasBox(int symbol, int size)
{
    ObjectBlock block;
    block.add(3, 0, 1000.0f, 500.0f, 0.0f);
    SObjectCanvas canvas(0);
    canvas.setObjectPoints(&block.points, false);
    canvas.setPointSymbol(0, symbol);
    canvas.setPointSize(0, size);
    return inkBox(paintedCanvas(canvas), QPoint(290, 165));
}

// The symbol as vector exports draw it, of the size the canvas hands over.
QRect directBox(int symbol, int size)
{
    QImage picture(2 * kProbe + 1, 2 * kProbe + 1, QImage::Format_RGB32);
    picture.fill(kGround);
    QPainter painter(&picture);
    SObjectSprites::drawSymbol(painter, symbol, kProbe, kProbe, size, QPen(kInk, 0), QBrush(kInk));
    painter.end();
    return inkBox(picture, QPoint(kProbe, kProbe)).translated(290 - kProbe, 165 - kProbe);
}

} // namespace

class TestSymbolExtent : public QObject {
    Q_OBJECT

private slots:
    void extent_data()
    {
        QTest::addColumn<int>("symbol");
        QTest::addColumn<int>("size");
        const char *names[] = {"circle", "triangle", "cross"};
        for (int symbol = 0; symbol < 3; ++symbol)
            for (int size = 1; size <= 12; ++size)
                QTest::addRow("%s %d", names[symbol], size) << symbol << size;
    }
    void extent()
    {
        QFETCH(int, symbol);
        QFETCH(int, size);
        const int s = symbol != 0 && size % 2 == 0 ? size - 1 : size;
        const int a = s / 2;
        const QRect expected = symbol == 0 ? QRect(-a, -a, s, s) : QRect(-a, -a, 2 * a + 1, 2 * a + 1);
        QCOMPARE(imageCanvasBox(symbol, size), expected.translated(290, 290));
        QCOMPARE(objectCanvasBox(symbol, size), expected.translated(290, 165));
        QCOMPARE(directBox(symbol, s), expected.translated(290, 165));
    }
};

QTEST_MAIN(TestSymbolExtent)
#include "tst_symbolextent.moc"
