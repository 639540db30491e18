#pragma once

#include "image/jpeg_component.h"

#include <cstdint>
#include <vector>

namespace vantola::jpeg {

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

// Sentinel block index of the dummy blocks that fill the MCUs of an interleaved scan beyond the
// right and bottom edges of a component.
inline constexpr std::int64_t kDummyBlock = -1;

// Calls visit(componentIndex, blockIndex) for every block of the scan in coding order:
// the blocks in stored order for a one-component scan; for an interleaved scan, MCU after MCU
// and within an MCU each component's V rows of H blocks, with kDummyBlock where the MCU lies
// beyond the component's blocks.
template <class Visit>
void forEachBlockOfScan(const ScanGroup& scan, const std::vector<Component>& components,
                        const McuGrid& grid, Visit&& visit) {
    if (!scan.interleaved()) {
        const std::int64_t count = static_cast<std::int64_t>(components[scan.first].blockCount());
        for (std::int64_t index = 0; index < count; ++index)
            visit(scan.first, index);
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
                        visit(c, real ? blockY * component.blocksAcross + blockX : kDummyBlock);
                    }
                }
            }
        }
    }
}

} // namespace vantola::jpeg
