#pragma once

// Splitting a region that stands out from the page's background into the panels it joins.

#include <opencv2/core.hpp>
#include <vector>

namespace vantola {

// Adds to `out` the panels of the region that `mask` holds within `bounds` (non-zero cells): its
// bounding rectangle, or the panels of its two parts when a straight line splits it well, either
// because the line is nearly empty (a balloon or art joins two panels across their gutter) or
// because the parts are far closer to rectangles than the whole (panels whose frames touch; not
// for a region that reaches the edge of `mask`, the page, where art bleeds in any shape).
// Parts less than `smallest` cells wide or high are no panels.
void splitRegion(const cv::Mat& mask, cv::Rect bounds, int smallest, std::vector<cv::Rect>& out);

} // namespace vantola
