// SPDX-License-Identifier: GPL-3.0-or-later
// The bounds of a range search as the search tab sends them: two texts, each empty (or
// null) when that bound is not used. Both texts empty reads as "at least 0".
#pragma once

#include <QString>

class SSearchRange {
public:
    enum BoundE { BD_Both, BD_MinOnly, BD_MaxOnly };

    // Bounds read as decimal integers; an empty or unreadable text reads as 0.
    static SSearchRange fromIntegers(const QString &strMin, const QString &strMax);
    // Bounds read as single-precision numbers; an empty or unreadable text reads as 0.
    static SSearchRange fromFloats(const QString &strMin, const QString &strMax);

    BoundE bound() const { return mBound; }
    double lo() const { return mLo; }
    double hi() const { return mHi; }

    bool contains(double value) const;
    // True when at least one of the three values lies in the range on its own.
    bool containsAny(double x, double y, double z) const { return contains(x) || contains(y) || contains(z); }

private:
    SSearchRange(BoundE bound, double lo, double hi) : mBound(bound), mLo(lo), mHi(hi) {}
    static BoundE boundOf(const QString &strMin, const QString &strMax);

    BoundE mBound;
    double mLo;
    double mHi;
};
