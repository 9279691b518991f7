// SPDX-License-Identifier: GPL-3.0-or-later
#include "patb/SProjectData.h"

#include "framework/Mu.h"

#include <algorithm>
#include <climits>
#include <vector>

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

namespace {

// A code table over the id range costs at most this many slots per object point; sparser
// ids are looked up in the sorted list instead.
constexpr qint64 kMaxSlotsPerPoint = 4;
constexpr qint64 kMinSlots = 4096;
constexpr int kNoCode = INT_MIN;

struct IdCode {
    int id;
    int code;
};

} // namespace

bool SProjectData::assignPointCodesByImage()
{
    // Only exact when the order of the visits cannot matter: no image point has a code yet
    // and every id has at most one object point that is not a projection centre. Then an
    // image point takes the code of that one point, and none where only centres carry its id.
    for (const SImage *image : mListImageData)
        for (const SImagePointEntry &entry : image->points())
            if (entry.point.code() != -1)
                return false;

    std::vector<IdCode> claims;
    claims.reserve(size_t(mListObjectData.count()));
    for (const SObjectPoint &object : mListObjectData)
        if (!object.isProjectionCentre())
            claims.push_back({object.id(), object.code()});
    if (claims.empty())
        return true;
    const auto [lowest, highest] =
        std::minmax_element(claims.begin(), claims.end(), [](const IdCode &a, const IdCode &b) { return a.id < b.id; });
    const int first = lowest->id;
    const qint64 range = qint64(highest->id) - first + 1;

    // Each image's points come in ascending id order, so both lookups walk memory forwards.
    if (range <= std::max(kMinSlots, kMaxSlotsPerPoint * qint64(claims.size()))) {
        std::vector<int> codeAt(size_t(range), kNoCode);
        for (const IdCode &claim : claims) {
            int &slot = codeAt[size_t(claim.id - first)];
            if (slot != kNoCode)
                return false;
            slot = claim.code;
        }
        for (SImage *image : mListImageData)
            for (SImagePointEntry &entry : image->points()) {
                const qint64 slot = qint64(entry.id) - first;
                if (slot >= 0 && slot < range && codeAt[size_t(slot)] != kNoCode)
                    entry.point.setCode(codeAt[size_t(slot)]);
            }
        return true;
    }

    std::sort(claims.begin(), claims.end(), [](const IdCode &a, const IdCode &b) { return a.id < b.id; });
    if (std::adjacent_find(claims.begin(), claims.end(),
                           [](const IdCode &a, const IdCode &b) { return a.id == b.id; }) != claims.end())
        return false;
    for (SImage *image : mListImageData) {
        auto from = claims.cbegin();
        for (SImagePointEntry &entry : image->points()) {
            from = std::lower_bound(from, claims.cend(), entry.id, [](const IdCode &c, int id) { return c.id < id; });
            if (from == claims.cend())
                break;
            if (from->id == entry.id)
                entry.point.setCode(from->code);
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

void SProjectData::swap(SProjectData &other) noexcept
{
    mListImageData.swap(other.mListImageData);
    mListObjectData.swap(other.mListObjectData);
    projectFiles.swap(other.projectFiles);
}
