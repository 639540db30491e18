#pragma once

// The straight lines of a page along which panels are told apart: the frames drawn around them
// and the straight edges where their art meets the paper.

#include <opencv2/core.hpp>

namespace vantola {

// How far from the paper (0..255, the largest channel difference) a frame line's cells lie.
constexpr int kFrameInk = 200;

// Straight lines across (rows) and down (columns), each as a mask of the map's size.
struct FrameLineMasks {
    cv::Mat across;
    cv::Mat down;

    cv::Mat both() const { return across | down; }
};

// The cells of `ink` (how far each cell lies from the paper, 0..255) on thin straight lines, across
// or down, at most `thickest` cells thick and at least `shortest` cells long, either at least
// kFrameInk far from the paper or standing out from the cells on both sides of them: the frames
// drawn around panels. A wide dark area (a black sky, a flat shadow) is no line, whatever its
// edges.
FrameLineMasks frameLineMasks(const cv::Mat& ink, int thickest, int shortest);

// The cells of ink (zero in `paper`) next to paper above or below them (across) or beside them
// (down), on straight runs at least `shortest` cells long: the sides of a panel whose frame is too
// faint to be a line but whose art ends straight against a gutter. A run may wander by a cell, as
// a scanned edge does.
FrameLineMasks paperEdges(const cv::Mat& paper, int shortest);

} // namespace vantola
