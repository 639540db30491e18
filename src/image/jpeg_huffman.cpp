// Optimal Huffman tables from symbol counts, the grouping of components into scans, and the
// coding of the scans.
#include "image/jpeg_huffman.h"

#include "image/jpeg_markers.h"
#include "settings/app_error.h"

#include <algorithm>
#include <bit>
#include <limits>
#include <numeric>
#include <vector>

namespace vantola::jpeg {

namespace {

// DC table (Td) and AC table (Ta) selector of a component: table 0 for the first component,
// table 1 for the others.
int tableSelector(int componentIndex) {
    return componentIndex == 0 ? 0 : 1;
}

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

// Calls visit(componentIndex, blockY, blockX) for every block of the scan in coding order:
// the blocks in stored order for a one-component scan; for an interleaved scan, MCU after MCU
// and within an MCU each component's V rows of H blocks, with blockY = -1 for the dummy blocks
// where the MCU lies beyond the component's blocks.
template <class Visit>
void forEachBlockOfScan(const ScanGroup& scan, const std::vector<Component>& components,
                        const McuGrid& grid, Visit&& visit) {
    if (!scan.interleaved()) {
        const Component& component = components[scan.first];
        for (std::int64_t y = 0; y < component.blocksDown; ++y)
            for (std::int64_t x = 0; x < component.blocksAcross; ++x)
                visit(scan.first, y, x);
        return;
    }
    for (std::int64_t mcuY = 0; mcuY < grid.down; ++mcuY) {
        for (std::int64_t mcuX = 0; mcuX < grid.across; ++mcuX) {
            for (int c = scan.first; c <= scan.last; ++c) {
                const Component& component = components[c];
                for (int v = 0; v < component.V; ++v) {
                    const std::int64_t blockY = mcuY * component.V + v;
                    for (int h = 0; h < component.H; ++h) {
                        const std::int64_t blockX = mcuX * component.H + h;
                        const bool real =
                            blockX < component.blocksAcross && blockY < component.blocksDown;
                        visit(c, real ? blockY : -1, blockX);
                    }
                }
            }
        }
    }
}

// What the scans will code beyond the AC symbols counted while the coefficients were stored:
// per component, the DC size categories in coding order (a dummy block has a zero difference)
// and the number of dummy blocks, each of which codes an end of block.
struct ScanStatistics {
    std::vector<SymbolCounts> dcCounts;
    std::vector<std::uint64_t> dummyBlocks;
};
ScanStatistics gatherScanStatistics(const std::vector<ScanGroup>& scans,
                                    const std::vector<Component>& components, const McuGrid& grid) {
    ScanStatistics statistics;
    statistics.dcCounts.assign(components.size(), SymbolCounts{});
    statistics.dummyBlocks.assign(components.size(), 0);
    for (const ScanGroup& scan : scans) {
        std::vector<int> previousDc(components.size(), 0);
        forEachBlockOfScan(scan, components, grid, [&](int c, std::int64_t y, std::int64_t x) {
            if (y < 0) {
                ++statistics.dcCounts[c][0];
                ++statistics.dummyBlocks[c];
                return;
            }
            const int dc = components[c].dc[std::size_t(y * components[c].blocksAcross + x)];
            ++statistics.dcCounts[c][magnitudeCategory(dc - previousDc[c])];
            previousDc[c] = dc;
        });
    }
    return statistics;
}

// A table's codes and their lengths, ready for the bit writer.
struct CodeBook {
    std::array<std::uint32_t, 256> code{};
    std::array<std::uint8_t, 256> length{};

    explicit CodeBook(const HuffmanTable& table) {
        for (int symbol = 0; symbol < 256; ++symbol) {
            length[symbol] = static_cast<std::uint8_t>(table.codeLength(symbol));
            code[symbol] = table.Code[symbol] < 0 ? 0 : std::uint32_t(table.Code[symbol]);
        }
    }

    // Code of the symbol followed by `size` extra bits, in one write.
    void put(JpegBitWriter& writer, int symbol, std::uint32_t bits, int size) const {
        writer.put((code[symbol] << size) | bits, length[symbol] + size);
    }
};

// Writes a block with DC value `dcValue` and its AC values at `block`; returns the next block.
const std::int16_t* writeBlock(JpegBitWriter& writer, int dcValue, const std::int16_t* block,
                               int& previousDc, const CodeBook& dc, const CodeBook& ac) {
    const int difference = dcValue - previousDc;
    previousDc = dcValue;
    const int size = magnitudeCategory(difference);
    dc.put(writer, size, magnitudeBits(difference, size), size);
    return forEachAcSymbol(block, [&](int symbol, int value, int valueSize) {
        ac.put(writer, symbol, magnitudeBits(value, valueSize), valueSize);
    });
}

// Builds the optimal table for the counts and returns the bits that coding them takes: each
// symbol's code plus `extraBits(symbol)` bits that follow it.
template <class ExtraBits>
std::uint64_t buildTable(SymbolCounts counts, int largestSymbol, HuffmanTable& table,
                         ExtraBits extraBits) {
    const SymbolCounts kept = counts;
    buildHuffmanCodeLengths(counts, table);
    expandHuffmanTable(table, largestSymbol);
    std::uint64_t bits = 0;
    for (int symbol = 0; symbol < 256; ++symbol)
        if (kept[symbol] != 0)
            bits += kept[symbol] * std::uint64_t(table.codeLength(symbol) + extraBits(symbol));
    return bits;
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

std::vector<ScanGroup> groupComponentsIntoScans(const std::vector<Component>& components) {
    constexpr int kMaxBlocksPerMcu = 10;
    constexpr int kMaxComponentsPerScan = 3;
    std::vector<ScanGroup> groups;
    const int count = static_cast<int>(components.size());
    int first = 0;
    int blocks = 0;
    for (int c = 0; c < count; ++c) {
        blocks += components[c].H * components[c].V;
        if (blocks > kMaxBlocksPerMcu) {
            if (c > first) {
                // Close the group without this component, which starts the next one.
                groups.push_back({first, c - 1});
                first = c;
                blocks = components[c].H * components[c].V;
            } else {
                groups.push_back({c, c});
                first = c + 1;
                blocks = 0;
                continue;
            }
        }
        if (c - first + 1 == kMaxComponentsPerScan || c == count - 1) {
            groups.push_back({first, c});
            first = c + 1;
            blocks = 0;
        }
    }
    return groups;
}

McuGrid mcuGrid(std::int64_t width, std::int64_t height, int hmax, int vmax) {
    const std::int64_t mcuWidth = 8 * hmax;
    const std::int64_t mcuHeight = 8 * vmax;
    return {(width + mcuWidth - 1) / mcuWidth, (height + mcuHeight - 1) / mcuHeight};
}

std::uint64_t buildHuffmanTables(const std::vector<ScanGroup>& scans,
                                 const std::vector<Component>& components, const McuGrid& grid,
                                 std::array<HuffmanTable, 4>& dcTables,
                                 std::array<HuffmanTable, 4>& acTables) {
    const ScanStatistics statistics = gatherScanStatistics(scans, components, grid);
    constexpr int kLargestDcSymbol = 11; // differences of 8-bit samples' coefficients
    std::uint64_t estimatedBits = 0;
    for (int t = 0; t < 4; ++t) {
        SymbolCounts dc{};
        SymbolCounts ac{};
        bool used = false;
        for (std::size_t c = 0; c < components.size(); ++c) {
            if (tableSelector(static_cast<int>(c)) != t)
                continue;
            used = true;
            for (int symbol = 0; symbol < 256; ++symbol) {
                dc[symbol] += statistics.dcCounts[c][symbol];
                ac[symbol] += components[c].acCounts[symbol];
            }
            // A dummy block of an interleaved scan codes an end of block too: counting it
            // gives the table a code for it even when no real block ends in a run of zeros.
            ac[kEndOfBlock] += statistics.dummyBlocks[c];
        }
        if (!used)
            continue;
        estimatedBits +=
            buildTable(dc, kLargestDcSymbol, dcTables[t], [](int symbol) { return symbol; });
        estimatedBits += buildTable(ac, 255, acTables[t], [](int symbol) { return symbol % 16; });
    }
    return estimatedBits;
}

void writeScan(JpegOutputBuffer& out, const ScanGroup& scan,
               const std::vector<Component>& components, const McuGrid& grid,
               const std::array<HuffmanTable, 4>& dcTables,
               const std::array<HuffmanTable, 4>& acTables) {
    std::vector<ScanComponent> header;
    std::vector<CodeBook> dcBooks;
    std::vector<CodeBook> acBooks;
    for (int c = scan.first; c <= scan.last; ++c) {
        const int table = tableSelector(c);
        header.push_back({components[c].C, table, table});
        dcBooks.emplace_back(dcTables[table]);
        acBooks.emplace_back(acTables[table]);
    }
    writeScanHeader(out, header);

    JpegBitWriter writer(out);
    std::vector<int> previousDc(header.size(), 0);
    // Where the next block of each strip of each component starts: the blocks of a strip are
    // coded from left to right.
    std::vector<std::vector<const std::int16_t*>> next;
    for (int c = scan.first; c <= scan.last; ++c) {
        const AcStore& store = components[c].ac;
        next.emplace_back(store.strips());
        for (std::size_t strip = 0; strip < store.strips(); ++strip)
            next.back()[strip] = store.strip(strip);
    }
    forEachBlockOfScan(scan, components, grid, [&](int c, std::int64_t y, std::int64_t x) {
        const std::size_t slot = static_cast<std::size_t>(c - scan.first);
        out.reserve(JpegBitWriter::kMaxBlockBytes);
        if (y < 0) {
            // The previous DC repeated (difference 0), then at once the end of block.
            dcBooks[slot].put(writer, 0, 0, 0);
            acBooks[slot].put(writer, kEndOfBlock, 0, 0);
            return;
        }
        const Component& component = components[c];
        const std::int16_t*& block = next[slot][std::size_t(y)];
        block = writeBlock(writer, component.dc[std::size_t(y * component.blocksAcross + x)], block,
                           previousDc[slot], dcBooks[slot], acBooks[slot]);
    });
    writer.flush();
}

} // namespace vantola::jpeg
