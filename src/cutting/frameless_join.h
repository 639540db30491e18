#pragma once

// Frameless panels among framed ones: a drawing set on the paper without a frame may come out in
// pieces (two figures facing each other) that the paper between them parts as a gutter would.

#include <opencv2/core.hpp>
#include <vector>

namespace vantola {

// Joins the panels of `panels` that no rectangle of `framed` draws, two by two, when they lie side
// by side (sharing at least half of the smaller one's height, or width) with a gap between them
// clearly wider than the page's gutter yet at most `widest` cells, when that gap is paper (non-zero
// in `paper`) and no other panel lies in it. The page's gutter is the median width of the paper
// between its framed panels and their nearest neighbours; clearly wider is more than twice it and
// more than `frameWidth` beyond it. A page lays its panels out with one gutter: a wider space
// between two frameless pieces is space within one panel. Nothing is joined on a page without two
// framed panels with paper between them, where nothing tells a gutter from such a space.
void joinFramelessPieces(const std::vector<cv::Rect>& framed, const cv::Mat& paper, int frameWidth,
                         int widest, std::vector<cv::Rect>& panels);

} // namespace vantola
