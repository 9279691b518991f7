// SPDX-License-Identifier: GPL-3.0-or-later
#include "objectviewer/SSelectionSnapshot.h"

#include "misc/SObjectPoint.h"

namespace {

// The snapshot last taken, for the next canvas that asks about the same list.
std::shared_ptr<const SSelectionSnapshot> &kept()
{
    static std::shared_ptr<const SSelectionSnapshot> snapshot;
    return snapshot;
}

} // namespace

bool SSelectionSnapshot::isCurrent(const SObjectPointList &list) const
{
    return mList == &list && mGeneration == list.selectionGeneration() && mPointCount == list.count();
}

std::shared_ptr<const SSelectionSnapshot> SSelectionSnapshot::of(const SObjectPointList &list)
{
    std::shared_ptr<const SSelectionSnapshot> &last = kept();
    if (last && last->isCurrent(list))
        return last;
    auto snapshot = std::make_shared<SSelectionSnapshot>();
    snapshot->mList = &list;
    snapshot->mGeneration = list.selectionGeneration();
    snapshot->mPointCount = list.count();
    if (list.flaggedCount() == 0) {
        last = snapshot; // nothing selected: known without a pass
        return snapshot;
    }
    int i = 0;
    for (const SObjectPoint &point : list) {
        if (point.isSelected()) {
            if (snapshot->mFlags.empty())
                snapshot->mFlags.resize(size_t(list.count()));
            snapshot->mFlags[size_t(i)] = 1;
            snapshot->mIndices.push_back(i);
        }
        ++i;
    }
    last = snapshot;
    return snapshot;
}

void SSelectionSnapshot::deselectAll(SObjectPointList &list)
{
    std::shared_ptr<const SSelectionSnapshot> &last = kept();
    if (last && last->isCurrent(list)) {
        for (int i : last->mIndices)
            list.setSelected(*list.at(i), false);
        list.setSelectedCount(0);
    } else {
        list.deselectAll();
    }
    auto none = std::make_shared<SSelectionSnapshot>();
    none->mList = &list;
    none->mGeneration = list.selectionGeneration();
    none->mPointCount = list.count();
    last = std::move(none);
}

void SSelectionSnapshot::forget() { kept().reset(); }
