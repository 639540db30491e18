#pragma once

#include "image/jpeg_block_symbols.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace vantola::jpeg {

// An allocator that leaves new elements uninitialised: SampleHDC writes every coefficient
// before anything reads it, so zero-filling the arrays first would only cost time.
template <class T>
struct UninitialisedAllocator : std::allocator<T> {
    template <class U>
    struct rebind {
        using other = UninitialisedAllocator<U>;
    };
    UninitialisedAllocator() = default;
    template <class U>
    UninitialisedAllocator(const UninitialisedAllocator<U>&) noexcept {}
    template <class U>
    void construct(U* place) noexcept {
        ::new (static_cast<void*>(place)) U;
    }
    template <class U, class... Arguments>
    void construct(U* place, Arguments&&... arguments) {
        ::new (static_cast<void*>(place)) U(std::forward<Arguments>(arguments)...);
    }
};

using CoefficientArray = std::vector<std::int16_t, UninitialisedAllocator<std::int16_t>>;

// One frame component: its identifier, sampling factors and quantization table, and once a
// picture has been sampled, its quantized coefficients (64 per block, blocks in raster order,
// each block in zig-zag order) with the counts of their AC symbols.
struct Component {
    std::int32_t C = 0;
    std::int32_t H = 1;
    std::int32_t V = 1;
    std::int32_t Tq = 0;
    CoefficientArray Data;

    std::int32_t width = 0; // samples per line, before padding to whole blocks
    std::int32_t height = 0;
    std::int32_t blocksAcross = 0;
    std::int32_t blocksDown = 0;
    AcSymbolCounts acCounts{}; // counted while the coefficients are stored

    std::size_t blockCount() const { return Data.size() / 64; }
    const std::int16_t* block(std::size_t index) const { return Data.data() + 64 * index; }

    // Forgets the coefficients (and releases their memory).
    void discardData() {
        CoefficientArray().swap(Data);
        width = height = blocksAcross = blocksDown = 0;
        acCounts.fill(0);
    }
};

} // namespace vantola::jpeg
