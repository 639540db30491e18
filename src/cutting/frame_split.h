#pragma once

// Splitting a region that stands out from the page's background into the panels it joins.

#include "cutting/map_components.h"

#include <opencv2/core.hpp>
#include <vector>

namespace vantola {

// What splitting a region looks at: the region's cells, the page's ink map (how far each cell lies
// from the paper), the least width or height of a panel and the thickest
// frame line, in cells, and the ink level below which a cell is paper.
struct SplitContext {
    const RegionCells& region;
    const cv::Mat& ink;
    const cv::Mat& lines; // the page's frame lines (see frameLineMasks)
    int smallest = 1;
    int frameWidth = 1;
    int inkLevel = 0;
};

// Adds to `out` the panels of the region within `bounds`: its bounding rectangle, or the panels
// of its two parts when a straight line splits it well: a thin dark line across it (the frame
// between two panels that touch), a nearly empty line (a balloon or art joins two panels across
// their gutter; such a balloon stays whole in the panel it lies over most), or a line whose parts
// are far closer to rectangles than the whole (not for a region that reaches the page's edge, where
// art bleeds in any shape). A region that is no plain rectangle is first cut along the frame lines
// within it when they part it into panels (frames that touch or overlap in an L or a step, which
// no single straight line crosses). Parts less than `smallest` cells wide or high are no panels.
void splitRegion(const SplitContext& context, cv::Rect bounds, std::vector<cv::Rect>& out);

} // namespace vantola
