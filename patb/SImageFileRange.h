// SPDX-License-Identifier: GPL-3.0-or-later
// The later part of an (i) file, from an image header on, read on a worker thread into images
// of their own while the reading thread reads the part before it. Nothing here touches the
// model, the point index, the handler or the messages: the reader takes the images over in
// file order, with the progress reports, orientations and failures where a read in file order
// meets them. A part that is not image after image (header, points, trailer) is given up, and
// the reader reads it itself in order.
#pragma once

#include "misc/SImageData.h"

#include <QString>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

class SImageFileRange {
public:
    // An image of the part, complete with its trailer.
    struct Image {
        std::unique_ptr<SImage> image;
        qint64 trailerEnd; // file offset after its trailer
    };

    // The first image header at or after the record at about offset, within a few images;
    // -1 when none is found (the file is then read in order).
    static qint64 findHeader(const QString &imageFile, qint64 offset);

    // Reads from the header at offset from up to end (the size of the file when the reader
    // opened it).
    SImageFileRange(const QString &imageFile, qint64 from, qint64 end);
    // Stops a worker and waits for it.
    ~SImageFileRange();
    SImageFileRange(const SImageFileRange &) = delete;
    SImageFileRange &operator=(const SImageFileRange &) = delete;

    // Reads on a worker thread (here when none can be started); wait() before using the result.
    void start();
    void wait();

    qint64 from() const { return mFrom; }
    // Whether the part was read image after image; otherwise the result is to be ignored.
    bool regular() const { return mRegular; }
    std::vector<Image> &images() { return mImages; }
    // Bytes of an incomplete last record.
    qint64 leftover() const { return mLeftover; }

private:
    void read();

    QString mName;
    qint64 mFrom;
    qint64 mEnd;
    bool mRegular = false;
    std::vector<Image> mImages;
    qint64 mLeftover = 0;
    std::atomic<bool> mStop = false;
    std::thread mWorker;
};
