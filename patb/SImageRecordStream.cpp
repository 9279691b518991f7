// SPDX-License-Identifier: GPL-3.0-or-later
#include "patb/SImageRecordStream.h"

namespace {
// Three batches of this many records: one read, one decoded, one spare, together smaller than
// a window of the file.
constexpr size_t kBatchRecords = 16 * 1024;
constexpr size_t kBatches = 3;
constexpr int kTrailerId = -99;
} // namespace

SImageRecord SImageRecordStream::decode(const char *r)
{
    SImageRecord out;
    out.id = SRecord::idAt(r, 2);
    out.active = SRecord::int16At(r, 0) == 0;
    const double x = SRecord::float64At(r, 12), y = SRecord::float64At(r, 20), vx = SRecord::float64At(r, 28);
    const double vy = SRecord::float64At(r, 36), weight = SRecord::float64At(r, 44);
    out.kind = SImageRecord::Point;
    if (out.active) {
        if (x == 1.0 && y == 1.0 && vx == 1.0 && vy == 1.0 && weight == 1.0)
            out.kind = SImageRecord::Header;
        else if (y == 0.0 && vx == 0.0 && vy == 0.0 && weight == 0.0 && out.id == kTrailerId)
            out.kind = SImageRecord::Trailer;
    }
    out.x = float(x);
    out.y = float(y);
    out.vx = float(vx);
    out.vy = float(vy);
    out.weight = float(weight);
    return out;
}

SImageRecordStream::SImageRecordStream(SRecordFile &file) : mFile(file), mBatches(kBatches)
{
    for (Batch &batch : mBatches)
        batch.records.resize(kBatchRecords);
    mWorker = std::thread([this] { decodeAll(); });
}

SImageRecordStream::~SImageRecordStream()
{
    {
        const std::lock_guard lock(mMutex);
        mStop = true;
    }
    mChanged.notify_all();
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
        size_t n = 0;
        while (n < kBatchRecords) {
            const char *r = mFile.next();
            if (!r)
                break;
            batch.records[n++] = decode(r);
        }
        const bool last = n < kBatchRecords;
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

bool SImageRecordStream::nextBatch()
{
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
