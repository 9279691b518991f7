// SPDX-License-Identifier: GPL-3.0-or-later
// Small hand-built blocks for the object viewer tests, made with the model API directly.
#pragma once

#include "misc/SGlobal.h"
#include "misc/SImageData.h"
#include "misc/SObjectPoint.h"

#include <memory>
#include <vector>

// A block whose adjusted coordinates span X 0..2000, Y 0..1000, Z 0..400: at 100 % the XY
// canvas is 580 x 330 pixels with a zoom factor of 0.25.
struct ObjectBlock {
    SObjectPointList points;
    SImageList images;

    static constexpr float kWidth = 2000.0f, kHeight = 1000.0f, kDepth = 400.0f;

    ObjectBlock(bool withCorners = true)
    {
        if (withCorners) {
            points.append(SObjectPoint(1, 0, 0.0f, 0.0f, 0.0f, 0.1f, 0.1f, 0.1f));
            points.append(SObjectPoint(2, 0, kWidth, kHeight, kDepth, 0.1f, 0.1f, 0.1f));
        }
    }
    ~ObjectBlock()
    {
        SImage::clearPointIndex();
        images.clear();
    }

    SObjectPoint *add(int id, int code, float x, float y, float z, float sigma = 0.0f)
    {
        return points.append(SObjectPoint(id, code, x, y, z, sigma, sigma, sigma));
    }

    // An image with its projection centre (also appended as an object point) and points.
    SImage *addImage(int id, float x, float y, float z, const std::vector<std::pair<int, bool>> &imagePoints)
    {
        auto *image = new SImage;
        image->setId(id);
        image->setProjectionCentre(id, x, y, z, 0.0f, 0.0f, 0.0f);
        for (const auto &[pointId, active] : imagePoints)
            image->addImagePoint(pointId, active, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f);
        images.append(image);
        add(id, SGlobal::kCodeProjectionCentre, x, y, z);
        return image;
    }
};
