#pragma once

// The straight frame lines of a page: where panels that touch or overlap are to be told apart.

#include <opencv2/core.hpp>

namespace vantola {

// How far from the paper (0..255, the largest channel difference) a frame line's cells lie.
constexpr int kFrameInk = 200;

// The cells of `ink` (how far each cell lies from the paper, 0..255) on thin straight lines, across
// or down, at least kFrameInk far from the paper, at most `thickest` cells thick and at least
// `shortest` cells long: the frames drawn around panels. A wide dark area (a black sky, a flat
// shadow) is no line, whatever its edges.
cv::Mat frameLines(const cv::Mat& ink, int thickest, int shortest);

} // namespace vantola
