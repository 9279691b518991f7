// SPDX-License-Identifier: GPL-3.0-or-later
// Memory for the large tables of a block (the image points of its images, the nodes of its
// object point list), taken from big regions that the kernel may back with huge pages: reading
// millions of points then touches a few hundred pages instead of tens of thousands. Tables are
// laid end to end in the newest region; a region goes back to the system when its last table
// is freed. Thread-safe.
#pragma once

#include <cstddef>

namespace SBlockMemory {

// Tables of fewer than `smallest` bytes come from the ordinary heap: a vector that grows from
// nothing would leave its first small tables as holes in a region.
inline constexpr std::size_t kSmallestTable = 4096;
// Tables from this size on get a region of their own, which goes back to the system when the
// table is freed: a passing array of a block's size takes huge pages without leaving a hole.
inline constexpr std::size_t kOwnRegionTable = 8 * 1024 * 1024;
void *allocate(std::size_t bytes, std::size_t alignment, std::size_t smallest);
void deallocate(void *p, std::size_t bytes, std::size_t alignment, std::size_t smallest);

} // namespace SBlockMemory

// A standard allocator over SBlockMemory, for the containers of a block's tables. A container
// whose pieces never grow (the nodes of a deque) takes every piece from the regions.
template <typename T, std::size_t kSmallest = SBlockMemory::kSmallestTable> struct SBlockAllocator {
    using value_type = T;
    template <typename U> struct rebind {
        using other = SBlockAllocator<U, kSmallest>;
    };

    SBlockAllocator() = default;
    template <typename U> SBlockAllocator(const SBlockAllocator<U, kSmallest> &) {}

    T *allocate(std::size_t n)
    {
        return static_cast<T *>(SBlockMemory::allocate(n * sizeof(T), alignof(T), kSmallest));
    }
    void deallocate(T *p, std::size_t n) { SBlockMemory::deallocate(p, n * sizeof(T), alignof(T), kSmallest); }

    template <typename U> bool operator==(const SBlockAllocator<U, kSmallest> &) const { return true; }
};
