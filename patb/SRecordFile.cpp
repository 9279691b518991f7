// SPDX-License-Identifier: GPL-3.0-or-later
#include "patb/SRecordFile.h"

#include <algorithm>

namespace {
// Large enough that a window costs nothing against its records and holds any image of a
// block, small enough not to count in the resident memory of a large block.
constexpr qint64 kWindowBytes = 4 * 1024 * 1024;
} // namespace

SRecordFile::SRecordFile(const QString &name, int recordSize) : mName(name), mFile(name), mRecordSize(recordSize) {}

bool SRecordFile::open()
{
    if (!mFile.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return false;
    mSize = mFile.isSequential() ? 0 : mFile.size();
    return true;
}

// Windows are read into one reused buffer rather than mapped: PAT-B may rewrite a file while
// it is read (a reload follows its runs), and a mapping of a file that shrinks ends the
// process, where a short read is only an incomplete record.
bool SRecordFile::moveWindow()
{
    if (mOffset + mRecordSize > mSize) {
        mLeftover = mSize - mOffset;
        return false;
    }
    // The window starts at the next record, so no record is ever split.
    mWindowStart = mOffset;
    mBuffer.resize(std::min(std::max(kWindowBytes, qint64(mRecordSize)), mSize - mOffset));
    qint64 filled = 0;
    if (mFile.seek(mWindowStart)) {
        while (filled < mBuffer.size()) {
            const qint64 n = mFile.read(mBuffer.data() + filled, mBuffer.size() - filled);
            if (n <= 0)
                break;
            filled += n;
        }
    }
    mWindow = mBuffer.constData();
    mWindowBytes = filled;
    if (filled < mRecordSize) {
        // The file shrank under us: what is left counts as an incomplete record.
        mLeftover = filled;
        mSize = mOffset + filled;
        return false;
    }
    return true;
}
