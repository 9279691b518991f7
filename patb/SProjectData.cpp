// SPDX-License-Identifier: GPL-3.0-or-later
#include "patb/SProjectData.h"

#include "framework/Mu.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <system_error>
#include <thread>
#include <vector>

SProjectData::~SProjectData()
{
    if (mPendingCodes.valid())
        mPendingCodes.wait();
}

void SProjectData::initialise(const std::function<void()> &afterCodes)
{
    // Codes first: the thread that may be giving them walks the image list in reading order.
    const bool coded = takePointCodes();
    sortImages();
    if (!coded)
        reconcilePointCodesInOrder();
    if (afterCodes)
        afterCodes();
    checkInversion();
}

void SProjectData::sortImages() { mListImageData.sort(); }

void SProjectData::reconcilePointCodes()
{
    if (!takePointCodes())
        reconcilePointCodesInOrder();
}

bool SProjectData::takePointCodes() { return mPendingCodes.valid() ? mPendingCodes.get() : assignPointCodesByImage(); }

void SProjectData::dropPointCodes()
{
    if (mPendingCodes.valid())
        mPendingCodes.wait();
    mPendingCodes = {};
}

void SProjectData::startPointCodes(std::shared_ptr<const SPointCodeTable> table)
{
    if (!mCodesWhileReading || mPendingCodes.valid() || std::thread::hardware_concurrency() < 2)
        return;
    qint64 imagePoints = 0;
    for (const SImage *image : mListImageData)
        imagePoints += image->numberOfPoints();
    if (imagePoints < mParallelCodesFrom)
        return;
    // The table holds the object points' codes as they are now: reading on changes no code
    // that it holds (only a centre's, and centres claim nothing), and the thread then reads
    // the images alone.
    if (!table) {
        auto made = std::make_shared<SPointCodeTable>();
        made->build(mListObjectData);
        table = std::move(made);
    }
    if (table->claims() != SPointCodeTable::Claims::Tabled)
        return; // initialise() gives the codes as it always does
    try {
        mPendingCodes = std::async(std::launch::async, [this, table] { return assignCodesFromTable(*table); });
    } catch (const std::system_error &) {
        // No thread to be had: initialise() gives the codes.
    }
}

namespace {

constexpr int kNoCode = SPointCodeTable::kNoCode;

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
    SPointCodeTable table;
    switch (table.build(mListObjectData)) {
    case SPointCodeTable::Claims::None: return !anyImagePointCoded();
    case SPointCodeTable::Claims::Sparse: return assignSparseCodes(size_t(table.claimCount()));
    case SPointCodeTable::Claims::Ambiguous: return false;
    case SPointCodeTable::Claims::Tabled: break;
    }
    return assignCodesFromTable(table);
}

bool SProjectData::assignCodesFromTable(const SPointCodeTable &table)
{
    // Each image's points come in ascending id order, so the lookups walk memory forwards.
    return assignCodesOnTwoThreads([&table](int id) { return table.codeOf(id); });
}

// The same for ids spread too thinly for a table: the claims sorted by id.
bool SProjectData::assignSparseCodes(size_t claimCount)
{
    std::vector<IdCode> claims;
    claims.reserve(claimCount);
    for (const SObjectPoint &object : mListObjectData)
        if (!object.isProjectionCentre())
            claims.push_back({object.id(), object.code()});
    std::sort(claims.begin(), claims.end(), [](const IdCode &a, const IdCode &b) { return a.id < b.id; });
    if (std::adjacent_find(claims.begin(), claims.end(),
                           [](const IdCode &a, const IdCode &b) { return a.id == b.id; }) != claims.end())
        return false;
    // Ids come in ascending order within an image: the search goes on from the last match.
    auto from = claims.cbegin();
    int previousId = INT_MAX;
    return assignCodes(
        [&](int id) {
            if (id < previousId)
                from = claims.cbegin(); // the next image
            previousId = id;
            from = std::lower_bound(from, claims.cend(), id, [](const IdCode &c, int v) { return c.id < v; });
            return from != claims.cend() && from->id == id ? from->code : kNoCode;
        },
        0, size_t(mListImageData.count()));
}

bool SProjectData::anyImagePointCoded() const
{
    for (const SImage *image : mListImageData)
        for (const SImagePointEntry &entry : image->points())
            if (entry.point.code() != -1)
                return true;
    return false;
}

template <typename CodeOf> bool SProjectData::assignCodes(CodeOf codeOf, size_t first, size_t last)
{
    // A point met with a code already ends the pass. The codes given until then are the ones
    // the reconciliation in order gives them too (each id has one claim), so it can go on
    // from here without a warning of its own about them.
    for (size_t i = first; i < last; ++i)
        for (SImagePointEntry &entry : mListImageData.at(int(i))->points()) {
            if (entry.point.code() != -1)
                return false;
            const int code = codeOf(entry.id);
            if (code != kNoCode)
                entry.point.setCode(code);
        }
    return true;
}

// Images are independent of each other: each half of the points gets its codes on a thread of
// its own. Where one half stops at a coded point the other's codes are again the ones the
// reconciliation in order gives.
template <typename CodeOf> bool SProjectData::assignCodesOnTwoThreads(CodeOf codeOf)
{
    const size_t count = size_t(mListImageData.count());
    qint64 total = 0;
    for (const SImage *image : mListImageData)
        total += image->numberOfPoints(); // also orders every table here, before the threads
    if (total < mParallelCodesFrom || count < 2 || std::thread::hardware_concurrency() < 2)
        return assignCodes(codeOf, 0, count);
    size_t split = 0;
    for (qint64 before = 0; split + 1 < count && 2 * before < total; ++split)
        before += mListImageData.at(int(split))->numberOfPoints();
    bool laterAssigned = true;
    std::thread later;
    try {
        later = std::thread([&] { laterAssigned = assignCodes(codeOf, split, count); });
    } catch (const std::system_error &) {
        return assignCodes(codeOf, 0, count);
    }
    const bool earlierAssigned = assignCodes(codeOf, 0, split);
    later.join();
    return earlierAssigned && laterAssigned;
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
    dropPointCodes();
    SImage::clearPointIndex();
    mListImageData.clear();
    mListObjectData.clear();
}

void SProjectData::swap(SProjectData &other) noexcept
{
    for (SProjectData *data : {this, &other})
        if (data->mPendingCodes.valid())
            data->mPendingCodes.wait(); // the thread knows its data by address
    std::swap(mPendingCodes, other.mPendingCodes);
    mListImageData.swap(other.mListImageData);
    mListObjectData.swap(other.mListObjectData);
    projectFiles.swap(other.projectFiles);
}
