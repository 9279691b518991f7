// SPDX-License-Identifier: GPL-3.0-or-later
// The selected flags of an object point list at one selection generation, as paints see
// them. Taking one is a pass over the whole list, so the GUI thread takes it once per change
// of the selection and every canvas of the list shares it; paints on worker threads read
// only their snapshot, never the list's flags, which change meanwhile.
#pragma once

#include <memory>
#include <vector>

class SObjectPointList;

class SSelectionSnapshot {
public:
    // An empty selection of no list.
    SSelectionSnapshot() = default;

    // The snapshot of list's selection now: the one last taken while the list's generation
    // is still the same, else a new one. GUI thread only.
    static std::shared_ptr<const SSelectionSnapshot> of(const SObjectPointList &list);
    // Clears the selection of list (flags and count). With a current snapshot only the points
    // it names are touched, not the whole list; either way the empty selection is known
    // afterwards without a pass. GUI thread only.
    static void deselectAll(SObjectPointList &list);
    // Drops the snapshot kept for sharing: its list is about to change or go.
    static void forget();

    bool isSelected(int index) const { return !mFlags.empty() && mFlags[size_t(index)] != 0; }
    // The list indices of the selected points, ascending.
    const std::vector<int> &indices() const { return mIndices; }
    int count() const { return int(mIndices.size()); }
    // Whether this is the selection of list now.
    bool isCurrent(const SObjectPointList &list) const;

private:
    const SObjectPointList *mList = nullptr;
    unsigned mGeneration = 0; // 0: of no list
    int mPointCount = 0;
    std::vector<int> mIndices;
    std::vector<char> mFlags; // by list index; empty while nothing is selected
};
