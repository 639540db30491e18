#pragma once

// The second way to find a page's panels: instead of cutting along clean white rows and columns,
// it looks for the regions that stand out from the page's background (framed panels, art that
// bleeds to the edge, frameless panels separated by space) and gives each one's bounding
// rectangle.

#include "cutting/page_grid.h"

#include <vector>

namespace vantola {

// How a job finds the panels of its pages: along white gutters (today's cut) or by their frames.
enum class PanelFinder { Gutters, Frames };

// A panel's rectangle in grid coordinates: columns left..right - 1, rows top..bottom - 1.
struct PanelBox {
    qint32 left = 0;
    qint32 right = 0;
    qint32 top = 0;
    qint32 bottom = 0;
    friend bool operator==(const PanelBox&, const PanelBox&) = default;
};

// The panels found in columns 0..columns - 1 of rows firstRow..lastRow of the grid, in no
// particular order; none when nothing on the page is large enough to be a panel. A pure function
// of those cells: the same grid gives the same panels on any thread.
std::vector<PanelBox> findFrames(const PageGrid& grid, qint32 columns, qint32 firstRow,
                                 qint32 lastRow);

} // namespace vantola
