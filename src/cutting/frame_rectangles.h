#pragma once

// Framed panels told apart by the rectangles their frames draw, even where art runs over a frame
// and joins the panel to what lies beside it.

#include "cutting/frame_lines.h"
#include "cutting/map_components.h"

#include <opencv2/core.hpp>
#include <vector>

namespace vantola {

// The rectangles, none overlapping another, whose four sides run along `lines` (within
// `tolerance` cells) over most of their length, each at least `smallest` cells wide and high and
// `smallestArea` cells large, with some gutter (non-zero in `gutter`: paper, or the frame of the
// panel beside) just outside each of its sides; the smaller first when two overlap, so that a
// rectangle made of the outer sides of two framed panels side by side does not hide them. After
// them, those with art in front of one side: three sides so drawn, the fourth seen in part, and
// three corners drawn as corners.
std::vector<cv::Rect> framedRectangles(const FrameLineMasks& lines, const cv::Mat& gutter,
                                       int smallest, double smallestArea, int tolerance);

// Takes from the region `own` the rectangles of `framed` that it
// fills, that are clearly smaller than it and that what is left of it does not surround (a
// caption's box is framed too, but inside a panel), and adds them to `panels`: a framed panel
// that art or a frameless panel beside it runs into is the rectangle its frame draws. A region
// that fills its own rectangle is one panel and keeps its frames. What is left of `own` loses its
// bridges thinner than `bridge`. Returns whether it took any.
bool takeFramedPanels(const std::vector<cv::Rect>& framed, const cv::Mat& bridge, RegionCells& own,
                      std::vector<cv::Rect>& panels);

} // namespace vantola
