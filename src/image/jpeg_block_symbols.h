#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace vantola::jpeg {

// Occurrences of the AC symbols 0 ... 255 (run-length and size pairs).
using AcSymbolCounts = std::array<std::uint64_t, 256>;

inline constexpr int kZeroRunLength = 0xF0; // sixteen zeros
inline constexpr int kEndOfBlock = 0x00;

// Number of bits of |value| (0 for 0): the size category of a coefficient or a DC difference.
inline int magnitudeCategory(int value) {
    return std::bit_width(static_cast<unsigned>(std::abs(value)));
}

// The `size` low bits that follow a code: the value itself when positive, value - 1 when
// negative.
inline std::uint32_t magnitudeBits(int value, int size) {
    const int bits = value < 0 ? value - 1 : value;
    return static_cast<std::uint32_t>(bits) & ((1u << size) - 1u);
}

// Bit k is set when coefficient k of the block (zig-zag order) is not zero. Four coefficients
// at a time: the top bit of each 16-bit lane of `nonzero` tells whether that lane is nonzero,
// and one multiplication gathers the four top bits side by side.
inline std::uint64_t nonzeroMask(const std::int16_t* block) {
    static_assert(std::endian::native == std::endian::little, "coefficient k in the low lane");
    constexpr std::uint64_t kLow15 = 0x7FFF7FFF7FFF7FFFull;
    constexpr std::uint64_t kGather = (1ull << 48) | (1ull << 33) | (1ull << 18) | (1ull << 3);
    std::uint64_t mask = 0;
    for (int k = 0; k < 64; k += 4) {
        std::uint64_t lanes;
        std::memcpy(&lanes, block + k, sizeof lanes);
        const std::uint64_t nonzero = (((lanes & kLow15) + kLow15) | lanes) & ~kLow15;
        mask |= (((nonzero >> 15) * kGather) >> 48 & 0xF) << k;
    }
    return mask;
}

// Calls onSymbol(symbol, value, size) for the AC symbols of a block in coding order: a zero-run
// symbol for every whole sixteen zeros before a nonzero value, the run-size symbol of each
// nonzero value, and the end of block when the block ends inside a run of zeros. `nonzero` is
// the block's nonzeroMask.
template <class OnSymbol>
inline void forEachAcSymbol(const std::int16_t* block, std::uint64_t nonzero, OnSymbol&& onSymbol) {
    std::uint64_t mask = nonzero & ~std::uint64_t{1};
    int previous = 0;
    while (mask != 0) {
        const int k = std::countr_zero(mask);
        mask &= mask - 1;
        int run = k - previous - 1;
        for (; run > 15; run -= 16)
            onSymbol(kZeroRunLength, 0, 0);
        const int value = block[k];
        const int size = magnitudeCategory(value);
        onSymbol(16 * run + size, value, size);
        previous = k;
    }
    if (previous < 63)
        onSymbol(kEndOfBlock, 0, 0);
}

inline void countAcSymbols(const std::int16_t* block, std::uint64_t nonzero,
                           AcSymbolCounts& counts) {
    forEachAcSymbol(block, nonzero, [&](int symbol, int, int) { ++counts[symbol]; });
}

} // namespace vantola::jpeg
