// SPDX-License-Identifier: GPL-3.0-or-later
// The data of one open project: images, object points and the project record, with the
// initialisation after reading and the closing that the GUI and the command line share.
#pragma once

#include "misc/SImageData.h"
#include "misc/SObjectPoint.h"
#include "patb/ProjectFiles.h"
#include "patb/SPointCodeTable.h"

#include <functional>
#include <future>
#include <memory>

class SProjectData {
public:
    SProjectData() = default;
    ~SProjectData();
    SProjectData(const SProjectData &) = delete;
    SProjectData &operator=(const SProjectData &) = delete;

    SImageList mListImageData;
    SObjectPointList mListObjectData;
    std::unique_ptr<ProjectFiles> projectFiles; // null until a project file passed its check

    // After reading: sorts the images, gives image points the codes of their object points
    // (warning on conflicts), calls afterCodes (the window reports the counts there, before
    // any warning about the sigmas) and warns when the adjustment computed no sigmas.
    void initialise(const std::function<void()> &afterCodes = nullptr);
    // Sorts the image list by id.
    void sortImages();
    // Point codes of image points from the object points with the same id.
    void reconcilePointCodes();
    // Warns "No inversion: ..." when a project record says no inverse was computed.
    void checkInversion() const;

    // For a caller that initialises right after reading (the command-line modes): the reader
    // may then give the image points their codes on a thread of its own as soon as the object
    // points are complete, while it reads on. Off by default: the window shows the data between
    // reading and initialising.
    void setCodesWhileReading(bool on) { mCodesWhileReading = on; }
    bool codesWhileReading() const { return mCodesWhileReading; }
    // Called by the reader once (i), (e) and (o) are in, with the table of the object points'
    // codes when it was made meanwhile (else it is made here): starts that thread when the
    // caller allows it and the block is large enough for it to pay. Until initialise(),
    // close() or the destructor takes its result, only the object points' observations and
    // the images' extents may change.
    void startPointCodes(std::shared_ptr<const SPointCodeTable> table = nullptr);
    // Waits for that thread and forgets what it did: the images are going.
    void dropPointCodes();

private:
    // The same result without a lookup per link, for the usual block; false when it would
    // not be exact (codes already given, several object points per id).
    bool assignPointCodesByImage();
    bool assignCodesFromTable(const SPointCodeTable &table);
    // The started thread's result, or the codes given here; waits for the thread.
    bool takePointCodes();
    bool assignSparseCodes(size_t claimCount);
    bool anyImagePointCoded() const;
    // Gives every image point of the images first .. last - 1 codeOf(id) unless that is no
    // code; false when it meets an image point that has a code already.
    template <typename CodeOf> bool assignCodes(CodeOf codeOf, size_t first, size_t last);
    // The same for every image; with many image points the later images on a second thread
    // (codeOf only reads).
    template <typename CodeOf> bool assignCodesOnTwoThreads(CodeOf codeOf);
    // Object points in list order, images in reading order, warning on conflicts.
    void reconcilePointCodesInOrder();

public:
    // From how many image points on the point codes are given on two threads (on a machine
    // with more than one core).
    void setParallelCodesFrom(qint64 imagePoints) { mParallelCodesFrom = imagePoints; }

    // Image points whose code is still -1 (no object point claims them).
    int lonelyImagePointCount() const;

    // Empties the point index, the image list and the object list, in this order.
    void close();
    // Exchanges the whole project with another (a reload that succeeded); the class-wide
    // indexes are the caller's (SImageList::leaveIndexes, enterIndexes).
    void swap(SProjectData &other) noexcept;

private:
    qint64 mParallelCodesFrom = 200'000;
    bool mCodesWhileReading = false;
    // Declared last, so that it is waited for before the lists go.
    std::future<bool> mPendingCodes;
};
