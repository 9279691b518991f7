// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/SPointSearch.h"

#include "framework/Mu.h"
#include "misc/SException.h"
#include "misc/SImageData.h"
#include "misc/SObjectPoint.h"

namespace {

// Residuals are searched only on control points and projection centres, whose PAT-B codes
// lie above this.
constexpr int kLowestObservedCode = 100;

SSearchRange rangeFor(SGlobal::SearchModeE mode, const QString &strPar1, const QString &strPar2)
{
    if (mode == SGlobal::SM_Residuals || mode == SGlobal::SM_Sigmas)
        return SSearchRange::fromFloats(strPar1, strPar2);
    return SSearchRange::fromIntegers(strPar1, strPar2);
}

} // namespace

SPointSearch::SPointSearch(SGlobal::SearchModeE searchMode, const QString &strPar1, const QString &strPar2,
                           bool bPatternMatching)
    : mSearchMode(searchMode), mPatternMatching(bPatternMatching), mRange(rangeFor(searchMode, strPar1, strPar2)),
      mPattern(strPar1), mMask(searchMode == SGlobal::SM_PointCode ? strPar1 : QString())
{}

bool SPointSearch::isValid() const
{
    return mSearchMode >= SGlobal::SM_PointId && mSearchMode <= SGlobal::SM_PointCode;
}

bool SPointSearch::passesId(int id) const { return mPatternMatching ? mPattern.matches(id) : mRange.contains(id); }

bool SPointSearch::passes(const SObjectPoint &point) const
{
    switch (mSearchMode) {
    case SGlobal::SM_PointId: return !point.isProjectionCentre() && passesId(point.id());
    case SGlobal::SM_ImageId: return point.isProjectionCentre() && passesId(point.id());
    case SGlobal::SM_Links: {
        const int links =
            point.isProjectionCentre() ? SImage::activePointCount(point.id()) : SImage::numberOfLinks(point.id());
        return mRange.contains(links);
    }
    case SGlobal::SM_Residuals: {
        if (point.code() <= kLowestObservedCode)
            return false;
        const SObjectCoord &observation = point.observation();
        return mRange.containsAny(observation.dX, observation.dY, observation.dZ);
    }
    case SGlobal::SM_Sigmas:
        return point.isActive() && mRange.containsAny(point.sigmaX(), point.sigmaY(), point.sigmaZ());
    case SGlobal::SM_Blunder: return passesBlunder(point);
    case SGlobal::SM_PointCode: return mMask.chosen(pointCodeIndex(point.code()));
    }
    return false;
}

bool SPointSearch::passesBlunder(const SObjectPoint &point) const
{
    if (!point.isActive())
        return true;
    if (point.isProjectionCentre()) {
        const SImage *image = SImageList::find(point.id());
        if (!image)
            throw SException(kNoImageForCentre,
                             QStringLiteral("SObjectView::selectPoints: no image for for imageID found!"));
        if (image->eliminatedCount() > 0) {
            Mu::debug("image %d has eliminated points", point.id());
            return true;
        }
        return false;
    }
    return SImage::hasEliminatedImagePoint(point.id());
}
