#include "cutting/frameless_join.h"

#include <algorithm>
#include <optional>

namespace vantola {

namespace {

// A panel is one that a frame draws when a framed rectangle covers it this closely (intersection
// over union).
constexpr double kSameRectangle = 0.9;
// The space between two pieces of one drawing is paper but for this share of its cells (a
// balloon's tail, a stray line).
constexpr double kPaperShare = 0.95;

struct Span {
    int start = 0;
    int end = 0;
};

Span spanOf(const cv::Rect& r, bool alongX) {
    return alongX ? Span{r.x, r.x + r.width} : Span{r.y, r.y + r.height};
}

// The gap along x (or y) between two rectangles side by side that way: sharing at least half of
// the smaller one's extent across. Negative when they overlap, nothing when not side by side.
std::optional<int> gapBetween(const cv::Rect& a, const cv::Rect& b, bool alongX) {
    const Span acrossA = spanOf(a, !alongX);
    const Span acrossB = spanOf(b, !alongX);
    const int shared = std::min(acrossA.end, acrossB.end) - std::max(acrossA.start, acrossB.start);
    const int smaller = std::min(acrossA.end - acrossA.start, acrossB.end - acrossB.start);
    if (2 * shared < smaller)
        return std::nullopt;
    const Span spanA = spanOf(a, alongX);
    const Span spanB = spanOf(b, alongX);
    return std::max(spanA.start, spanB.start) - std::min(spanA.end, spanB.end);
}

// The paper between two rectangles side by side along x (or y), over the extent they share.
cv::Rect gapRect(const cv::Rect& a, const cv::Rect& b, bool alongX) {
    const Span spanA = spanOf(a, alongX);
    const Span spanB = spanOf(b, alongX);
    const Span acrossA = spanOf(a, !alongX);
    const Span acrossB = spanOf(b, !alongX);
    const int from = std::min(spanA.end, spanB.end);
    const int to = std::max(spanA.start, spanB.start);
    const int top = std::max(acrossA.start, acrossB.start);
    const int bottom = std::min(acrossA.end, acrossB.end);
    return alongX ? cv::Rect(from, top, to - from, bottom - top)
                  : cv::Rect(top, from, bottom - top, to - from);
}

double sameness(const cv::Rect& a, const cv::Rect& b) {
    const double shared = (a & b).area();
    return shared / (a.area() + b.area() - shared);
}

// The median width of the paper between each framed panel and its nearest neighbour further right
// and further down, or nothing when no two framed panels have paper between them (frames that
// touch show no gutter).
std::optional<int> pageGutter(const std::vector<cv::Rect>& framedPanels) {
    std::vector<int> gaps;
    for (const cv::Rect& panel : framedPanels) {
        for (const bool alongX : {true, false}) {
            std::optional<int> nearest;
            for (const cv::Rect& other : framedPanels) {
                if (spanOf(other, alongX).start <= spanOf(panel, alongX).start)
                    continue;
                const std::optional<int> gap = gapBetween(panel, other, alongX);
                if (gap && (!nearest || *gap < *nearest))
                    nearest = gap;
            }
            if (nearest && *nearest > 0)
                gaps.push_back(*nearest);
        }
    }
    if (gaps.empty())
        return std::nullopt;
    const auto middle = gaps.begin() + std::ptrdiff_t(gaps.size() / 2);
    std::nth_element(gaps.begin(), middle, gaps.end());
    return *middle;
}

// Whether `area` is paper (nearly all its cells non-zero in `paper`) that no panel other than
// `a` and `b` reaches into.
bool clearPaper(const cv::Mat& paper, const std::vector<cv::Rect>& panels, std::size_t a,
                std::size_t b, const cv::Rect& area) {
    for (std::size_t k = 0; k < panels.size(); ++k) {
        if (k != a && k != b && (panels[k] & area).area() > 0)
            return false;
    }
    return cv::countNonZero(paper(area)) >= kPaperShare * area.area();
}

} // namespace

void joinFramelessPieces(const std::vector<cv::Rect>& framed, const cv::Mat& paper, int frameWidth,
                         int widest, std::vector<cv::Rect>& panels) {
    std::vector<cv::Rect> framedPanels;
    std::vector<bool> drawn;
    for (const cv::Rect& panel : panels) {
        drawn.push_back(std::any_of(framed.begin(), framed.end(), [&](const cv::Rect& frame) {
            return sameness(frame, panel) >= kSameRectangle;
        }));
        if (drawn.back())
            framedPanels.push_back(panel);
    }
    const std::optional<int> gutter = pageGutter(framedPanels);
    if (!gutter)
        return;
    const int wide = std::max(2 * *gutter, *gutter + frameWidth);
    const auto joinable = [&](std::size_t a, std::size_t b) {
        for (const bool alongX : {true, false}) {
            const std::optional<int> gap = gapBetween(panels[a], panels[b], alongX);
            if (gap && *gap > wide && *gap <= widest &&
                clearPaper(paper, panels, a, b, gapRect(panels[a], panels[b], alongX)))
                return true;
        }
        return false;
    };
    for (std::size_t a = 0; a < panels.size(); ++a) {
        for (std::size_t b = a + 1; b < panels.size(); ++b) {
            if (drawn[a] || drawn[b] || !joinable(a, b))
                continue;
            panels[a] |= panels[b];
            panels.erase(panels.begin() + std::ptrdiff_t(b));
            drawn.erase(drawn.begin() + std::ptrdiff_t(b));
            b = a; // the larger panel may now reach others
        }
    }
}

} // namespace vantola
