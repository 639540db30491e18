// Finding panels by the regions that stand out from the page's background. The page is reduced to
// a small map of how far each cell lies from the background colour; every length below is a
// fraction of that map's shorter side, so that the same page at another resolution gives the
// same panels.
#include "cutting/frame_finder.h"

#include "cutting/frame_lines.h"
#include "cutting/frame_rectangles.h"
#include "cutting/frame_split.h"
#include "cutting/frameless_join.h"
#include "cutting/map_components.h"
#include "cutting/page_background.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <mutex>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

namespace vantola {

namespace {

// The map's shorter side is about this many cells: enough for thin gutters, small enough to be
// quick on a 300-dpi page.
constexpr qint32 kMapShortSide = 800;
// A cell is ink when its colour lies this far (0..255, the largest channel difference) from the
// background: above the noise of a scan or a JPEG file, below faint art.
constexpr int kInkLevel = 40;
// Lengths as fractions of the map's shorter side.
constexpr double kGapClosing = 0.004;   // gaps in a frame's line that are closed
constexpr double kBridgeWidth = 0.02;   // bridges (balloon tails, lines) thinner than this go
constexpr double kSmallestPanel = 0.06; // a panel is at least this wide and this high
constexpr double kFrameWidth = 0.008;   // frame lines are thinner than this
constexpr double kTextLeading = 0.015;  // lines of text closer than this make one block
// A paragraph too small to be a panel joins the block of its column at most this many text
// leadings above or below it (a blank line between paragraphs).
constexpr double kParagraphGap = 2.0;
// A panel covers at least this share of the page; anything smaller is part of a panel beside it.
constexpr double kSmallestPanelArea = 0.015;
// An attachment (a balloon over a frame's edge) may grow its panel by at most this much.
constexpr double kAttachmentGrowth = 0.3;
// Pieces of a frameless drawing less than this far apart make one.
constexpr double kScatterGap = 0.06;
// A panel lying this much inside another is part of it.
constexpr double kInsideShare = 0.8;

// The map: each cell is the mean, over its scale x scale pixels, of how far a pixel's colour lies
// from the background (its largest channel difference).
cv::Mat inkMap(const PageGrid& grid, qint32 columns, qint32 firstRow, qint32 lastRow, qint32 scale,
               PageColour background) {
    const qint32 rows = lastRow - firstRow + 1;
    const int mapWidth = int((columns + scale - 1) / scale);
    const int mapHeight = int((rows + scale - 1) / scale);
    cv::Mat map(mapHeight, mapWidth, CV_8U);
    std::vector<qint32> sums(static_cast<std::size_t>(mapWidth));
    std::vector<qint32> counts(static_cast<std::size_t>(mapWidth));
    for (int my = 0; my < mapHeight; ++my) {
        std::fill(sums.begin(), sums.end(), 0);
        std::fill(counts.begin(), counts.end(), 0);
        const qint32 top = firstRow + my * scale;
        const qint32 bottom = std::min(top + scale - 1, lastRow);
        for (qint32 y = top; y <= bottom; ++y) {
            const qint32* row = grid.row(y);
            for (qint32 x = 0; x < columns; ++x) {
                const qint32 cell = row[x];
                const int dr = std::abs((cell & 0xFF) - background.r);
                const int dg = std::abs(((cell >> 8) & 0xFF) - background.g);
                const int db = std::abs(((cell >> 16) & 0xFF) - background.b);
                sums[std::size_t(x / scale)] += std::max(dr, std::max(dg, db));
                ++counts[std::size_t(x / scale)];
            }
        }
        uchar* out = map.ptr<uchar>(my);
        for (int mx = 0; mx < mapWidth; ++mx)
            out[mx] = uchar(sums[std::size_t(mx)] / counts[std::size_t(mx)]);
    }
    return map;
}

// The page's measures in map cells. Every length and area of the finder is a share of them, also
// where it works on one band of the page.
struct PageMeasure {
    int shortSide = 0;
    double area = 0;

    // The least width or height of a panel, and its least area.
    int smallest() const { return int(std::lround(shortSide * kSmallestPanel)); }
    double smallestArea() const { return kSmallestPanelArea * area; }
    bool panelSized(const cv::Rect& r) const {
        return r.width >= smallest() && r.height >= smallest() && r.area() >= smallestArea();
    }
};

int kernelSide(int shortSide, double fraction) {
    return std::max(3, int(std::lround(shortSide * fraction)) | 1);
}

cv::Mat box(int side) {
    return cv::getStructuringElement(cv::MORPH_RECT, cv::Size(side, side));
}

// Regions that stand out from the background, each filled: a frame with a white inside becomes a
// solid panel.
cv::Mat filledRegions(const cv::Mat& ink, const PageMeasure& page) {
    cv::Mat mask;
    cv::threshold(ink, mask, kInkLevel, 255, cv::THRESH_BINARY);
    cv::morphologyEx(mask, mask, cv::MORPH_CLOSE, box(kernelSide(page.shortSide, kGapClosing)));
    std::vector<std::vector<cv::Point>> contours;
    cv::findContours(mask, contours, cv::RETR_EXTERNAL, cv::CHAIN_APPROX_SIMPLE);
    cv::Mat filled = cv::Mat::zeros(ink.size(), CV_8U);
    cv::drawContours(filled, contours, -1, cv::Scalar(255), cv::FILLED);
    return filled;
}

// The panels: the filled regions without their thin bridges, split where two panels are joined.
// The framed panels of a region are taken first, as their frames draw them; what is left of the
// region is split part by part. Frameless pieces further apart than the page's gutters are one.
std::vector<cv::Rect> panelBodies(const cv::Mat& filled, const cv::Mat& ink,
                                  const PageMeasure& page) {
    const int shortSide = page.shortSide;
    const int smallest = page.smallest();
    const int frameWidth = kernelSide(shortSide, kFrameWidth);
    const double smallestArea = page.smallestArea();
    const FrameLineMasks lines = frameLineMasks(ink, frameWidth, smallest);
    const cv::Mat lineCells = lines.both();
    cv::Mat paper;
    cv::threshold(ink, paper, kInkLevel, 255, cv::THRESH_BINARY_INV);
    FrameLineMasks sides = paperEdges(paper, smallest);
    sides.across |= lines.across;
    sides.down |= lines.down;
    const std::vector<cv::Rect> framed =
        framedRectangles(sides, paper | lineCells, smallest, smallestArea, frameWidth);
    const cv::Mat bridge = box(kernelSide(shortSide, kBridgeWidth));
    cv::Mat cores;
    cv::morphologyEx(filled, cores, cv::MORPH_OPEN, bridge);
    std::vector<cv::Rect> bodies;
    const auto split = [&](const RegionCells& region) {
        splitRegion({region, ink, lineCells, smallest, frameWidth, kInkLevel}, region.window(),
                    bodies);
    };
    forEachPart({cores, {0, 0}}, smallest, [&](RegionCells& own) {
        if (takeFramedPanels(framed, bridge, own, bodies))
            forEachPart(own, smallest, split);
        else
            split(own);
    });
    std::erase_if(bodies, [&](const cv::Rect& body) { return body.area() < smallestArea; });
    joinFramelessPieces(framed, paper, frameWidth, kernelSide(shortSide, kScatterGap), bodies);
    return bodies;
}

// The blank space between two blocks stacked in one column (their sides overlap by at least half
// the narrower one's width), or -1 when they are not.
int gapInColumn(const cv::Rect& a, const cv::Rect& b) {
    const int shared = std::min(a.br().x, b.br().x) - std::max(a.x, b.x);
    if (2 * shared < std::min(a.width, b.width))
        return -1;
    return std::max(0, std::max(a.y, b.y) - std::min(a.br().y, b.br().y));
}

// Each paragraph of `small` joins the block of `blocks` nearest above or below it in its column
// when at most `widestGap` apart (the upper one on a tie): a short paragraph stays with its text
// instead of being lost for want of a panel's size.
void joinParagraphs(const std::vector<cv::Rect>& small, double widestGap,
                    std::vector<cv::Rect>& blocks) {
    const std::vector<cv::Rect> before = blocks;
    for (const cv::Rect& paragraph : small) {
        std::size_t nearest = before.size();
        int nearestGap = 0;
        for (std::size_t i = 0; i < before.size(); ++i) {
            const int gap = gapInColumn(paragraph, before[i]);
            const bool closer = nearest == before.size() || gap < nearestGap ||
                                (gap == nearestGap && before[i].y < before[nearest].y);
            if (gap >= 0 && gap <= widestGap && closer) {
                nearest = i;
                nearestGap = gap;
            }
        }
        if (nearest < before.size())
            blocks[nearest] |= paragraph;
    }
}

// Text set on the page's background (a page of text, a column of captions): its letters, each
// too small to be a panel, joined line to line into blocks. A block as large as a panel that
// touches no panel is one, together with the short paragraphs just above or below it.
void addTextBlocks(const cv::Mat& filled, const PageMeasure& page, std::vector<cv::Rect>& bodies) {
    const int shortSide = page.shortSide;
    cv::Mat labels, stats, centroids;
    const int count = cv::connectedComponentsWithStats(filled, labels, stats, centroids, 8, CV_32S);
    const int smallest = page.smallest();
    std::vector<uchar> letter(static_cast<std::size_t>(count), 0);
    for (int label = 1; label < count; ++label) {
        letter[std::size_t(label)] = stats.at<int>(label, cv::CC_STAT_WIDTH) < smallest ||
                                     stats.at<int>(label, cv::CC_STAT_HEIGHT) < smallest;
    }
    cv::Mat letters(filled.size(), CV_8U);
    for (int y = 0; y < filled.rows; ++y) {
        const int* in = labels.ptr<int>(y);
        uchar* out = letters.ptr<uchar>(y);
        for (int x = 0; x < filled.cols; ++x)
            out[x] = letter[std::size_t(in[x])] ? 255 : 0;
    }
    cv::morphologyEx(letters, letters, cv::MORPH_CLOSE, box(kernelSide(shortSide, kTextLeading)));
    const int blocks =
        cv::connectedComponentsWithStats(letters, labels, stats, centroids, 8, CV_32S);
    const auto touchesPanel = [&](const cv::Rect& block) {
        return std::any_of(bodies.begin(), bodies.end(),
                           [&](const cv::Rect& body) { return (body & block).area() > 0; });
    };
    std::vector<cv::Rect> large, small;
    for (int label = 1; label < blocks; ++label) {
        const cv::Rect block = componentRect(stats, label);
        if (touchesPanel(block))
            continue;
        (page.panelSized(block) ? large : small).push_back(block);
    }
    joinParagraphs(small, kParagraphGap * kernelSide(shortSide, kTextLeading), large);
    bodies.insert(bodies.end(), large.begin(), large.end());
}

// The cells of `filled` outside every panel's rectangle.
cv::Mat outsidePanels(const cv::Mat& filled, const std::vector<cv::Rect>& bodies) {
    cv::Mat rest = filled.clone();
    for (const cv::Rect& body : bodies)
        rest(body).setTo(0);
    return rest;
}

// What stands out beside a panel and touches it (a balloon over its frame, art that leaves it)
// joins the panel it touches most, as long as it does not make the panel much larger. Slivers
// thinner than a frame along the panels' edges are left out, lest they join overhangs far apart.
void attachOverhangs(const cv::Mat& filled, const PageMeasure& page,
                     std::vector<cv::Rect>& bodies) {
    cv::Mat rest = outsidePanels(filled, bodies);
    cv::morphologyEx(rest, rest, cv::MORPH_OPEN, box(kernelSide(page.shortSide, kFrameWidth)));
    cv::Mat labels, stats, centroids;
    const int count = cv::connectedComponentsWithStats(rest, labels, stats, centroids, 8, CV_32S);
    std::vector<cv::Rect> grown = bodies;
    for (int label = 1; label < count; ++label) {
        const cv::Rect part = componentRect(stats, label);
        const cv::Rect reach(part.x - 1, part.y - 1, part.width + 2, part.height + 2);
        std::size_t best = bodies.size();
        int bestContact = 0;
        for (std::size_t i = 0; i < bodies.size(); ++i) {
            const int contact = (reach & bodies[i]).area();
            if (contact > bestContact) {
                best = i;
                bestContact = contact;
            }
        }
        if (best == bodies.size())
            continue;
        const cv::Rect joined = grown[best] | part;
        if (joined.area() <= bodies[best].area() * (1.0 + kAttachmentGrowth))
            grown[best] = joined;
    }
    bodies = std::move(grown);
}

// A drawing set on the paper without a frame and in pieces none of which is large enough to be a
// panel (a figure, its shadow, the sounds around it): what stands out beside the panels, gathered
// across gaps narrower than kScatterGap, is one panel when as large as one and clear of the others.
void addScatteredArt(const cv::Mat& filled, const PageMeasure& page,
                     std::vector<cv::Rect>& bodies) {
    const int shortSide = page.shortSide;
    cv::Mat rest = outsidePanels(filled, bodies);
    cv::Mat near;
    cv::dilate(rest, near, box(kernelSide(shortSide, kScatterGap)));
    cv::Mat labels;
    const int count = cv::connectedComponents(near, labels, 8, CV_32S);
    // Each group's rectangle: that of its own cells, without the reach that gathered them.
    std::vector<cv::Rect> groups(static_cast<std::size_t>(count));
    for (int y = 0; y < rest.rows; ++y) {
        const uchar* cells = rest.ptr<uchar>(y);
        const int* label = labels.ptr<int>(y);
        for (int x = 0; x < rest.cols; ++x) {
            if (cells[x]) {
                cv::Rect& group = groups[std::size_t(label[x])];
                group = group.empty() ? cv::Rect(x, y, 1, 1) : (group | cv::Rect(x, y, 1, 1));
            }
        }
    }
    const std::size_t panels = bodies.size();
    for (std::size_t label = 1; label < groups.size(); ++label) {
        const cv::Rect& group = groups[label];
        const bool clear =
            std::none_of(bodies.begin(), bodies.begin() + std::ptrdiff_t(panels),
                         [&](const cv::Rect& body) { return (body & group).area() > 0; });
        if (clear && page.panelSized(group))
            bodies.push_back(group);
    }
}

// Drops the panels that lie mostly inside a larger one.
void dropInner(std::vector<cv::Rect>& bodies) {
    std::vector<cv::Rect> kept;
    for (std::size_t i = 0; i < bodies.size(); ++i) {
        bool inner = false;
        for (std::size_t j = 0; j < bodies.size() && !inner; ++j) {
            const bool larger = bodies[j].area() > bodies[i].area() ||
                                (bodies[j].area() == bodies[i].area() && j < i);
            inner = j != i && larger &&
                    (bodies[i] & bodies[j]).area() >= kInsideShare * bodies[i].area();
        }
        if (!inner)
            kept.push_back(bodies[i]);
    }
    bodies = std::move(kept);
}

// The panels of one band of the page's map.
std::vector<cv::Rect> bandPanels(const cv::Mat& ink, const PageMeasure& page) {
    const cv::Mat filled = filledRegions(ink, page);
    std::vector<cv::Rect> bodies = panelBodies(filled, ink, page);
    addTextBlocks(filled, page, bodies);
    attachOverhangs(filled, page, bodies);
    addScatteredArt(filled, page, bodies);
    dropInner(bodies);
    return bodies;
}

// The bands of the map's rows parted by runs of at least `blank` rows without ink, each run cut
// in its middle. No step of the finder reaches further than kScatterGap (scattered art gathered,
// frame lines closed over a panel's least size), so with runs twice that high each band gives the
// panels that the whole map would, for a fraction of the time and memory on a long strip.
std::vector<cv::Range> bandsOf(const cv::Mat& ink, int blank) {
    cv::Mat darkest;
    cv::reduce(ink, darkest, 1, cv::REDUCE_MAX);
    std::vector<cv::Range> bands;
    int top = 0;
    for (int row = 0; row < ink.rows;) {
        if (darkest.at<uchar>(row) > kInkLevel) {
            ++row;
            continue;
        }
        int end = row;
        while (end < ink.rows && darkest.at<uchar>(end) <= kInkLevel)
            ++end;
        if (end - row >= blank && row > 0 && end < ink.rows) {
            const int middle = (row + end) / 2;
            bands.emplace_back(top, middle);
            top = middle;
        }
        row = end;
    }
    bands.emplace_back(top, ink.rows);
    return bands;
}

} // namespace

std::vector<PanelBox> findFrames(const PageGrid& grid, qint32 columns, qint32 firstRow,
                                 qint32 lastRow) {
    // The finder runs on the job's own threads: OpenCV starts none of its own.
    static std::once_flag oneThread;
    std::call_once(oneThread, [] { cv::setNumThreads(0); });

    const qint32 rows = lastRow - firstRow + 1;
    if (columns <= 0 || rows <= 0)
        return {};
    const qint32 pageShortSide = std::min(columns, rows);
    const qint32 scale = std::max<qint32>(1, pageShortSide / kMapShortSide);
    const PageColour background = pageBackground(grid, columns, firstRow, lastRow);
    const cv::Mat ink = inkMap(grid, columns, firstRow, lastRow, scale, background);
    const int shortSide = std::min(ink.rows, ink.cols);
    if (shortSide < 3)
        return {};

    const PageMeasure page{shortSide, double(ink.total())};
    std::vector<cv::Rect> bodies;
    for (const cv::Range& band : bandsOf(ink, 2 * kernelSide(shortSide, kScatterGap))) {
        for (const cv::Rect& body : bandPanels(ink.rowRange(band), page))
            bodies.push_back(body + cv::Point(0, band.start));
    }
    std::vector<PanelBox> panels;
    for (const cv::Rect& body : bodies) {
        panels.push_back({body.x * scale, std::min(columns, (body.x + body.width) * scale),
                          firstRow + body.y * scale,
                          std::min(lastRow + 1, firstRow + (body.y + body.height) * scale)});
    }
    return panels;
}

} // namespace vantola
