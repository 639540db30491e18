// The cut decisions of whole pages: bands, blocks, pieces, in both passes, with header, footer
// and rotation, the callbacks, and failures in the middle of a page.

#include "test_page.h"

#include <gtest/gtest.h>
#include <limits>
#include <tuple>

namespace vantola {
namespace {

using test::block;
using test::TestPage;
using test::wholeBand;
using Pieces = std::vector<CutPiece>;
using Values = std::vector<qint32>;

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

TEST(CutDecisions, FirstPassCutsPanelsKeepsABandOfStripsWholeAndReportsEachColumn) {
    TestPage page = comicPage();
    Values progress;
    std::vector<std::tuple<qint32, qint32, qint32, double>> lines;
    const CutDecisions decisions =
        page.decide({.callbacks = {[&](qint32 value) { progress.push_back(value); }, [] {},
                                   [&](qint32 t, qint32 b, qint32 x, double quotient) {
                                       lines.emplace_back(t, b, x, quotient);
                                   }}});
    EXPECT_FALSE(decisions.failure);
    EXPECT_EQ(decisions.R, 300);
    EXPECT_EQ(decisions.pieces, (Pieces{block(19, 140, 19, 120), block(159, 280, 19, 120),
                                        block(19, 280, 129, 250), wholeBand(300, 259, 380)}));
    EXPECT_EQ(progress, (Values{75, 88, 100}));
    ASSERT_FALSE(lines.empty());
    // Column 0 of band (19, 120): 102 white pixels of 1677.7215, each addition rounded up.
    EXPECT_EQ(lines.front(), std::make_tuple(19, 120, 0, 102 * 1678 / 101.0));
    EXPECT_EQ(lines.back(), std::make_tuple(259, 380, 300, 0.0));
}

TEST(CutDecisions, SecondPassBandsRunFromRowZeroToTheFooter) {
    TestPage page = comicPage();
    Values progress;
    EXPECT_EQ(page.decide({.iPasse = 2, .callbacks = test::recordProgress(progress)}).pieces,
              (Pieces{block(19, 140, 0, 120), block(159, 280, 0, 120), block(19, 280, 120, 250),
                      wholeBand(300, 250, 380), wholeBand(300, 380, 399)}));
    EXPECT_EQ(progress, (Values{75, 83, 92, 100}));
}

TEST(CutDecisions, HeaderAndFooterBoundTheRowsScanned) {
    TestPage page = comicPage();
    EXPECT_EQ(page.decide({.header = 125}).pieces,
              (Pieces{block(19, 280, 129, 250), wholeBand(300, 259, 380)}));
    // Below the footer nothing is white; the remainder from row 250 is tall enough for a band.
    EXPECT_EQ(page.decide({.footer = 350}).pieces,
              (Pieces{block(19, 140, 19, 120), block(159, 280, 19, 120), block(19, 280, 129, 250),
                      wholeBand(300, 250, 350)}));
    EXPECT_EQ(page.lLignePied, 350);
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
    Values progress;
    const CutDecisions decisions =
        page.decide({.level = 200000, .callbacks = test::recordProgress(progress)});
    EXPECT_EQ(decisions.pieces, Pieces{block(1, 18, 1, 800)});
    ASSERT_TRUE(decisions.failure);
    EXPECT_EQ(decisions.failure->number(), kErrOverflow);
    EXPECT_EQ(progress, (Values{75, 100}));

    // A footer below the grid fails before any band.
    const CutDecisions early = TestPage(30, 40).decide({.footer = 41});
    EXPECT_TRUE(early.pieces.empty());
    ASSERT_TRUE(early.failure);
    EXPECT_EQ(early.failure->number(), kErrSubscript);
}

// Found by fuzzing: with no column to read (a last column below -1), the rows from the header to
// the footer were never checked against the grid, and a header of -2^31 walked two billion rows
// outside a grid of one row. Rows outside the grid are the subscript error, whatever the columns.
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

} // namespace
} // namespace vantola
