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

// The cells of one region of the map, kept only over the window that holds them: on a long strip,
// a mask of the whole map for each region would cost as much memory as the strip.
struct RegionCells {
    cv::Mat cells;    // non-zero for the region's cells, over the window
    cv::Point origin; // the window's top left corner on the map

    cv::Rect window() const { return {origin, cells.size()}; }
    // The region's cells within `area`, a rectangle of the map inside the window.
    cv::Mat at(const cv::Rect& area) const { return cells(area - origin); }
};

// Calls `use(part)` for each connected part (8-connected) of `region` at least `smallest` cells
// wide and high, with the part's cells alone over its bounding rectangle.
template <typename Use>
void forEachPart(const RegionCells& region, int smallest, Use use) {
    cv::Mat labels, stats, centroids;
    const int count =
        cv::connectedComponentsWithStats(region.cells, labels, stats, centroids, 8, CV_32S);
    for (int label = 1; label < count; ++label) {
        const cv::Rect local = componentRect(stats, label);
        if (local.width < smallest || local.height < smallest)
            continue;
        RegionCells part{cv::Mat(), local.tl() + region.origin};
        cv::compare(labels(local), label, part.cells, cv::CMP_EQ);
        use(part);
    }
}

} // namespace vantola
