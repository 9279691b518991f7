// SPDX-License-Identifier: GPL-3.0-or-later
#include "patb/SPointCodeTable.h"

#include "misc/SObjectPoint.h"

#include <algorithm>

namespace {

// A table over the id range costs at most this many slots per object point; sparser ids are
// looked up in a sorted list instead.
constexpr qint64 kMaxSlotsPerPoint = 4;
constexpr qint64 kMinSlots = 4096;

} // namespace

SPointCodeTable::Claims SPointCodeTable::build(const SObjectPointList &points)
{
    qint64 claims = 0;
    int lowest = INT_MAX, highest = INT_MIN;
    for (const SObjectPoint &object : points)
        if (!object.isProjectionCentre()) {
            ++claims;
            lowest = std::min(lowest, object.id());
            highest = std::max(highest, object.id());
        }
    mClaimCount = claims;
    if (claims == 0)
        return mClaims = Claims::None;
    const qint64 range = qint64(highest) - lowest + 1;
    if (range > std::max(kMinSlots, kMaxSlotsPerPoint * claims))
        return mClaims = Claims::Sparse;

    mLowest = lowest;
    mRange = range;
    mCodeAt.assign(size_t(range), 0);
    mClaimed.assign(size_t(range), false);
    for (const SObjectPoint &object : points) {
        if (object.isProjectionCentre())
            continue;
        const size_t slot = size_t(object.id() - lowest);
        if (mClaimed[slot]) {
            mCodeAt = {};
            mClaimed = {};
            return mClaims = Claims::Ambiguous;
        }
        mClaimed[slot] = true;
        mCodeAt[slot] = int16_t(object.code());
    }
    return mClaims = Claims::Tabled;
}
