// SPDX-License-Identifier: GPL-3.0-or-later
#include "patb/SImageRecordStream.h"

#include <algorithm>
#include <climits>
#include <system_error>

namespace {
// Three batches of this many records: one read, one decoded, one spare; small against the
// window of the file.
constexpr size_t kBatchRecords = 8 * 1024;
constexpr size_t kBatches = 3;
} // namespace

namespace {
SImageRecord decodePoint(const char *r)
{
    const SImagePointEntry e = SImageRecords::entryOf(r);
    const SImagePoint &p = e.point;
    return {SImageRecord::Point, p.active(), e.id, p.x(), p.y(), p.vx(), p.vy(), p.weight(), 0};
}
} // namespace

SImageRecordStream::SImageRecordStream(SRecordFile &file, bool worker) : mFile(file), mBatches(worker ? kBatches : 1)
{
    // A small file needs batches only of its size (the file is read no further than its size at opening).
    const size_t batchRecords = size_t(std::clamp<qint64>(file.size() / kRecordSize + 1, 1, kBatchRecords));
    for (Batch &batch : mBatches)
        batch.records.resize(batchRecords);
    if (!worker)
        return;
    try {
        mWorker = std::thread([this] { decodeAll(); });
    } catch (const std::system_error &) {
        // No thread to be had: decoded on the reading thread instead.
    }
}

SImageRecordStream::~SImageRecordStream()
{
    {
        const std::lock_guard lock(mMutex);
        mStop = true;
    }
    mChanged.notify_all();
    if (mWorker.joinable())
        mWorker.join();
}

// Fills the batches in turn; a batch is filled again once the reader gave it back.
void SImageRecordStream::decodeAll()
{
    for (size_t b = 0;; b = (b + 1) % kBatches) {
        Batch &batch = mBatches[b];
        {
            std::unique_lock lock(mMutex);
            mChanged.wait(lock, [&] { return mStop || !batch.ready; });
            if (mStop)
                return;
        }
        const size_t n = decodeBatch(batch.records);
        const bool last = n < batch.records.size();
        {
            const std::lock_guard lock(mMutex);
            batch.count = n;
            batch.last = last;
            batch.ready = true;
            if (last)
                mLeftover = mFile.leftover();
        }
        mChanged.notify_all();
        if (last)
            return;
    }
}

// The next records into records; fewer than it holds at the end of the file.
size_t SImageRecordStream::decodeBatch(std::vector<SImageRecord> &records)
{
    SRecordFile &file = mFile;
    int knownPoints = mKnownPoints; // a local while the batch is decoded
    size_t n = 0;
    while (n < records.size()) {
        const char *r = file.next();
        if (!r)
            break;
        SImageRecord &out = records[n++];
        out = decodePoint(r);
        // Records counted at their header are points: not recognised twice.
        if (knownPoints > 0) {
            --knownPoints;
            continue;
        }
        out.kind = SImageRecords::kindOf(r);
        if (out.kind == SImageRecord::Header)
            out.pointsAhead = knownPoints = SImageRecords::pointRecordsAhead(file);
    }
    mKnownPoints = knownPoints;
    return n;
}

// Without a worker (none could be started) the reader decodes each batch itself.
bool SImageRecordStream::decodeHere()
{
    if (mFinished)
        return false;
    Batch &batch = mBatches[0];
    batch.count = decodeBatch(batch.records);
    mFinished = batch.count < batch.records.size();
    if (mFinished)
        mLeftover = mFile.leftover();
    mPosition = batch.records.data();
    mEnd = mPosition + batch.count;
    return batch.count > 0;
}

bool SImageRecordStream::nextBatch()
{
    if (!mWorker.joinable())
        return decodeHere();
    std::unique_lock lock(mMutex);
    while (true) {
        if (mTaken) {
            Batch &done = mBatches[mReading];
            done.ready = false;
            mTaken = false;
            mFinished = done.last;
            mReading = (mReading + 1) % kBatches;
            mChanged.notify_all();
        }
        if (mFinished)
            return false;
        Batch &batch = mBatches[mReading];
        mChanged.wait(lock, [&] { return batch.ready; });
        mTaken = true;
        mPosition = batch.records.data();
        mEnd = mPosition + batch.count;
        if (batch.count > 0)
            return true;
    }
}
