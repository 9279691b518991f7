// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/STextSource.h"

#include "framework/Mu.h"

#include <bzlib.h>
#include <zlib.h>

namespace {

constexpr qint64 kInputChunk = 1 << 20;
constexpr qsizetype kOutputChunk = 1 << 20;
constexpr qsizetype kSniffBytes = 4;

} // namespace

// One compressed stream after another (parallel compressors write several), decoded into text.
class STextSource::Decoder {
public:
    virtual ~Decoder() = default;
    // Decodes from in, appending to out; false with error on a damaged stream. At the end of
    // one stream the next one, if any input is left, starts afresh.
    virtual bool decode(const QByteArray &in, qsizetype *used, QByteArray *out, QString *error) = 0;
    // True when the input ended exactly at the end of a stream.
    virtual bool complete() const = 0;
};

namespace {

class Bzip2Decoder : public STextSource::Decoder {
public:
    Bzip2Decoder() { mReady = BZ2_bzDecompressInit(&mStream, 0, 0) == BZ_OK; }
    ~Bzip2Decoder() override
    {
        if (mReady)
            BZ2_bzDecompressEnd(&mStream);
    }
    bool decode(const QByteArray &in, qsizetype *used, QByteArray *out, QString *error) override
    {
        if (!mReady) {
            *error = QStringLiteral("bzip2 decompression could not start");
            return false;
        }
        const qsizetype start = out->size();
        out->resize(start + kOutputChunk);
        mStream.next_in = const_cast<char *>(in.constData());
        mStream.avail_in = unsigned(in.size());
        mStream.next_out = out->data() + start;
        mStream.avail_out = unsigned(kOutputChunk);
        const int rc = BZ2_bzDecompress(&mStream);
        *used = in.size() - mStream.avail_in;
        out->resize(start + (kOutputChunk - mStream.avail_out));
        mComplete = rc == BZ_STREAM_END;
        if (rc == BZ_STREAM_END) {
            BZ2_bzDecompressEnd(&mStream);
            mStream = bz_stream{};
            mReady = BZ2_bzDecompressInit(&mStream, 0, 0) == BZ_OK;
            return true;
        }
        if (rc != BZ_OK) {
            *error = QStringLiteral("damaged bzip2 data (code %1)").arg(rc);
            return false;
        }
        return true;
    }
    bool complete() const override { return mComplete; }

private:
    bz_stream mStream{};
    bool mReady = false;
    bool mComplete = false;
};

class GzipDecoder : public STextSource::Decoder {
public:
    GzipDecoder() { mReady = inflateInit2(&mStream, 15 + 16) == Z_OK; } // 16: gzip header expected
    ~GzipDecoder() override
    {
        if (mReady)
            inflateEnd(&mStream);
    }
    bool decode(const QByteArray &in, qsizetype *used, QByteArray *out, QString *error) override
    {
        if (!mReady) {
            *error = QStringLiteral("gzip decompression could not start");
            return false;
        }
        const qsizetype start = out->size();
        out->resize(start + kOutputChunk);
        mStream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(in.constData()));
        mStream.avail_in = uInt(in.size());
        mStream.next_out = reinterpret_cast<Bytef *>(out->data() + start);
        mStream.avail_out = uInt(kOutputChunk);
        const int rc = inflate(&mStream, Z_NO_FLUSH);
        *used = in.size() - mStream.avail_in;
        out->resize(start + (kOutputChunk - mStream.avail_out));
        mComplete = rc == Z_STREAM_END;
        if (rc == Z_STREAM_END) {
            inflateReset(&mStream);
            return true;
        }
        if (rc != Z_OK && rc != Z_BUF_ERROR) {
            *error = QStringLiteral("damaged gzip data (%1)").arg(QString::fromLatin1(mStream.msg ? mStream.msg : "?"));
            return false;
        }
        return true;
    }
    bool complete() const override { return mComplete; }

private:
    z_stream mStream{};
    bool mReady = false;
    bool mComplete = false;
};

} // namespace

STextSource::STextSource(const QString &file) : mName(file), mFile(file) {}

STextSource::~STextSource() = default;

STextSource::CompressionE STextSource::sniff(const QByteArray &head)
{
    if (head.startsWith("BZh"))
        return CM_Bzip2;
    if (head.size() >= 2 && uchar(head[0]) == 0x1f && uchar(head[1]) == 0x8b)
        return CM_Gzip;
    return CM_None;
}

bool STextSource::open()
{
    if (!mFile.open(QIODevice::ReadOnly)) {
        mError = Mu::tr("Could not open file\n%1\n\n").arg(mName);
        return false;
    }
    mCompression = sniff(mFile.peek(kSniffBytes));
    if (mCompression == CM_Bzip2)
        mDecoder = std::make_unique<Bzip2Decoder>();
    else if (mCompression == CM_Gzip)
        mDecoder = std::make_unique<GzipDecoder>();
    return true;
}

bool STextSource::fill()
{
    if (mAtEnd)
        return false;
    if (!mDecoder) {
        const QByteArray chunk = mFile.read(kInputChunk);
        mFilePosition += chunk.size();
        mText.append(chunk);
        mAtEnd = chunk.isEmpty();
        return !mAtEnd;
    }
    // Decode until some text arrives: a chunk of compressed input may yield nothing yet.
    const qsizetype before = mText.size();
    while (mText.size() == before) {
        QByteArray input = mFile.read(kInputChunk);
        if (input.isEmpty()) {
            mAtEnd = true;
            if (!mDecoder->complete() && mFilePosition > 0)
                mError = QStringLiteral("'%1' ends inside its %2 data")
                             .arg(mName, mCompression == CM_Bzip2 ? QStringLiteral("bzip2") : QStringLiteral("gzip"));
            return false;
        }
        qsizetype offset = 0;
        while (offset < input.size() && mText.size() == before) {
            qsizetype used = 0;
            QString error;
            if (!mDecoder->decode(input.mid(offset), &used, &mText, &error) || (used == 0 && mText.size() == before)) {
                mError =
                    QStringLiteral("'%1': %2").arg(mName, error.isEmpty() ? QStringLiteral("damaged data") : error);
                mAtEnd = true;
                return false;
            }
            offset += used;
        }
        // Give back what was not decoded yet.
        mFile.seek(mFile.pos() - (input.size() - offset));
        mFilePosition = mFile.pos();
    }
    return true;
}

bool STextSource::nextLine(std::string_view *line)
{
    for (;;) {
        const qsizetype lf = mText.indexOf('\n', mPos);
        if (lf >= 0) {
            qsizetype end = lf;
            if (end > mPos && mText[end - 1] == '\r')
                --end;
            *line = std::string_view(mText.constData() + mPos, size_t(end - mPos));
            mPos = lf + 1;
            ++mLineNumber;
            return true;
        }
        if (mText.size() - mPos > kMaxLineBytes) {
            mError = QStringLiteral("'%1', line %2: line longer than %3 bytes")
                         .arg(mName)
                         .arg(mLineNumber + 1)
                         .arg(kMaxLineBytes);
            return false;
        }
        mText.remove(0, mPos);
        mPos = 0;
        if (!fill()) {
            if (!mError.isEmpty() || mText.isEmpty())
                return false;
            *line = std::string_view(mText.constData(), size_t(mText.size()));
            mPos = mText.size();
            ++mLineNumber;
            return true;
        }
    }
}

QByteArray STextSource::head(const QString &file, qsizetype bytes)
{
    STextSource source(file);
    if (!source.open())
        return {};
    while (source.mText.size() < bytes && source.fill()) {
    }
    return source.mText.left(bytes);
}
