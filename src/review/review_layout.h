#pragma once

#include "review/twips.h"

#include <QSize>

namespace vantola {

// How the review window's drawn layout (a client area of 14160 x 8220 twips) fills a larger
// window. At the drawn size, or smaller, every control keeps its place. The extra width goes to
// the three columns (page, sketch, thumbnails) in proportion to their drawn widths, the extra
// height to the band that holds the page, the sketch and the thumbnails; the controls beside and
// below them move along without growing.
struct LayoutGrowth {
    double width = 0;  // extra twips across
    double height = 0; // extra twips down

    // The growth of a client area of that many pixels.
    static LayoutGrowth forClientSize(QSize pixels);
};

// A control that grows with the window: both of its edges follow the stretch.
TwipsRect grownPlace(const TwipsRect& drawn, LayoutGrowth growth);
// A control that keeps its size and moves with the stretch.
TwipsRect movedPlace(const TwipsRect& drawn, LayoutGrowth growth);

// Inside a thumbnail frame grown by fx across and fy down from its drawn size: a thumbnail slot
// (every edge scaled), and the picture placed in it (scaled by the smaller factor, so that the
// piece keeps its proportions, and centred across its slot).
TwipsRect scaledSlot(const TwipsRect& drawn, double fx, double fy);
TwipsRect scaledThumbnail(const TwipsRect& fitted, double fx, double fy);

} // namespace vantola
