// SPDX-License-Identifier: GPL-3.0-or-later
// The PNG encoder against Qt's own PNG writer: for every kind of picture the bytes must be the same.
#include "framework/MxPngWriter.h"

#include <QBuffer>
#include <QPainter>
#include <QRandomGenerator>
#include <QtTest>

namespace {

// Halving: every byte half its left and upper neighbours', the picture the average filter suits best.
enum class Fill { Uniform, Gradient, Halving, Noise, TranslucentNoise, Holes, Painted };

QImage makeImage(int width, int height, Fill fill, QImage::Format format)
{
    QImage image(width, height, format);
    QRandomGenerator random(quint32(width * 7919 + height));
    for (int y = 0; y < height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const quint32 r = random.generate();
            QRgb pixel = qRgba(200, 120, 40, 255);
            switch (fill) {
            case Fill::Uniform: break;
            case Fill::Gradient: pixel = qRgba(x & 0xff, y & 0xff, (x + y) & 0xff, 255); break;
            case Fill::Halving: pixel = 0x01010101u * (255u >> ((x + y) % 8)); break;
            case Fill::Noise: pixel = r | 0xff000000u; break;
            case Fill::TranslucentNoise: pixel = r; break;
            case Fill::Holes: pixel = (r & 3) == 0 ? qRgba(0, 0, 0, 0) : (r & 3) == 1 ? (r | 0xff000000u) : r; break;
            case Fill::Painted: pixel = qRgba(255, 255, 255, 255); break;
            }
            line[x] = format == QImage::Format_ARGB32_Premultiplied ? qPremultiply(pixel) : pixel;
        }
    }
    if (fill == Fill::Painted) {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        for (int i = 0; i < 200; ++i)
            painter.drawEllipse(QPointF((i * 37) % width, (i * 53) % height), 2.5, 2.5);
    }
    return image;
}

QByteArray savedByQt(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

} // namespace

class TestPngWriter : public QObject {
    Q_OBJECT

private slots:
    void sameBytesAsQt_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<Fill>("fill");
        QTest::addColumn<bool>("premultiplied");
        const auto row = [](const char *name, int w, int h, Fill fill, bool pm) {
            QTest::newRow(name) << w << h << fill << pm;
        };
        row("one pixel", 1, 1, Fill::Noise, true);
        row("one column", 1, 40, Fill::Noise, true);
        row("one row", 97, 1, Fill::Gradient, true);
        row("one row, halving", 64, 1, Fill::Halving, false);
        row("one column, halving", 1, 16, Fill::Halving, false);
        row("small, odd width, translucent", 13, 7, Fill::TranslucentNoise, true);
        row("uniform", 580, 580, Fill::Uniform, true);
        row("gradient", 300, 90, Fill::Gradient, true);
        row("noise, several chunks", 301, 203, Fill::Noise, true);
        row("translucent premultiplied, tall", 257, 600, Fill::TranslucentNoise, true);
        row("transparent holes", 63, 45, Fill::Holes, true);
        row("painted with antialiasing", 401, 300, Fill::Painted, true);
        row("straight alpha", 131, 77, Fill::TranslucentNoise, false);
    }

    void sameBytesAsQt()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(Fill, fill);
        QFETCH(bool, premultiplied);
        const QImage image =
            makeImage(width, height, fill, premultiplied ? QImage::Format_ARGB32_Premultiplied : QImage::Format_ARGB32);
        QVERIFY(Mx::PngEncoder::canEncode(image));
        const QByteArray expected = savedByQt(image);
        QVERIFY(!expected.isEmpty());
        QCOMPARE(Mx::encodePng(image), expected);
    }
};

QTEST_MAIN(TestPngWriter)
#include "tst_pngwriter.moc"
