// SPDX-License-Identifier: GPL-3.0-or-later
// The report's pictures, painted by the views' canvases with the user's settings: the XY,
// XZ and YZ views of the block with projection centres, blunders and the control points
// with their residual vectors, and the image view of the worst image with its residual
// vectors and largest residual. Residual vectors are drawn for selected points only, so
// the control points are selected while the pictures live; the previous selection comes
// back when this object goes.
#pragma once

#include "report/SReportDocument.h"

#include <array>
#include <memory>
#include <vector>

class SImageCanvas;
class SObjectCanvas;
class SProjectData;

class SReportPictures {
public:
    // worstImageId: the image to show; -1 for none.
    SReportPictures(SProjectData &data, int worstImageId);
    ~SReportPictures();
    SReportPictures(const SReportPictures &) = delete;
    SReportPictures &operator=(const SReportPictures &) = delete;

    const QList<SReport::Picture> &pictures() const { return mPictures; }

private:
    void addObjectPictures(SProjectData &data);
    void addImagePicture(int imageId);
    void selectControlPoints(SObjectCanvas &canvas);

    SProjectData &mData;
    std::vector<bool> mSavedSelection;
    int mSavedSelectedCount = 0;
    std::array<std::unique_ptr<SObjectCanvas>, 3> mObjectCanvases;
    std::unique_ptr<SImageCanvas> mImageCanvas;
    QList<SReport::Picture> mPictures;
};
