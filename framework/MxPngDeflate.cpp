// SPDX-License-Identifier: GPL-3.0-or-later
#include "framework/MxPngDeflate.h"

#include <QtEndian>
#include <algorithm>

namespace Mx {

namespace {

constexpr int kMemLevel = 8;
constexpr int kMaxWindowBits = 15;
// zlib makes a window of 256 bytes one of 512 and refuses it for a raw stream.
constexpr int kMinWindowBits = 9;
constexpr qsizetype kHeaderSize = 2;
constexpr qsizetype kMinOutputRoom = 4096;

// libpng fits the window to pictures of at most 16 kB, with the 262 bytes zlib looks ahead.
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
    return std::max(windowBits, kMinWindowBits);
}

// The header zlib writes for its default level (window size, level class, check bits).
void writeZlibHeader(uchar *header, int windowBits)
{
    constexpr unsigned kDefaultLevelClass = 2;
    unsigned word = (unsigned(Z_DEFLATED) + (unsigned(windowBits - 8) << 4)) << 8 | (kDefaultLevelClass << 6);
    word += 31 - word % 31;
    header[0] = uchar(word >> 8);
    header[1] = uchar(word);
}

// libpng then rewrites the header of small pictures to name the smallest window that holds them.
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

} // namespace

PngDeflater::PngDeflater(quint64 dataSize, bool filtered) : mDataSize(dataSize)
{
    const int windowBits = windowBitsFor(dataSize);
    // A raw stream: the header and checksum come from us, so that zlib sums nothing.
    mOk = deflateInit2(&mZs, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -windowBits, kMemLevel,
                       filtered ? Z_FILTERED : Z_DEFAULT_STRATEGY) == Z_OK;
    mStream.resize(64 * 1024);
    writeZlibHeader(mStream.data(), windowBits);
}

PngDeflater::~PngDeflater()
{
    if (mOk)
        deflateEnd(&mZs);
}

void PngDeflater::run(int flush)
{
    for (;;) {
        const size_t used = size_t(kHeaderSize) + mZs.total_out;
        if (mStream.size() - used < size_t(kMinOutputRoom))
            mStream.resize(mStream.size() * 2);
        mZs.next_out = mStream.data() + used;
        mZs.avail_out = uInt(std::min<size_t>(mStream.size() - used, 1u << 30));
        const int ret = deflate(&mZs, flush);
        if (ret == Z_STREAM_END || (flush == Z_NO_FLUSH && mZs.avail_in == 0 && mZs.avail_out > 0))
            return;
        if (ret != Z_OK && ret != Z_BUF_ERROR) {
            mOk = false;
            return;
        }
    }
}

void PngDeflater::add(const uchar *data, qsizetype size)
{
    if (!mOk || size == 0)
        return;
    mZs.next_in = const_cast<uchar *>(data);
    mZs.avail_in = uInt(size);
    run(Z_NO_FLUSH);
}

const std::vector<uchar> &PngDeflater::finish(uLong adler)
{
    if (mOk) {
        mZs.next_in = nullptr;
        mZs.avail_in = 0;
        run(Z_FINISH);
    }
    const size_t end = size_t(kHeaderSize) + mZs.total_out;
    mStream.resize(end + 4);
    qToBigEndian(quint32(adler), mStream.data() + end);
    shrinkZlibHeader(mStream.data(), mDataSize);
    return mStream;
}

} // namespace Mx
