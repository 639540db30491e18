#pragma once

#include "cutting/page_grid.h"

namespace vantola {

// The quarter turn asked for by the rotation options (at most one of them is on).
enum class Rotation { None, Clockwise, Anticlockwise };

// Turns the grid of a W x H page (columns 0..W, rows 0..H) a quarter turn and replaces it with
// the turned grid of columns 0..H and rows 0..W:
//   anticlockwise: new(y, W - x) := old(x, y);
//   clockwise:     new(H - y, x) := old(x, y).
// Nothing happens for Rotation::None. A grid smaller than the page raises the subscript error.
void rotateGrid(PageGrid& tabPixels, qint32 W, qint32 H, Rotation rotation);

} // namespace vantola
