#include "cutting/frame_lines.h"

#include <opencv2/imgproc.hpp>

namespace vantola {

cv::Mat frameLines(const cv::Mat& ink, int thickest, int shortest) {
    cv::Mat dark;
    cv::threshold(ink, dark, kFrameInk - 1, 255, cv::THRESH_BINARY);
    // What a square thicker than a line fits in is an area, not a line.
    cv::Mat areas;
    const int square = thickest + 1;
    cv::morphologyEx(dark, areas, cv::MORPH_OPEN,
                     cv::getStructuringElement(cv::MORPH_RECT, cv::Size(square, square)));
    const cv::Mat thin = dark & ~areas;
    cv::Mat across, down;
    const cv::Mat along = cv::getStructuringElement(cv::MORPH_RECT, cv::Size(shortest, 1));
    const cv::Mat alongDown = cv::getStructuringElement(cv::MORPH_RECT, cv::Size(1, shortest));
    cv::morphologyEx(thin, across, cv::MORPH_OPEN, along);
    cv::morphologyEx(thin, down, cv::MORPH_OPEN, alongDown);
    // A frame broken where art or a balloon crosses it goes on across the gap.
    cv::morphologyEx(across, across, cv::MORPH_CLOSE, along);
    cv::morphologyEx(down, down, cv::MORPH_CLOSE, alongDown);
    return across | down;
}

} // namespace vantola
