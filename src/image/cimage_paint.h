#pragma once

#include "image/cimage.h"

namespace vantola {

// Draws the whole of `source` onto `destination` with its top-left corner at (left, top),
// clipped to the destination, combining the pixels with a raster operation. The source's
// pixels are first turned into the destination's pixel values (unchanged at the same depth,
// through their colours between depths); the operation then works on the bits of those values:
// for 24 bits on each colour channel, for indexed depths on the colour-table index.
// Blackness sets every bit to 0 and Whiteness every bit to 1 (black and white on a grey ramp).
// A code outside RasterOp draws nothing. `source` and `destination` must be different buffers.
void paintImage(const cImage& source, cImage& destination, qint64 left, qint64 top, RasterOp rop);

} // namespace vantola
