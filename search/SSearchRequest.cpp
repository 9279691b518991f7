// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/SSearchRequest.h"

#include "framework/Mu.h"
#include "misc/SObjectPoint.h"
#include "search/SPointSearch.h"

#include <QRegularExpression>
#include <QStringList>

using SGlobal::SearchModeE;
using SGlobal::SelectionModeE;

namespace {

const QLatin1Char kSearchSeparator(':');
constexpr int kMaxSearchFields = 4; // MODE:PAR1:PAR2:pattern
const QLatin1String kPatternWord("pattern");

// The command line's search modes by SGlobal::SearchModeE.
const QStringList &searchModeNames()
{
    static const QStringList names = {QStringLiteral("point-id"),  QStringLiteral("image-id"),
                                      QStringLiteral("links"),     QStringLiteral("residuals"),
                                      QStringLiteral("sigmas"),    QStringLiteral("blunder"),
                                      QStringLiteral("point-code")};
    return names;
}

bool isPatternChar(QChar c) { return (c >= u'0' && c <= u'9') || c == u'?' || c == u'*'; }

// Residuals and sigmas are bounded by numbers with decimals, the other ranges by whole numbers.
bool hasWholeBounds(SearchModeE mode) { return mode != SGlobal::SM_Residuals && mode != SGlobal::SM_Sigmas; }

// A bound of the command line: a null text is unused, anything else must be a
// non-negative number.
bool readCommandLineBound(const QString &text, bool whole, SSearchRequest::Bound *bound, QString *error)
{
    bound->text = text;
    bound->used = !text.isNull();
    if (!bound->used)
        return true;
    bool ok = false;
    bound->value = whole ? text.toInt(&ok) : text.toFloat(&ok);
    if (!ok || bound->value < 0.0) {
        *error = QStringLiteral("'%1' is no %2 bound")
                     .arg(text, whole ? QStringLiteral("whole non-negative") : QStringLiteral("non-negative"));
        return false;
    }
    return true;
}

std::optional<SSearchRequest> parseRange(SearchModeE mode, const QString &par1, const QString &par2, QString *error)
{
    SSearchRequest::Bound min;
    SSearchRequest::Bound max;
    const bool whole = hasWholeBounds(mode);
    if (!readCommandLineBound(par1, whole, &min, error) || !readCommandLineBound(par2, whole, &max, error))
        return std::nullopt;
    const SSearchRequest request = SSearchRequest::fromBounds(SGlobal::SL_Erase, mode, min, max);
    if (request.problem() == SSearchRequest::PR_NoParameters)
        *error = QStringLiteral("needs a minimum, a maximum or both");
    else if (request.problem() == SSearchRequest::PR_MinAboveMax)
        *error = QStringLiteral("minimum %1 is above maximum %2").arg(par1, par2);
    if (!request.isValid())
        return std::nullopt;
    return request;
}

std::optional<SSearchRequest> parseFields(SearchModeE mode, const QString &par1, const QString &par2, bool pattern,
                                          QString *error)
{
    switch (mode) {
    case SGlobal::SM_PointId:
    case SGlobal::SM_ImageId:
        if (pattern) {
            // An empty PAR1 is the empty pattern, which is accepted and matches nothing.
            const SSearchRequest request =
                SSearchRequest::fromPattern(SGlobal::SL_Erase, mode, par1.isNull() ? QStringLiteral("") : par1);
            if (!par2.isNull() || !request.isValid()) {
                *error = QStringLiteral("a pattern is PAR1 alone, made of digits, '?' and '*'");
                return std::nullopt;
            }
            return request;
        }
        return parseRange(mode, par1, par2, error);
    case SGlobal::SM_Links:
    case SGlobal::SM_Residuals:
    case SGlobal::SM_Sigmas:
        if (pattern) {
            *error = QStringLiteral("'pattern' is only used with point-id and image-id");
            return std::nullopt;
        }
        return parseRange(mode, par1, par2, error);
    case SGlobal::SM_Blunder:
        if (pattern || !par1.isNull() || !par2.isNull()) {
            *error = QStringLiteral("blunder takes no parameters");
            return std::nullopt;
        }
        return SSearchRequest(SGlobal::SL_Erase, mode);
    case SGlobal::SM_PointCode: {
        static const QRegularExpression mask(QStringLiteral("^[01]{%1}$").arg(SGlobal::kPointCodeIndexCount));
        const SSearchRequest request = SSearchRequest::fromPointCodeMask(SGlobal::SL_Erase, par1);
        if (pattern || !par2.isNull() || !mask.match(par1).hasMatch() || !request.isValid()) {
            *error = QStringLiteral("point-code takes a mask of %1 characters 0 or 1 with at least one 1, "
                                    "one per point-code index (e.g. 0000110 for projection centres)")
                         .arg(SGlobal::kPointCodeIndexCount);
            return std::nullopt;
        }
        return request;
    }
    }
    return std::nullopt;
}

} // namespace

SSearchRequest::SSearchRequest(SelectionModeE selectionMode, SearchModeE searchMode, const QString &strPar1,
                               const QString &strPar2, bool bPatternMatching)
    : mSelectionMode(selectionMode), mSearchMode(searchMode), mPar1(strPar1), mPar2(strPar2),
      mPatternMatching(bPatternMatching)
{}

SSearchRequest SSearchRequest::refused(SearchModeE searchMode, ProblemE problem)
{
    SSearchRequest request(SGlobal::SL_Erase, searchMode);
    request.mProblem = problem;
    return request;
}

SSearchRequest SSearchRequest::fromBounds(SelectionModeE selectionMode, SearchModeE searchMode, const Bound &min,
                                          const Bound &max)
{
    if (!min.used && !max.used)
        return refused(searchMode, PR_NoParameters);
    if (min.used && max.used && min.value > max.value) {
        SSearchRequest request = refused(searchMode, PR_MinAboveMax);
        request.mRefusedMin = min.value;
        request.mRefusedMax = max.value;
        return request;
    }
    return SSearchRequest(selectionMode, searchMode, min.used ? min.text : QString(), max.used ? max.text : QString());
}

SSearchRequest SSearchRequest::fromSpinValues(SelectionModeE selectionMode, SearchModeE searchMode, int min, int max)
{
    return fromBounds(selectionMode, searchMode, Bound{QString::number(min), double(min), min >= 0},
                      Bound{QString::number(max), double(max), max >= 0});
}

SSearchRequest SSearchRequest::fromNumberTexts(SelectionModeE selectionMode, SearchModeE searchMode, const QString &min,
                                               const QString &max)
{
    if (min.isEmpty() && max.isEmpty())
        return refused(searchMode, PR_NoParameters);
    // Read in single precision, as the model keeps its residuals and sigmas; an empty text
    // reads as 0, as does anything half-typed.
    const float lo = min.toFloat();
    const float hi = max.toFloat();
    return fromBounds(selectionMode, searchMode, Bound{min, lo, lo >= 0}, Bound{max, hi, hi >= 0});
}

SSearchRequest SSearchRequest::fromPattern(SelectionModeE selectionMode, SearchModeE searchMode, const QString &pattern)
{
    for (const QChar c : pattern) {
        if (!isPatternChar(c)) {
            SSearchRequest request = refused(searchMode, PR_IllegalPatternChar);
            request.mIllegalChar = c;
            return request;
        }
    }
    return SSearchRequest(selectionMode, searchMode, pattern, QString(), true);
}

SSearchRequest SSearchRequest::fromPointCodeMask(SelectionModeE selectionMode, const QString &mask)
{
    if (!mask.contains(u'1'))
        return refused(SGlobal::SM_PointCode, PR_NoPointCode);
    return SSearchRequest(selectionMode, SGlobal::SM_PointCode, mask);
}

std::optional<SSearchRequest> SSearchRequest::parse(const QString &text, QString *error)
{
    const QStringList fields = text.split(kSearchSeparator);
    const int mode = searchModeNames().indexOf(fields.first());
    if (mode < 0) {
        *error = QStringLiteral("unknown mode '%1' (use %2)")
                     .arg(fields.first(), searchModeNames().join(QStringLiteral(", ")));
        return std::nullopt;
    }
    if (fields.size() > kMaxSearchFields) {
        *error = QStringLiteral("too many fields: use MODE:PAR1:PAR2[:pattern]");
        return std::nullopt;
    }
    const bool pattern = fields.size() == kMaxSearchFields;
    if (pattern && fields.last() != kPatternWord) {
        *error = QStringLiteral("the fourth field must be 'pattern', not '%1'").arg(fields.last());
        return std::nullopt;
    }
    auto field = [&fields](int i) { return i < fields.size() && !fields[i].isEmpty() ? fields[i] : QString(); };
    return parseFields(SearchModeE(mode), field(1), field(2), pattern, error);
}

QString SSearchRequest::warning() const
{
    switch (mProblem) {
    case PR_None: return QString();
    case PR_NoParameters: return Mu::tr("No parameters selected!");
    case PR_MinAboveMax:
        if (hasWholeBounds(mSearchMode))
            return QString::asprintf(qPrintable(Mu::tr("Minimum (%d) > Maximum (%d)!")), int(mRefusedMin),
                                     int(mRefusedMax));
        return QString::asprintf(qPrintable(Mu::tr("Minimum (%.2f) > Maximum (%.2f)!")), mRefusedMin, mRefusedMax);
    case PR_IllegalPatternChar:
        return Mu::tr("Illegal character '%c' in Pattern!").replace(QLatin1String("%c"), mIllegalChar);
    case PR_NoPointCode: return Mu::tr("No point-code activated!");
    }
    return QString();
}

bool SSearchRequest::select(SObjectPointList &list, std::vector<SObjectPoint *> &centres) const
{
    const SPointSearch search(mSearchMode, mPar1, mPar2, mPatternMatching);
    if (!search.isValid()) {
        Mu::warn(qPrintable(Mu::tr("Illegal Search-Mode (%d)!")), int(mSearchMode));
        return false;
    }
    const bool erase = mSelectionMode == SGlobal::SL_Erase;
    for (SObjectPoint &point : list) {
        if (erase)
            list.setSelected(point, false);
        if (!search.passes(point))
            continue;
        list.setSelected(point, true);
        if (point.isProjectionCentre())
            centres.push_back(&point);
    }
    return true;
}
