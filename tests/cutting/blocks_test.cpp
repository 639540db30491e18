// Blocks: how the white columns cut a band, and the size rule.

#include "cutting/block_finder.h"
#include "test_page.h"

#include <gtest/gtest.h>

namespace vantola {
namespace {

using Blocks = std::vector<Extent>;

// The blocks of band (0, 30) of a 300 x 40 page whose white columns (over the band's rows) are
// the given runs; column R holds whatever the grid holds there.
Blocks blocksWithWhiteColumns(const std::vector<std::pair<qint32, qint32>>& runs,
                              qint32 columnR = 0) {
    test::TestPage page(300, 40);
    for (const auto& [first, last] : runs)
        page.paint(first, last, 0, 30);
    page.grid.set(300, 10, columnR);
    return findBlocks(page.grid, {0, 30}, 300, test::kThreshold, test::kLevel, {});
}

TEST(Blocks, RunBetweenGuttersWithRemaindersAtTheEdges) {
    // Margins and two gutters; the left remainder (0, 9) comes last.
    EXPECT_EQ(blocksWithWhiteColumns({{0, 9}, {100, 109}, {200, 209}, {290, 299}}),
              (Blocks{{9, 100}, {109, 200}, {209, 290}, {0, 9}}));
    // No white column, or only the left margin: one block as wide as the page.
    EXPECT_EQ(blocksWithWhiteColumns({}), (Blocks{{0, 300}}));
    EXPECT_EQ(blocksWithWhiteColumns({{0, 9}}), (Blocks{{0, 300}}));
    EXPECT_EQ(blocksWithWhiteColumns({{100, 109}}),
              (Blocks{{0, 100}, {100, 101}, {101, 300}, {0, 0}}));
    // Column R is scanned like the others: white there, it closes a block.
    EXPECT_EQ(blocksWithWhiteColumns({{0, 9}}, 2000000000), (Blocks{{9, 300}, {0, 9}}));
}

TEST(Blocks, SizeRuleIsStrictAndRefusesEmptyRectangles) {
    EXPECT_FALSE(largeEnough(20, 100, 300, 400, 15)); // 300 / 20 = 15
    EXPECT_TRUE(largeEnough(21, 100, 300, 400, 15));
    EXPECT_FALSE(largeEnough(100, 20, 300, 300, 15));
    EXPECT_TRUE(largeEnough(11, 11, 300, 300, 30));
    EXPECT_FALSE(largeEnough(0, 100, 300, 400, 15) || largeEnough(21, 0, 300, 400, 15));
}

TEST(Blocks, ColumnFailuresAreTheProgramsErrors) {
    test::TestPage page(10, 10);
    const auto failure = [&](Extent band, qint32 R) {
        return test::errorNumberOf(
            [&] { findBlocks(page.grid, band, R, test::kThreshold, test::kLevel, {}); });
    };
    EXPECT_EQ(failure({4, 4}, 10), kErrOverflow); // 0 / 0
    page.paint(0, 0, 4, 4);
    EXPECT_EQ(failure({4, 4}, 10), kErrDivisionByZero); // a white pixel over 0 rows
    EXPECT_EQ(failure({0, 5}, 11), kErrSubscript);
    EXPECT_EQ(failure({5, 11}, 10), kErrSubscript);
}

} // namespace
} // namespace vantola
