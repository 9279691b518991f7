// SPDX-License-Identifier: GPL-3.0-or-later
#include "misc/SImageData.h"

#include "framework/MuMath.h"
#include "misc/SGlobal.h"
#include "misc/SPointIndex.h"

#include <QHash>
#include <algorithm>

namespace {

// Class-wide image-id index of SImageList; not owning.
QHash<int, SImage *> &imageIdIndex()
{
    static QHash<int, SImage *> index;
    return index;
}

float planeValue(const SObjectCoord &c, int axis) { return axis < 0 ? 0.0f : c.coord(axis); }

} // namespace

SImage *SImageLinks::const_iterator::operator*() const { return SPointIndex::instance().imageAt(*mSlot); }

SImage::SImage()
    : mXmin(Mu::Math::MAX_FLT), mYmin(Mu::Math::MAX_FLT), mXmax(Mu::Math::MIN_FLT), mYmax(Mu::Math::MIN_FLT),
      mLargestResidual(Mu::Math::MIN_FLT), mIndexSlot(SIdIndex::kNone)
{}

SImage::~SImage()
{
    // An image that leaves (also one that never reached its trailer) takes its links along,
    // so the index never points to a deleted image.
    if (mIndexSlot != SIdIndex::kNone)
        SPointIndex::instance().unregisterImage(this);
}

void SImage::setProjectionCentre(int id, float X, float Y, float Z, float sigmaX, float sigmaY, float sigmaZ)
{
    mProjectionCentre.id = id;
    mProjectionCentre.X = X;
    mProjectionCentre.Y = Y;
    mProjectionCentre.Z = Z;
    mProjectionCentre.dX = sigmaX;
    mProjectionCentre.dY = sigmaY;
    mProjectionCentre.dZ = sigmaZ;
}

float SImage::projectionCentreHorizontal(int plane) const
{
    return planeValue(mProjectionCentre, planeHorizontalAxis(plane));
}

float SImage::projectionCentreVertical(int plane) const
{
    return planeValue(mProjectionCentre, planeVerticalAxis(plane));
}

bool SImage::addImagePoint(int pointId, bool active, float x, float y, float vx, float vy, float weight)
{
    include(SImagePointEntry{pointId, SImagePoint(active, x, y, vx, vy, weight)});
    enterPointIndex();
    return true;
}

void SImage::enterPointIndex()
{
    SPointIndex &index = SPointIndex::instance();
    if (mIndexSlot == SIdIndex::kNone)
        index.registerImage(this);
    else
        index.markChanged();
}

void SImage::sortPoints() const
{
    if (mSorted)
        return;
    std::stable_sort(mPoints.begin(), mPoints.end(),
                     [](const SImagePointEntry &a, const SImagePointEntry &b) { return a.id < b.id; });
    // Of several points with one id the one added last stays.
    auto out = mPoints.begin();
    for (auto it = mPoints.begin(); it != mPoints.end(); ++it) {
        if (std::next(it) != mPoints.end() && std::next(it)->id == it->id)
            continue;
        *out++ = *it;
    }
    mPoints.erase(out, mPoints.end());
    mSorted = true;
}

void SImage::squeeze()
{
    sortPoints();
    mPoints.shrink_to_fit();
}

const SImagePointEntry *SImage::findEntry(int pointId) const
{
    sortPoints();
    auto it = std::lower_bound(mPoints.begin(), mPoints.end(), pointId,
                               [](const SImagePointEntry &e, int id) { return e.id < id; });
    return it != mPoints.end() && it->id == pointId ? &*it : nullptr;
}

SImagePoint *SImage::imagePoint(int pointId)
{
    const SImagePointEntry *entry = findEntry(pointId);
    return entry ? const_cast<SImagePoint *>(&entry->point) : nullptr;
}

const SImagePoint *SImage::imagePoint(int pointId) const
{
    const SImagePointEntry *entry = findEntry(pointId);
    return entry ? &entry->point : nullptr;
}

std::span<const SImagePointEntry> SImage::points() const
{
    sortPoints();
    return {mPoints.data(), mPoints.size()};
}

std::span<SImagePointEntry> SImage::points()
{
    sortPoints();
    return {mPoints.data(), mPoints.size()};
}

int SImage::numberOfPoints() const
{
    sortPoints();
    return static_cast<int>(mPoints.size());
}

SImageLinks SImage::imagesOfPoint(int pointId) { return SPointIndex::instance().imagesOf(pointId); }

int SImage::numberOfLinks(int pointId) { return imagesOfPoint(pointId).count(); }

bool SImage::hasEliminatedImagePoint(int pointId) { return SPointIndex::instance().hasEliminatedImagePoint(pointId); }

int SImage::activePointCount(int imageId)
{
    const SImage *image = SImageList::find(imageId);
    return image ? image->numberOfPoints() - image->eliminatedCount() : 0;
}

void SImage::clearPointIndex() { SPointIndex::instance().clear(); }

SImageList::~SImageList()
{
    QHash<int, SImage *> &index = imageIdIndex();
    for (SImage *image : mImages) {
        auto it = index.find(image->id());
        if (it != index.end() && it.value() == image)
            index.erase(it);
        delete image;
    }
}

void SImageList::append(SImage *image)
{
    if (!image)
        return;
    imageIdIndex().insert(image->id(), image);
    mImages.push_back(image);
}

SImage *SImageList::find(int imageId) { return imageIdIndex().value(imageId, nullptr); }

void SImageList::sort()
{
    std::stable_sort(mImages.begin(), mImages.end(),
                     [](const SImage *a, const SImage *b) { return a && b && a->id() < b->id(); });
}

void SImageList::leaveIndexes()
{
    QHash<int, SImage *> &index = imageIdIndex();
    for (SImage *image : mImages) {
        auto it = index.find(image->id());
        if (it != index.end() && it.value() == image)
            index.erase(it);
        if (image->indexSlot() != SIdIndex::kNone)
            SPointIndex::instance().unregisterImage(image);
    }
}

void SImageList::enterIndexes()
{
    for (SImage *image : mImages) {
        imageIdIndex().insert(image->id(), image);
        if (image->indexSlot() == SIdIndex::kNone && image->numberOfPoints() > 0)
            SPointIndex::instance().registerImage(image);
    }
}

void SImageList::clear()
{
    imageIdIndex().clear();
    for (SImage *image : mImages)
        delete image;
    mImages.clear();
    mImages.shrink_to_fit();
}
