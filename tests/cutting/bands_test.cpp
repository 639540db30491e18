// Bands: how the white rows cut a page across in the first pass and a piece in the second.

#include "cutting/band_finder.h"

#include <gtest/gtest.h>

namespace vantola {
namespace {

using Bands = std::vector<Extent>;
using Rows = std::vector<qint32>;

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
    EXPECT_EQ(firstPassBands(rows, 399), (Bands{{20, 100}, {210, 300}}));
    // The remainder below row 300 is a band once it is more than a quarter of F.
    EXPECT_EQ(firstPassBands(rows, 499), (Bands{{20, 100}, {210, 300}, {300, 499}}));
    // White rows two apart make one run.
    EXPECT_EQ(firstPassBands({10, 12, 14, 50, 52, 90, 91}, 99), (Bands{{14, 50}, {52, 90}}));
    // The last white row stands alone far below the others: its entry does not exist.
    Rows lone;
    run(lone, 10, 20).push_back(100);
    EXPECT_EQ(firstPassBands(lone, 399), (Bands{{20, 100}, {100, 399}}));
}

TEST(FirstPassBands, PagesWithoutAUsableBandAreOnePiece) {
    for (const Rows& rows : std::vector<Rows>{{0}, {5}, {3, 9, 40}, {10, 11, 12, 13}, {0, 1, 2, 3}})
        EXPECT_FALSE(firstPassBands(rows, 99).has_value()) << rows.size();
    // Missing entries read as empty: exactly two consecutive white rows, or one, give no band
    // before the bottom remainder.
    EXPECT_EQ(firstPassBands({5, 6}, 99), (Bands{{0, 99}}));
    EXPECT_EQ(firstPassBands({1}, 99), (Bands{{0, 99}}));
    EXPECT_EQ(firstPassBands({5, 6}, 0), Bands{});
}

TEST(SecondPassBands, AreContiguousFromRowZeroToTheFooter) {
    Rows rows;
    run(run(rows, 0, 9), 50, 59).push_back(99);
    EXPECT_EQ(secondPassBands(rows, 99), (Bands{{0, 50}, {50, 99}}));
    // A first-pass piece starts on a white row: that row alone still gives the whole piece.
    EXPECT_EQ(secondPassBands({0, 99}, 99), (Bands{{0, 99}}));
    // A last white run ending just above F: the band above it is kept, down to F.
    rows.pop_back();
    run(rows, 95, 98).push_back(99);
    EXPECT_EQ(secondPassBands(rows, 99), (Bands{{0, 50}, {50, 99}}));
    // A band ending by row 3 is absorbed into the next one.
    EXPECT_EQ(secondPassBands({0, 1, 3, 4, 50, 51, 99}, 99), (Bands{{0, 50}, {50, 99}}));
}

} // namespace
} // namespace vantola
