// The page grid and filling it from decoded pictures (turning it is checked with the cuts).

#include "cutting/grid_fill.h"
#include "cutting/grid_rotation.h"
#include "cutting/page_grid.h"
#include "test_page.h"

#include <QImage>
#include <gtest/gtest.h>
#include <limits>
#include <vector>

namespace vantola {
namespace {

using test::errorNumberOf;

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

} // namespace
} // namespace vantola
