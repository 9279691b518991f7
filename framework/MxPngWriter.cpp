// SPDX-License-Identifier: GPL-3.0-or-later
#include "framework/MxPngWriter.h"

#include "framework/MxPngFilter.h"

#include <QBuffer>
#include <QColorSpace>
#include <QFile>
#include <QtEndian>
#include <cstring>
#include <vector>
#include <zlib.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace Mx {

namespace {

// What libpng does by default and Qt leaves alone: the largest side it accepts, the size of each
// IDAT chunk, zlib's memory level.
constexpr int kMaxSide = 1000000;
constexpr qsizetype kIdatSize = 8192;
constexpr int kMemLevel = 8;
constexpr int kMaxWindowBits = 15;
// Filtered rows gathered before each call to deflate.
constexpr qsizetype kDeflateBatch = 64 * 1024;

// The uncompressed size libpng reckons with when it fits zlib's window to small pictures.
quint64 imageDataSize(qsizetype rowBytes, int height)
{
    if (rowBytes < 32768 && height < 32768)
        return quint64(rowBytes + 1) * quint64(height);
    return 0xffffffffu;
}

int windowBitsFor(quint64 dataSize)
{
    int windowBits = kMaxWindowBits;
    if (dataSize <= 16384) {
        unsigned halfWindow = 1u << (windowBits - 1);
        while (dataSize + 262 <= halfWindow) {
            halfWindow >>= 1;
            --windowBits;
        }
    }
    return windowBits;
}

// libpng rewrites the zlib header of small pictures to name the smallest window that holds them.
void shrinkZlibHeader(uchar *header, quint64 dataSize)
{
    if (dataSize > 16384)
        return;
    unsigned cmf = header[0];
    if ((cmf & 0x0f) != 8 || (cmf & 0xf0) > 0x70)
        return;
    unsigned cinfo = cmf >> 4;
    unsigned halfWindow = 1u << (cinfo + 7);
    if (dataSize > halfWindow)
        return;
    do {
        halfWindow >>= 1;
        --cinfo;
    } while (cinfo > 0 && dataSize <= halfWindow);
    cmf = (cmf & 0x0f) | (cinfo << 4);
    header[0] = uchar(cmf);
    unsigned flags = header[1] & 0xe0;
    flags += 0x1f - ((cmf << 8) + flags) % 0x1f;
    header[1] = uchar(flags);
}

void appendChunk(QByteArray &out, const char *type, const uchar *data, qsizetype length)
{
    uchar head[8];
    qToBigEndian(quint32(length), head);
    std::memcpy(head + 4, type, 4);
    out.append(reinterpret_cast<const char *>(head), 8);
    out.append(reinterpret_cast<const char *>(data), length);
    uLong crc = crc32(0, head + 4, 4);
    if (length > 0) // zlib answers a null buffer with the initial value, not the running one
        crc = crc32(crc, data, uInt(length));
    uchar tail[4];
    qToBigEndian(quint32(crc), tail);
    out.append(reinterpret_cast<const char *>(tail), 4);
}

// Copies `width` pixels from Qt's 32-bit layout to PNG's R, G, B, A byte order; true when all
// of them are opaque.
bool copyAsRgba(const uchar *src, int width, uchar *dst)
{
    quint32 alphaAnd = 0xff000000u;
    int x = 0;
#if defined(__SSE2__)
    const __m128i lowByte = _mm_set1_epi32(0xff);
    const __m128i keep = _mm_set1_epi32(int(0xff00ff00u));
    __m128i alphas = _mm_set1_epi32(-1);
    for (; x + 4 <= width; x += 4) {
        const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i *>(src + 4 * x));
        alphas = _mm_and_si128(alphas, p);
        const __m128i red = _mm_and_si128(_mm_srli_epi32(p, 16), lowByte);
        const __m128i blue = _mm_slli_epi32(_mm_and_si128(p, lowByte), 16);
        _mm_storeu_si128(reinterpret_cast<__m128i *>(dst + 4 * x),
                         _mm_or_si128(_mm_and_si128(p, keep), _mm_or_si128(red, blue)));
    }
    alignas(16) quint32 lanes[4];
    _mm_store_si128(reinterpret_cast<__m128i *>(lanes), alphas);
    alphaAnd &= lanes[0] & lanes[1] & lanes[2] & lanes[3];
#endif
    for (; x < width; ++x) {
        quint32 p;
        std::memcpy(&p, src + 4 * x, 4);
        alphaAnd &= p;
        const quint32 rgba = (p & 0xff00ff00u) | ((p >> 16) & 0xffu) | ((p & 0xffu) << 16);
        std::memcpy(dst + 4 * x, &rgba, 4);
    }
    return alphaAnd == 0xff000000u;
}

} // namespace

struct PngEncoder::State {
    int width = 0;
    int height = 0;
    bool premultiplied = false;
    int dotsPerMeterX = 0;
    int dotsPerMeterY = 0;
    qsizetype rowBytes = 0;
    unsigned allowedFilters = kPngAllFilters;
    int rowsAdded = 0;
    PngRowFilter rows;
    std::vector<uchar> pending; // filtered rows not yet given to zlib
    std::vector<uchar> stream;  // the zlib stream so far
    z_stream zs{};
    bool ok = false;

    explicit State(const QImage &image);
    ~State()
    {
        if (ok)
            deflateEnd(&zs);
    }
    void prepareRow(const uchar *src);
    void compress(int flush);
};

PngEncoder::State::State(const QImage &image)
    : width(image.width()), height(image.height()),
      premultiplied(image.format() == QImage::Format_ARGB32_Premultiplied), dotsPerMeterX(image.dotsPerMeterX()),
      dotsPerMeterY(image.dotsPerMeterY()), rowBytes(qsizetype(image.width()) * 4), rows(rowBytes)
{
    // libpng drops the filters that look at a missing neighbour row or column.
    if (height == 1)
        allowedFilters &= ~((1u << PngFilterUp) | (1u << PngFilterAverage) | (1u << PngFilterPaeth));
    if (width == 1)
        allowedFilters &= ~((1u << PngFilterSub) | (1u << PngFilterAverage) | (1u << PngFilterPaeth));
    const int strategy = allowedFilters == (1u << PngFilterNone) ? Z_DEFAULT_STRATEGY : Z_FILTERED;
    ok = deflateInit2(&zs, Z_DEFAULT_COMPRESSION, Z_DEFLATED, windowBitsFor(imageDataSize(rowBytes, height)), kMemLevel,
                      strategy) == Z_OK;
    pending.reserve(size_t(kDeflateBatch + rowBytes + 1));
}

// Qt writes premultiplied pixels as straight ones; rows with translucent pixels take Qt's own
// conversion, whose rounding this must repeat exactly.
void PngEncoder::State::prepareRow(const uchar *src)
{
    if (copyAsRgba(src, width, rows.row()) || !premultiplied)
        return;
    const QImage straight =
        QImage(src, width, 1, QImage::Format_ARGB32_Premultiplied).convertToFormat(QImage::Format_ARGB32);
    copyAsRgba(straight.constBits(), width, rows.row());
}

void PngEncoder::State::compress(int flush)
{
    zs.next_in = pending.data();
    zs.avail_in = uInt(pending.size());
    for (;;) {
        if (stream.size() - zs.total_out < 4096)
            stream.resize(std::max<size_t>(stream.size() * 2, 65536));
        zs.next_out = stream.data() + zs.total_out;
        zs.avail_out = uInt(std::min<size_t>(stream.size() - zs.total_out, 1u << 30));
        const int ret = deflate(&zs, flush);
        if (ret == Z_STREAM_END || (flush == Z_NO_FLUSH && zs.avail_in == 0 && zs.avail_out > 0))
            break;
        if (ret != Z_OK && ret != Z_BUF_ERROR) {
            ok = false;
            break;
        }
    }
    pending.clear();
}

bool PngEncoder::canEncode(const QImage &image)
{
    if (Q_BYTE_ORDER != Q_LITTLE_ENDIAN || image.isNull())
        return false;
    if (image.format() != QImage::Format_ARGB32 && image.format() != QImage::Format_ARGB32_Premultiplied)
        return false;
    return image.width() <= kMaxSide && image.height() <= kMaxSide && image.textKeys().isEmpty() &&
           image.offset().isNull() && !image.colorSpace().isValid() && image.dotsPerMeterX() > 0 &&
           image.dotsPerMeterY() > 0;
}

PngEncoder::PngEncoder(const QImage &image) : d(std::make_unique<State>(image)) {}

PngEncoder::~PngEncoder() = default;

void PngEncoder::addRows(const uchar *firstRow, qsizetype bytesPerLine, int count)
{
    for (int i = 0; i < count && d->ok && d->rowsAdded < d->height; ++i, ++d->rowsAdded) {
        d->prepareRow(firstRow + i * bytesPerLine);
        const size_t at = d->pending.size();
        d->pending.resize(at + size_t(d->rowBytes) + 1);
        d->rows.filter(d->allowedFilters, d->pending.data() + at);
        if (qsizetype(d->pending.size()) >= kDeflateBatch)
            d->compress(Z_NO_FLUSH);
    }
}

QByteArray PngEncoder::finish()
{
    if (d->ok && d->rowsAdded == d->height)
        d->compress(Z_FINISH);
    if (!d->ok || d->rowsAdded != d->height)
        return {};
    const qsizetype streamSize = qsizetype(d->zs.total_out);
    shrinkZlibHeader(d->stream.data(), imageDataSize(d->rowBytes, d->height));

    QByteArray out;
    out.reserve(streamSize + streamSize / kIdatSize * 12 + 128);
    out.append("\x89PNG\r\n\x1a\n", 8);
    uchar header[13];
    qToBigEndian(quint32(d->width), header);
    qToBigEndian(quint32(d->height), header + 4);
    const uchar depthTypeAndMethods[5] = {8, 6, 0, 0, 0}; // 8 bits, RGBA, deflate, adaptive, no interlace
    std::memcpy(header + 8, depthTypeAndMethods, 5);
    appendChunk(out, "IHDR", header, 13);
    uchar physical[9];
    qToBigEndian(quint32(d->dotsPerMeterX), physical);
    qToBigEndian(quint32(d->dotsPerMeterY), physical + 4);
    physical[8] = 1; // per metre
    appendChunk(out, "pHYs", physical, 9);
    for (qsizetype at = 0; at < streamSize; at += kIdatSize)
        appendChunk(out, "IDAT", d->stream.data() + at, std::min(kIdatSize, streamSize - at));
    appendChunk(out, "IEND", nullptr, 0);
    return out;
}

QByteArray encodePng(const QImage &image)
{
    if (PngEncoder::canEncode(image)) {
        PngEncoder encoder(image);
        encoder.addRows(image.constBits(), image.bytesPerLine(), image.height());
        QByteArray bytes = encoder.finish();
        if (!bytes.isEmpty())
            return bytes;
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        return {};
    return bytes;
}

bool writePng(const QImage &image, const QString &file)
{
    if (!PngEncoder::canEncode(image))
        return image.save(file, "PNG");
    const QByteArray bytes = encodePng(image);
    QFile out(file);
    return !bytes.isEmpty() && out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size() && out.flush();
}

} // namespace Mx
