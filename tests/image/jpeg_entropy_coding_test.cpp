// Huffman tables from counts, the coding of a block's symbols, and the bit writer.
#include "image/jpeg_huffman.h"
#include "settings/app_error.h"

#include <gtest/gtest.h>

namespace {

using namespace vantola;
using namespace vantola::jpeg;

HuffmanTable tableFor(const std::vector<std::pair<int, std::uint64_t>>& counts) {
    SymbolCounts frequencies{};
    for (const auto& [symbol, count] : counts)
        frequencies[symbol] = count;
    HuffmanTable table;
    buildHuffmanCodeLengths(frequencies, table);
    EXPECT_EQ(frequencies, SymbolCounts{}); // the counts are consumed
    expandHuffmanTable(table, 255);
    return table;
}

TEST(JpegHuffman, LengthsAbove16AreFoldedBack) {
    // Fibonacci counts make a maximally deep tree: 30 symbols would need codes of 29 bits.
    std::vector<std::pair<int, std::uint64_t>> counts;
    std::uint64_t a = 1, b = 1;
    for (int symbol = 0; symbol < 30; ++symbol) {
        counts.push_back({symbol, a});
        b = std::exchange(a, a + b);
    }
    const HuffmanTable table = tableFor(counts);
    EXPECT_EQ(table.symbolCount(), 30);
    double kraft = 0; // with the all-ones code point left over, the sum stays below 1
    for (int symbol = 0; symbol < 30; ++symbol) {
        ASSERT_GE(table.Code[symbol], 0);
        ASSERT_LE(table.codeLength(symbol), 16);
        kraft += std::ldexp(1.0, -table.codeLength(symbol));
    }
    EXPECT_LT(kraft, 1.0);
    EXPECT_LE(table.codeLength(29), table.codeLength(0)); // frequent symbols keep short codes
}

TEST(JpegHuffman, MalformedTablesAreRefused) {
    const auto refused = [](HuffmanTable table, int largest) {
        try {
            expandHuffmanTable(table, largest);
        } catch (const AppError& error) {
            return error.number() == kErrEncoder &&
                   error.description() == QStringLiteral("Bad Huffman Table");
        }
        return false;
    };
    HuffmanTable table;
    EXPECT_TRUE(refused(table, 255)); // no symbol at all
    table.BITS[0] = 1;
    table.HUFFVAL[0] = 12;
    EXPECT_TRUE(refused(table, 11)); // a DC symbol above 11
    EXPECT_FALSE(refused(table, 15));
    table.BITS[0] = 3; // three codes of one bit
    EXPECT_TRUE(refused(table, 255));
    table.BITS[0] = 0;
    table.BITS[1] = 2;
    table.HUFFVAL[1] = 12; // the same symbol twice
    EXPECT_TRUE(refused(table, 255));
}

TEST(JpegBlockSymbols, RunsSizesAndEndOfBlock) {
    std::array<std::int16_t, 64> block{};
    block[0] = 99;    // DC, not an AC symbol
    block[1] = -1;    // run 0, size 1
    block[20] = 1023; // run 18: one 16-zero run, then run 2, size 10; then zeros to the end
    std::vector<std::tuple<int, int, int>> symbols;
    forEachAcSymbol(block.data(), nonzeroMask(block.data()), [&](int symbol, int value, int size) {
        symbols.emplace_back(symbol, value, size);
    });
    EXPECT_EQ(symbols, (std::vector<std::tuple<int, int, int>>{
                           {0x01, -1, 1}, {0xF0, 0, 0}, {0x2A, 1023, 10}, {0x00, 0, 0}}));
    EXPECT_EQ(magnitudeBits(-1, 1), 0u);     // -1 - 1 = ...110
    EXPECT_EQ(magnitudeBits(-1023, 10), 0u); // -1024: low ten bits 0
    EXPECT_EQ(magnitudeBits(-5, 3), 0b010u);

    block[63] = -1023; // no end of block when the last coefficient is nonzero
    symbols.clear();
    forEachAcSymbol(block.data(), nonzeroMask(block.data()),
                    [&](int symbol, int, int) { symbols.emplace_back(symbol, 0, 0); });
    EXPECT_EQ(std::get<0>(symbols.back()), 0xAA); // 42 zeros: two 16-zero runs, run 10, size 10
    EXPECT_EQ(symbols.size(), 6u);

    // The mask has a bit for every nonzero coefficient, whatever its sign or size.
    for (const std::int16_t value : {1, -1, 255, -32768, 32767, 256}) {
        for (int k = 0; k < 64; k += 7) {
            std::array<std::int16_t, 64> single{};
            single[k] = value;
            EXPECT_EQ(nonzeroMask(single.data()), std::uint64_t{1} << k) << value << " at " << k;
        }
    }
}

// The padding of the last byte can complete an FF, which is stuffed too (a decoder takes a lone
// FF before the end marker for fill, so only this test sees the fault).
TEST(JpegBitWriter, PaddingThatCompletesAnFFIsStuffed) {
    JpegOutputBuffer ones(16);
    JpegBitWriter padded(ones);
    padded.put(0b1111111, 7);
    padded.flush();
    EXPECT_EQ(std::vector<std::uint8_t>(ones.data(), ones.data() + ones.position()),
              (std::vector<std::uint8_t>{0xFF, 0}));
}

} // namespace
