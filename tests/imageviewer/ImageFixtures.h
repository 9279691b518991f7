// SPDX-License-Identifier: GPL-3.0-or-later
// Small images built through the model's own API for the image viewer tests.
#pragma once

#include "misc/SImageData.h"
#include "tests/common/CanvasPicture.h"

namespace ImageFixtures {

// An image whose extent is set explicitly, as a camera file would set it.
inline SImage *makeImage(int id, float xmin, float ymin, float xmax, float ymax)
{
    auto *image = new SImage();
    image->setId(id);
    image->setCameraId(id * 10);
    image->setXmin(xmin);
    image->setYmin(ymin);
    image->setXmax(xmax);
    image->setYmax(ymax);
    return image;
}

// Extent 0..500 in both directions: at 100 % image (x, y) lands at canvas (40 + x, 540 - y).
inline QPoint unitCanvas(float x, float y) { return QPoint(40 + int(x), 540 - int(y)); }

// Adds an image point of a new (tie) point, point-code index 0.
inline void addNewPoint(SImage *image, int id, bool active, float x, float y, float vx = 0.0f, float vy = 0.0f)
{
    image->addImagePoint(id, active, x, y, vx, vy, 1.0f);
    image->imagePoint(id)->setCode(0);
}

} // namespace ImageFixtures
