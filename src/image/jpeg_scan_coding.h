#pragma once

#include "image/jpeg_component.h"
#include "image/jpeg_huffman.h"
#include "image/jpeg_output_buffer.h"
#include "image/jpeg_scan_plan.h"

#include <array>
#include <cstdint>
#include <vector>

namespace vantola::jpeg {

// DC table (Td) and AC table (Ta) selector of a component: table 0 for the first component,
// table 1 for the others.
inline int tableSelector(int componentIndex) {
    return componentIndex == 0 ? 0 : 1;
}

// What the scans will code beyond the AC symbols counted while the coefficients were stored:
// per component, the DC size categories in coding order (a dummy block has a zero difference)
// and the number of dummy blocks, each of which codes an end of block.
struct ScanStatistics {
    std::vector<SymbolCounts> dcCounts;
    std::vector<std::uint64_t> dummyBlocks;
};
ScanStatistics gatherScanStatistics(const std::vector<ScanGroup>& scans,
                                    const std::vector<Component>& components, const McuGrid& grid);

// Writes one scan: its SOS segment and its entropy-coded data, padded to a whole byte.
void writeScan(JpegOutputBuffer& out, const ScanGroup& scan,
               const std::vector<Component>& components, const McuGrid& grid,
               const std::array<HuffmanTable, 4>& dcTables,
               const std::array<HuffmanTable, 4>& acTables);

} // namespace vantola::jpeg
