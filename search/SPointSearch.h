// SPDX-License-Identifier: GPL-3.0-or-later
// The test of one search request, applied point by point: whether an object point or a
// projection centre meets the criterion of the search mode with the parameters the search
// tab sent. Widget-free, so that the object views and the command line share it.
#pragma once

#include "misc/SGlobal.h"
#include "search/SPatternMatch.h"
#include "search/SPointCodeMask.h"
#include "search/SSearchRange.h"

#include <QString>

class SObjectPoint;

class SPointSearch {
public:
    // The parameters are read as the search mode wants them; bounds the search tab would
    // refuse are not refused here.
    SPointSearch(SGlobal::SearchModeE searchMode, const QString &strPar1, const QString &strPar2,
                 bool bPatternMatching);

    // False for a search mode outside 0..6; such a search passes no point.
    bool isValid() const;
    SGlobal::SearchModeE searchMode() const { return mSearchMode; }

    // Throws SException in a blunder search for a projection centre without an image.
    bool passes(const SObjectPoint &point) const;

    static constexpr int kNoImageForCentre = -238447;

private:
    bool passesId(int id) const;
    bool passesBlunder(const SObjectPoint &point) const;

    SGlobal::SearchModeE mSearchMode;
    bool mPatternMatching;
    SSearchRange mRange;
    SPatternMatch mPattern;
    SPointCodeMask mMask;
};
