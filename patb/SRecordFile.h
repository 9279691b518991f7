// SPDX-License-Identifier: GPL-3.0-or-later
// Sequential reading of a binary file of fixed-size records, window by window into one reused
// buffer, so that millions of records cost no call or allocation each and the resident memory
// holds one window, not the file.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QtEndian>

#include <bit>
#include <memory>

class SRecordFile {
public:
    // Windows of windowBytes (at least one record). Small enough to stay in the processor's
    // cache between the copy from the file and the parsing; a reader may ask for one larger
    // window where it needs more records at once (windowFromLast).
    static constexpr qint64 kDefaultWindowBytes = 256 * 1024;
    SRecordFile(const QString &name, int recordSize, qint64 windowBytes = kDefaultWindowBytes);
    SRecordFile(const SRecordFile &) = delete;
    SRecordFile &operator=(const SRecordFile &) = delete;

    bool open();
    // The next complete record, or null at the end of the file or at an incomplete record.
    // Valid until the next call.
    const char *next()
    {
        if (mOffset + mRecordSize > mWindowStart + mWindowBytes && !moveWindow(mWindowCapacity))
            return nullptr;
        const char *record = mWindow + (mOffset - mWindowStart);
        mOffset += mRecordSize;
        return record;
    }
    // Complete records after the one next() returned last that are already in memory; a
    // reader may look at them (at recordAhead(0) ...) without consuming them.
    qint64 recordsAhead() const { return (mWindowStart + mWindowBytes - mOffset) / mRecordSize; }
    const char *recordAhead(qint64 i) const { return mWindow + (mOffset - mWindowStart) + i * mRecordSize; }
    // Consumes n of those records (n at most recordsAhead()).
    void skip(qint64 n) { mOffset += n * mRecordSize; }
    // Before the first record: reading starts at offset, a multiple of the record size.
    void seek(qint64 offset) { mOffset = mWindowStart = offset; }
    // Records end at offset, at most the file's size at opening; may be moved on later.
    void setEnd(qint64 offset) { mSize = offset; }
    // Whether the file holds records beyond the window.
    bool moreBeyondWindow() const { return mWindowStart + mWindowBytes < mSize; }
    // Whether the window starts at the record next() gave last.
    bool windowStartsAtLast() const { return mWindowStart == mOffset - mRecordSize; }
    // Moves the window to start at the record next() gave last, read again, so that the records
    // after it lie in memory as far as the window reaches; pointers into the window change.
    // False when the file no longer holds that record: it then ends before it.
    bool windowFromLast() { return windowFromLast(mWindowCapacity); }
    // The same with this one window of up to windowBytes; the windows after it have the
    // usual size again.
    bool windowFromLast(qint64 windowBytes);
    // Frees the window until the next record is asked for.
    void releaseWindow()
    {
        mBuffer.reset();
        mBufferBytes = 0;
        mWindowStart = mOffset;
        mWindowBytes = 0;
    }
    // Bytes of an incomplete last record, known once next() returned null.
    qint64 leftover() const { return mLeftover; }
    qint64 bytesRead() const { return mOffset; }
    qint64 size() const { return mSize; }
    const QString &name() const { return mName; }

private:
    // Makes the record at mOffset available in a window of up to capacity bytes; false at the
    // end of the file.
    bool moveWindow(qint64 capacity);
    void allocateWindow(qint64 bytes);

    QString mName;
    QFile mFile;
    int mRecordSize;
    qint64 mWindowCapacity; // of the usual window
    qint64 mSize = 0;
    qint64 mOffset = 0;      // file offset of the next record
    qint64 mWindowStart = 0; // file offset of mWindow[0]
    qint64 mWindowBytes = 0; // bytes available at mWindow
    const char *mWindow = nullptr;
    // The window's memory lies apart from the heap: freed, it goes back to the system at once,
    // whichever thread read with it, instead of staying in that thread's heap.
    struct Unmap {
        size_t bytes;
        void operator()(char *p) const;
    };
    // The current window; allocated at opening (a small file gets one of its own size), again
    // only for a larger window, and kept for the usual windows after it.
    std::unique_ptr<char[], Unmap> mBuffer;
    qint64 mBufferBytes = 0;
    qint64 mLeftover = 0;
};

// Little-endian field decoding of PAT-B records.
namespace SRecord {
inline qint16 int16At(const char *record, int offset) { return qFromLittleEndian<qint16>(record + offset); }
inline double float64At(const char *record, int offset)
{
    return std::bit_cast<double>(qFromLittleEndian<quint64>(record + offset));
}
// A nine-character id field converted as C's atoi converts it, within those characters.
Q_NEVER_INLINE inline int idAtSlowly(const char *record, int offset)
{
    constexpr int kIdFieldLength = 9;
    const char *p = record + offset;
    const char *const end = p + kIdFieldLength;
    while (p < end && (*p == ' ' || (*p >= '\t' && *p <= '\r')))
        ++p;
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-'))
        negative = *p++ == '-';
    int value = 0; // nine characters hold at most nine digits: no overflow
    for (; p < end && unsigned(*p - '0') <= 9u; ++p)
        value = value * 10 + (*p - '0');
    return negative ? -value : value;
}
// The same, eight characters at a time for the usual field: blanks, then digits to its end.
// Inlined into the readers' loops, which then keep its constants in registers.
Q_ALWAYS_INLINE int idAt(const char *record, int offset)
{
    constexpr quint64 kOnes = 0x0101010101010101ull;
    const char first = record[offset];
    const quint64 w = qFromLittleEndian<quint64>(record + offset + 1); // characters 2 to 9
    // A byte per blank, exactly; blanks may only lead (a lower byte is an earlier character).
    const quint64 x = w ^ (kOnes * ' ');
    const quint64 blanks = ~(((x & (kOnes * 0x7F)) + kOnes * 0x7F) | x) & (kOnes * 0x80);
    const bool leading = ((blanks >> 8) & ~blanks) == 0 && (first == ' ' || blanks == 0);
    // Blanks become zeros, which lead harmlessly; then every byte must be a digit.
    const quint64 digits = w | (blanks >> 3);
    const bool allDigits =
        (digits & (kOnes * 0xF0)) == kOnes * 0x30 && ((digits + kOnes * 0x06) & (kOnes * 0xF0)) == kOnes * 0x30;
    const bool firstUsable = first == ' ' || unsigned(first - '0') <= 9u;
    if (!leading || !allDigits || !firstUsable)
        return idAtSlowly(record, offset);
    quint64 v = digits - kOnes * '0';
    v = (v * 10 + (v >> 8)) & 0x00FF00FF00FF00FFull;
    v = (v * 100 + (v >> 16)) & 0x0000FFFF0000FFFFull;
    v = (v * 10000 + (v >> 32)) & 0xFFFFFFFFull;
    return int(v) + (first == ' ' ? 0 : (first - '0') * 100000000);
}
} // namespace SRecord
