// SPDX-License-Identifier: GPL-3.0-or-later
#include "patb/SImageFileRange.h"

#include "patb/SImageRecords.h"
#include "patb/SRecordFile.h"

#include <limits>
#include <system_error>

namespace {
// How far past the wished offset a header is looked for (many images of a large block), in
// windows of this size.
constexpr qint64 kHeaderSearchBytes = 1024 * 1024;
constexpr qint64 kSearchWindowBytes = 64 * 1024;
} // namespace

qint64 SImageFileRange::findHeader(const QString &imageFile, qint64 offset)
{
    constexpr int size = SImageRecords::kRecordSize;
    SRecordFile file(imageFile, size, kSearchWindowBytes);
    if (offset <= 0 || !file.open())
        return -1;
    file.seek(offset / size * size);
    while (const char *r = file.next()) {
        if (SImageRecords::kindOf(r) == SImageRecord::Header)
            return file.bytesRead() - size;
        if (file.bytesRead() - offset > kHeaderSearchBytes)
            break;
    }
    return -1;
}

SImageFileRange::SImageFileRange(const QString &imageFile, qint64 from, qint64 end)
    : mName(imageFile), mFrom(from), mEnd(end)
{}

SImageFileRange::~SImageFileRange()
{
    mStop = true;
    wait();
}

void SImageFileRange::start()
{
    try {
        mWorker = std::thread([this] { read(); });
    } catch (const std::system_error &) {
        read();
    }
}

void SImageFileRange::wait()
{
    if (mWorker.joinable())
        mWorker.join();
}

void SImageFileRange::read()
{
    SRecordFile file(mName, SImageRecords::kRecordSize, SImageRecords::kWindowBytes);
    if (!file.open() || file.size() < mEnd)
        return;
    file.seek(mFrom);
    file.setEnd(mEnd);
    SImageRecordCursor records(file, SImageRecordCursor::Unindexed);
    std::unique_ptr<SImage> image; // from its header until its trailer
    while (records.next()) {
        switch (records.kind()) {
        case SImageRecord::Header:
            if (image || mStop)
                return; // an image without trailer, or the read ended
            image = std::make_unique<SImage>();
            image->setId(records.id());
            image->reservePoints(records.pointsAhead());
            break;
        case SImageRecord::Point:
            if (!image)
                return; // points after a trailer
            records.addPoint(*image);
            records.addKnownPoints(*image, std::numeric_limits<qint64>::max());
            break;
        case SImageRecord::Trailer:
            if (!image)
                return; // a second trailer
            image->squeeze();
            mImages.push_back({std::move(image), records.bytesRead()});
            break;
        }
    }
    mLeftover = file.leftover();
    mRegular = !image;
}
