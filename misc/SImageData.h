// SPDX-License-Identifier: GPL-3.0-or-later
// Images of a project with their measured image points, the list that owns the images,
// and the two class-wide indexes: point id -> images that measured it, image id -> image.
#pragma once

#include "misc/SBlockMemory.h"
#include "misc/SObjectPoint.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <span>
#include <vector>

// One measured point of one image. The point id is the key under which the image keeps it.
class SImagePoint {
public:
    SImagePoint() = default;
    SImagePoint(bool active, float x, float y, float vx, float vy, float weight)
        : mActive(active), mX(x), mY(y), mVx(vx), mVy(vy), mWeight(weight)
    {}

    float x() const { return mX; }
    float y() const { return mY; }
    float vx() const { return mVx; }
    float vy() const { return mVy; }
    void setX(float v) { mX = v; }
    void setY(float v) { mY = v; }
    void setVx(float v) { mVx = v; }
    void setVy(float v) { mVy = v; }
    bool isActive() const { return mActive; }
    bool active() const { return mActive; }
    float weight() const { return mWeight; }
    // PAT-B code of the object point with the same id; -1 while no object point claims it.
    int code() const { return mCode; }
    void setCode(int code) { mCode = static_cast<int16_t>(code); }

private:
    int16_t mCode = -1; // PAT-B writes codes as int16; keeps a block of millions small
    bool mActive = false;
    float mX = 0.0f, mY = 0.0f, mVx = 0.0f, mVy = 0.0f, mWeight = 0.0f;
};

// An image point together with its id, as the image's point table holds it.
struct SImagePointEntry {
    int id;
    SImagePoint point;
};

class SImage;

// The images that measured one point id, in reading order. Empty when none did. Valid until
// the next change of the model (an added point, a deleted image, clearPointIndex).
class SImageLinks {
public:
    class const_iterator {
    public:
        const_iterator(const uint32_t *slot) : mSlot(slot) {}
        SImage *operator*() const;
        const_iterator &operator++()
        {
            ++mSlot;
            return *this;
        }
        bool operator!=(const const_iterator &o) const { return mSlot != o.mSlot; }
        bool operator==(const const_iterator &o) const { return mSlot == o.mSlot; }

    private:
        const uint32_t *mSlot;
    };

    SImageLinks() = default;
    SImageLinks(const uint32_t *first, const uint32_t *last) : mFirst(first), mLast(last) {}

    bool isNull() const { return mFirst == mLast; }
    bool isEmpty() const { return mFirst == mLast; }
    explicit operator bool() const { return mFirst != mLast; }
    int count() const { return static_cast<int>(mLast - mFirst); }
    SImage *at(int i) const { return *const_iterator(mFirst + i); }
    const_iterator begin() const { return const_iterator(mFirst); }
    const_iterator end() const { return const_iterator(mLast); }

private:
    const uint32_t *mFirst = nullptr;
    const uint32_t *mLast = nullptr;
};

// One image of the block: its image points, orientation (projection centre), extent and
// the largest residual, maintained while points are added.
class SImage {
public:
    SImage();
    ~SImage();
    SImage(const SImage &) = delete;
    SImage &operator=(const SImage &) = delete;

    int id() const { return mId; }
    void setId(int id) { mId = id; }
    int cameraId() const { return mCameraId; }
    void setCameraId(int id) { mCameraId = id; }

    // Projection centre: id = image number, X, Y, Z, and the sigmas in dX, dY, dZ.
    const SObjectCoord &projectionCentre() const { return mProjectionCentre; }
    float X0() const { return mProjectionCentre.X; }
    float Y0() const { return mProjectionCentre.Y; }
    float Z0() const { return mProjectionCentre.Z; }
    float sigmaX0() const { return mProjectionCentre.dX; }
    float sigmaY0() const { return mProjectionCentre.dY; }
    float sigmaZ0() const { return mProjectionCentre.dZ; }
    void setProjectionCentre(int id, float X, float Y, float Z, float sigmaX, float sigmaY, float sigmaZ);
    // Projection centre in a plane (0 = XY, 1 = XZ, 2 = YZ); 0 for a plane outside 0..2.
    float projectionCentreHorizontal(int plane) const;
    float projectionCentreVertical(int plane) const;

    // Stores the point (replacing one with the same id), enters the image in the point
    // index and updates extent, eliminated count and largest residual.
    bool addImagePoint(int pointId, bool active, float x, float y, float vx, float vy, float weight);
    // The same for n points in a row, pointAt(i) giving the i-th: one call for the run of
    // points a reader finds after an image's header.
    template <typename PointAt> void addImagePoints(size_t n, PointAt pointAt)
    {
        if (n == 0)
            return;
        addImagePointsUnindexed(n, pointAt);
        enterPointIndex();
    }
    // The same without entering the image in the point index, for a reader on another thread;
    // the reading thread calls enterPointIndex() once it takes the image over.
    template <typename PointAt> void addImagePointsUnindexed(size_t n, PointAt pointAt)
    {
        for (size_t i = 0; i < n; ++i)
            include(pointAt(i));
    }
    // Registers the image in the point index at its first point, else marks the index changed.
    void enterPointIndex();
    // Room for n more points, for a reader that knows how many follow.
    void reservePoints(int n) { mPoints.reserve(mPoints.size() + size_t(std::max(n, 0))); }
    SImagePoint *imagePoint(int pointId);
    const SImagePoint *imagePoint(int pointId) const;
    bool hasImagePoint(int pointId) const { return imagePoint(pointId) != nullptr; }
    // The point table in table order (ascending point id).
    std::span<const SImagePointEntry> points() const;
    std::span<SImagePointEntry> points();
    int numberOfPoints() const;
    int eliminatedCount() const { return mEliminated; }
    // Orders the point table and releases its spare room; the reader calls it when an image
    // is complete so that a large block holds no growth reserve.
    void squeeze();

    float xmin() const { return mXmin; }
    float ymin() const { return mYmin; }
    float xmax() const { return mXmax; }
    float ymax() const { return mYmax; }
    void setXmin(float v) { mXmin = v; }
    void setYmin(float v) { mYmin = v; }
    void setXmax(float v) { mXmax = v; }
    void setYmax(float v) { mYmax = v; }
    float largestResidual() const { return mLargestResidual; }
    int largestResidualId() const { return mLargestResidualId; }

    // Class-wide: the point index and the image-id index.
    static SImageLinks imagesOfPoint(int pointId);
    static int numberOfLinks(int pointId);
    // Whether an image that measured the id holds it as an image point that is not active.
    static bool hasEliminatedImagePoint(int pointId);
    static int activePointCount(int imageId);
    static void clearPointIndex();

    // Position in the point index's image register; internal to the index.
    uint32_t indexSlot() const { return mIndexSlot; }
    void setIndexSlot(uint32_t slot) { mIndexSlot = slot; }

private:
    // Stores the entry (replacing the last one when it has the same id) and updates extent,
    // eliminated count and largest residual. Inlined into a reader's loop, so that a point
    // goes from the record into the table without a copy on the stack in between.
    Q_ALWAYS_INLINE void include(const SImagePointEntry &entry)
    {
        const SImagePoint &point = entry.point;
        if (!mPoints.empty() && mPoints.back().id == entry.id) {
            mPoints.back().point = point; // the usual duplicate: replace in place
        } else {
            if (!mPoints.empty() && mPoints.back().id > entry.id)
                mSorted = false;
            mPoints.push_back(entry);
        }
        // Strict comparisons, so that the first point sets all four.
        const float x = point.x(), y = point.y();
        if (x < mXmin)
            mXmin = x;
        if (y < mYmin)
            mYmin = y;
        if (x > mXmax)
            mXmax = x;
        if (y > mYmax)
            mYmax = y;
        if (point.active()) {
            const float square = point.vx() * point.vx() + point.vy() * point.vy();
            // The root is monotone: a square no larger than the largest one's gives no larger
            // length, and most points need none (a NaN square takes the long way, as length 0).
            if (!(square <= mLargestResidualSquare)) {
                const float length = square > 0.0f ? std::sqrt(square) : 0.0f;
                if (length > mLargestResidual) {
                    mLargestResidual = length;
                    mLargestResidualSquare = square > 0.0f ? square : 0.0f;
                    mLargestResidualId = entry.id;
                }
            }
        } else {
            ++mEliminated;
        }
    }
    void sortPoints() const;
    const SImagePointEntry *findEntry(int pointId) const;

    int mId = -1;
    int mCameraId = -1;
    SObjectCoord mProjectionCentre;
    // Points in adding order until sorted; sorted by id (duplicates resolved, last wins) on
    // the first lookup. A vector keeps millions of points free of per-node overhead; its
    // memory comes from the block's regions.
    mutable std::vector<SImagePointEntry, SBlockAllocator<SImagePointEntry>> mPoints;
    mutable bool mSorted = true;
    int mEliminated = 0;
    float mXmin, mYmin, mXmax, mYmax;
    float mLargestResidual;
    float mLargestResidualSquare = -FLT_MAX; // of the largest residual; below every square
    int mLargestResidualId = -1;
    uint32_t mIndexSlot;
};

// The images of a project. Owns its images. Appending enters an image in the class-wide
// image-id index, where the image appended last under an id wins.
class SImageList {
public:
    using const_iterator = std::vector<SImage *>::const_iterator;

    SImageList() = default;
    ~SImageList();
    SImageList(const SImageList &) = delete;
    SImageList &operator=(const SImageList &) = delete;

    // Takes ownership; a null image is ignored.
    void append(SImage *image);
    static SImage *find(int imageId);
    static bool contains(int imageId) { return find(imageId) != nullptr; }
    // By image id, ascending; equal ids keep their order.
    void sort();
    // Empties the image-id index, then deletes the images.
    void clear();
    // Takes the images out of the class-wide indexes (image id, point) and puts them back,
    // so that another project can be read beside this one and either of them kept.
    void leaveIndexes();
    void enterIndexes();
    // Exchanges the images of two lists; the class-wide indexes are not touched.
    void swap(SImageList &other) noexcept { mImages.swap(other.mImages); }

    int count() const { return static_cast<int>(mImages.size()); }
    bool isEmpty() const { return mImages.empty(); }
    SImage *first() const { return mImages.empty() ? nullptr : mImages.front(); }
    SImage *at(int i) const { return mImages[static_cast<size_t>(i)]; }
    const_iterator begin() const { return mImages.begin(); }
    const_iterator end() const { return mImages.end(); }

private:
    std::vector<SImage *> mImages;
};
