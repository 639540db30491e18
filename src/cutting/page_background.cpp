#include "cutting/page_background.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <vector>

namespace vantola {

namespace {

// Lines sampled across the page's shorter side, and cells sampled along each line.
constexpr qint32 kSampledLines = 400;
// A line is of one colour when this share of its cells lies within kUniformTolerance (largest
// channel difference) of its mean colour: scan and JPEG noise stay within it, art does not.
constexpr double kUniformShare = 0.995;
constexpr int kUniformTolerance = 32;
// The edge ring of the fallback, as a share of the page's shorter side.
constexpr double kBorderRing = 0.005;

// Colours counted by bins of 4 bits a channel, each bin keeping the sum of its colours.
class ColourVotes {
public:
    void add(PageColour c, qint64 weight = 1) {
        const std::size_t bin = std::size_t((c.r >> 4) | ((c.g >> 4) << 4) | ((c.b >> 4) << 8));
        counts_[bin] += weight;
        sums_[bin][0] += qint64(c.r) * weight;
        sums_[bin][1] += qint64(c.g) * weight;
        sums_[bin][2] += qint64(c.b) * weight;
    }
    bool empty() const {
        return std::all_of(counts_.begin(), counts_.end(), [](qint64 n) { return n == 0; });
    }
    // The mean colour of the bin with most votes.
    PageColour winner() const {
        const std::size_t bin =
            std::size_t(std::max_element(counts_.begin(), counts_.end()) - counts_.begin());
        const qint64 n = std::max<qint64>(counts_[bin], 1);
        return {int(sums_[bin][0] / n), int(sums_[bin][1] / n), int(sums_[bin][2] / n)};
    }

private:
    std::vector<qint64> counts_ = std::vector<qint64>(4096, 0);
    std::vector<std::array<qint64, 3>> sums_ = std::vector<std::array<qint64, 3>>(4096, {0, 0, 0});
};

int distance(PageColour a, PageColour b) {
    return std::max({std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)});
}

// A run of neighbouring lines of one colour counts this much more than each of its lines: the
// paper is what separates the page's parts most often (margins, every gutter), while a flat tone
// may fill more lines inside a single panel.
constexpr qint64 kRunWeight = 1000;

// The line's mean colour when one colour fills it; `cell(i)` is its i-th cell.
template <typename Cell>
std::optional<PageColour> uniformColour(qint32 length, qint32 step, Cell cell) {
    qint64 sums[3] = {0, 0, 0};
    qint64 n = 0;
    for (qint32 i = 0; i < length; i += step, ++n) {
        const PageColour c = unpackCell(cell(i));
        sums[0] += c.r;
        sums[1] += c.g;
        sums[2] += c.b;
    }
    if (n == 0)
        return std::nullopt;
    const PageColour mean{int(sums[0] / n), int(sums[1] / n), int(sums[2] / n)};
    qint64 close = 0;
    for (qint32 i = 0; i < length; i += step)
        close += distance(unpackCell(cell(i)), mean) <= kUniformTolerance;
    if (close < kUniformShare * double(n))
        return std::nullopt;
    return mean;
}

// Votes for the colours of the uniform lines among `count` lines, taken in order.
template <typename Line>
void voteForLines(qint32 count, Line line, ColourVotes& votes) {
    std::optional<PageColour> previous;
    for (qint32 i = 0; i < count; ++i) {
        const std::optional<PageColour> colour = line(i);
        if (colour) {
            const bool runGoesOn = previous && distance(*previous, *colour) <= kUniformTolerance;
            votes.add(*colour, runGoesOn ? 1 : kRunWeight);
        }
        previous = colour;
    }
}

// The most common colour along the page's edge.
PageColour edgeColour(const PageGrid& grid, qint32 columns, qint32 firstRow, qint32 lastRow,
                      qint32 ring) {
    ColourVotes votes;
    for (qint32 y = firstRow; y <= lastRow; ++y) {
        const qint32* row = grid.row(y);
        const bool edgeRow = y - firstRow < ring || lastRow - y < ring;
        for (qint32 x = 0; x < columns; ++x) {
            if (!edgeRow && x == ring && columns - ring > x)
                x = columns - ring;
            votes.add(unpackCell(row[x]));
        }
    }
    return votes.winner();
}

} // namespace

PageColour pageBackground(const PageGrid& grid, qint32 columns, qint32 firstRow, qint32 lastRow) {
    const qint32 rows = lastRow - firstRow + 1;
    const qint32 shortSide = std::min(columns, rows);
    const qint32 step = std::max<qint32>(1, shortSide / kSampledLines);
    ColourVotes votes;
    const auto row = [&](qint32 i) {
        const qint32* cells = grid.row(firstRow + i * step);
        return uniformColour(columns, step, [cells](qint32 x) { return cells[x]; });
    };
    const auto column = [&](qint32 i) {
        return uniformColour(rows, step,
                             [&](qint32 y) { return grid.row(firstRow + y)[i * step]; });
    };
    voteForLines((rows + step - 1) / step, row, votes);
    voteForLines((columns + step - 1) / step, column, votes);
    if (!votes.empty())
        return votes.winner();
    return edgeColour(grid, columns, firstRow, lastRow,
                      std::max<qint32>(1, qint32(std::lround(shortSide * kBorderRing))));
}

} // namespace vantola
