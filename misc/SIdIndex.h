// SPDX-License-Identifier: GPL-3.0-or-later
// Compact hash table from an int id to a 32-bit position (open addressing, linear probing).
// It stores only the positions: the caller's keyOf(position) gives the id stored there, so a
// table for millions of points costs four bytes per slot.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

class SIdIndex {
public:
    static constexpr uint32_t kNone = UINT32_MAX;

    // The position stored under id, or kNone.
    template <typename KeyOf> uint32_t value(int id, KeyOf keyOf) const
    {
        if (mSlots.empty())
            return kNone;
        return mSlots[slotOf(id, keyOf)];
    }
    // Stores position under id unless the id is present; returns the position stored under id.
    template <typename KeyOf> uint32_t insertIfAbsent(int id, uint32_t position, KeyOf keyOf)
    {
        if ((mCount + 1) * 100 > mSlots.size() * kMaxLoadPercent)
            grow(keyOf);
        uint32_t &slot = mSlots[slotOf(id, keyOf)];
        if (slot == kNone) {
            slot = position;
            ++mCount;
        }
        return slot;
    }

    // Makes room for n ids without growing on the way.
    template <typename KeyOf> void reserve(size_t n, KeyOf keyOf)
    {
        size_t capacity = std::max(mSlots.size(), kMinCapacity);
        while (n * 100 > capacity * kMaxLoadPercent)
            capacity *= 2;
        if (capacity != mSlots.size())
            rehash(capacity, keyOf);
    }

    int count() const { return static_cast<int>(mCount); }
    void clear()
    {
        std::vector<uint32_t>().swap(mSlots);
        mCount = 0;
    }

private:
    static constexpr size_t kMinCapacity = 16;
    // Grow before probes get long; linear probing degrades quickly above this load.
    static constexpr size_t kMaxLoadPercent = 70;

    static size_t hashId(int id)
    {
        // Fibonacci hashing spreads consecutive ids, the common case, over the table.
        const uint32_t h = static_cast<uint32_t>(id) * 2654435769u;
        return static_cast<size_t>(h ^ (h >> 15));
    }
    template <typename KeyOf> size_t slotOf(int id, KeyOf keyOf) const
    {
        const size_t mask = mSlots.size() - 1;
        size_t i = hashId(id) & mask;
        while (mSlots[i] != kNone && keyOf(mSlots[i]) != id)
            i = (i + 1) & mask;
        return i;
    }
    template <typename KeyOf> void grow(KeyOf keyOf)
    {
        rehash(mSlots.empty() ? kMinCapacity : mSlots.size() * 2, keyOf);
    }
    template <typename KeyOf> void rehash(size_t capacity, KeyOf keyOf)
    {
        std::vector<uint32_t> old(capacity, kNone);
        old.swap(mSlots);
        for (uint32_t position : old)
            if (position != kNone)
                mSlots[slotOf(keyOf(position), keyOf)] = position;
    }

    std::vector<uint32_t> mSlots;
    size_t mCount = 0;
};
