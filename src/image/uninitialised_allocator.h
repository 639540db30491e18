#pragma once

// An allocator whose new elements are left uninitialised, for arrays whose every element is
// written before anything reads it (pixel rows, quantized coefficients): zero-filling them first
// would only cost time. The memory itself comes from Memory (std::allocator by default).

#include <memory>
#include <utility>

namespace vantola {

template <class T, template <class> class Memory = std::allocator>
struct UninitialisedAllocator : Memory<T> {
    template <class U>
    struct rebind {
        using other = UninitialisedAllocator<U, Memory>;
    };
    UninitialisedAllocator() = default;
    template <class U>
    UninitialisedAllocator(const UninitialisedAllocator<U, Memory>&) noexcept {}
    template <class U>
    void construct(U* place) noexcept {
        ::new (static_cast<void*>(place)) U;
    }
    template <class U, class... Arguments>
    void construct(U* place, Arguments&&... arguments) {
        ::new (static_cast<void*>(place)) U(std::forward<Arguments>(arguments)...);
    }
};

} // namespace vantola
