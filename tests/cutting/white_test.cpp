// Whiteness of rows and columns: the pixel threshold, the running sums rounded after every
// addition, the strict comparisons, and the failures of the arithmetic.

#include "cutting/band_finder.h"
#include "cutting/bright_sums.h"
#include "test_page.h"

#include <cmath>
#include <gtest/gtest.h>
#include <random>

namespace vantola {
namespace {

using test::kLevel;
using test::kThreshold;
using test::kWhite;

// Rows 0..H - 1 of a page whose rows have one colour each, found white at the given level.
std::vector<qint32> whiteRowsOf(const std::vector<qint32>& rowColours, qint32 width,
                                qint32 level = kLevel, qint32 threshold = kThreshold) {
    const qint32 height = qint32(rowColours.size());
    test::TestPage page(width, height);
    for (qint32 y = 0; y < height; ++y)
        page.paint(0, width - 1, y, y, rowColours[std::size_t(y)]);
    return findWhiteRows(page.grid, 0, height - 1, width - 1, threshold, level, {});
}

TEST(WhiteRows, ThresholdsAreStrictAndSumsRoundHalfToEvenAfterEveryAddition) {
    // Rows: at the threshold; 1450.0001 each (sum / width = 1450 exactly); 1450.5001 each;
    // 1450.5 each (every addition rounds down to even); 1451.5 each (rounds up to even).
    EXPECT_EQ(whiteRowsOf({kThreshold, 14500001, 14505001, 14505000, 14515000}, 7),
              (std::vector<qint32>{2, 4}));
    // Negative thresholds count negative pixels: -20000 counts -2 above -30000.
    EXPECT_EQ(whiteRowsOf({-20000, -40000}, 5, -3, -30000), (std::vector<qint32>{0, 1}));
    EXPECT_EQ(whiteRowsOf({-20000, -40000}, 5, -2, -30000), (std::vector<qint32>{1}));
}

TEST(WhiteRows, ArithmeticFailuresAreTheProgramsErrors) {
    // 10001 pixels of 214748.3647 each pass 2^31 - 1.
    test::TestPage wide(10001, 2);
    wide.paint(0, 10000, 1, 1, std::numeric_limits<qint32>::max());
    const auto failure = [&](qint32 y1, qint32 lastColumn) {
        return test::errorNumberOf(
            [&] { findWhiteRows(wide.grid, 0, y1, lastColumn, 0, kLevel, {}); });
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
    const qint32 W = 37;
    const qint32 H = 23;
    PageGrid grid(W, H);
    for (qint32 y = 0; y < H; ++y) {
        for (qint32 x = 0; x < W; ++x) {
            const qint32 kind = qint32(random() % 4);
            grid.set(x, y,
                     kind == 0   ? qint32(random() % 16777216)
                     : kind == 1 ? qint32(random() % 1678) * 10000 + 5000
                     : kind == 2 ? -qint32(random() % 100000)
                                 : kWhite);
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

} // namespace
} // namespace vantola
