#pragma once

// Cutting a page across: the white rows, and the bands between them in each pass.

#include "cutting/extent_list.h"
#include "cutting/page_grid.h"

#include <functional>
#include <optional>
#include <vector>

namespace vantola {

// The white rows `tabLignes` among firstRow..lastRow, in increasing order. A row is white when
// the running sum s of its bright pixels over columns 0..lastColumn gives
// s / (lastColumn + 1) > lNiveauBlanc. service runs after each row. A divisor of 0 fails (0 / 0
// being the overflow error), a sum that leaves the 32-bit range raises the overflow error, rows or
// columns outside the grid the subscript error.
std::vector<qint32> findWhiteRows(const PageGrid& tabPixels, qint32 firstRow, qint32 lastRow,
                                  qint32 lastColumn, qint32 lSeuilPixel, qint32 lNiveauBlanc,
                                  const std::function<void()>& service);

// First pass. Each band runs from the last row of a white run to the first white row after it
// (white rows up to two apart make one run); a tall enough remainder below the last band down to
// the footer row F becomes one more band. No value means the page is one piece.
std::optional<std::vector<Extent>> firstPassBands(const std::vector<qint32>& whiteRows, qint32 F);

// Second pass, over a piece of the first pass. tabLignes holds the white rows followed by F. The
// bands are contiguous from row 0; when the last of them stops more than 3 rows above F (or there
// is none), one more band reaches F, so that no part of the piece is dropped.
std::vector<Extent> secondPassBands(const std::vector<qint32>& tabLignes, qint32 F);

// Merges the raw bands 0..count - 1 of the second pass into contiguous bands; both arguments are
// replaced by the result. The last raw band is not used.
void FusionnerBandes(ExtentList& tabBandes, qint32& count);

} // namespace vantola
