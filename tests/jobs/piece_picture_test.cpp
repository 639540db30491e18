// The picture of a piece copied from the page grid: the cells of its rectangle that lie in the
// grid, every other pixel white, for blocks and bands at the grid's edges and of odd widths, on
// the scalar and the vector paths.
#include "cutting/piece_picture.h"
#include "image/vector_paths.h"
#include "support/djpeg.h"

#include <gtest/gtest.h>

namespace vantola {
namespace {

TEST(PiecePicture, TakesTheGridCellsOfItsRectangleAndWhiteElsewhere) {
    // A 29 x 6 page: its grid has a column and a row more, as the cutter's has.
    PageGrid grid(29, 6);
    for (qint32 y = 0; y < grid.rowCount(); ++y)
        for (qint32 x = 0; x < grid.columnCount(); ++x)
            grid.set(x, y, qint32(x * 25 + 256 * (y * 40 + 1) + 65536 * (x * 7 ^ y * 13)));
    struct Case {
        PieceKind kind;
        qint32 left, right, top, bottom, W;
    };
    const Case cases[] = {
        {PieceKind::Block, 1, 28, 0, 6, 29},     // 27 columns: whole vectors and a tail
        {PieceKind::Block, 0, 1, 2, 3, 29},      // one pixel
        {PieceKind::Block, 4, 40, 1, 5, 29},     // past the grid's last column: white there
        {PieceKind::WholeBand, 0, 4, 1, 4, 29},  // a band as wide as the page, cells to column 4
        {PieceKind::WholeBand, 0, 29, 0, 7, 32}, // a page wider than the grid
    };
    const bool vectorPaths = useVectorPaths();
    for (const auto& [c, vector] : {std::pair{cases[0], false},
                                    {cases[0], true},
                                    {cases[1], true},
                                    {cases[2], false},
                                    {cases[2], true},
                                    {cases[3], true},
                                    {cases[4], false},
                                    {cases[4], true}}) {
        SCOPED_TRACE(testing::Message() << c.left << ".." << c.right << " x " << c.top << ".."
                                        << c.bottom << (vector ? " vector" : " scalar"));
        chooseVectorPaths(vector);
        const QImage piece =
            piecePicture(grid, QImage(), {c.kind, c.left, c.right, c.top, c.bottom}, c.W);
        const qint32 width = c.kind == PieceKind::Block ? c.right - c.left : c.W;
        ASSERT_EQ(QSize(width, c.bottom - c.top), piece.size());
        for (qint32 y = 0; y < piece.height(); ++y)
            for (qint32 x = 0; x < width; ++x) {
                QRgb expected = qRgb(255, 255, 255);
                if (c.left + x <= c.right && c.left + x < grid.columnCount()) {
                    const quint32 cell = quint32(grid.at(c.left + x, c.top + y));
                    expected = qRgb(int(cell & 0xFF), int((cell >> 8) & 0xFF), int(cell >> 16));
                }
                ASSERT_EQ(expected, piece.pixel(x, y)) << x << ", " << y;
            }
    }
    chooseVectorPaths(vectorPaths);
    EXPECT_EQ(kErrSubscript, test::errorNumber([&] {
                  piecePicture(grid, QImage(), {PieceKind::Block, 0, 2, 5, 8}, 29);
              }));
}

} // namespace
} // namespace vantola
