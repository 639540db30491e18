#include "cutting/frame_rectangles.h"

#include "cutting/map_components.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <opencv2/imgproc.hpp>

namespace vantola {

namespace {

// Each side of a framed rectangle runs along a frame line over at least this share of its length,
// and the four sides together over at least kFrameCover of theirs: a frame may be broken where
// art crosses it, but not missing.
constexpr double kSideCover = 0.5;
constexpr double kFrameCover = 0.8;
// Just outside each side of a framed panel, at least kGutterBeyond of the band is gutter (paper,
// the margin, the frame of the panel beside): a line drawn across a panel has its art on both
// sides, while a panel's frame may have art that leaves the panel beside it against part of it.
constexpr double kGutterBeyond = 0.3;
// A framed panel with art in front of one side (a figure that stands before the frame): three sides
// run along lines over at least kClearSideCover of their length with gutter beyond them, the
// fourth over at least kHiddenSideCover, and at least kCornersSeen of its corners are drawn as
// corners, two lines ending there; a line across a panel only meets the frame in passing.
constexpr double kClearSideCover = 0.8;
constexpr double kHiddenSideCover = 0.2;
constexpr int kCornersSeen = 3;
// Lines this many cells apart or closer are one line drawn thick; the sides of two panels a narrow
// gutter apart are not, lest one panel be measured against the other's side.
constexpr int kSameLine = 2;
// Two rectangles overlapping by more than this share of the smaller one cannot both be panels.
constexpr double kOverlapShare = 0.1;
// A region larger than a framed rectangle within it by this factor holds more than that panel.
constexpr double kRegionBeyondFrame = 1.5;
// A framed rectangle lies within a region when this much of it does: a frame's side may lie a cell
// beyond the cells of its panel's art.
constexpr double kWithinRegion = 0.97;
// A framed rectangle is a panel when the region fills at least this share of it.
constexpr double kFramedFill = 0.9;
// Only a region that fills at most this share of its rectangle holds several panels.
constexpr double kFramedRegion = 0.95;
// A framed rectangle that the rest of its region spans this much of lies within a panel.
constexpr double kSurrounded = 0.5;

// The straight runs of a line mask, each as its bounding rectangle, and the positions (rows for
// lines across, columns for lines down) of the lines they draw, one for each line, those at most
// kSameLine cells apart taken as one.
struct LineSet {
    std::vector<cv::Rect> runs;
    std::vector<int> positions;
};

LineSet runsOf(const cv::Mat& mask, bool across) {
    cv::Mat labels, stats, centroids;
    const int count = cv::connectedComponentsWithStats(mask, labels, stats, centroids, 8, CV_32S);
    LineSet result;
    std::vector<int> positions;
    for (int label = 1; label < count; ++label) {
        result.runs.push_back(componentRect(stats, label));
        positions.push_back(int(centroids.at<double>(label, across ? 1 : 0)));
    }
    std::sort(positions.begin(), positions.end());
    for (const int position : positions) {
        if (result.positions.empty() || position - result.positions.back() > kSameLine)
            result.positions.push_back(position);
    }
    return result;
}

// How much of a line's length a frame line covers, from running counts along each of the given
// lines (rows for lines across, columns for lines down) of the line mask, a cell counting when the
// mask has a line within `tolerance` cells of it across the line's direction.
class LineCover {
public:
    LineCover(const cv::Mat& mask, bool across, int tolerance, const std::vector<int>& lines)
        : index_(std::size_t(across ? mask.rows : mask.cols), -1) {
        const int length = across ? mask.cols : mask.rows;
        const int width = across ? mask.rows : mask.cols;
        for (const int line : lines) {
            index_[std::size_t(line)] = int(counts_.size());
            std::vector<int>& counts = counts_.emplace_back(std::size_t(length + 1), 0);
            const int first = std::max(0, line - tolerance);
            const int last = std::min(width - 1, line + tolerance);
            for (int along = 0; along < length; ++along) {
                bool near = false;
                for (int at = first; at <= last && !near; ++at)
                    near = across ? mask.at<uchar>(at, along) : mask.at<uchar>(along, at);
                counts[std::size_t(along + 1)] = counts[std::size_t(along)] + (near ? 1 : 0);
            }
        }
    }

    // The covered share of line `line` (one of the given lines) between positions from and to
    // (to excluded).
    double share(int line, int from, int to) const {
        const std::vector<int>& counts = counts_[std::size_t(index_[std::size_t(line)])];
        return double(counts[std::size_t(to)] - counts[std::size_t(from)]) / double(to - from);
    }

private:
    std::vector<int> index_; // for each row or column, its running counts' place, or -1
    std::vector<std::vector<int>> counts_;
};

// How much gutter any rectangle of the map holds, from the running sums of the gutter mask.
class GutterCount {
public:
    explicit GutterCount(const cv::Mat& gutter) : page_(0, 0, gutter.cols, gutter.rows) {
        cv::Mat ones;
        cv::threshold(gutter, ones, 0, 1, cv::THRESH_BINARY);
        cv::integral(ones, sums_, CV_32S);
    }

    // The gutter cells of `band`, with every cell beyond the page counted as gutter.
    int clearCells(const cv::Rect& band) const {
        const cv::Rect r = band & page_;
        const int inside = r.empty()
                               ? 0
                               : sums_.at<int>(r.br().y, r.br().x) - sums_.at<int>(r.y, r.br().x) -
                                     sums_.at<int>(r.br().y, r.x) + sums_.at<int>(r.y, r.x);
        return band.area() - r.area() + inside;
    }

    // Whether each side of `rect` (top, bottom, left, right) has gutter in the band `distance`
    // cells outside it, one band `width` cells thick.
    std::array<bool, 4> beyond(const cv::Rect& rect, int distance, int width) const {
        const cv::Rect bands[] = {
            {rect.x, rect.y - distance - width, rect.width, width},
            {rect.x, rect.br().y + distance, rect.width, width},
            {rect.x - distance - width, rect.y, width, rect.height},
            {rect.br().x + distance, rect.y, width, rect.height},
        };
        std::array<bool, 4> clear{};
        for (std::size_t side = 0; side < clear.size(); ++side)
            clear[side] = clearCells(bands[side]) >= kGutterBeyond * bands[side].area();
        return clear;
    }

private:
    cv::Rect page_;
    cv::Mat sums_;
};

// The runs of the lines across and down.
struct LineRuns {
    const std::vector<cv::Rect>& across;
    const std::vector<cv::Rect>& down;

    // Whether a run across and a run down both end at (x, y), within `tolerance`.
    bool cornerAt(int x, int y, int tolerance) const {
        const auto near = [&](int a, int b) { return std::abs(a - b) <= tolerance; };
        const bool acrossEnds = std::any_of(across.begin(), across.end(), [&](const cv::Rect& run) {
            return y >= run.y - tolerance && y < run.br().y + tolerance &&
                   (near(run.x, x) || near(run.br().x - 1, x));
        });
        return acrossEnds && std::any_of(down.begin(), down.end(), [&](const cv::Rect& run) {
                   return x >= run.x - tolerance && x < run.br().x + tolerance &&
                          (near(run.y, y) || near(run.br().y - 1, y));
               });
    }

    // How many corners of `rect` are drawn as corners.
    int cornersOf(const cv::Rect& rect, int tolerance) const {
        const int right = rect.br().x - 1;
        const int bottom = rect.br().y - 1;
        return cornerAt(rect.x, rect.y, tolerance) + cornerAt(right, rect.y, tolerance) +
               cornerAt(rect.x, bottom, tolerance) + cornerAt(right, bottom, tolerance);
    }
};

// Whether three sides are clear (covered by lines with gutter beyond) and the fourth is seen in
// part.
bool oneSideHidden(const std::array<double, 4>& cover, const std::array<bool, 4>& clearBeyond) {
    int clear = 0;
    for (std::size_t side = 0; side < cover.size(); ++side)
        clear += cover[side] >= kClearSideCover && clearBeyond[side];
    return clear == 3 && *std::min_element(cover.begin(), cover.end()) >= kHiddenSideCover;
}

// Adds to `kept` the rectangles of `found`, the smaller first, that overlap none already kept.
void keepApart(std::vector<cv::Rect> found, std::vector<cv::Rect>& kept) {
    std::stable_sort(found.begin(), found.end(),
                     [](const cv::Rect& a, const cv::Rect& b) { return a.area() < b.area(); });
    for (const cv::Rect& rect : found) {
        const bool clear = std::none_of(kept.begin(), kept.end(), [&](const cv::Rect& other) {
            return (rect & other).area() > kOverlapShare * std::min(rect.area(), other.area());
        });
        if (clear)
            kept.push_back(rect);
    }
}

} // namespace

std::vector<cv::Rect> framedRectangles(const FrameLineMasks& lines, const cv::Mat& gutter,
                                       int smallest, double smallestArea, int tolerance) {
    const LineSet runsAcross = runsOf(lines.across, true);
    const LineSet runsDown = runsOf(lines.down, false);
    const std::vector<int>& rows = runsAcross.positions;
    const std::vector<int>& columns = runsDown.positions;
    const LineCover across(lines.across, true, tolerance, rows);
    const LineCover down(lines.down, false, tolerance, columns);
    const LineRuns runs{runsAcross.runs, runsDown.runs};
    const GutterCount gutterCount(gutter);
    std::vector<cv::Rect> framed, hidden;
    for (std::size_t t = 0; t < rows.size(); ++t) {
        for (std::size_t b = t + 1; b < rows.size(); ++b) {
            const int top = rows[t], bottom = rows[b];
            if (bottom - top < smallest)
                continue;
            for (std::size_t l = 0; l < columns.size(); ++l) {
                for (std::size_t r = l + 1; r < columns.size(); ++r) {
                    const int left = columns[l], right = columns[r];
                    if (right - left < smallest ||
                        double(right - left) * (bottom - top) < smallestArea)
                        continue;
                    const std::array<double, 4> cover = {
                        across.share(top, left, right), across.share(bottom, left, right),
                        down.share(left, top, bottom), down.share(right, top, bottom)};
                    const double least = *std::min_element(cover.begin(), cover.end());
                    if (least < std::min(kSideCover, kHiddenSideCover))
                        continue;
                    const double mean = (cover[0] + cover[1] + cover[2] + cover[3]) / 4.0;
                    const cv::Rect rect(left, top, right - left + 1, bottom - top + 1);
                    const std::array<bool, 4> clearBeyond =
                        gutterCount.beyond(rect, tolerance / 3 + 1, tolerance / 2 + 1);
                    const bool allClear = std::all_of(clearBeyond.begin(), clearBeyond.end(),
                                                      [](bool clear) { return clear; });
                    if (least >= kSideCover && mean >= kFrameCover && allClear)
                        framed.push_back(rect);
                    else if (oneSideHidden(cover, clearBeyond) &&
                             runs.cornersOf(rect, tolerance) >= kCornersSeen)
                        hidden.push_back(rect);
                }
            }
        }
    }
    // A framed panel whose four sides are seen is surer than one with a side hidden.
    std::vector<cv::Rect> kept;
    keepApart(framed, kept);
    keepApart(hidden, kept);
    return kept;
}

bool takeFramedPanels(const std::vector<cv::Rect>& framed, const cv::Mat& bridge, RegionCells& own,
                      std::vector<cv::Rect>& panels) {
    const cv::Rect bounds = own.window();
    if (cv::countNonZero(own.cells) > kFramedRegion * double(bounds.area()))
        return false;
    std::vector<cv::Rect> taken;
    for (const cv::Rect& frame : framed) {
        const cv::Rect panel = frame & bounds;
        if (panel.area() >= kWithinRegion * frame.area() &&
            double(bounds.area()) > kRegionBeyondFrame * panel.area() &&
            cv::countNonZero(own.at(panel)) >= kFramedFill * panel.area())
            taken.push_back(panel);
    }
    if (taken.empty())
        return false;
    // Outside its window the region has no cells: the opening sees empty cells there.
    const auto open = [&](cv::Mat& cells) {
        cv::morphologyEx(cells, cells, cv::MORPH_OPEN, bridge, cv::Point(-1, -1), 1,
                         cv::BORDER_CONSTANT, cv::Scalar(0));
    };
    cv::Mat rest = own.cells.clone();
    for (const cv::Rect& panel : taken)
        rest(panel - own.origin).setTo(0);
    open(rest);
    cv::Mat labels, stats, centroids;
    const int count = cv::connectedComponentsWithStats(rest, labels, stats, centroids, 8, CV_32S);
    std::erase_if(taken, [&](const cv::Rect& panel) {
        for (int label = 1; label < count; ++label) {
            const cv::Rect part = componentRect(stats, label) + own.origin;
            if ((part & panel).area() > kSurrounded * panel.area())
                return true;
        }
        return false;
    });
    if (taken.empty())
        return false;
    for (const cv::Rect& panel : taken) {
        panels.push_back(panel);
        own.at(panel).setTo(0);
    }
    open(own.cells);
    return true;
}

} // namespace vantola
