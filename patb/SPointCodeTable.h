// SPDX-License-Identifier: GPL-3.0-or-later
// The codes of the object points that claim image points (all but the projection centres),
// over their id range: an image point finds its code without a look-up per link.
#pragma once

#include <QtGlobal>

#include <climits>
#include <cstdint>
#include <vector>

class SObjectPointList;

class SPointCodeTable {
public:
    // What the claims of a list came to: none, ids too sparse for a table, an id claimed
    // twice (no code table is exact then), or a table.
    enum class Claims { None, Sparse, Ambiguous, Tabled };
    static constexpr int kNoCode = INT_MIN;

    // Tables the claims of points.
    Claims build(const SObjectPointList &points);
    Claims claims() const { return mClaims; }
    qint64 claimCount() const { return mClaimCount; }

    // The code claimed for id, or kNoCode.
    int codeOf(int id) const
    {
        const qint64 slot = qint64(id) - mLowest;
        return slot >= 0 && slot < mRange && mClaimed[size_t(slot)] ? int(mCodeAt[size_t(slot)]) : kNoCode;
    }

private:
    Claims mClaims = Claims::None;
    qint64 mClaimCount = 0;
    int mLowest = 0;
    qint64 mRange = 0;
    // Codes are 16 bits wide, so the table of a large block costs less than the peak of its
    // model it would otherwise set.
    std::vector<int16_t> mCodeAt;
    std::vector<bool> mClaimed;
};
