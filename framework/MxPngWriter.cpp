// SPDX-License-Identifier: GPL-3.0-or-later
#include "framework/MxPngWriter.h"

#include "framework/MxPngDeflate.h"
#include "framework/MxPngFilter.h"

#include <QBuffer>
#include <QColorSpace>
#include <QFile>
#include <QtEndian>
#include <algorithm>
#include <atomic>
#include <cstring>
#include <thread>
#include <vector>
#include <zlib.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace Mx {

namespace {

// What libpng does by default and Qt leaves alone: the largest side it accepts, the size of each
// IDAT chunk.
constexpr int kMaxSide = 1000000;
constexpr qsizetype kIdatSize = 8192;
// Filtered rows handed to zlib at a time, and batches under way when two threads share the work.
constexpr qsizetype kBatchBytes = 64 * 1024;
constexpr int kBatchesInFlight = 4;

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
    qsizetype rowSize = 0; // a filtered row: its filter type and four bytes a pixel
    unsigned allowedFilters = kPngAllFilters;
    int rowsAdded = 0;
    PngRowFilter rows;
    uLong adler = adler32(0, nullptr, 0);
    PngDeflater deflater;

    explicit State(const QImage &image);
    int batchRows() const { return int(std::max<qsizetype>(1, kBatchBytes / rowSize)); }
    void prepareRow(const uchar *src);
    void filterRows(const uchar *src, qsizetype bytesPerLine, int count, uchar *out);
    void addRowsOnOneThread(const uchar *src, qsizetype bytesPerLine, int count);
    void addRowsOnTwoThreads(const uchar *src, qsizetype bytesPerLine, int count);
};

// libpng drops the filters that look at a missing neighbour row or column.
static unsigned allowedFiltersFor(int width, int height)
{
    unsigned allowed = kPngAllFilters;
    if (height == 1)
        allowed &= ~((1u << PngFilterUp) | (1u << PngFilterAverage) | (1u << PngFilterPaeth));
    if (width == 1)
        allowed &= ~((1u << PngFilterSub) | (1u << PngFilterAverage) | (1u << PngFilterPaeth));
    return allowed;
}

// The uncompressed size libpng reckons with when it fits zlib's window to small pictures.
static quint64 imageDataSize(qsizetype rowSize, int height)
{
    if (rowSize <= 32768 && height < 32768)
        return quint64(rowSize) * quint64(height);
    return 0xffffffffu;
}

PngEncoder::State::State(const QImage &image)
    : width(image.width()), height(image.height()),
      premultiplied(image.format() == QImage::Format_ARGB32_Premultiplied), dotsPerMeterX(image.dotsPerMeterX()),
      dotsPerMeterY(image.dotsPerMeterY()), rowSize(qsizetype(image.width()) * 4 + 1),
      allowedFilters(allowedFiltersFor(width, height)), rows(rowSize - 1),
      deflater(imageDataSize(rowSize, height), allowedFilters != (1u << PngFilterNone))
{}

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

void PngEncoder::State::filterRows(const uchar *src, qsizetype bytesPerLine, int count, uchar *out)
{
    for (int i = 0; i < count; ++i) {
        prepareRow(src + i * bytesPerLine);
        rows.filter(allowedFilters, out + i * rowSize);
    }
    adler = adler32_z(adler, out, size_t(count * rowSize));
}

void PngEncoder::State::addRowsOnOneThread(const uchar *src, qsizetype bytesPerLine, int count)
{
    std::vector<uchar> batch(size_t(std::min(count, batchRows()) * rowSize));
    for (int first = 0; first < count && deflater.ok(); first += batchRows()) {
        const int n = std::min(batchRows(), count - first);
        filterRows(src + first * bytesPerLine, bytesPerLine, n, batch.data());
        deflater.add(batch.data(), n * rowSize);
    }
}

// zlib takes most of the time: another thread filters the next batches meanwhile.
void PngEncoder::State::addRowsOnTwoThreads(const uchar *src, qsizetype bytesPerLine, int count)
{
    const int perBatch = batchRows();
    const int batches = (count + perBatch - 1) / perBatch;
    std::vector<uchar> ring(size_t(kBatchesInFlight * perBatch * rowSize));
    const auto slot = [&](int batch) { return ring.data() + (batch % kBatchesInFlight) * perBatch * rowSize; };
    const auto rowsIn = [&](int batch) { return std::min(perBatch, count - batch * perBatch); };
    std::atomic<int> filtered{0};
    std::atomic<int> compressed{0};
    std::thread filterer([&] {
        for (int batch = 0; batch < batches; ++batch) {
            for (int done; batch - (done = compressed.load(std::memory_order_acquire)) >= kBatchesInFlight;)
                compressed.wait(done, std::memory_order_acquire);
            filterRows(src + qsizetype(batch) * perBatch * bytesPerLine, bytesPerLine, rowsIn(batch), slot(batch));
            filtered.store(batch + 1, std::memory_order_release);
            filtered.notify_one();
        }
    });
    for (int batch = 0; batch < batches; ++batch) {
        for (int done; (done = filtered.load(std::memory_order_acquire)) <= batch;)
            filtered.wait(done, std::memory_order_acquire);
        deflater.add(slot(batch), rowsIn(batch) * rowSize); // after a zlib error it adds nothing
        compressed.store(batch + 1, std::memory_order_release);
        compressed.notify_one();
    }
    filterer.join();
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
    count = std::min(count, d->height - d->rowsAdded);
    if (count <= 0 || !d->deflater.ok())
        return;
    if (count >= 2 * kBatchesInFlight * d->batchRows() && std::thread::hardware_concurrency() > 1)
        d->addRowsOnTwoThreads(firstRow, bytesPerLine, count);
    else
        d->addRowsOnOneThread(firstRow, bytesPerLine, count);
    d->rowsAdded += count;
}

QByteArray PngEncoder::finish()
{
    if (!d->deflater.ok() || d->rowsAdded != d->height)
        return {};
    const std::vector<uchar> &stream = d->deflater.finish(d->adler);
    if (!d->deflater.ok())
        return {};
    const qsizetype streamSize = qsizetype(stream.size());

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
        appendChunk(out, "IDAT", stream.data() + at, std::min(kIdatSize, streamSize - at));
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
