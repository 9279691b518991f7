// SPDX-License-Identifier: GPL-3.0-or-later
#include "statistics/SActiveRays.h"

#include "misc/SObjectPoint.h"

#include <algorithm>

namespace {

// A table over the id range may cost this many slots per point before sorted ids are cheaper.
constexpr qint64 kMaxSlotsPerPoint = 4;
constexpr qint64 kMinSlots = 4096;

} // namespace

SActiveRays::SActiveRays(const SObjectPointList &objects)
{
    // The id range first, so that dense ids go straight into their table without a list of
    // them on the way.
    qint64 count = 0;
    int lowest = 0, highest = 0;
    for (const SObjectPoint &p : objects) {
        if (p.isProjectionCentre())
            continue;
        lowest = count == 0 ? p.id() : std::min(lowest, p.id());
        highest = count == 0 ? p.id() : std::max(highest, p.id());
        ++count;
    }
    if (count == 0) {
        mDense = false;
        return;
    }
    const qint64 range = qint64(highest) - lowest + 1;
    mFirstId = lowest;
    if (range <= std::max(kMinSlots, kMaxSlotsPerPoint * count)) {
        // Ids that no object point has must keep 0 rays, so they get no slot at all.
        mCounts.assign(size_t(range), -1);
        for (const SObjectPoint &p : objects)
            if (!p.isProjectionCentre())
                mCounts[size_t(qint64(p.id()) - mFirstId)] = 0;
        return;
    }
    mDense = false;
    mIds.reserve(size_t(count));
    for (const SObjectPoint &p : objects)
        if (!p.isProjectionCentre())
            mIds.push_back(p.id());
    std::sort(mIds.begin(), mIds.end());
    mIds.erase(std::unique(mIds.begin(), mIds.end()), mIds.end());
    mCounts.assign(mIds.size(), 0);
}

qint64 SActiveRays::slotOfScattered(int id) const
{
    const auto it = std::lower_bound(mIds.begin(), mIds.end(), id);
    return it != mIds.end() && *it == id ? it - mIds.begin() : -1;
}

int SActiveRays::rays(int id) const
{
    const qint64 i = slotOf(id);
    return i >= 0 ? mCounts[size_t(i)] : 0;
}

SActiveRays SActiveRays::emptyCopy() const
{
    SActiveRays copy(*this);
    for (int &count : copy.mCounts)
        count = count < 0 ? count : 0; // ids without a point keep their mark
    return copy;
}

void SActiveRays::add(const SActiveRays &other)
{
    for (size_t i = 0; i < mCounts.size(); ++i)
        if (mCounts[i] >= 0)
            mCounts[i] += other.mCounts[i];
}
