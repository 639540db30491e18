#include "image/jpeg_scan_coding.h"

#include "image/jpeg_bit_writer.h"
#include "image/jpeg_block_symbols.h"
#include "image/jpeg_segments.h"

namespace vantola::jpeg {

namespace {

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

void writeBlock(JpegBitWriter& writer, const std::int16_t* block, int& previousDc,
                const CodeBook& dc, const CodeBook& ac) {
    const int difference = block[0] - previousDc;
    previousDc = block[0];
    const int size = magnitudeCategory(difference);
    dc.put(writer, size, magnitudeBits(difference, size), size);
    forEachAcSymbol(block, nonzeroMask(block), [&](int symbol, int value, int valueSize) {
        ac.put(writer, symbol, magnitudeBits(value, valueSize), valueSize);
    });
}

} // namespace

ScanStatistics gatherScanStatistics(const std::vector<ScanGroup>& scans,
                                    const std::vector<Component>& components, const McuGrid& grid) {
    ScanStatistics statistics;
    statistics.dcCounts.assign(components.size(), SymbolCounts{});
    statistics.dummyBlocks.assign(components.size(), 0);
    for (const ScanGroup& scan : scans) {
        std::vector<int> previousDc(components.size(), 0);
        forEachBlockOfScan(scan, components, grid, [&](int c, std::int64_t index) {
            if (index == kDummyBlock) {
                ++statistics.dcCounts[c][0];
                ++statistics.dummyBlocks[c];
                return;
            }
            const int dc = components[c].block(static_cast<std::size_t>(index))[0];
            ++statistics.dcCounts[c][magnitudeCategory(dc - previousDc[c])];
            previousDc[c] = dc;
        });
    }
    return statistics;
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
    forEachBlockOfScan(scan, components, grid, [&](int c, std::int64_t index) {
        const std::size_t slot = static_cast<std::size_t>(c - scan.first);
        out.reserve(JpegBitWriter::kMaxBlockBytes);
        if (index == kDummyBlock) {
            // The previous DC repeated (difference 0), then at once the end of block.
            dcBooks[slot].put(writer, 0, 0, 0);
            acBooks[slot].put(writer, kEndOfBlock, 0, 0);
            return;
        }
        writeBlock(writer, components[c].block(static_cast<std::size_t>(index)), previousDc[slot],
                   dcBooks[slot], acBooks[slot]);
    });
    writer.flush();
}

} // namespace vantola::jpeg
