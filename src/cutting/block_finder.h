#pragma once

// Cutting a band along its white columns into blocks, and the size rule that makes a block a
// piece.

#include "cutting/cut_decisions.h"
#include "cutting/extent_list.h"
#include "cutting/page_grid.h"

#include <vector>

namespace vantola {

// The blocks `tabBlocs` of band (t, b), as (left, right) columns, in order. Columns 0..R are
// scanned (R is one beyond the last column read); a column is white when the running sum c of
// its bright pixels over rows t..b gives c / (b - t) > lNiveauBlanc. A block runs from the last
// column of a white run to the first white column after it; remainders at the right and at the
// left edge become blocks of their own when they are wide enough, and a band without white
// columns is one block (0, R). The callbacks' debug, when set, runs before each column's test and
// their service after it. A band with t = b fails on the division (0 / 0 being the overflow
// error), a column sum leaving the 32-bit range raises the overflow error, cells outside the grid
// the subscript error.
std::vector<Extent> findBlocks(const PageGrid& tabPixels, Extent band, qint32 R, qint32 lSeuilPixel,
                               qint32 lNiveauBlanc, const CutCallbacks& callbacks);

// The size rule: a rectangle of the given width and height is large enough when
// W / width < limit and H / height < limit, with W x H the unturned page. An empty or inverted
// rectangle never is.
bool largeEnough(qint32 width, qint32 height, qint32 W, qint32 H, double limit);

} // namespace vantola
