// SPDX-License-Identifier: GPL-3.0-or-later
// Number of active rays (image points that took part in the adjustment) per object point id.
#pragma once

#include <QtGlobal>

#include <cstdint>
#include <vector>

class SObjectPointList;

class SActiveRays {
public:
    // Prepares a counter for the ids of the object points that are not projection centres.
    explicit SActiveRays(const SObjectPointList &objects);
    // A counter for no id, until one of the above is assigned to it.
    SActiveRays() = default;

    // Counts one active image point; an id that no object point has is left alone.
    void countRay(int id)
    {
        if (const qint64 i = slotOf(id); i >= 0)
            ++mCounts[size_t(i)];
    }
    // Active rays of an object point id; 0 for an id no object point has.
    int rays(int id) const;

    // A counter for the same ids with no ray counted yet, for a second pass over other images.
    SActiveRays emptyCopy() const;
    // Adds the rays another counter for the same ids counted.
    void add(const SActiveRays &other);

private:
    // Position of the id's count in mCounts, or -1. Inline: the image pass asks once per ray.
    qint64 slotOf(int id) const
    {
        if (mDense) {
            const qint64 i = qint64(id) - mFirstId;
            return i >= 0 && i < qint64(mCounts.size()) && mCounts[size_t(i)] >= 0 ? i : -1;
        }
        return slotOfScattered(id);
    }
    qint64 slotOfScattered(int id) const;

    // Dense ids get a table over their range; scattered ids a sorted list searched by halving.
    bool mDense = true;
    int mFirstId = 0;
    std::vector<int> mIds; // sorted, unique (scattered ids only)
    std::vector<int> mCounts;
};
