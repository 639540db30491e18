#pragma once

#include <cstddef>

namespace vantola::pixel_memory {

// Memory for pixels. Large buffers (a page, a big piece) are mapped on their own, aligned to a
// huge page where the system gives them, and a freed one is kept for a while to serve the next
// buffer of about its size: a job that decodes page after page of the same size then reuses the
// same memory instead of having the system map, fault in and clear 35 MB again for each page.
// Small buffers come from the heap. Thread-safe.
void* allocate(std::size_t bytes);
void release(void* pixels, std::size_t bytes) noexcept;

// Sets the C library's allocator for threads that share pictures; main calls it once before any
// thread starts.
void configureAllocator();

// Has the C library keep the memory that a job's page freed for its next pages; a job calls it
// as it starts.
void keepFreedMemoryBetweenPages();

} // namespace vantola::pixel_memory
