// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/SReportPictures.h"

#include "imageviewer/SImageCanvas.h"
#include "misc/SGlobal.h"
#include "misc/SImageData.h"
#include "objectviewer/SObjectCanvas.h"
#include "patb/SProjectData.h"
#include "prefs/SSettings.h"
#include "search/SSearchRequest.h"

#include <QPainter>

namespace {

constexpr int kPictureZoom = 100;

const char *const kPlaneCaptions[] = {
    "XY view of the block: projection centres, blunders, control points (marked) with their residual vectors",
    "XZ view of the block: projection centres, blunders, control points (marked) with their residual vectors",
    "YZ view of the block: projection centres, blunders, control points (marked) with their residual vectors"};

// The point-code mask of the search: control points and observed projection centres.
QString controlMask()
{
    QString mask(SGlobal::kPointCodeIndexCount, QLatin1Char('0'));
    for (int index : {SGlobal::kIndexVerticalControl, SGlobal::kIndexHorizontalControl, SGlobal::kIndexFullControl,
                      SGlobal::kIndexObservedProjectionCentre})
        mask[index] = QLatin1Char('1');
    return mask;
}

} // namespace

SReportPictures::SReportPictures(SProjectData &data, int worstImageId) : mData(data)
{
    const SObjectPointList &points = data.mListObjectData;
    mSavedSelection.reserve(size_t(points.count()));
    for (const SObjectPoint &p : points)
        mSavedSelection.push_back(p.isSelected());
    mSavedSelectedCount = points.selectedCount();
    addObjectPictures(data);
    addImagePicture(worstImageId);
}

SReportPictures::~SReportPictures()
{
    SObjectPointList &points = mData.mListObjectData;
    size_t i = 0;
    for (SObjectPoint &p : points)
        if (i < mSavedSelection.size())
            points.setSelected(p, mSavedSelection[i++]);
    points.setSelectedCount(mSavedSelectedCount);
}

void SReportPictures::selectControlPoints(SObjectCanvas &canvas)
{
    canvas.selectPoints(SSearchRequest(SGlobal::SL_Erase, SGlobal::SM_PointCode, controlMask()));
}

void SReportPictures::addObjectPictures(SProjectData &data)
{
    SObjectPointList &points = data.mListObjectData;
    if (points.isEmpty())
        return;
    const bool sigmas = data.projectFiles && data.projectFiles->inversion;
    const SSettings::ObjectViewerSettings settings = SSettings::readObjectViewerSettings();
    for (int plane = 0; plane < SGlobal::kPlaneCount; ++plane) {
        auto canvas = std::make_unique<SObjectCanvas>(plane);
        canvas->applySettings(settings);
        canvas->setObjectPoints(&points, sigmas);
        canvas->setZoom(kPictureZoom);
        canvas->setBlundersOn(true);
        canvas->setResidualsOn(VM_Graphical, true);
        if (plane == 0)
            selectControlPoints(*canvas);
        SObjectCanvas *painted = canvas.get();
        const QSize size = canvas->canvasSize();
        mPictures.append(
            {QString::fromLatin1(kPlaneCaptions[plane]), size, qint64(points.count()),
             [painted, size](QPainter &painter) { painted->paintCanvas(painter, QRect(QPoint(0, 0), size)); }});
        mObjectCanvases[size_t(plane)] = std::move(canvas);
    }
}

void SReportPictures::addImagePicture(int imageId)
{
    SImage *image = imageId >= 0 ? SImageList::find(imageId) : nullptr;
    if (!image)
        return;
    mImageCanvas = std::make_unique<SImageCanvas>();
    mImageCanvas->applySettings(SSettings::readImageViewerSettings());
    mImageCanvas->setImage(image);
    mImageCanvas->setZoom(kPictureZoom);
    mImageCanvas->setBlundersOn(true);
    mImageCanvas->setResidualsOn(VM_Graphical, true);
    SImageCanvas *painted = mImageCanvas.get();
    const QSize size = painted->canvasSize();
    mPictures.append({QStringLiteral("Image %1, the image with the largest RMS |v|: image points, residual vectors, "
                                     "eliminated points and the largest residual (circled)")
                          .arg(imageId),
                      size, qint64(image->numberOfPoints()), [painted, size](QPainter &painter) {
                          painted->paintCanvas(painter, QRect(QPoint(0, 0), size));
                      }});
}
