// SPDX-License-Identifier: GPL-3.0-or-later
// Builds the model of a block from another adjuster's reconstruction: images with their image
// points and residuals, projection centres, object points, and the statistics of the project
// record. Nothing enters the model before finish(), so that a read that fails leaves no half
// block behind.
#pragma once

#include "patb/SProjectData.h"

#include <memory>
#include <unordered_map>
#include <vector>

class SBlockBuilder {
public:
    // A new point; with the format's own unknowns it gives the redundancy.
    static constexpr int kCodeNewPoint = 0;

    explicit SBlockBuilder(SProjectData &data) : mData(data) {}

    // A new image with its projection centre (sigmas 0: none were computed).
    SImage &addImage(int id, int cameraId, const double centre[3]);
    // One observation: residual = observed - projected, weight 1, status 0. A projection that
    // is not finite (a point in the camera's plane) leaves the point eliminated and out of the
    // statistics.
    void addObservation(SImage &image, int pointId, double x, double y, double projectedX, double projectedY);
    void addObjectPoint(int id, const double xyz[3]);

    // Hands the block to the model and fills the project record: sigma 0 is the RMS of the
    // residual lengths, the average redundancy (2n - unknowns) / 2n over n observations.
    void finish(const ProjectFiles &files, qint64 unknowns);

    qint64 observationCount() const { return mObservations; }
    qint64 unprojectableCount() const { return mUnprojectable; }
    double sumOfSquares() const { return mSumOfSquares; }

private:
    SProjectData &mData;
    std::vector<std::unique_ptr<SImage>> mImages;
    // Sums of squares per image, added up in image-id order at the end, so that the same block
    // gives the same sigma 0 to the last digit whatever order its files list the images in.
    std::unordered_map<const SImage *, double> mImageSums;
    const SImage *mLastImage = nullptr;
    double *mLastSum = nullptr;
    std::vector<SObjectPoint> mCentres;
    std::vector<SObjectPoint> mPoints;
    double mSumOfSquares = 0.0;
    qint64 mObservations = 0;
    qint64 mUnprojectable = 0;
};
