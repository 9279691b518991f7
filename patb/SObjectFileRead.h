// SPDX-License-Identifier: GPL-3.0-or-later
// The (o) file read into a point list of its own, on a worker thread while the (i) file is
// read, or in place. Nothing here touches the model, the handler or the messages: the reader
// merges the result on its own thread and replays the progress reports, the statistics
// record and a failure where a read in file order meets them, so that the model, the dialogs
// and the messages are the same either way.
#pragma once

#include "misc/SObjectPoint.h"

#include <QString>

#include <atomic>
#include <exception>
#include <functional>
#include <thread>
#include <vector>

class SObjectFileRead {
public:
    static constexpr int kRecordSize = 60;

    // The statistics record's values as far as the file was read; a record with an invalid
    // inversion flag sets the other two before it fails.
    struct Statistics {
        bool seen = false;
        bool inversionRead = false;
        double sigma0 = 0.0;
        double averageRedundancy = 0.0;
        bool inversion = false;
    };
    // A place where the reader reports progress, with what was read before it.
    struct Checkpoint {
        qint64 done;
        qint64 total;
        int points;
        Statistics statistics;
    };

    SObjectFileRead(const QString &objectFile, qint64 progressBytes);
    // Stops a worker and waits for it.
    ~SObjectFileRead();
    SObjectFileRead(const SObjectFileRead &) = delete;
    SObjectFileRead &operator=(const SObjectFileRead &) = delete;

    // Reads on a worker thread; wait() before using the result.
    void start();
    // Reads here.
    void run();
    void wait();
    // Ends a worker early (the read stopped); the result is incomplete.
    void stop();
    // Work with the points that follows a read to the file's end, on the worker while the
    // images are still read; a failure of it only leaves it undone.
    void setAfterRead(std::function<void(SObjectPointList &)> work) { mAfterRead = std::move(work); }

    const QString &name() const { return mName; }
    bool opened() const { return mOpened; }
    // The object points in file order (one per run of equal ids), with their bounding box.
    SObjectPointList &points() { return mPoints; }
    const std::vector<Checkpoint> &checkpoints() const { return mCheckpoints; }
    const Statistics &statistics() const { return mStatistics; }
    // What ended the read after the last point; null when the file was read to its end.
    std::exception_ptr failure() const { return mFailure; }
    qint64 leftover() const { return mLeftover; }

private:
    void read();
    void readRecords();

    QString mName;
    qint64 mProgressBytes;
    bool mOpened = false;
    SObjectPointList mPoints;
    std::vector<Checkpoint> mCheckpoints;
    Statistics mStatistics;
    std::exception_ptr mFailure;
    qint64 mLeftover = 0;
    std::function<void(SObjectPointList &)> mAfterRead;
    std::atomic<bool> mStop = false;
    std::thread mWorker;
};
