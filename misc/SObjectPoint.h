// SPDX-License-Identifier: GPL-3.0-or-later
// Object points of a project: adjusted points, control points and projection centres,
// with their coordinate observations, and the list that owns them.
#pragma once

#include "misc/SBlockMemory.h"
#include "misc/SIdIndex.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <deque>
#include <memory>
#include <span>
#include <vector>

#include <QSet>

class SImage;

// One point's values for the three axes. What dX..dZ, the flags and eX..eZ mean depends on
// the block: sigmas for adjusted coordinates, residuals and accepted flags for observations.
struct SObjectCoord {
    int id = -1;
    float X = 0.0f, Y = 0.0f, Z = 0.0f;
    float dX = 0.0f, dY = 0.0f, dZ = 0.0f;
    bool flagX = false, flagY = false, flagZ = false;
    float eX = 0.0f, eY = 0.0f, eZ = 0.0f;

    // Value of an axis 0 = X, 1 = Y, 2 = Z (0 for any other axis).
    float coord(int axis) const;
    float deviation(int axis) const;
    bool flag(int axis) const;
    float extra(int axis) const;
};

class SObjectPoint {
public:
    enum AxisE { AX_X = 0, AX_Y = 1, AX_Z = 2 };

    SObjectPoint(int id, int code, float X, float Y, float Z, float sigmaX, float sigmaY, float sigmaZ)
        : mId(id), mCode(static_cast<int16_t>(code)), mX(X), mY(Y), mZ(Z), mSigmaX(sigmaX), mSigmaY(sigmaY),
          mSigmaZ(sigmaZ)
    {}
    SObjectPoint(const SObjectPoint &other)
        : mId(other.mId), mCode(other.mCode), mSelected(other.mSelected), mActive(other.mActive), mX(other.mX),
          mY(other.mY), mZ(other.mZ), mSigmaX(other.mSigmaX), mSigmaY(other.mSigmaY), mSigmaZ(other.mSigmaZ)
    {
        if (other.mObserved)
            copyObservation(other);
    }
    SObjectPoint &operator=(const SObjectPoint &other);
    SObjectPoint(SObjectPoint &&other) noexcept;
    SObjectPoint &operator=(SObjectPoint &&other) noexcept;
    // Inline: the temporaries of a read of millions of points have no observation to drop.
    ~SObjectPoint()
    {
        if (mObserved)
            dropObservation();
    }

    int id() const { return mId; }
    int code() const { return mCode; }
    bool isActive() const { return mActive; }
    // Changed only through the list, which keeps the selection (SObjectPointList::setSelected).
    bool isSelected() const { return mSelected; }

    // Adjusted coordinates (X, Y, Z) and their sigmas (dX, dY, dZ).
    SObjectCoord adjusted() const;
    float X() const { return mX; }
    float Y() const { return mY; }
    float Z() const { return mZ; }
    float sigmaX() const { return mSigmaX; }
    float sigmaY() const { return mSigmaY; }
    float sigmaZ() const { return mSigmaZ; }

    // Coordinate observations: observed value, residual (dX..), accepted flag (flagX..) and
    // the value printed after the residual (eX..). Points without observation share a block
    // whose observed values are SGlobal::kNoObservation.
    const SObjectCoord &observation() const;

    // Code 900 or 901 (SGlobal::kCodeProjectionCentre, kCodeObservedProjectionCentre).
    bool isProjectionCentre() const { return mCode == 900 || mCode == 901; }
    bool hasObservationX() const { return hasObservation(AX_X); }
    bool hasObservationY() const { return hasObservation(AX_Y); }
    bool hasObservationZ() const { return hasObservation(AX_Z); }
    bool hasObservation(int axis) const;
    bool isRejectedX() const { return isRejected(AX_X); }
    bool isRejectedY() const { return isRejected(AX_Y); }
    bool isRejectedZ() const { return isRejected(AX_Z); }
    bool isRejected(int axis) const; // also true for an axis without observation

    // Plane accessors (0 = XY, 1 = XZ, 2 = YZ); 0 for a plane outside 0..2.
    float horizontal(int plane) const;
    float vertical(int plane) const;
    float horizontalSigma(int plane) const;
    float verticalSigma(int plane) const;
    float horizontalResidual(int plane) const;
    float verticalResidual(int plane) const;
    // 1 when both axes of the plane are rejected, 2 when exactly one is, 0 when none; -1 for
    // a plane outside 0..2.
    int rejectionState(int plane) const;
    // Only for rejection state 2: whether the rejected one of the two axes has an observation.
    bool rejectedAxisHasObservation(int plane) const;
    // isRejectedX for planes XY and XZ, isRejectedY for YZ, false otherwise.
    bool horizontalRejected(int plane) const;

    // Used by the readers.
    void setCode(int code) { mCode = static_cast<int16_t>(code); }
    void setActive(bool active) { mActive = active; }
    // Stores the observed value, the residual and the printed value of one axis.
    void setObservation(int axis, float observed, float residual, float extra);
    void setAccepted(int axis, bool accepted);

private:
    SObjectCoord &ownObservation();
    void copyObservation(const SObjectPoint &other);
    // Moves other's observation block (if any) to this point, which has none.
    void takeObservation(SObjectPoint &other);
    void dropObservation();

    int mId;
    int16_t mCode; // PAT-B writes codes as int16
    // A byte of its own: the selection changes while paints on other threads read the flags below.
    bool mSelected = false;
    bool mActive : 1 = true;
    // Most points have no observation: they share the default block, and the few that have
    // one find it in a table by their address, so that a point of a large block takes 32 bytes.
    bool mObserved : 1 = false;
    float mX, mY, mZ;
    float mSigmaX, mSigmaY, mSigmaZ;

    friend class SObjectPointList;
};

// The object points of a project in reading order. Owns its points; their addresses stay
// valid until clear(). Keeps the bounding box of the adjusted coordinates and the count of
// selected points.
class SObjectPointList {
public:
    // The points of a large block lie in the block's memory regions.
    using Storage = std::deque<SObjectPoint, SBlockAllocator<SObjectPoint, 0>>;
    using const_iterator = Storage::const_iterator;
    using iterator = Storage::iterator;

    SObjectPointList();
    SObjectPointList(const SObjectPointList &) = delete;
    SObjectPointList &operator=(const SObjectPointList &) = delete;

    // Updates the bounding box, then appends; returns the stored point. Inline: a reader
    // appends points by the million.
    SObjectPoint *append(const SObjectPoint &point)
    {
        includeInBox(point);
        mFlagged += point.isSelected() ? 1 : 0;
        mPoints.push_back(point);
        return &mPoints.back();
    }
    // Appends the points of other in their order and empties other. The shorter of the two
    // moves: when this list is, its points change their addresses, never their positions.
    void appendAll(SObjectPointList &other);
    // Drops the points after the first n (while reading: the selected count stays).
    void keepFirst(int n);
    // The first point with that id, or null.
    SObjectPoint *find(int id);
    const SObjectPoint *find(int id) const;
    // find(ids[i]) into found[i] for every i. A few ids against a large list that has no id
    // index yet are looked up in one pass over the list instead of building the index.
    void findEach(std::span<const int> ids, std::span<SObjectPoint *> found);

    int count() const { return static_cast<int>(mPoints.size()); }
    bool isEmpty() const { return mPoints.empty(); }
    SObjectPoint *first() { return mPoints.empty() ? nullptr : &mPoints.front(); }
    SObjectPoint *at(int i) { return &mPoints[static_cast<size_t>(i)]; }
    const SObjectPoint *at(int i) const { return &mPoints[static_cast<size_t>(i)]; }
    iterator begin() { return mPoints.begin(); }
    iterator end() { return mPoints.end(); }
    const_iterator begin() const { return mPoints.begin(); }
    const_iterator end() const { return mPoints.end(); }

    float Xmin() const { return mXmin; }
    float Ymin() const { return mYmin; }
    float Zmin() const { return mZmin; }
    float Xmax() const { return mXmax; }
    float Ymax() const { return mYmax; }
    float Zmax() const { return mZmax; }
    // Bounding box in a plane (0 = XY, 1 = XZ, 2 = YZ); 0 for a plane outside 0..2.
    float horizontalMin(int plane) const;
    float verticalMin(int plane) const;
    float horizontalMax(int plane) const;
    float verticalMax(int plane) const;
    float horizontalExtent(int plane) const;
    float verticalExtent(int plane) const;

    // The selection. The list keeps its points' selected flags, the count of selected points
    // that the rectangle, image and id selections keep (the search selection sets flags
    // without counting them), and a generation that changes with every change of a flag, so
    // that views keep what they derive from the selection until it changes.
    int selectedCount() const { return mSelectedCount; }
    void setSelectedCount(int n) { mSelectedCount = n; }
    unsigned selectionGeneration() const { return mSelectionGeneration; }
    // One point's flag; the count stays.
    void setSelected(SObjectPoint &point, bool selected);
    // Selects the point and counts it when it was not selected yet.
    void addToSelection(SObjectPoint &point);
    void deselectAll();
    // Replaces the selection by the object points and projection centres with these ids,
    // counted; appends the centres selected to centres.
    void selectIds(const QSet<int> &pointIds, const QSet<int> &centreIds, std::vector<SObjectPoint *> &centres);
    // Selects the points that the image measured (active or not) and the first projection
    // centre with its id, counting those not yet selected; with erase the previous selection
    // goes first. Returns that centre, or null.
    SObjectPoint *selectImagePoints(const SImage &image, bool erase);
    // The points whose selected flag is set, however they were selected: kept as the flags
    // change, so that an empty selection is known without a pass.
    int flaggedCount() const { return mFlagged; }
    bool anySelected() const { return mFlagged > 0; }

    // Deletes all points and resets the bounding box and the selected count.
    void clear();
    // Exchanges the points (which keep their addresses), boxes and counts of two lists.
    void swap(SObjectPointList &other) noexcept;

private:
    void resetBox();
    void includeInBox(const SObjectPoint &point)
    {
        // An infinite coordinate from a damaged file would leave the views no usable scale.
        if (std::isfinite(point.X())) {
            mXmin = std::min(mXmin, point.X());
            mXmax = std::max(mXmax, point.X());
        }
        if (std::isfinite(point.Y())) {
            mYmin = std::min(mYmin, point.Y());
            mYmax = std::max(mYmax, point.Y());
        }
        if (std::isfinite(point.Z())) {
            mZmin = std::min(mZmin, point.Z());
            mZmax = std::max(mZmax, point.Z());
        }
    }

    // Enters the points appended since the last lookup in the id index.
    void indexNewPoints() const;

    Storage mPoints;
    // Point id -> position of its first point; filled on the first lookup after appending,
    // all at once while reading, which is far cheaper than point by point.
    mutable SIdIndex mFirstById;
    mutable size_t mIndexedCount = 0;
    float mXmin, mYmin, mZmin, mXmax, mYmax, mZmax;
    int mSelectedCount = 0;
    int mFlagged = 0;                  // points whose selected flag is set
    unsigned mSelectionGeneration = 1; // 0 is "never seen" for the views
};
