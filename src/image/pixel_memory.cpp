// Large pixel buffers as mappings of their own, with a few freed ones kept for reuse.
#include "image/pixel_memory.h"

#include <algorithm>
#include <cstdint>
#if defined(__GLIBC__)
#include <malloc.h>
#endif
#include <mutex>
#include <new>
#include <sys/mman.h>

namespace vantola::pixel_memory {

namespace {

constexpr std::size_t kHugePage = std::size_t(2) << 20;
// Buffers from this size on are mapped on their own.
constexpr std::size_t kMappedFrom = 2 * kHugePage;

std::size_t mappedLength(std::size_t bytes) {
    return (bytes + kHugePage - 1) & ~(kHugePage - 1);
}

void* mapNew(std::size_t length) {
    // Map a huge page more than needed and unmap the ends, so that the buffer starts on a huge
    // page boundary.
    void* mapped = ::mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE,
                          MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED)
        return nullptr;
    const auto start = reinterpret_cast<std::uintptr_t>(mapped);
    const std::uintptr_t aligned = (start + kHugePage - 1) & ~std::uintptr_t(kHugePage - 1);
    if (aligned > start)
        ::munmap(mapped, aligned - start);
    if (const std::size_t tail = kHugePage - (aligned - start))
        ::munmap(reinterpret_cast<void*>(aligned + length), tail);
    // Only a hint: without huge pages the buffer is made of ordinary pages.
    (void)::madvise(reinterpret_cast<void*>(aligned), length, MADV_HUGEPAGE);
    return reinterpret_cast<void*>(aligned);
}

// One freed mapping kept for reuse: the next page of a job is as large as the last, and comes
// while the last one's memory is freed. It serves a request of at least three quarters of its
// length, so that a page's memory does not stay busy for a small piece. Memory kept must not
// raise the job's peak: a request that it does not serve unmaps it, and only one is kept.
class FreedMappings {
public:
    void* take(std::size_t length) {
        const std::lock_guard lock(mutex_);
        if (kept_.pixels != nullptr && kept_.length >= length && kept_.length / 4 * 3 <= length) {
            void* pixels = kept_.pixels;
            kept_ = {};
            return pixels;
        }
        unmap(kept_);
        return nullptr;
    }

    void give(void* pixels, std::size_t length) noexcept {
        const std::lock_guard lock(mutex_);
        // The larger of the two is kept: a page's memory is the one worth keeping.
        Mapping freed{pixels, length};
        if (freed.length < kept_.length)
            unmap(freed);
        else {
            unmap(kept_);
            kept_ = freed;
        }
    }

private:
    struct Mapping {
        void* pixels = nullptr;
        std::size_t length = 0;
    };

    static void unmap(Mapping& mapping) noexcept {
        if (mapping.pixels != nullptr)
            (void)::munmap(mapping.pixels, mapping.length); // a mapping of ours: cannot fail
        mapping = {};
    }

    std::mutex mutex_;
    Mapping kept_;
};

FreedMappings& freedMappings() {
    // Never destroyed: buffers may be released while the program ends.
    static auto* mappings = new FreedMappings;
    return *mappings;
}

} // namespace

void* allocate(std::size_t bytes) {
    if (bytes < kMappedFrom)
        return ::operator new(bytes);
    const std::size_t length = mappedLength(bytes);
    if (void* reused = freedMappings().take(length))
        return reused;
    if (void* pixels = mapNew(length))
        return pixels;
    throw std::bad_alloc();
}

void release(void* pixels, std::size_t bytes) noexcept {
    if (bytes < kMappedFrom)
        ::operator delete(pixels);
    else
        freedMappings().give(pixels, mappedLength(bytes));
}

void configureAllocator() {
#if defined(__GLIBC__)
    // A job's pages and pieces are allocated on its worker threads and freed on the calling
    // thread. With the C library's default of one memory arena per thread, each freed page
    // returns to the arena of the thread that made it, and over hundreds of pages the arenas
    // fragment and the process keeps growing. One shared arena keeps a long job's memory flat;
    // the allocations are few and large, so the threads hardly ever wait for each other on it.
    mallopt(M_ARENA_MAX, 1);
#endif
}

void keepFreedMemoryBetweenPages() {
#if defined(__GLIBC__)
    // Pieces below the mapped size come from the heap, and the heap keeps what a page freed for
    // the next page (up to kKeptByHeap) instead of handing it back to the system and having it
    // faulted in and cleared again: a tenth of a job's time otherwise. Only for jobs: a single
    // picture's encoding would only hold memory longer.
    constexpr int kKeptByHeap = 16 << 20;
    mallopt(M_MMAP_THRESHOLD, int(kMappedFrom));
    mallopt(M_TRIM_THRESHOLD, kKeptByHeap);
#endif
}

} // namespace vantola::pixel_memory
