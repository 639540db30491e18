#pragma once

#include "cutting/page_grid.h"

namespace vantola {

// A colour unpacked from a grid cell.
struct PageColour {
    int r = 0;
    int g = 0;
    int b = 0;
};

inline PageColour unpackCell(qint32 cell) {
    return {cell & 0xFF, (cell >> 8) & 0xFF, (cell >> 16) & 0xFF};
}

// The colour of the paper between panels in columns 0..columns - 1 of rows firstRow..lastRow:
// white, black, or any colour. It is the colour of the rows and columns that one colour fills
// from end to end (margins, gutters that cross the page, even between panels that bleed); a page
// without any is taken by the most common colour along its edge.
PageColour pageBackground(const PageGrid& grid, qint32 columns, qint32 firstRow, qint32 lastRow);

} // namespace vantola
