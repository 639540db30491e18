#pragma once

#include <array>
#include <cstdint>

namespace vantola::jpeg {

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

} // namespace vantola::jpeg
