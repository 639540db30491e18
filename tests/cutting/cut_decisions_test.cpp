// The page grid, filling it from decoded pictures, the cut decisions of whole pages (bands,
// blocks, pieces, in both passes, with header, footer and rotation, the callbacks, failures in the
// middle of a page) and the piece path of the cut record. The record's keys, their order and
// section are checked through whole jobs by the job tests.

#include "cutting/cut_record.h"
#include "cutting/grid_fill.h"
#include "cutting/grid_rotation.h"
#include "settings/cls_initreg.h"
#include "support/qstring_printer.h"
#include "support/temp_folder.h"
#include "test_page.h"

#include <QImage>
#include <gtest/gtest.h>
#include <limits>
#include <tuple>

namespace vantola {
namespace {

using test::block;
using test::errorNumberOf;
using test::TestPage;
using test::wholeBand;
using Pieces = std::vector<CutPiece>;
using Values = std::vector<qint32>;

TEST(PageGrid, HasOneColumnAndOneRowMoreThanThePageAndRefusesImpossibleSizes) {
    PageGrid grid(4, 2);
    EXPECT_EQ(grid.columnCount(), 5);
    EXPECT_EQ(grid.rowCount(), 3);
    grid.set(4, 2, 7);
    EXPECT_EQ(errorNumberOf([&] { grid.at(5, 0); }), kErrSubscript);
    EXPECT_EQ(errorNumberOf([&] { grid.at(0, -1); }), kErrSubscript);

    EXPECT_EQ(grid.at(4, 2), 7);
    grid.allocate(4, 2); // same size: the memory is kept and cleared
    EXPECT_EQ(grid.at(4, 2), 0);

    const qint32 most = std::numeric_limits<qint32>::max();
    EXPECT_EQ(errorNumberOf([&] { grid.allocate(most, 0); }), kErrOverflow);
    EXPECT_EQ(errorNumberOf([&] { grid.allocate(most - 1, most - 1); }), kErrOverflow);
    EXPECT_EQ(errorNumberOf([&] { grid.allocate(-1, 3); }), kErrSubscript);
    EXPECT_EQ(grid.columnCount(), 0);
    // Turning reads the whole page: a grid smaller than the page is refused.
    PageGrid small(2, 2);
    EXPECT_EQ(errorNumberOf([&] { rotateGrid(small, 3, 2, Rotation::Clockwise); }), kErrSubscript);
}

TEST(GridFill, PacksColoursOfEveryFormatAndLeavesTheRestAlone) {
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
}

TEST(GridFill, ReadsOnlyTheRowsAskedAndFailsOnRowsOutsideTheGrid) {
    QImage page(2, 4, QImage::Format_RGB32);
    page.fill(Qt::white);
    PageGrid grid(2, 4);
    fillGridRows(page, grid, 1, 2);
    EXPECT_EQ(std::vector<qint32>({grid.at(0, 0), grid.at(1, 1), grid.at(1, 2), grid.at(0, 3)}),
              std::vector<qint32>({0, 16777215, 16777215, 0}));

    int calls = 0;
    EXPECT_EQ(errorNumberOf([&] { fillGridRows(page, grid, 3, 5, [&](qint32) { ++calls; }); }),
              kErrSubscript);
    EXPECT_EQ(calls, 3); // row 3 is read, row 4 lies below the page, row 5 is not in the grid
    PageGrid narrow(0, 4);
    EXPECT_EQ(errorNumberOf([&] { fillGridRows(page, narrow, 0, 0); }), kErrSubscript);
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
    const std::tuple<TestPage::Options, Pieces, Values> cases[] = {
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
        Values reported;
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
    Values progress;
    const CutDecisions decisions = page.decide(
        {.level = 200000, .callbacks = {[&](qint32 value) { progress.push_back(value); }, {}, {}}});
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

TEST(CutRecord, TheLastThreeCharactersBecomeJpgAndAShorterPathFailsAfterSixKeys) {
    EXPECT_EQ(recordedPiecePath("/a/0001.tf"), "/a/0001jpg");
    EXPECT_EQ(recordedPiecePath("abc"), "jpg");
    EXPECT_THROW(recordedPiecePath("ab"), AppError);
    test::TempFolder temp;
    const QString record = temp.file(QStringLiteral("decoupage.ini"));
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
