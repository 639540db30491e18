#include "cutting/frame_lines.h"

#include <opencv2/imgproc.hpp>

namespace vantola {

namespace {

// A line lighter than kFrameInk is still one when it stands this far (0..255) above the cells on
// both sides of it: a grey or coloured frame, an anti-aliased one.
constexpr int kRidgeLevel = 100;

cv::Mat rectangle(int width, int height) {
    return cv::getStructuringElement(cv::MORPH_RECT, cv::Size(width, height));
}

// The cells of `ink` that stand at least kRidgeLevel above the cells around them within a window
// of `side` cells (one cell thick along the line, a frame's width and more across it).
cv::Mat ridges(const cv::Mat& ink, cv::Size side) {
    cv::Mat ridge;
    cv::morphologyEx(ink, ridge, cv::MORPH_TOPHAT, rectangle(side.width, side.height));
    cv::threshold(ridge, ridge, kRidgeLevel, 255, cv::THRESH_BINARY);
    return ridge;
}

} // namespace

FrameLineMasks frameLineMasks(const cv::Mat& ink, int thickest, int shortest) {
    cv::Mat dark;
    cv::threshold(ink, dark, kFrameInk - 1, 255, cv::THRESH_BINARY);
    // What a square thicker than a line fits in is an area, not a line.
    cv::Mat areas;
    const int square = thickest + 1;
    cv::morphologyEx(dark, areas, cv::MORPH_OPEN, rectangle(square, square));
    const cv::Mat thin = dark & ~areas;
    FrameLineMasks lines;
    const cv::Mat along = rectangle(shortest, 1);
    const cv::Mat alongDown = rectangle(1, shortest);
    cv::morphologyEx(thin | ridges(ink, cv::Size(1, square)), lines.across, cv::MORPH_OPEN, along);
    cv::morphologyEx(thin | ridges(ink, cv::Size(square, 1)), lines.down, cv::MORPH_OPEN,
                     alongDown);
    // A frame broken where art or a balloon crosses it goes on across the gap.
    cv::morphologyEx(lines.across, lines.across, cv::MORPH_CLOSE, along);
    cv::morphologyEx(lines.down, lines.down, cv::MORPH_CLOSE, alongDown);
    return lines;
}

FrameLineMasks paperEdges(const cv::Mat& paper, int shortest) {
    const cv::Mat ink = ~paper;
    const cv::Mat aCellAcross = rectangle(1, 3);
    const cv::Mat aCellDown = rectangle(3, 1);
    cv::Mat paperAboveOrBelow, paperBeside;
    cv::dilate(paper, paperAboveOrBelow, aCellAcross);
    cv::dilate(paper, paperBeside, aCellDown);
    cv::Mat across = ink & paperAboveOrBelow;
    cv::Mat down = ink & paperBeside;
    cv::dilate(across, across, aCellAcross);
    cv::dilate(down, down, aCellDown);
    FrameLineMasks edges;
    cv::morphologyEx(across, edges.across, cv::MORPH_OPEN, rectangle(shortest, 1));
    cv::morphologyEx(down, edges.down, cv::MORPH_OPEN, rectangle(1, shortest));
    return edges;
}

} // namespace vantola
