#pragma once

// The connected parts of a mask on the frame finder's map, as OpenCV labels them.

#include <opencv2/imgproc.hpp>

namespace vantola {

// The bounding rectangle of component `label` in the statistics of
// cv::connectedComponentsWithStats.
inline cv::Rect componentRect(const cv::Mat& stats, int label) {
    return {stats.at<int>(label, cv::CC_STAT_LEFT), stats.at<int>(label, cv::CC_STAT_TOP),
            stats.at<int>(label, cv::CC_STAT_WIDTH), stats.at<int>(label, cv::CC_STAT_HEIGHT)};
}

} // namespace vantola
