// SPDX-License-Identifier: GPL-3.0-or-later
#include "patb/SRecordFile.h"

#include <algorithm>
#include <new>

#include <sys/mman.h>

SRecordFile::SRecordFile(const QString &name, int recordSize, qint64 windowBytes)
    : mName(name), mFile(name), mRecordSize(recordSize), mWindowCapacity(std::max(windowBytes, qint64(recordSize)))
{}

bool SRecordFile::open()
{
    if (!mFile.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return false;
    mSize = mFile.isSequential() ? 0 : mFile.size();
    // Here rather than at the first record: a worker thread that reads on takes no memory of
    // its own.
    allocateWindow(std::min(mWindowCapacity, std::max(mSize - mOffset, qint64(mRecordSize))));
    return true;
}

void SRecordFile::allocateWindow(qint64 bytes)
{
    mBuffer.reset(); // before the new one: never both at once
    mBufferBytes = 0;
    void *window = mmap(nullptr, size_t(bytes), PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (window == MAP_FAILED)
        throw std::bad_alloc();
    mBuffer = std::unique_ptr<char[], Unmap>(static_cast<char *>(window), Unmap{size_t(bytes)});
    mBufferBytes = bytes;
}

void SRecordFile::Unmap::operator()(char *p) const
{
    if (p)
        munmap(p, bytes);
}

// Windows are read into one reused buffer rather than mapped: PAT-B may rewrite a file while
// it is read (a reload follows its runs), and a mapping of a file that shrinks ends the
// process, where a short read is only an incomplete record.
bool SRecordFile::moveWindow(qint64 capacity)
{
    if (mOffset + mRecordSize > mSize) {
        mLeftover = mSize - mOffset;
        return false;
    }
    // The window starts at the next record, so no record is ever split.
    mWindowStart = mOffset;
    const qint64 wanted = std::min(std::max(capacity, qint64(mRecordSize)), mSize - mOffset);
    if (!mBuffer || mBufferBytes < wanted)
        allocateWindow(wanted);
    qint64 filled = 0;
    if (mFile.seek(mWindowStart)) {
        while (filled < wanted) {
            const qint64 n = mFile.read(mBuffer.get() + filled, wanted - filled);
            if (n <= 0)
                break;
            filled += n;
        }
    }
    mWindow = mBuffer.get();
    mWindowBytes = filled;
    if (filled < mRecordSize) {
        // The file shrank under us: what is left counts as an incomplete record.
        mLeftover = filled;
        mSize = mOffset + filled;
        return false;
    }
    return true;
}

bool SRecordFile::windowFromLast(qint64 windowBytes)
{
    mOffset -= mRecordSize;
    if (!moveWindow(windowBytes))
        return false;
    mOffset += mRecordSize;
    return true;
}
