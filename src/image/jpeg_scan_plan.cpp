#include "image/jpeg_scan_plan.h"

namespace vantola::jpeg {

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

} // namespace vantola::jpeg
