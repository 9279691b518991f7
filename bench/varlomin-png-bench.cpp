// SPDX-License-Identifier: GPL-3.0-or-later
// PNG writing of an exported picture: Qt's writer against ours, and zlib's share of ours.
//   varlomin-png-bench [PICTURE.png] [RUNS]
// Without a picture, a 580 x 580 one is painted with antialiased marks on white, like an export.
#include "bench/BenchSupport.h"
#include "framework/MxPngWriter.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPainter>
#include <QtEndian>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>
#include <zlib.h>

namespace {

using BenchSupport::bestOf;

QImage paintedPicture()
{
    QImage image(580, 580, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < 20000; ++i)
        painter.drawEllipse(QPointF((i * 7919) % 580, (i * 104729) % 580), 1.5, 1.5);
    return image;
}

// The filtered rows inside a PNG file: its IDAT chunks inflated.
std::vector<uchar> filteredRows(const QByteArray &png, const QImage &image)
{
    QByteArray stream;
    for (qsizetype at = 8; at + 12 <= png.size();) {
        const auto length = qsizetype(qFromBigEndian<quint32>(png.constData() + at));
        if (png.mid(at + 4, 4) == "IDAT")
            stream.append(png.mid(at + 8, length));
        at += 12 + length;
    }
    std::vector<uchar> rows(size_t(image.height()) * size_t(image.width() * 4 + 1));
    uLongf size = uLongf(rows.size());
    uncompress(rows.data(), &size, reinterpret_cast<const Bytef *>(stream.constData()), uLong(stream.size()));
    return rows;
}

void deflateAll(const std::vector<uchar> &rows)
{
    z_stream zs{};
    deflateInit2(&zs, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 15, 8, Z_FILTERED);
    std::vector<uchar> out(deflateBound(&zs, uLong(rows.size())));
    zs.next_in = const_cast<uchar *>(rows.data());
    zs.avail_in = uInt(rows.size());
    zs.next_out = out.data();
    zs.avail_out = uInt(out.size());
    deflate(&zs, Z_FINISH);
    deflateEnd(&zs);
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    QImage image = argc > 1 && argv[1][0] ? QImage(QString::fromLocal8Bit(argv[1])) : paintedPicture();
    const int runs = argc > 2 ? std::max(1, atoi(argv[2])) : 20;
    image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QByteArray byQt;
    const double qtMs = bestOf(runs, [&] {
        byQt.clear();
        QBuffer buffer(&byQt);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
    });
    QByteArray ours;
    const double oursMs = bestOf(runs, [&] { ours = Mx::encodePng(image); });
    // Rows given a few at a time stay on the calling thread.
    const double oneThreadMs = bestOf(runs, [&] {
        Mx::PngEncoder encoder(image);
        for (int y = 0; y < image.height(); y += 16)
            encoder.addRows(image.constScanLine(y), image.bytesPerLine(), std::min(16, image.height() - y));
        if (encoder.finish() != ours)
            std::printf("one thread: BYTES DIFFER\n");
    });
    const std::vector<uchar> rows = filteredRows(ours, image);
    const double zlibMs = bestOf(runs, [&] { deflateAll(rows); });
    std::printf("%d x %d, %lld bytes: QImage::save %.2f ms, Mx::encodePng %.2f ms (%.1f x faster), on one thread "
                "%.2f ms, zlib's deflate alone %.2f ms; %s\n",
                image.width(), image.height(), static_cast<long long>(ours.size()), qtMs, oursMs, qtMs / oursMs,
                oneThreadMs, zlibMs, ours == byQt ? "same bytes" : "BYTES DIFFER");
    return ours == byQt ? 0 : 1;
}
