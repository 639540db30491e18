#pragma once

#include "cutting/page_grid.h"

#include <vector>

namespace vantola {

// Running sums of the bright pixels of rows or of columns of the grid (see addBrightPixel): the
// material of the white-row and white-column tests.
struct BrightSums {
    std::vector<double> sums; // one exact integer per row or column, in order
    // Index in sums of the first row or column whose running sum left the 32-bit range on the
    // way (the overflow error of that row or column), -1 when none did. Sums from that index on
    // are not meaningful.
    qint64 firstOverflow = -1;
};

// Rows firstRow..lastRow, each summed over columns 0..lastColumn from left to right.
BrightSums sumRows(const PageGrid& tabPixels, qint32 firstRow, qint32 lastRow, qint32 lastColumn,
                   qint32 lSeuilPixel);

// Columns 0..lastColumn, each summed over rows top..bottom from top to bottom. The sums are
// built row by row into one array (the additions of each column keep their order).
BrightSums sumColumns(const PageGrid& tabPixels, qint32 top, qint32 bottom, qint32 lastColumn,
                      qint32 lSeuilPixel);

} // namespace vantola
