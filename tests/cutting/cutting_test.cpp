// The cutting core on black page grids with white rows, gutters and margins painted in: scans,
// bands, blocks, the grid, whole-page cut decisions and the record's piece path.

#include "cutting/band_finder.h"
#include "cutting/block_finder.h"
#include "cutting/bright_sums.h"
#include "cutting/cut_decisions.h"
#include "cutting/cut_record.h"
#include "cutting/grid_fill.h"
#include "cutting/grid_rotation.h"
#include "cutting/grid_vector_kernels.h"
#include "image/vector_paths.h"
#include "settings/cls_initreg.h"
#include "support/djpeg.h"
#include "support/qstring_printer.h"
#include "support/temp_folder.h"

#include <QImage>
#include <algorithm>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <tuple>

namespace vantola {
namespace {

using test::errorNumber;
using Extents = std::vector<Extent>;
using Rows = std::vector<qint32>;
using Pieces = std::vector<CutPiece>;

inline constexpr qint32 kWhite = 16777215;
inline constexpr qint32 kLevel = 1450;
inline constexpr qint32 kThreshold = kLevel * 10000;

class TestPage {
public:
    TestPage(qint32 width, qint32 height) : W(width), H(height), grid(width, height) {}

    // Columns x0..x1 of rows y0..y1 set to a colour, kept inside the page: column W and row H
    // of the grid stay 0, as the page cutter leaves them.
    TestPage& paint(qint32 x0, qint32 x1, qint32 y0, qint32 y1, qint32 colour = kWhite) {
        for (qint32 y = std::max(y0, 0); y <= std::min(y1, H - 1); ++y)
            for (qint32 x = std::max(x0, 0); x <= std::min(x1, W - 1); ++x)
                grid.set(x, y, colour);
        return *this;
    }
    TestPage& whiteRows(qint32 y0, qint32 y1) { return paint(0, W - 1, y0, y1); }

    struct Options {
        qint16 iPasse = 1;
        Rotation rotation = Rotation::None;
        qint32 header = 0;
        qint32 footer = -1; // -1: the last row, H - 1
        qint32 level = kLevel;
        CutCallbacks callbacks = {};
    };
    CutDecisions decide(const Options& o) {
        lLignePied = o.footer < 0 ? H - 1 : o.footer;
        return decideCuts(grid,
                          {W, H, o.header, W - 1, o.level * 10000, o.level, o.iPasse, o.rotation},
                          lLignePied, o.callbacks);
    }
    CutDecisions decide(qint16 iPasse = 1) { return decide(Options{.iPasse = iPasse}); }

    const qint32 W;
    const qint32 H;
    PageGrid grid;
    qint32 lLignePied = 0;
};

inline CutPiece block(qint32 left, qint32 right, qint32 top, qint32 bottom) {
    return {PieceKind::Block, left, right, top, bottom};
}
inline CutPiece wholeBand(qint32 right, qint32 top, qint32 bottom) {
    return {PieceKind::WholeBand, 0, right, top, bottom};
}

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

TEST(Scans, ArithmeticFailuresAreTheProgramsErrors) {
    // Rows: 10001 pixels of 214748.3647 each pass 2^31 - 1.
    TestPage wide(10001, 2);
    wide.paint(0, 10000, 1, 1, std::numeric_limits<qint32>::max());
    const auto rowFailure = [&](qint32 y1, qint32 lastColumn) {
        return errorNumber([&] { findWhiteRows(wide.grid, 0, y1, lastColumn, 0, kLevel, {}); });
    };
    EXPECT_EQ(rowFailure(1, 10000), kErrOverflow);
    EXPECT_EQ(rowFailure(0, -1), kErrOverflow); // no column at all: 0 / 0, reported as an overflow
    EXPECT_EQ(rowFailure(3, 10), kErrSubscript);
    EXPECT_EQ(rowFailure(0, 10002), kErrSubscript);
    // Columns of a band.
    TestPage page(10, 10);
    const auto columnFailure = [&](Extent band, qint32 R) {
        return errorNumber([&] { findBlocks(page.grid, band, R, kThreshold, kLevel, {}); });
    };
    EXPECT_EQ(columnFailure({4, 4}, 10), kErrOverflow); // 0 / 0
    page.paint(0, 0, 4, 4);
    EXPECT_EQ(columnFailure({4, 4}, 10), kErrDivisionByZero); // a white pixel over 0 rows
    EXPECT_EQ(columnFailure({0, 5}, 11), kErrSubscript);
    EXPECT_EQ(columnFailure({5, 11}, 10), kErrSubscript);
}

// The sums against the plain definition: pixel / 10000 added in double precision and rounded
// with std::nearbyint after every addition, over random colours, exact halves and negatives, on
// the scalar and on the vector paths.
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
    const bool vectorPaths = useVectorPaths();
    for (const auto& [threshold, vector] : {std::pair{kThreshold, false},
                                            {kThreshold, true},
                                            {0, false},
                                            {0, true},
                                            {-1, true},
                                            {-2, false},
                                            {-60000, false}}) {
        SCOPED_TRACE(testing::Message() << threshold << (vector ? " vector" : " scalar"));
        if (chooseVectorPaths(vector) != vector)
            continue; // no AVX2 here
        const BrightSums rows = sumRows(grid, 0, H - 1, W - 1, threshold);
        const BrightSums columns = sumColumns(grid, 2, H - 1, W - 1, threshold);
        EXPECT_EQ(rows.firstOverflow, -1);
        EXPECT_EQ(columns.firstOverflow, -1);
        for (qint32 y = 0; y < H; ++y)
            EXPECT_EQ(rows.sums[std::size_t(y)], plainSum(threshold, 0, W - 1, y, y)) << y;
        for (qint32 x = 0; x < W; ++x)
            EXPECT_EQ(columns.sums[std::size_t(x)], plainSum(threshold, x, x, 2, H - 1)) << x;
    }
    chooseVectorPaths(vectorPaths);
}

// The vector sums divide without a division: the same quotient for every value a cell can hold.
TEST(BrightSums, VectorQuotientIsTheDivisionForEveryPackedColour) {
    if (!chooseVectorPaths(useVectorPaths()))
        GTEST_SKIP() << "no AVX2 and FMA here";
    qint64 wrong = 0;
    for (qint32 pixel = -1; pixel <= 0xFFFFFF; ++pixel)
        wrong += tenThousandthAvx2(pixel) != pixel / 10000.0;
    EXPECT_EQ(wrong, 0);
}

// The white rows of runs first..last.
Rows runs(std::initializer_list<std::pair<qint32, qint32>> firstAndLast) {
    Rows rows;
    for (const auto& [first, last] : firstAndLast)
        for (qint32 y = first; y <= last; ++y)
            rows.push_back(y);
    return rows;
}

TEST(Bands, FirstPassGoFromTheEndOfAWhiteRunToTheNextWhiteRow) {
    const Rows four = runs({{10, 20}, {100, 100}, {200, 210}, {300, 310}});
    EXPECT_EQ(firstPassBands(four, 399), (Extents{{20, 100}, {210, 300}})); // row 100 opens none
    // The remainder below row 300 is a band once it is more than a quarter of F.
    EXPECT_EQ(firstPassBands(four, 499), (Extents{{20, 100}, {210, 300}, {300, 499}}));
    // White rows two apart make one run.
    EXPECT_EQ(firstPassBands({10, 12, 14, 50, 52, 90, 91}, 99), (Extents{{14, 50}, {52, 90}}));
    // The last white row stands alone far below the others: its entry does not exist.
    EXPECT_EQ(firstPassBands(runs({{10, 20}, {100, 100}}), 399), (Extents{{20, 100}, {100, 399}}));
    // Missing entries read as empty: exactly two consecutive white rows, or one, give no band
    // before the bottom remainder.
    EXPECT_EQ(firstPassBands({5, 6}, 99), (Extents{{0, 99}}));
    EXPECT_EQ(firstPassBands({1}, 99), (Extents{{0, 99}}));
    EXPECT_EQ(firstPassBands({5, 6}, 0), Extents{});
    // Pages without a usable band are one piece.
    for (const Rows& rows : std::vector<Rows>{{0}, {5}, {3, 9, 40}, {10, 11, 12, 13}, {0, 1, 2, 3}})
        EXPECT_FALSE(firstPassBands(rows, 99).has_value()) << rows.size();
}

TEST(Bands, SecondPassAreContiguousFromRowZeroToTheFooter) {
    EXPECT_EQ(secondPassBands(runs({{0, 9}, {50, 59}, {99, 99}}), 99),
              (Extents{{0, 50}, {50, 99}}));
    // A first-pass piece starts on a white row: that row alone still gives the whole piece.
    EXPECT_EQ(secondPassBands({0, 99}, 99), (Extents{{0, 99}}));
    // A last white run ending just above F: the band above it is kept, down to F.
    EXPECT_EQ(secondPassBands(runs({{0, 9}, {50, 59}, {95, 99}}), 99),
              (Extents{{0, 50}, {50, 99}}));
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

TEST(PageGrid, HasOneColumnAndOneRowMoreThanThePageAndRefusesImpossibleSizes) {
    PageGrid grid(4, 2);
    EXPECT_EQ(grid.columnCount(), 5);
    EXPECT_EQ(grid.rowCount(), 3);
    grid.set(4, 2, 7);
    EXPECT_EQ(errorNumber([&] { grid.at(5, 0); }), kErrSubscript);
    EXPECT_EQ(errorNumber([&] { grid.at(0, -1); }), kErrSubscript);

    EXPECT_EQ(grid.at(4, 2), 7);
    grid.allocate(4, 2); // same size: the memory is kept and cleared
    EXPECT_EQ(grid.at(4, 2), 0);

    const qint32 most = std::numeric_limits<qint32>::max();
    EXPECT_EQ(errorNumber([&] { grid.allocate(most, 0); }), kErrOverflow);
    EXPECT_EQ(errorNumber([&] { grid.allocate(most - 1, most - 1); }), kErrOverflow);
    EXPECT_EQ(errorNumber([&] { grid.allocate(-1, 3); }), kErrSubscript);
    EXPECT_EQ(grid.columnCount(), 0);
    // Turning reads the whole page: a grid smaller than the page is refused.
    PageGrid small(2, 2);
    EXPECT_EQ(errorNumber([&] { rotateGrid(small, 3, 2, Rotation::Clockwise); }), kErrSubscript);
}

TEST(GridFill, PacksColoursOfEveryFormatIntoTheRowsAskedOnly) {
    QImage colour(3, 2, QImage::Format_RGB32);
    colour.fill(Qt::white);
    colour.setPixel(0, 0, qRgb(1, 2, 3));
    colour.setPixel(2, 1, qRgb(255, 0, 128));
    QImage grey(3, 2, QImage::Format_Grayscale8);
    grey.fill(0);
    grey.setPixel(1, 1, qRgb(200, 200, 200));

    for (const QImage& page : {colour, grey, colour.convertToFormat(QImage::Format_RGB888),
                               grey.convertToFormat(QImage::Format_Indexed8)}) {
        PageGrid grid(3, 2);
        grid.set(3, 1, 99); // column W is never read
        std::vector<qint32> rows;
        fillGridRows(page, grid, 0, 2, [&](qint32 y) { rows.push_back(y); });
        EXPECT_EQ(rows, (std::vector<qint32>{0, 1, 2}));
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x)
                EXPECT_EQ(grid.at(x, y), qRed(page.pixel(x, y)) + 256 * qGreen(page.pixel(x, y)) +
                                             65536 * qBlue(page.pixel(x, y)))
                    << x << "," << y << " format " << page.format();
        EXPECT_EQ(grid.at(3, 1), 99);
        EXPECT_EQ(grid.at(0, 2), 0); // row H lies below the page
    }
    // Only the rows asked are read; rows outside the grid fail.
    QImage page(2, 4, QImage::Format_RGB32);
    page.fill(Qt::white);
    PageGrid grid(2, 4);
    fillGridRows(page, grid, 1, 2);
    EXPECT_EQ(std::vector<qint32>({grid.at(0, 0), grid.at(1, 1), grid.at(1, 2), grid.at(0, 3)}),
              std::vector<qint32>({0, 16777215, 16777215, 0}));

    int calls = 0;
    EXPECT_EQ(errorNumber([&] { fillGridRows(page, grid, 3, 5, [&](qint32) { ++calls; }); }),
              kErrSubscript);
    EXPECT_EQ(calls, 3); // row 3 is read, row 4 lies below the page, row 5 is not in the grid
    PageGrid narrow(0, 4);
    EXPECT_EQ(errorNumber([&] { fillGridRows(page, narrow, 0, 0); }), kErrSubscript);
}

// A 300 x 400 page: white margins and two gutters between three tiers; the first tier holds two
// panels, the second one, the third only strips 11 columns wide, too narrow to be pieces.
TestPage comicPage() {
    TestPage page(300, 400);
    page.whiteRows(0, 19).whiteRows(120, 129).whiteRows(250, 259).whiteRows(380, 399);
    page.paint(0, 19, 0, 399).paint(280, 299, 0, 399).paint(140, 159, 20, 119);
    for (qint32 x = 30; x <= 270; x += 20)
        page.paint(x, x + 9, 260, 379);
    return page;
}

// Both passes over the whole page, then first passes below a header and above a footer. Below the
// footer nothing is white; the remainder from row 250 is tall enough for a band.
TEST(CutDecisions, ComicPageInBothPassesAndBetweenHeaderAndFooter) {
    const std::tuple<TestPage::Options, Pieces, Rows> cases[] = {
        {{},
         {block(19, 140, 19, 120), block(159, 280, 19, 120), block(19, 280, 129, 250),
          wholeBand(300, 259, 380)},
         {75, 88, 100}},
        {{.iPasse = 2},
         {block(19, 140, 0, 120), block(159, 280, 0, 120), block(19, 280, 120, 250),
          wholeBand(300, 250, 380), wholeBand(300, 380, 399)},
         {75, 83, 92, 100}},
        {{.header = 125}, {block(19, 280, 129, 250), wholeBand(300, 259, 380)}, {75, 100}},
        {{.footer = 350},
         {block(19, 140, 19, 120), block(159, 280, 19, 120), block(19, 280, 129, 250),
          wholeBand(300, 250, 350)},
         {75, 88, 100}},
    };
    for (auto [options, pieces, progress] : cases) {
        SCOPED_TRACE(testing::Message() << "pass " << options.iPasse << ", header "
                                        << options.header << ", footer " << options.footer);
        TestPage page = comicPage();
        Rows reported;
        std::vector<std::tuple<qint32, qint32, qint32, double>> lines;
        options.callbacks = {[&](qint32 value) { reported.push_back(value); }, [] {},
                             [&](qint32 t, qint32 b, qint32 x, double quotient) {
                                 lines.emplace_back(t, b, x, quotient);
                             }};
        const CutDecisions decisions = page.decide(options);
        EXPECT_FALSE(decisions.failure);
        EXPECT_EQ(decisions.R, 300);
        EXPECT_EQ(decisions.pieces, pieces);
        EXPECT_EQ(reported, progress);
        EXPECT_EQ(page.lLignePied, options.footer < 0 ? 399 : options.footer);
        if (options.iPasse == 1 && options.header == 0 && options.footer < 0) {
            // Column 0 of band (19, 120): 102 white pixels of 1677.7215, each addition rounded up.
            ASSERT_FALSE(lines.empty());
            EXPECT_EQ(lines.front(), std::make_tuple(19, 120, 0, 102 * 1678 / 101.0));
            EXPECT_EQ(lines.back(), std::make_tuple(259, 380, 300, 0.0));
        }
    }
}

TEST(CutDecisions, PagesWithoutBandsAreOnePiece) {
    TestPage page(50, 60);
    const Pieces wholePage = {{PieceKind::WholePage, 0, 50, 0, 60}};
    EXPECT_EQ(page.decide(1).pieces, wholePage);
    EXPECT_EQ(page.decide(2).pieces, wholePage);
    // A top row alone makes no band in the first pass; in the second it starts the only band.
    page.whiteRows(0, 0);
    EXPECT_EQ(page.decide(1).pieces, wholePage);
    EXPECT_EQ(page.decide(2).pieces, Pieces{block(0, 50, 0, 59)});
}

TEST(CutDecisions, ABandOfNarrowBlocksIsKeptWholeOnlyWhenTallerThanTenRows) {
    for (const qint32 secondWhiteRun : {11, 12}) {
        TestPage page(300, 100);
        page.paint(0, 19, 0, 99).paint(280, 299, 0, 99);
        for (qint32 x = 30; x <= 270; x += 20)
            page.paint(x, x + 9, 0, 99);
        page.whiteRows(0, 1).whiteRows(secondWhiteRun, secondWhiteRun + 1);
        EXPECT_EQ(page.decide().pieces,
                  secondWhiteRun == 11 ? Pieces{wholeBand(300, 11, 99)}
                                       : (Pieces{wholeBand(300, 1, 12), wholeBand(300, 12, 99)}));
    }
}

// A turned page must be cut exactly like the same page drawn upright, and the grid the pieces
// are copied from must be the upright one.
TEST(CutDecisions, RotationTurnsTheGridBothWays) {
    TestPage upright = comicPage();
    const Pieces expected = upright.decide().pieces;
    for (const Rotation rotation : {Rotation::Anticlockwise, Rotation::Clockwise}) {
        TestPage lying(400, 300);
        for (qint32 y = 0; y <= 300; ++y)
            for (qint32 x = 0; x <= 400; ++x)
                lying.grid.set(x, y,
                               rotation == Rotation::Anticlockwise ? upright.grid.at(y, 400 - x)
                                                                   : upright.grid.at(300 - y, x));
        // The footer is replaced by the last row of the turned grid.
        EXPECT_EQ(lying.decide({.rotation = rotation, .footer = 150}).pieces, expected);
        EXPECT_EQ(lying.lLignePied, 399);
        ASSERT_EQ(lying.grid.columnCount(), 301);
        for (qint32 y = 0; y <= 400; y += 7)
            for (qint32 x = 0; x <= 300; x += 3)
                ASSERT_EQ(lying.grid.at(x, y), upright.grid.at(x, y)) << x << "," << y;
    }
}

TEST(CutDecisions, AFailureKeepsThePiecesDecidedBeforeIt) {
    // At white level 200000, cells of 2^31 - 1 (214748 each) are white. A column of band
    // (801, 10900) passes the 32-bit range after band (1, 800) has given its piece.
    const qint32 most = std::numeric_limits<qint32>::max();
    TestPage page(20, 11000);
    for (const qint32 y : {0, 1, 800, 801, 10900, 10901, 10902})
        page.paint(0, 19, y, y, most);
    page.paint(0, 1, 2, 10899, most).paint(18, 19, 2, 799, most);
    Rows progress;
    const CutDecisions decisions = page.decide(
        {.level = 200000, .callbacks = {[&](qint32 value) { progress.push_back(value); }, {}, {}}});
    EXPECT_EQ(decisions.pieces, Pieces{block(1, 18, 1, 800)});
    ASSERT_TRUE(decisions.failure);
    EXPECT_EQ(decisions.failure->number(), kErrOverflow);
    EXPECT_EQ(progress, (Rows{75, 100}));

    // A footer below the grid fails before any band.
    const CutDecisions early = TestPage(30, 40).decide({.footer = 41});
    EXPECT_TRUE(early.pieces.empty());
    ASSERT_TRUE(early.failure);
    EXPECT_EQ(early.failure->number(), kErrSubscript);
}

// Found by fuzzing: with no column to read, rows outside the grid were never checked, and a header
// of -2^31 walked two billion rows outside a grid of one row.
TEST(CutDecisions, RowsOutsideTheGridFailAtOnceWhenNoColumnIsRead) {
    PageGrid grid(0, 0);
    const CutParameters parameters{
        -1, -1, std::numeric_limits<qint32>::min(), -2, 0, 1450, 1, Rotation::None};
    qint32 lLignePied = -2;
    qint64 services = 0;
    const CutDecisions decisions =
        decideCuts(grid, parameters, lLignePied, {{}, [&services] { ++services; }, {}});
    ASSERT_TRUE(decisions.failure);
    EXPECT_EQ(decisions.failure->number(), kErrSubscript);
    EXPECT_EQ(services, 0);
    EXPECT_TRUE(decisions.pieces.empty());
}

TEST(CutRecord, TheLastThreeCharactersBecomeJpgAndAShorterPathFailsAfterSixKeys) {
    EXPECT_EQ(recordedPiecePath("/a/0001.tf"), "/a/0001jpg");
    EXPECT_EQ(recordedPiecePath("abc"), "jpg");
    EXPECT_THROW(recordedPiecePath("ab"), AppError);
    test::TempFolder temp;
    const QString record = temp.file("decoupage.ini");
    EXPECT_THROW((void)EnregistreDecoupe(1, "/p.jpg", 1, 800, 1200, 10, 15, 0, 99, "ab", record),
                 AppError);
    const auto value = [&](const char* key) {
        return Cls_InitREG().IniLire("/p.jpg", QLatin1String(key), "none", record);
    };
    EXPECT_EQ(value("HEIGHT"), "1200");
    EXPECT_EQ(value("FICHIER_1"), "none");
}

} // namespace
} // namespace vantola
