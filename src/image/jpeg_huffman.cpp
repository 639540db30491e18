#include "image/jpeg_huffman.h"

#include "settings/app_error.h"

#include <algorithm>
#include <bit>
#include <limits>
#include <numeric>
#include <vector>

namespace vantola::jpeg {

namespace {

constexpr int kSymbols = 257;
constexpr int kMaxLength = 16;

[[noreturn]] void badHuffmanTable() {
    throw AppError(kErrEncoder, QStringLiteral("Bad Huffman Table"));
}

// Code size of every symbol by repeatedly merging the two least frequent trees (Figure K.1).
std::array<int, kSymbols> codeSizes(SymbolCounts& freq) {
    std::array<int, kSymbols> codesize{};
    std::array<int, kSymbols> others;
    others.fill(-1);
    freq[256] = 1;
    for (;;) {
        std::uint64_t f1 = std::numeric_limits<std::uint64_t>::max();
        std::uint64_t f2 = f1;
        int c1 = -1;
        int c2 = -1;
        for (int s = 0; s < kSymbols; ++s) {
            if (freq[s] == 0 || freq[s] > f2)
                continue;
            if (freq[s] > f1) {
                c2 = s;
                f2 = freq[s];
            } else {
                c2 = c1;
                f2 = f1;
                c1 = s;
                f1 = freq[s];
            }
        }
        if (c2 < 0)
            break;
        freq[c1] += freq[c2];
        freq[c2] = 0;
        ++codesize[c1];
        while (others[c1] >= 0) {
            c1 = others[c1];
            ++codesize[c1];
        }
        others[c1] = c2;
        ++codesize[c2];
        while (others[c2] >= 0) {
            c2 = others[c2];
            ++codesize[c2];
        }
    }
    freq.fill(0);
    return codesize;
}

} // namespace

int HuffmanTable::symbolCount() const {
    return std::accumulate(BITS.begin(), BITS.end(), 0);
}

int HuffmanTable::codeLength(int symbol) const {
    return std::bit_width(static_cast<std::uint32_t>(CodeMask[symbol]));
}

void buildHuffmanCodeLengths(SymbolCounts& counts, HuffmanTable& table) {
    const std::array<int, kSymbols> codesize = codeSizes(counts);
    const int longest = *std::max_element(codesize.begin(), codesize.end());

    // Number of codes of each length (Figure K.2), then lengths above 16 folded back (K.3):
    // two codes of the longest length become one code a bit shorter, and a shorter code
    // becomes two codes one bit longer.
    std::vector<int> bits(std::max(longest, kMaxLength) + 1, 0);
    for (int s = 0; s < kSymbols; ++s)
        if (codesize[s] > 0)
            ++bits[codesize[s]];
    for (int length = longest; length > kMaxLength; --length) {
        while (bits[length] > 0) {
            int j = length - 2;
            while (bits[j] == 0)
                --j;
            bits[length] -= 2;
            bits[length - 1] += 1;
            bits[j + 1] += 2;
            bits[j] -= 1;
        }
    }
    bits[std::min(longest, kMaxLength)] -= 1; // the reserved code point

    for (int length = 1; length <= kMaxLength; ++length)
        table.BITS[length - 1] = static_cast<std::uint8_t>(bits[length]);
    // Symbols by increasing code size (Figure K.4); the reserved one is left out.
    int k = 0;
    for (int length = 1; length <= longest; ++length)
        for (int s = 0; s < 256; ++s)
            if (codesize[s] == length)
                table.HUFFVAL[k++] = static_cast<std::uint8_t>(s);
}

void expandHuffmanTable(HuffmanTable& table, int largestSymbol) {
    table.CodeMask.fill(0);
    table.Code.fill(-1);
    int k = 0;
    std::int32_t code = 0;
    std::int32_t mask = 1;
    for (int length = 1; length <= kMaxLength; ++length) {
        const int end = k + table.BITS[length - 1];
        if (end > 256)
            badHuffmanTable();
        table.ValOffset[length - 1] = k - code;
        if (table.BITS[length - 1] == 0) {
            table.MaxCode[length - 1] = -1;
        } else {
            for (; k < end; ++k) {
                const int symbol = table.HUFFVAL[k];
                if (symbol > largestSymbol || table.Code[symbol] >= 0)
                    badHuffmanTable();
                table.CodeMask[symbol] = mask;
                table.Code[symbol] = code;
                ++code;
            }
            table.MaxCode[length - 1] = code - 1;
        }
        mask *= 2;
        if (code >= mask)
            badHuffmanTable();
        code *= 2;
    }
    if (k == 0)
        badHuffmanTable();
}

} // namespace vantola::jpeg
