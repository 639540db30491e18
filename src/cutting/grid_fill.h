#pragma once

#include "cutting/page_grid.h"

#include <QImage>
#include <functional>

namespace vantola {

// Called with the row index before each row is read: the page cutter reports its progress there,
// holds while the pause switch is on, and lets the user interface breathe.
using GridRowCallback = std::function<void(qint32 y)>;

// Reads rows firstRow..lastRow of the decoded page into columns 0..W - 1 of the grid (W the page
// width), as packed colours R + 256·G + 65536·B. Grey and 32-bit pictures (what the JPEG decoder
// gives) are read straight from their scanlines; any other format is converted once.
//
// The callback runs for every row of the range. A row of the range that lies in the grid but
// below the page is not read (its cells keep their value); a row outside the grid, or a grid
// narrower than the page, raises the subscript error when that row is reached.
void fillGridRows(const QImage& page, PageGrid& tabPixels, qint32 firstRow, qint32 lastRow,
                  const GridRowCallback& beforeRow = {});

} // namespace vantola
