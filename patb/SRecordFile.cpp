// SPDX-License-Identifier: GPL-3.0-or-later
#include "patb/SRecordFile.h"

#include <QtEndian>
#include <algorithm>
#include <bit>
#include <cstring>

namespace {
// Large enough that reading is bound by the disk, small enough not to count in memory.
constexpr qsizetype kBufferBytes = 4 * 1024 * 1024;
constexpr int kIdFieldLength = 9;
} // namespace

SRecordFile::SRecordFile(const QString &name, int recordSize) : mName(name), mFile(name), mRecordSize(recordSize) {}

bool SRecordFile::open()
{
    if (!mFile.open(QIODevice::ReadOnly))
        return false;
    // A small file gets a buffer of its own size: opening many small files stays cheap.
    const qint64 recordsInFile = mFile.size() / mRecordSize + 1;
    const qint64 recordsInBuffer =
        std::clamp<qint64>(recordsInFile, 1, std::max<qsizetype>(kBufferBytes / mRecordSize, 1));
    mBuffer.resize(recordsInBuffer * mRecordSize);
    return true;
}

bool SRecordFile::refill()
{
    const qsizetype rest = mEnd - mPos;
    if (rest > 0)
        std::memmove(mBuffer.data(), mBuffer.constData() + mPos, static_cast<size_t>(rest));
    mPos = 0;
    mEnd = rest;
    while (!mAtEnd && mEnd < mBuffer.size()) {
        const qint64 n = mFile.read(mBuffer.data() + mEnd, mBuffer.size() - mEnd);
        if (n <= 0)
            mAtEnd = true;
        else
            mEnd += n;
    }
    return mEnd >= mRecordSize;
}

const char *SRecordFile::next()
{
    if (mEnd - mPos < mRecordSize && !refill()) {
        mLeftover = mEnd - mPos;
        return nullptr;
    }
    const char *record = mBuffer.constData() + mPos;
    mPos += mRecordSize;
    mConsumed += mRecordSize;
    return record;
}

qint16 SRecord::int16At(const char *record, int offset) { return qFromLittleEndian<qint16>(record + offset); }

double SRecord::float64At(const char *record, int offset)
{
    return std::bit_cast<double>(qFromLittleEndian<quint64>(record + offset));
}

int SRecord::idAt(const char *record, int offset)
{
    const char *p = record + offset;
    const char *end = p + kIdFieldLength;
    while (p < end && (*p == ' ' || (*p >= '\t' && *p <= '\r')))
        ++p;
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-'))
        negative = *p++ == '-';
    long long value = 0; // nine digits at most: no overflow
    for (; p < end && *p >= '0' && *p <= '9'; ++p)
        value = value * 10 + (*p - '0');
    return static_cast<int>(negative ? -value : value);
}
