// SPDX-License-Identifier: GPL-3.0-or-later
#include "patb/SObjectFileRead.h"

#include "misc/SException.h"
#include "patb/SRecordFile.h"

#include <cmath>
#include <system_error>

namespace {
constexpr int kStatisticsCode = -1;
constexpr int kErrInversion = 60865;

float sigmaOf(double variance) { return static_cast<float>(std::sqrt(variance)); }
} // namespace

SObjectFileRead::SObjectFileRead(const QString &objectFile, qint64 progressBytes)
    : mName(objectFile), mProgressBytes(progressBytes)
{}

SObjectFileRead::~SObjectFileRead() { stop(); }

void SObjectFileRead::start()
{
    try {
        mWorker = std::thread([this] { read(); });
    } catch (const std::system_error &) {
        read(); // no thread to be had: here, before the images
    }
}

void SObjectFileRead::run() { read(); }

void SObjectFileRead::wait()
{
    if (mWorker.joinable())
        mWorker.join();
}

void SObjectFileRead::stop()
{
    mStop = true;
    wait();
}

void SObjectFileRead::read()
{
    try {
        readRecords();
    } catch (...) {
        mFailure = std::current_exception();
        return;
    }
    if (!mAfterRead || !mOpened || mStop)
        return;
    try {
        mAfterRead(mPoints);
    } catch (...) {
        // A preparation only: the reader does the same without it.
    }
}

void SObjectFileRead::readRecords()
{
    SRecordFile objects(mName, kRecordSize);
    mOpened = objects.open();
    if (!mOpened)
        return;
    int previousId = -1;
    qint64 nextProgress = mProgressBytes;
    while (const char *r = objects.next()) {
        if (objects.bytesRead() >= nextProgress) {
            nextProgress += mProgressBytes;
            if (mStop)
                return;
            mCheckpoints.push_back({objects.bytesRead(), objects.size(), mPoints.count(), mStatistics});
        }
        const int code = SRecord::int16At(r, 0);
        const double X = SRecord::float64At(r, 12), Y = SRecord::float64At(r, 20), Z = SRecord::float64At(r, 28);
        if (code == kStatisticsCode) {
            mStatistics.seen = true;
            mStatistics.sigma0 = X;
            mStatistics.averageRedundancy = Y;
            if (Z != 0.0 && Z != 1.0)
                throw SException(kErrInversion, "Varlomin::ReadObjectFiles: Check for inversion neither 0 nor 1!");
            mStatistics.inversionRead = true;
            mStatistics.inversion = Z == 1.0;
            continue;
        }
        const int id = SRecord::idAt(r, 2);
        if (id == previousId)
            continue;
        mPoints.append(SObjectPoint(id, code, float(X), float(Y), float(Z), sigmaOf(SRecord::float64At(r, 36)),
                                    sigmaOf(SRecord::float64At(r, 44)), sigmaOf(SRecord::float64At(r, 52))));
        previousId = id;
    }
    mLeftover = objects.leftover();
}
