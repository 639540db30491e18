#pragma once

// Huffman tables and scan coding, the encoder's third stage: the quantized blocks are read as
// the symbols of T.81 F.1.2 (DC size categories, AC run-length and size pairs), the components
// are grouped into scans, optimal tables are built from the symbols' counts (T.81 K.2), and
// each scan is coded through the bit writer.

#include "image/jpeg_dct_quantization.h"
#include "image/jpeg_output.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace vantola::jpeg {

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

// Calls onSymbol(symbol, value, size) for the AC symbols of a block of an AcStore in coding
// order: a zero-run symbol for every whole sixteen zeros before a nonzero value, the run-size
// symbol of each nonzero value, and the end of block when the block ends inside a run of zeros.
// Returns the start of the next block.
template <class OnSymbol>
inline const std::int16_t* forEachAcSymbol(const std::int16_t* block, OnSymbol&& onSymbol) {
    std::uint64_t mask = acMask(block);
    const std::int16_t* value = block + AcStore::kMaskWords;
    int previous = 0;
    while (mask != 0) {
        const int k = std::countr_zero(mask);
        mask &= mask - 1;
        int run = k - previous - 1;
        for (; run > 15; run -= 16)
            onSymbol(kZeroRunLength, 0, 0);
        const int size = magnitudeCategory(*value);
        onSymbol(16 * run + size, *value++, size);
        previous = k;
    }
    if (previous < 63)
        onSymbol(kEndOfBlock, 0, 0);
    return value;
}

// Counts the AC symbols of the blocks of a strip; returns the end of the strip.
inline const std::int16_t* countAcSymbols(const std::int16_t* strip, std::size_t blocks,
                                          AcSymbolCounts& counts) {
    for (std::size_t b = 0; b < blocks; ++b)
        strip = forEachAcSymbol(strip, [&](int symbol, int, int) { ++counts[symbol]; });
    return strip;
}

// One Huffman table as written in a DHT segment, with its codes expanded for writing (and the
// decoding tables ValOffset and MaxCode, which the writer itself does not use).
struct HuffmanTable {
    std::array<std::uint8_t, 16> BITS{};      // number of codes of length 1 ... 16
    std::array<std::uint8_t, 256> HUFFVAL{};  // symbols by increasing code length
    std::array<std::int32_t, 256> CodeMask{}; // 2^(L - 1) for a code of length L, 0 for none
    std::array<std::int32_t, 256> Code{};     // the code of each symbol, -1 for none
    std::array<std::int32_t, 16> ValOffset{}; // per length: first HUFFVAL index - first code
    std::array<std::int32_t, 16> MaxCode{};   // per length: largest code, -1 for none

    // Number of symbols the table codes (the sum of BITS).
    int symbolCount() const;
    // Length of a symbol's code in bits, 0 when it has none.
    int codeLength(int symbol) const;
};

// Occurrences of each symbol 0 ... 255; entry 256 is the code point that keeps every code from
// being all 1-bits.
using SymbolCounts = std::array<std::uint64_t, 257>;

// Optimal code lengths for the counts (T.81 K.2: ties go to the later symbol, lengths above 16
// folded back), giving BITS and HUFFVAL. Leaves the counts at zero.
void buildHuffmanCodeLengths(SymbolCounts& counts, HuffmanTable& table);

// Expands BITS and HUFFVAL into codes. A length holding more codes than there are symbols, a
// symbol above largestSymbol or coded twice, codes that overflow their length, or a table
// without any symbol raise the encoder error "Bad Huffman Table".
void expandHuffmanTable(HuffmanTable& table, int largestSymbol);

// Components first ... last coded together in one scan.
struct ScanGroup {
    int first = 0;
    int last = 0;
    bool interleaved() const { return last > first; }
};

// Groups the components into scans, in order: a group's blocks per MCU never exceed 10 (a
// component that would push them over starts the next group, or is a scan of its own when it
// alone exceeds them), and a group holds at most 3 components.
std::vector<ScanGroup> groupComponentsIntoScans(const std::vector<Component>& components);

// Number of MCUs across and down an interleaved scan.
struct McuGrid {
    std::int64_t across = 0;
    std::int64_t down = 0;
};
McuGrid mcuGrid(std::int64_t width, std::int64_t height, int hmax, int vmax);

// Builds the optimal DC and AC tables of every table selector in use from what the scans will
// code, and returns the number of bits the coded data takes (codes and the bits after them).
std::uint64_t buildHuffmanTables(const std::vector<ScanGroup>& scans,
                                 const std::vector<Component>& components, const McuGrid& grid,
                                 std::array<HuffmanTable, 4>& dcTables,
                                 std::array<HuffmanTable, 4>& acTables);

// Writes one scan: its SOS segment and its entropy-coded data, padded to a whole byte.
void writeScan(JpegOutputBuffer& out, const ScanGroup& scan,
               const std::vector<Component>& components, const McuGrid& grid,
               const std::array<HuffmanTable, 4>& dcTables,
               const std::array<HuffmanTable, 4>& acTables);

} // namespace vantola::jpeg
