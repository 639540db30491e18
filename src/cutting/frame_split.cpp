#include "cutting/frame_split.h"

#include "cutting/frame_lines.h"
#include "cutting/map_components.h"

#include <algorithm>
#include <opencv2/imgproc.hpp>
#include <utility>

namespace vantola {

namespace {

// A split line must be at most this full compared with the fullest rows or columns on each side
// of it, which must themselves be at least this full.
constexpr double kSplitEmptiness = 0.5;
constexpr double kSplitSideFullness = 0.5;
// Two touching panels are split when their rectangles cover at most this share of the whole's.
constexpr double kRectangularGain = 0.9;
// A frame line between two panels: cells at least kFrameInk far from the paper over this
// share of the region's line, with at most kBesideFrameShare of them a frame's width away. Only a
// region that fills at most kFramedShare of its rectangle is split there: a line across a plain
// rectangle is more likely drawn in the panel than between two panels.
constexpr double kFramedShare = 0.95;
constexpr double kFrameShare = 0.85;
constexpr double kBesideFrameShare = 0.5;
// The panels that frame lines cut a region into cover at least this share of it.
constexpr double kFramedCover = 0.9;

// The share of each row (across) or column of the region that it fills.
std::vector<double> fullness(const cv::Mat& region, bool across) {
    cv::Mat counts;
    cv::reduce(region, counts, across ? 1 : 0, cv::REDUCE_SUM, CV_32S);
    const int length = across ? region.rows : region.cols;
    const double extent = 255.0 * (across ? region.cols : region.rows);
    std::vector<double> result;
    result.reserve(std::size_t(length));
    for (int i = 0; i < length; ++i)
        result.push_back(counts.at<int>(i) / extent);
    return result;
}

// The emptiest line that leaves at least `smallest` on each side and is much emptier than both
// sides, or -1.
int emptyLine(const cv::Mat& region, bool across, int smallest) {
    const std::vector<double> full = fullness(region, across);
    const int length = int(full.size());
    int best = -1;
    for (int i = smallest; i < length - smallest; ++i) {
        if (best < 0 || full[std::size_t(i)] < full[std::size_t(best)])
            best = i;
    }
    if (best < 0)
        return -1;
    const double before = *std::max_element(full.begin(), full.begin() + best);
    const double after = *std::max_element(full.begin() + best + 1, full.end());
    const double sides = std::min(before, after);
    if (sides < kSplitSideFullness || full[std::size_t(best)] > kSplitEmptiness * sides)
        return -1;
    return best;
}

// The thin dark line across the region that most looks like the frame between two panels (the
// darkest, among lines at least `smallest` from either end whose dark band is at most two frame
// widths thick on each side), with its share of dark cells; line -1 when there is none.
std::pair<int, double> frameLine(const cv::Mat& ink, bool across, int smallest, int frameWidth) {
    cv::Mat dark;
    cv::threshold(ink, dark, kFrameInk - 1, 255, cv::THRESH_BINARY);
    const std::vector<double> full = fullness(dark, across);
    const int length = int(full.size());
    const int reach = 2 * frameWidth;
    const auto lightWithin = [&](int from, int to) {
        return *std::min_element(full.begin() + from, full.begin() + to) <= kBesideFrameShare;
    };
    std::pair<int, double> best{-1, 0.0};
    for (int i = std::max(smallest, reach); i < length - std::max(smallest, reach); ++i) {
        const double share = full[std::size_t(i)];
        if (share >= kFrameShare && share > best.second && lightWithin(i - reach, i) &&
            lightWithin(i + 1, i + reach + 1))
            best = {i, share};
    }
    return best;
}

// The extent, along the other axis, of the cells of each line (first and last), -1 when empty.
struct LineExtent {
    int first = -1;
    int last = -1;
};

std::vector<LineExtent> lineExtents(const cv::Mat& region, bool across) {
    const int length = across ? region.rows : region.cols;
    std::vector<LineExtent> extents(static_cast<std::size_t>(length));
    for (int y = 0; y < region.rows; ++y) {
        const uchar* row = region.ptr<uchar>(y);
        for (int x = 0; x < region.cols; ++x) {
            if (!row[x])
                continue;
            LineExtent& e = extents[std::size_t(across ? y : x)];
            const int other = across ? x : y;
            if (e.first < 0)
                e.first = other;
            e.first = std::min(e.first, other);
            e.last = std::max(e.last, other);
        }
    }
    return extents;
}

// A split: the line before which the second part starts, along rows (across) or columns, and
// the area of the two parts' bounding rectangles together.
struct Split {
    int line = -1;
    bool across = true;
    double area = 0;
};

// The line that leaves the region's two parts the smallest bounding rectangles together, each
// part at least `smallest`; line -1 when there is none.
Split rectangularLine(const cv::Mat& region, bool across, int smallest) {
    const std::vector<LineExtent> extents = lineExtents(region, across);
    const int length = int(extents.size());
    // The bounding rectangle's area of the lines before i (forward) or from i on (backward).
    const auto areas = [&](bool forward) {
        std::vector<double> result(static_cast<std::size_t>(length + 1), 0.0);
        int first = -1, last = -1, start = -1, end = -1;
        for (int step = 0; step < length; ++step) {
            const int i = forward ? step : length - 1 - step;
            const LineExtent& e = extents[std::size_t(i)];
            if (e.first >= 0) {
                first = first < 0 ? e.first : std::min(first, e.first);
                last = std::max(last, e.last);
                if (start < 0)
                    start = i;
                end = i;
            }
            const double area =
                first < 0 ? 0.0 : double(std::abs(end - start) + 1) * (last - first + 1);
            result[std::size_t(forward ? i + 1 : i)] = area;
        }
        return result;
    };
    const std::vector<double> before = areas(true);
    const std::vector<double> after = areas(false);
    Split best{-1, across, 0};
    for (int i = smallest; i <= length - smallest; ++i) {
        const double area = before[std::size_t(i)] + after[std::size_t(i)];
        if (best.line < 0 || area < best.area)
            best = {i, across, area};
    }
    return best;
}

// The better of the rectangular splits across and down, when its parts cover at most
// kRectangularGain of the region's bounding rectangle; line -1 otherwise.
Split rectangularSplit(const cv::Mat& region, int smallest) {
    const double whole = double(region.rows) * region.cols;
    Split best{-1, true, kRectangularGain * whole};
    for (const bool across : {true, false}) {
        const Split split = rectangularLine(region, across, smallest);
        if (split.line >= 0 && split.area <= best.area)
            best = split;
    }
    return best;
}

// What crosses an empty line between two panels, when it is a balloon: the pockets of paper that
// the line crosses and that the region closes around (a balloon's inside, between its lines of
// text), together and grown by a frame's width for the outline; empty when there are none.
cv::Rect balloonAcross(const SplitContext& context, cv::Rect bounds, const Split& split) {
    cv::Mat paper;
    cv::threshold(context.ink(bounds), paper, context.inkLevel, 255, cv::THRESH_BINARY_INV);
    cv::Mat labels, stats, centroids;
    const int count = cv::connectedComponentsWithStats(paper, labels, stats, centroids, 4, CV_32S);
    cv::Rect balloon;
    for (int label = 1; label < count; ++label) {
        const cv::Rect pocket = componentRect(stats, label);
        const bool closed = pocket.x > 0 && pocket.y > 0 && pocket.br().x < bounds.width &&
                            pocket.br().y < bounds.height;
        const int from = split.across ? pocket.y : pocket.x;
        const int to = split.across ? pocket.br().y : pocket.br().x;
        if (closed && from < split.line && to > split.line)
            balloon = balloon.empty() ? pocket : (balloon | pocket);
    }
    if (balloon.empty())
        return balloon;
    const int grow = context.frameWidth;
    const cv::Rect outline(balloon.x - grow, balloon.y - grow, balloon.width + 2 * grow,
                           balloon.height + 2 * grow);
    return (outline & cv::Rect(0, 0, bounds.width, bounds.height)) + bounds.tl();
}

// Grows the panel among out[from, to) that holds most of the balloon so that it holds all of it.
void keepBalloonWhole(const cv::Rect& balloon, std::vector<cv::Rect>& out, std::size_t from,
                      std::size_t to) {
    std::size_t best = to;
    for (std::size_t i = from; i < to; ++i) {
        if ((out[i] & balloon).area() > 0 &&
            (best == to || (out[i] & balloon).area() > (out[best] & balloon).area()))
            best = i;
    }
    if (best < to)
        out[best] |= balloon;
}

// Splits the region along the frame lines within it when they cut it into two panels or more,
// each at least `smallest` wide and high and together nearly the whole region: the frames of
// panels that touch or overlap. Returns whether it did.
bool splitAlongFrames(const SplitContext& context, cv::Rect bounds, std::vector<cv::Rect>& out) {
    const cv::Mat region = context.region.at(bounds);
    const cv::Mat parts = region & ~context.lines(bounds);
    cv::Mat labels, stats, centroids;
    const int count = cv::connectedComponentsWithStats(parts, labels, stats, centroids, 4, CV_32S);
    std::vector<int> panels;
    double covered = 0;
    for (int label = 1; label < count; ++label) {
        if (stats.at<int>(label, cv::CC_STAT_WIDTH) >= context.smallest &&
            stats.at<int>(label, cv::CC_STAT_HEIGHT) >= context.smallest) {
            panels.push_back(label);
            covered += stats.at<int>(label, cv::CC_STAT_AREA);
        }
    }
    if (panels.size() < 2 || covered < kFramedCover * cv::countNonZero(region))
        return false;
    for (const int label : panels) {
        RegionCells own{cv::Mat(), bounds.tl()};
        cv::compare(labels, label, own.cells, cv::CMP_EQ);
        const cv::Rect part = componentRect(stats, label) + bounds.tl();
        splitRegion({own, context.ink, context.lines, context.smallest, context.frameWidth,
                     context.inkLevel},
                    part, out);
    }
    return true;
}

} // namespace

void splitRegion(const SplitContext& context, cv::Rect bounds, std::vector<cv::Rect>& out) {
    const int smallest = context.smallest;
    bounds = cv::boundingRect(context.region.at(bounds)) + bounds.tl();
    if (bounds.width < smallest || bounds.height < smallest)
        return;
    const cv::Mat region = context.region.at(bounds);
    // Art that bleeds off the page has no frame to follow: a region reaching the page's edge is
    // not split for its shape alone.
    const bool framed = bounds.x > 0 && bounds.y > 0 && bounds.br().x < context.ink.cols &&
                        bounds.br().y < context.ink.rows;
    Split split{-1, true, 0};
    const bool rectangle = cv::countNonZero(region) > kFramedShare * double(bounds.area());
    if (!rectangle && splitAlongFrames(context, bounds, out))
        return;
    double darkest = 0;
    for (const bool across : {true, false}) {
        if (rectangle)
            break;
        const auto [line, share] =
            frameLine(context.ink(bounds), across, smallest, context.frameWidth);
        if (line >= 0 && share > darkest) {
            split = {line, across, 0};
            darkest = share;
        }
    }
    const bool alongFrame = split.line >= 0;
    for (const bool across : {true, false}) {
        if (split.line < 0)
            split = {emptyLine(region, across, smallest), across, 0};
    }
    const bool alongGutter = !alongFrame && split.line >= 0;
    // The frame or empty line belongs to neither part.
    int skip = 1;
    if (split.line < 0 && framed) {
        split = rectangularSplit(region, smallest);
        skip = 0;
    }
    if (split.line >= 0) {
        const int line = split.line;
        const cv::Rect first =
            split.across ? cv::Rect(0, 0, bounds.width, line) : cv::Rect(0, 0, line, bounds.height);
        const cv::Rect second =
            split.across ? cv::Rect(0, line + skip, bounds.width, bounds.height - line - skip)
                         : cv::Rect(line + skip, 0, bounds.width - line - skip, bounds.height);
        const cv::Rect balloon = alongGutter ? balloonAcross(context, bounds, split) : cv::Rect();
        const std::size_t start = out.size();
        splitRegion(context, first + bounds.tl(), out);
        const std::size_t middle = out.size();
        splitRegion(context, second + bounds.tl(), out);
        if (!balloon.empty()) {
            const int before =
                split.line + (split.across ? bounds.y - balloon.y : bounds.x - balloon.x);
            const int length = split.across ? balloon.height : balloon.width;
            if (2 * before >= length)
                keepBalloonWhole(balloon, out, start, middle);
            else
                keepBalloonWhole(balloon, out, middle, out.size());
        }
        return;
    }
    out.push_back(bounds);
}

} // namespace vantola
