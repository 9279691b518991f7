// SPDX-License-Identifier: GPL-3.0-or-later
// The records of an (i) file: how each is recognised and decoded, and a cursor that walks them
// in the file's window and puts an image's points straight into the image, without a copy of
// each record in between.
#pragma once

#include "misc/SImageData.h"
#include "patb/SRecordFile.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>

// One decoded record of (i); headers and trailers use only kind and id.
struct SImageRecord {
    enum Kind : uint8_t { Header, Trailer, Point };
    Kind kind;
    bool active;
    int id;
    float x, y, vx, vy, weight;
    // Of a header: the point records that follow it before the next header or trailer, as far
    // as the file's window holds them; the image's room, so that filling it never moves them.
    int pointsAhead;
};

namespace SImageRecords {

inline constexpr int kRecordSize = 52;
// The usual window of the file, and the one window that an image larger than it is read in
// (any image, tens of thousands of points), so that an image's room is known at its header;
// the reading thread and a worker may each hold one.
inline constexpr qint64 kWindowBytes = SRecordFile::kDefaultWindowBytes;
inline constexpr qint64 kImageWindowBytes = 2 * 1024 * 1024;
inline constexpr int kTrailerId = -99;

// How a record is recognised: headers and trailers by their fixed values.
inline SImageRecord::Kind kindOf(const char *r)
{
    if (SRecord::int16At(r, 0) != 0)
        return SImageRecord::Point;
    const double y = SRecord::float64At(r, 20);
    if (y != 1.0 && y != 0.0) // neither a header nor a trailer: most points end here
        return SImageRecord::Point;
    const double vx = SRecord::float64At(r, 28), vy = SRecord::float64At(r, 36);
    const double weight = SRecord::float64At(r, 44);
    if (SRecord::float64At(r, 12) == 1.0 && y == 1.0 && vx == 1.0 && vy == 1.0 && weight == 1.0)
        return SImageRecord::Header;
    if (y == 0.0 && vx == 0.0 && vy == 0.0 && weight == 0.0 && SRecord::idAt(r, 2) == kTrailerId)
        return SImageRecord::Trailer;
    return SImageRecord::Point;
}

// A record's values as the image point it stands for.
inline SImagePointEntry entryOf(const char *r)
{
    return {SRecord::idAt(r, 2), SImagePoint(SRecord::int16At(r, 0) == 0, float(SRecord::float64At(r, 12)),
                                             float(SRecord::float64At(r, 20)), float(SRecord::float64At(r, 28)),
                                             float(SRecord::float64At(r, 36)), float(SRecord::float64At(r, 44)))};
}

// Point records that follow the record file.next() gave last, as far as the window holds them.
inline int pointRecordsAhead(const SRecordFile &file)
{
    const qint64 ahead = std::min<qint64>(file.recordsAhead(), INT_MAX);
    qint64 n = 0;
    while (n < ahead && kindOf(file.recordAhead(n)) == SImageRecord::Point)
        ++n;
    return int(n);
}

} // namespace SImageRecords

// Walks the records of an (i) file on the reading thread. A header's points are counted once,
// when it is met, and not recognised again; addKnownPoints() then puts a run of them into
// the image in one call.
class SImageRecordCursor {
public:
    // Whether the images filled enter the point index (only on the reading thread).
    enum Index { Indexed, Unindexed };
    explicit SImageRecordCursor(SRecordFile &file, Index index = Indexed) : mFile(file), mIndexed(index == Indexed) {}

    // Moves to the next record; false at the end of the file or at an incomplete record.
    bool next()
    {
        mRecord = mFile.next();
        if (!mRecord)
            return false;
        if (mKnownPoints > 0) {
            --mKnownPoints;
            mKind = SImageRecord::Point;
            return true;
        }
        mKind = SImageRecords::kindOf(mRecord);
        if (mKind == SImageRecord::Header)
            mKnownPoints = mPointsAhead = countPoints();
        return true;
    }
    SImageRecord::Kind kind() const { return mKind; }
    int id() const { return SRecord::idAt(mRecord, 2); }
    // Of a header: its points (see SImageRecord::pointsAhead).
    int pointsAhead() const { return mPointsAhead; }
    void addPoint(SImage &image) const
    {
        add(image, 1, [this](size_t) { return SImageRecords::entryOf(mRecord); });
    }
    // Adds and consumes up to most of the records after this one that were counted as points
    // at their header.
    void addKnownPoints(SImage &image, qint64 most)
    {
        const qint64 n = std::clamp<qint64>(most, 0, mKnownPoints);
        if (n == 0)
            return;
        const char *first = mFile.recordAhead(0);
        add(image, size_t(n),
            [first](size_t i) { return SImageRecords::entryOf(first + i * SImageRecords::kRecordSize); });
        mFile.skip(n);
        mKnownPoints -= int(n);
    }
    qint64 bytesRead() const { return mFile.bytesRead(); }
    qint64 leftover() const { return mFile.leftover(); }

private:
    // The points after a header. An image that runs past the window is counted again with the
    // window starting at its header, and if it runs past that too, in a window that holds any
    // image, so that its room is exact unless it is larger than that.
    int countPoints()
    {
        int n = SImageRecords::pointRecordsAhead(mFile);
        if (!runsPastWindow(n))
            return n;
        std::memcpy(mHeader, mRecord, sizeof mHeader); // the window's copy is read again
        mRecord = mHeader;
        if (!mFile.windowStartsAtLast()) {
            if (!mFile.windowFromLast())
                return 0;
            n = SImageRecords::pointRecordsAhead(mFile);
            if (!runsPastWindow(n))
                return n;
        }
        return mFile.windowFromLast(SImageRecords::kImageWindowBytes) ? SImageRecords::pointRecordsAhead(mFile) : 0;
    }
    bool runsPastWindow(int points) const { return points >= mFile.recordsAhead() && mFile.moreBeyondWindow(); }
    template <typename PointAt> void add(SImage &image, size_t n, PointAt pointAt) const
    {
        if (mIndexed)
            image.addImagePoints(n, pointAt);
        else
            image.addImagePointsUnindexed(n, pointAt);
    }

    SRecordFile &mFile;
    bool mIndexed;
    const char *mRecord = nullptr;
    SImageRecord::Kind mKind = SImageRecord::Point;
    int mKnownPoints = 0;
    int mPointsAhead = 0;
    char mHeader[SImageRecords::kRecordSize];
};
