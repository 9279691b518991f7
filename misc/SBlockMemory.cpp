// SPDX-License-Identifier: GPL-3.0-or-later
#include "misc/SBlockMemory.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdint>
#include <list>
#include <mutex>
#include <new>

namespace {

constexpr std::size_t kHugePage = 2 * 1024 * 1024;
constexpr std::size_t kRegionBytes = 16 * kHugePage;
constexpr std::size_t kOwnRegionBytes = SBlockMemory::kOwnRegionTable;
static_assert(kOwnRegionBytes <= kRegionBytes / 4, "a region holds several tables below its own-region size");

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
// The sanitizers watch the ordinary heap only: there every table keeps its own bounds.
constexpr bool kUseRegions = false;
#else
constexpr bool kUseRegions = true;
#endif

struct Region {
    char *start = nullptr;
    std::size_t size = 0;
    std::size_t used = 0;
    std::size_t liveTables = 0;
};

std::size_t roundUp(std::size_t n, std::size_t to) { return (n + to - 1) / to * to; }

// An anonymous mapping aligned to a huge page, so that every huge page of it can be one.
char *mapAligned(std::size_t size)
{
    void *raw = mmap(nullptr, size + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED)
        return nullptr;
    const auto address = reinterpret_cast<std::uintptr_t>(raw);
    const std::uintptr_t aligned = roundUp(address, kHugePage);
    if (aligned > address)
        munmap(raw, aligned - address);
    const std::uintptr_t end = address + size + kHugePage;
    if (end > aligned + size)
        munmap(reinterpret_cast<void *>(aligned + size), end - (aligned + size));
    madvise(reinterpret_cast<void *>(aligned), size, MADV_HUGEPAGE);
    return reinterpret_cast<char *>(aligned);
}

class Regions {
public:
    void *allocate(std::size_t bytes, std::size_t alignment)
    {
        const std::lock_guard lock(mMutex);
        if (bytes >= kOwnRegionBytes)
            return place(newRegion(roundUp(bytes, kHugePage)), bytes, alignment);
        if (!mCurrent || roundUp(mCurrent->used, alignment) + bytes > mCurrent->size)
            mCurrent = &newRegion(kRegionBytes);
        return place(*mCurrent, bytes, alignment);
    }

    void deallocate(void *p)
    {
        const std::lock_guard lock(mMutex);
        const auto it = std::find_if(mRegions.begin(), mRegions.end(), [p](const Region &r) {
            return static_cast<char *>(p) >= r.start && static_cast<char *>(p) < r.start + r.size;
        });
        if (it == mRegions.end() || --it->liveTables > 0)
            return;
        if (&*it == mCurrent) {
            // Empty again: filled anew from its start. The memory of a closed block goes back
            // to the system; a table or two that come and go keep their page.
            if (it->used > kHugePage)
                madvise(it->start, it->size, MADV_DONTNEED);
            it->used = 0;
            return;
        }
        munmap(it->start, it->size);
        mRegions.erase(it);
    }

private:
    Region &newRegion(std::size_t size)
    {
        char *start = mapAligned(size);
        if (!start)
            throw std::bad_alloc();
        mRegions.push_back({start, size, 0, 0});
        return mRegions.back();
    }

    static void *place(Region &region, std::size_t bytes, std::size_t alignment)
    {
        const std::size_t offset = roundUp(region.used, alignment);
        region.used = offset + bytes;
        ++region.liveTables;
        return region.start + offset;
    }

    std::mutex mMutex;
    std::list<Region> mRegions; // a region keeps its address while others come and go
    Region *mCurrent = nullptr; // the one new tables go to
};

Regions &regions()
{
    static Regions *instance = new Regions; // lives until the process ends: tables outlive statics
    return *instance;
}

} // namespace

void *SBlockMemory::allocate(std::size_t bytes, std::size_t alignment, std::size_t smallest)
{
    if (!kUseRegions || bytes < smallest || bytes == 0)
        return ::operator new(bytes, std::align_val_t(alignment));
    return regions().allocate(bytes, alignment);
}

void SBlockMemory::deallocate(void *p, std::size_t bytes, std::size_t alignment, std::size_t smallest)
{
    if (!kUseRegions || bytes < smallest || bytes == 0)
        ::operator delete(p, std::align_val_t(alignment));
    else
        regions().deallocate(p);
}
