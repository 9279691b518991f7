// SPDX-License-Identifier: GPL-3.0-or-later
// Memory for the large tables of a block (the image points of its images), taken from big
// regions that the kernel may back with huge pages: reading millions of points then touches a
// few hundred pages instead of tens of thousands. Tables are laid end to end in the newest
// region; a region goes back to the system when its last table is freed. Thread-safe.
#pragma once

#include <cstddef>

namespace SBlockMemory {

void *allocate(std::size_t bytes, std::size_t alignment);
void deallocate(void *p, std::size_t bytes, std::size_t alignment);

} // namespace SBlockMemory

// A standard allocator over SBlockMemory, for the vectors of a block's tables.
template <typename T> struct SBlockAllocator {
    using value_type = T;

    SBlockAllocator() = default;
    template <typename U> SBlockAllocator(const SBlockAllocator<U> &) {}

    T *allocate(std::size_t n) { return static_cast<T *>(SBlockMemory::allocate(n * sizeof(T), alignof(T))); }
    void deallocate(T *p, std::size_t n) { SBlockMemory::deallocate(p, n * sizeof(T), alignof(T)); }

    template <typename U> bool operator==(const SBlockAllocator<U> &) const { return true; }
};
