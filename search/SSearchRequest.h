// SPDX-License-Identifier: GPL-3.0-or-later
// One request to select object points by a criterion: the selection mode, the search mode
// and its parameters, as the search tab and the command line make it. The factories apply
// the search tab's rules to what a front end read; parse() reads the command line's
// MODE:PAR1:PAR2[:pattern]. A request runs once on the shared point list.
#pragma once

#include "misc/SGlobal.h"

#include <QMetaType>
#include <QString>

#include <optional>
#include <vector>

class SObjectPoint;
class SObjectPointList;

class SSearchRequest {
public:
    // Why a request is refused; each front end words it in its own way.
    enum ProblemE { PR_None, PR_NoParameters, PR_MinAboveMax, PR_IllegalPatternChar, PR_NoPointCode };

    // One bound as a front end read it: the text the request carries, its value, and
    // whether the bound is used at all.
    struct Bound {
        QString text;
        double value = 0.0;
        bool used = false;
    };

    SSearchRequest() = default;
    // The parameters as they are: bounds the search tab would refuse are not refused here.
    SSearchRequest(SGlobal::SelectionModeE selectionMode, SGlobal::SearchModeE searchMode,
                   const QString &strPar1 = QString(), const QString &strPar2 = QString(),
                   bool bPatternMatching = false);

    // Range bounds: refused when neither is used, or when both are and min > max. A bound
    // that is not used travels as a null text.
    static SSearchRequest fromBounds(SGlobal::SelectionModeE selectionMode, SGlobal::SearchModeE searchMode,
                                     const Bound &min, const Bound &max);
    // Whole-number bounds where a negative value (the spin boxes' IGNORE) leaves the bound out.
    static SSearchRequest fromSpinValues(SGlobal::SelectionModeE selectionMode, SGlobal::SearchModeE searchMode,
                                         int min, int max);
    // Number texts as typed: both empty is refused, an empty text reads as 0 otherwise, and
    // a negative value leaves its bound out.
    static SSearchRequest fromNumberTexts(SGlobal::SelectionModeE selectionMode, SGlobal::SearchModeE searchMode,
                                          const QString &min, const QString &max);
    // An id pattern of digits, '?' and '*'; an empty pattern is accepted (it matches nothing).
    static SSearchRequest fromPattern(SGlobal::SelectionModeE selectionMode, SGlobal::SearchModeE searchMode,
                                      const QString &pattern);
    // A point-code mask (one "1" or "0" per point-code index) with at least one "1".
    static SSearchRequest fromPointCodeMask(SGlobal::SelectionModeE selectionMode, const QString &mask);

    // The command line's MODE:PAR1:PAR2[:pattern], in SL_Erase mode; empty fields and missing
    // ones at the end are unused bounds. Nothing, with the reason in error, when refused.
    static std::optional<SSearchRequest> parse(const QString &text, QString *error);

    bool isValid() const { return mProblem == PR_None; }
    ProblemE problem() const { return mProblem; }
    // The search tab's warning for a refused request.
    QString warning() const;

    SGlobal::SelectionModeE selectionMode() const { return mSelectionMode; }
    SGlobal::SearchModeE searchMode() const { return mSearchMode; }
    const QString &strPar1() const { return mPar1; }
    const QString &strPar2() const { return mPar2; }
    bool patternMatching() const { return mPatternMatching; }

    // Sets the selected flags of list: in SL_Erase mode the points that pass replace the
    // selection, in SL_Add mode they join it; the list's selected count stays as it was.
    // Appends the projection centres that pass to centres, also those passed before an
    // SException of a blunder search ends the pass. False, with a warning and no flag
    // changed, for a search mode outside 0..6.
    bool select(SObjectPointList &list, std::vector<SObjectPoint *> &centres) const;

private:
    static SSearchRequest refused(SGlobal::SearchModeE searchMode, ProblemE problem);

    SGlobal::SelectionModeE mSelectionMode = SGlobal::SL_Erase;
    SGlobal::SearchModeE mSearchMode = SGlobal::SM_PointId;
    QString mPar1; // null for an unused bound
    QString mPar2;
    bool mPatternMatching = false;
    ProblemE mProblem = PR_None;
    double mRefusedMin = 0.0; // the bounds of PR_MinAboveMax
    double mRefusedMax = 0.0;
    QChar mIllegalChar; // of PR_IllegalPatternChar
};

Q_DECLARE_METATYPE(SSearchRequest)
