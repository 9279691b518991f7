// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/SSearchRange.h"

SSearchRange::BoundE SSearchRange::boundOf(const QString &strMin, const QString &strMax)
{
    if (strMax.isEmpty())
        return BD_MinOnly;
    return strMin.isEmpty() ? BD_MaxOnly : BD_Both;
}

SSearchRange SSearchRange::fromIntegers(const QString &strMin, const QString &strMax)
{
    // toInt() yields 0 for an empty or unreadable text, which is the reading wanted here.
    return SSearchRange(boundOf(strMin, strMax), strMin.toInt(), strMax.toInt());
}

SSearchRange SSearchRange::fromFloats(const QString &strMin, const QString &strMax)
{
    return SSearchRange(boundOf(strMin, strMax), strMin.toFloat(), strMax.toFloat());
}

bool SSearchRange::contains(double value) const
{
    switch (mBound) {
    case BD_Both: return mLo <= value && value <= mHi;
    case BD_MinOnly: return value >= mLo;
    case BD_MaxOnly: return value <= mHi;
    }
    return false;
}
