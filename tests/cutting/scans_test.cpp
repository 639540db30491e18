// The scans of a page: white rows and columns (the pixel threshold, the running sums rounded after
// every addition, the strict comparisons, the arithmetic failures), the bands the white rows give
// and the blocks the white columns give.

#include "cutting/band_finder.h"
#include "cutting/block_finder.h"
#include "cutting/bright_sums.h"
#include "test_page.h"

#include <cmath>
#include <gtest/gtest.h>
#include <random>

namespace vantola {
namespace {

using test::errorNumberOf;
using test::kLevel;
using test::kThreshold;
using test::TestPage;
using Extents = std::vector<Extent>;
using Rows = std::vector<qint32>;

// Rows 0..H - 1 of a page whose rows have one colour each, found white at the given level.
Rows whiteRowsOf(const Rows& rowColours, qint32 width, qint32 level = kLevel,
                 qint32 threshold = kThreshold) {
    const qint32 height = qint32(rowColours.size());
    TestPage page(width, height);
    for (qint32 y = 0; y < height; ++y)
        page.paint(0, width - 1, y, y, rowColours[std::size_t(y)]);
    return findWhiteRows(page.grid, 0, height - 1, width - 1, threshold, level, {});
}

TEST(WhiteRows, ThresholdsAreStrictAndSumsRoundHalfToEvenAfterEveryAddition) {
    // Rows: at the threshold; 1450.0001 each (sum / width = 1450 exactly); 1450.5001 each;
    // 1450.5 each (every addition rounds down to even); 1451.5 each (rounds up to even).
    EXPECT_EQ(whiteRowsOf({kThreshold, 14500001, 14505001, 14505000, 14515000}, 7), (Rows{2, 4}));
    // Negative thresholds count negative pixels: -20000 counts -2 above -30000.
    EXPECT_EQ(whiteRowsOf({-20000, -40000}, 5, -3, -30000), (Rows{0, 1}));
    EXPECT_EQ(whiteRowsOf({-20000, -40000}, 5, -2, -30000), (Rows{1}));
}

TEST(WhiteRows, ArithmeticFailuresAreTheProgramsErrors) {
    // 10001 pixels of 214748.3647 each pass 2^31 - 1.
    TestPage wide(10001, 2);
    wide.paint(0, 10000, 1, 1, std::numeric_limits<qint32>::max());
    const auto failure = [&](qint32 y1, qint32 lastColumn) {
        return errorNumberOf([&] { findWhiteRows(wide.grid, 0, y1, lastColumn, 0, kLevel, {}); });
    };
    EXPECT_EQ(failure(1, 10000), kErrOverflow);
    EXPECT_EQ(failure(0, -1), kErrOverflow); // no column at all: 0 / 0, reported as an overflow
    EXPECT_EQ(failure(3, 10), kErrSubscript);
    EXPECT_EQ(failure(0, 10002), kErrSubscript);
}

// The sums against the plain definition: pixel / 10000 added in double precision and rounded
// with std::nearbyint after every addition, over random colours, exact halves and negatives.
TEST(BrightSums, MatchThePlainRunningSumForEveryThreshold) {
    std::mt19937 random(12345);
    const qint32 W = 37, H = 23;
    PageGrid grid(W, H);
    for (qint32 y = 0; y < H; ++y) {
        for (qint32 x = 0; x < W; ++x) {
            const qint32 kind = qint32(random() % 4);
            grid.set(x, y,
                     kind == 0   ? qint32(random() % 16777216)
                     : kind == 1 ? qint32(random() % 1678) * 10000 + 5000
                     : kind == 2 ? -qint32(random() % 100000)
                                 : test::kWhite);
        }
    }
    const auto plainSum = [&](qint32 threshold, qint32 x0, qint32 x1, qint32 y0, qint32 y1) {
        double sum = 0.0;
        for (qint32 x = x0; x <= x1; ++x)
            for (qint32 y = y0; y <= y1; ++y)
                if (grid.at(x, y) > threshold)
                    sum = std::nearbyint(sum + grid.at(x, y) / 10000.0);
        return sum;
    };
    for (const qint32 threshold : {kThreshold, 0, -1, -2, -60000}) {
        const BrightSums rows = sumRows(grid, 0, H - 1, W - 1, threshold);
        const BrightSums columns = sumColumns(grid, 2, H - 1, W - 1, threshold);
        EXPECT_EQ(rows.firstOverflow, -1);
        EXPECT_EQ(columns.firstOverflow, -1);
        for (qint32 y = 0; y < H; ++y)
            EXPECT_EQ(rows.sums[std::size_t(y)], plainSum(threshold, 0, W - 1, y, y)) << y;
        for (qint32 x = 0; x < W; ++x)
            EXPECT_EQ(columns.sums[std::size_t(x)], plainSum(threshold, x, x, 2, H - 1)) << x;
    }
}

// The rows first..last, appended to rows.
Rows& run(Rows& rows, qint32 first, qint32 last) {
    for (qint32 y = first; y <= last; ++y)
        rows.push_back(y);
    return rows;
}

TEST(FirstPassBands, GoFromTheEndOfAWhiteRunToTheNextWhiteRow) {
    Rows rows;
    run(rows, 10, 20);
    run(rows, 100, 100); // one white row alone opens no band
    run(run(rows, 200, 210), 300, 310);
    EXPECT_EQ(firstPassBands(rows, 399), (Extents{{20, 100}, {210, 300}}));
    // The remainder below row 300 is a band once it is more than a quarter of F.
    EXPECT_EQ(firstPassBands(rows, 499), (Extents{{20, 100}, {210, 300}, {300, 499}}));
    // White rows two apart make one run.
    EXPECT_EQ(firstPassBands({10, 12, 14, 50, 52, 90, 91}, 99), (Extents{{14, 50}, {52, 90}}));
    // The last white row stands alone far below the others: its entry does not exist.
    Rows lone;
    run(lone, 10, 20).push_back(100);
    EXPECT_EQ(firstPassBands(lone, 399), (Extents{{20, 100}, {100, 399}}));
}

TEST(FirstPassBands, PagesWithoutAUsableBandAreOnePiece) {
    for (const Rows& rows : std::vector<Rows>{{0}, {5}, {3, 9, 40}, {10, 11, 12, 13}, {0, 1, 2, 3}})
        EXPECT_FALSE(firstPassBands(rows, 99).has_value()) << rows.size();
    // Missing entries read as empty: exactly two consecutive white rows, or one, give no band
    // before the bottom remainder.
    EXPECT_EQ(firstPassBands({5, 6}, 99), (Extents{{0, 99}}));
    EXPECT_EQ(firstPassBands({1}, 99), (Extents{{0, 99}}));
    EXPECT_EQ(firstPassBands({5, 6}, 0), Extents{});
}

TEST(SecondPassBands, AreContiguousFromRowZeroToTheFooter) {
    Rows rows;
    run(run(rows, 0, 9), 50, 59).push_back(99);
    EXPECT_EQ(secondPassBands(rows, 99), (Extents{{0, 50}, {50, 99}}));
    // A first-pass piece starts on a white row: that row alone still gives the whole piece.
    EXPECT_EQ(secondPassBands({0, 99}, 99), (Extents{{0, 99}}));
    // A last white run ending just above F: the band above it is kept, down to F.
    rows.pop_back();
    run(rows, 95, 98).push_back(99);
    EXPECT_EQ(secondPassBands(rows, 99), (Extents{{0, 50}, {50, 99}}));
    // A band ending by row 3 is absorbed into the next one.
    EXPECT_EQ(secondPassBands({0, 1, 3, 4, 50, 51, 99}, 99), (Extents{{0, 50}, {50, 99}}));
}

TEST(Blocks, RunBetweenGuttersWithRemaindersAtTheEdges) {
    // Band (0, 30) of a 300 x 40 page with the given white columns; column R holds columnR.
    const auto blocks = [](const std::vector<std::pair<qint32, qint32>>& runs, qint32 columnR) {
        TestPage page(300, 40);
        for (const auto& [first, last] : runs)
            page.paint(first, last, 0, 30);
        page.grid.set(300, 10, columnR);
        return findBlocks(page.grid, {0, 30}, 300, kThreshold, kLevel, {});
    };
    // Margins and two gutters; the left remainder (0, 9) comes last.
    EXPECT_EQ(blocks({{0, 9}, {100, 109}, {200, 209}, {290, 299}}, 0),
              (Extents{{9, 100}, {109, 200}, {209, 290}, {0, 9}}));
    // No white column, or only the left margin: one block as wide as the page.
    EXPECT_EQ(blocks({}, 0), (Extents{{0, 300}}));
    EXPECT_EQ(blocks({{0, 9}}, 0), (Extents{{0, 300}}));
    EXPECT_EQ(blocks({{100, 109}}, 0), (Extents{{0, 100}, {100, 101}, {101, 300}, {0, 0}}));
    // Column R is scanned like the others: white there, it closes a block.
    EXPECT_EQ(blocks({{0, 9}}, 2000000000), (Extents{{9, 300}, {0, 9}}));
}

TEST(Blocks, SizeRuleIsStrictAndRefusesEmptyRectangles) {
    EXPECT_FALSE(largeEnough(20, 100, 300, 400, 15)); // 300 / 20 = 15
    EXPECT_TRUE(largeEnough(21, 100, 300, 400, 15));
    EXPECT_FALSE(largeEnough(100, 20, 300, 300, 15));
    EXPECT_TRUE(largeEnough(11, 11, 300, 300, 30));
    EXPECT_FALSE(largeEnough(0, 100, 300, 400, 15) || largeEnough(21, 0, 300, 400, 15));
}

TEST(Blocks, ColumnFailuresAreTheProgramsErrors) {
    TestPage page(10, 10);
    const auto failure = [&](Extent band, qint32 R) {
        return errorNumberOf([&] { findBlocks(page.grid, band, R, kThreshold, kLevel, {}); });
    };
    EXPECT_EQ(failure({4, 4}, 10), kErrOverflow); // 0 / 0
    page.paint(0, 0, 4, 4);
    EXPECT_EQ(failure({4, 4}, 10), kErrDivisionByZero); // a white pixel over 0 rows
    EXPECT_EQ(failure({0, 5}, 11), kErrSubscript);
    EXPECT_EQ(failure({5, 11}, 10), kErrSubscript);
}

} // namespace
} // namespace vantola
