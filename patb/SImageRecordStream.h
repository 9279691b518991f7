// SPDX-License-Identifier: GPL-3.0-or-later
// The records of an (i) file decoded on a worker thread, batch by batch, while the reader
// fills the model from the batches before: the reading thread only adds what it is given, in
// file order, and the copies from the kernel and the decoding run beside it.
#pragma once

#include "patb/SImageRecords.h"
#include "patb/SRecordFile.h"

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

class SImageRecordStream {
public:
    static constexpr int kRecordSize = SImageRecords::kRecordSize;
    // A window of the file that holds any image, so that an image's room is known at its header.
    static constexpr qint64 kWindowBytes = 4 * 1024 * 1024;

    // file (opened with kWindowBytes) is open and stays untouched by the caller until the stream
    // is gone. Without worker the reading thread decodes each batch when it needs it.
    SImageRecordStream(SRecordFile &file, bool worker);
    // Stops the worker and waits for it.
    ~SImageRecordStream();
    SImageRecordStream(const SImageRecordStream &) = delete;
    SImageRecordStream &operator=(const SImageRecordStream &) = delete;

    // The next record, or null at the end of the file or at an incomplete record. Valid until
    // the next call.
    const SImageRecord *next()
    {
        if (mPosition == mEnd && !nextBatch())
            return nullptr;
        ++mConsumed;
        return mPosition++;
    }
    qint64 bytesRead() const { return mConsumed * kRecordSize; }
    // Bytes of an incomplete last record, known once next() returned null.
    qint64 leftover() const { return mLeftover; }

private:
    struct Batch {
        std::vector<SImageRecord> records;
        size_t count = 0;
        bool ready = false; // filled by the worker, not yet given back by the reader
        bool last = false;
    };
    void decodeAll();
    size_t decodeBatch(std::vector<SImageRecord> &records);
    bool decodeHere();
    bool nextBatch();

    // The decoder's side, then on a cache line of their own the reader's fields it changes
    // with every record, so that the two threads never write to one line.
    SRecordFile &mFile;
    std::vector<Batch> mBatches;
    int mKnownPoints = 0; // records after a header counted as its points, not yet decoded
    qint64 mLeftover = 0;
    std::mutex mMutex;
    std::condition_variable mChanged;
    bool mStop = false;
    alignas(64) const SImageRecord *mPosition = nullptr;
    const SImageRecord *mEnd = nullptr;
    qint64 mConsumed = 0;
    size_t mReading = 0; // the batch next() is in, when one is taken
    bool mTaken = false;
    bool mFinished = false;
    alignas(64) std::thread mWorker;
};
