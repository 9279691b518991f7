// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/SBlockBuilder.h"

#include "framework/Mu.h"
#include "misc/SGlobal.h"

#include <algorithm>
#include <cmath>

SImage &SBlockBuilder::addImage(int id, int cameraId, const double centre[3])
{
    auto image = std::make_unique<SImage>();
    image->setId(id);
    image->setCameraId(cameraId);
    const float X = float(centre[0]), Y = float(centre[1]), Z = float(centre[2]);
    image->setProjectionCentre(id, X, Y, Z, 0.0f, 0.0f, 0.0f);
    mCentres.emplace_back(id, SGlobal::kCodeProjectionCentre, X, Y, Z, 0.0f, 0.0f, 0.0f);
    mImages.push_back(std::move(image));
    return *mImages.back();
}

void SBlockBuilder::addObservation(SImage &image, int pointId, double x, double y, double projectedX, double projectedY)
{
    const double vx = x - projectedX;
    const double vy = y - projectedY;
    const double squared = vx * vx + vy * vy;
    if (!std::isfinite(squared) || !std::isfinite(float(vx)) || !std::isfinite(float(vy))) {
        ++mUnprojectable;
        image.addImagePoint(pointId, false, float(x), float(y), 0.0f, 0.0f, 1.0f);
        return;
    }
    if (&image != mLastImage) {
        mLastImage = &image;
        mLastSum = &mImageSums[&image];
    }
    *mLastSum += squared;
    ++mObservations;
    image.addImagePoint(pointId, true, float(x), float(y), float(vx), float(vy), 1.0f);
}

void SBlockBuilder::addObjectPoint(int id, const double xyz[3])
{
    mPoints.emplace_back(id, kCodeNewPoint, float(xyz[0]), float(xyz[1]), float(xyz[2]), 0.0f, 0.0f, 0.0f);
}

void SBlockBuilder::finish(const ProjectFiles &files, qint64 unknowns)
{
    if (mUnprojectable > 0)
        Mu::warn(qUtf8Printable(Mu::tr("%lld observations in '%s' cannot be projected (point in the camera's "
                                       "plane); they are marked as eliminated.")),
                 static_cast<long long>(mUnprojectable), qUtf8Printable(files.projectFile));
    std::sort(mImages.begin(), mImages.end(),
              [](const std::unique_ptr<SImage> &a, const std::unique_ptr<SImage> &b) { return a->id() < b->id(); });
    mSumOfSquares = 0.0;
    for (const std::unique_ptr<SImage> &image : mImages)
        mSumOfSquares += mImageSums[image.get()];
    mImageSums.clear();
    mLastImage = nullptr;
    for (std::unique_ptr<SImage> &image : mImages) {
        image->squeeze();
        mData.mListImageData.append(image.release());
    }
    mImages.clear();
    std::stable_sort(mCentres.begin(), mCentres.end(),
                     [](const SObjectPoint &a, const SObjectPoint &b) { return a.id() < b.id(); });
    for (const SObjectPoint &centre : mCentres)
        mData.mListObjectData.append(centre);
    for (const SObjectPoint &point : mPoints)
        mData.mListObjectData.append(point);
    mCentres.clear();
    mPoints.clear();

    if (!mData.projectFiles)
        mData.projectFiles = std::make_unique<ProjectFiles>();
    ProjectFiles &record = *mData.projectFiles;
    record = files;
    const double n = double(mObservations);
    record.sigma0 = mObservations > 0 ? std::sqrt(mSumOfSquares / n) : 0.0;
    record.averageRedundancy = mObservations > 0 ? (2.0 * n - double(unknowns)) / (2.0 * n) : 0.0;
    record.inversion = false;
}
