#include "SProjectData.h"

#include "Mu.h"

SProjectData::~SProjectData() = default;

void SProjectData::initialise()
{
    sortImages();
    reconcilePointCodes();
    checkInversion();
}

void SProjectData::sortImages() { mListImageData.sort(); }

void SProjectData::reconcilePointCodes()
{
    if (!assignPointCodesByImage())
        reconcilePointCodesInOrder();
}

bool SProjectData::assignPointCodesByImage()
{
    // Only exact when the order of the visits cannot matter: no image point has a code yet
    // and every id has at most one object point that is not a projection centre.
    for (const SImage *image : mListImageData)
        for (const SImagePointEntry &entry : image->points())
            if (entry.point.code() != -1)
                return false;

    SIdIndex behindCentre; // object points whose id a projection centre read earlier shares
    const auto objectId = [this](uint32_t pos) { return mListObjectData.at(int(pos))->id(); };
    for (int i = 0; i < mListObjectData.count(); ++i) {
        const SObjectPoint *object = mListObjectData.at(i);
        if (object->isProjectionCentre())
            continue;
        const SObjectPoint *first = mListObjectData.find(object->id());
        if (first == object)
            continue;
        if (!first->isProjectionCentre() || behindCentre.insertIfAbsent(object->id(), uint32_t(i), objectId) != uint32_t(i))
            return false;
    }

    for (SImage *image : mListImageData) {
        for (SImagePointEntry &entry : image->points()) {
            const SObjectPoint *object = mListObjectData.find(entry.id);
            if (object && object->isProjectionCentre()) {
                const uint32_t pos = behindCentre.value(entry.id, objectId);
                object = pos == SIdIndex::kNone ? nullptr : mListObjectData.at(int(pos));
            }
            if (object)
                entry.point.setCode(object->code());
        }
    }
    return true;
}

void SProjectData::reconcilePointCodesInOrder()
{
    for (const SObjectPoint &object : mListObjectData) {
        if (object.isProjectionCentre())
            continue;
        const int id = object.id();
        for (SImage *image : SImage::imagesOfPoint(id)) {
            SImagePoint *imagePoint = image->imagePoint(id);
            if (!imagePoint) {
                Mu::assertFailed("! imagePoint", "Varlomin", __LINE__);
                continue;
            }
            if (imagePoint->code() == -1)
                imagePoint->setCode(object.code());
            else if (imagePoint->code() != object.code())
                Mu::warn(qUtf8Printable(Mu::tr("Pointcode for image-point %d is not unique!")), id);
        }
    }
}

void SProjectData::checkInversion() const
{
    if (projectFiles && !projectFiles->inversion)
        Mu::warn("%s", qUtf8Printable(Mu::tr("No inversion: sigmas were not computed!")));
}

int SProjectData::lonelyImagePointCount() const
{
    int lonely = 0;
    for (const SImage *image : mListImageData)
        for (const SImagePointEntry &entry : image->points())
            if (entry.point.code() == -1)
                ++lonely;
    return lonely;
}

void SProjectData::close()
{
    SImage::clearPointIndex();
    mListImageData.clear();
    mListObjectData.clear();
}
