// SPDX-License-Identifier: GPL-3.0-or-later
// A PNG encoder for the 32-bit pictures we export that writes the very bytes QImage::save(file, "PNG")
// writes through libpng and zlib (same chunks, same per-row filter choice, same deflate stream and
// IDAT split), several times faster: the filter choice runs on whole vectors instead of a byte at a
// time, and rows need no conversion when they are opaque. Pictures it cannot reproduce go to Qt.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <memory>

namespace Mx {

class PngEncoder {
public:
    // Whether this encoder reproduces Qt's PNG for `image` (ARGB32 or ARGB32_Premultiplied, with
    // a resolution and without text, offset or colour space); if not, save with QImage.
    static bool canEncode(const QImage &image);

    // Starts the file of a picture with `image`'s size, format and resolution; the rows come
    // later through addRows, so they may be added while the rest of the picture is painted.
    explicit PngEncoder(const QImage &image);
    ~PngEncoder();
    PngEncoder(const PngEncoder &) = delete;
    PngEncoder &operator=(const PngEncoder &) = delete;

    // Filters and compresses the next `count` rows, the first at `firstRow`, each `bytesPerLine`
    // after the previous one. Rows come in order, each exactly once.
    void addRows(const uchar *firstRow, qsizetype bytesPerLine, int count);

    // The whole file once every row is added.
    QByteArray finish();

private:
    struct State;
    std::unique_ptr<State> d;
};

// The PNG file of `image`: PngEncoder's bytes when it can encode the image, else QImage's.
QByteArray encodePng(const QImage &image);

// Writes `image` to `file` as PNG, byte for byte as QImage::save(file, "PNG") would.
bool writePng(const QImage &image, const QString &file);

} // namespace Mx
