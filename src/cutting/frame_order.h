#pragma once

#include "cutting/frame_finder.h"

#include <vector>

namespace vantola {

// Puts panels in reading order: rows of panels top to bottom, and within a row left to right (or
// right to left). The page is split recursively along the widest straight gaps between panels,
// across first, so that a panel spanning several rows comes before the panels beside it that
// start lower. Panels that no straight gap separates are taken by their top, then their side.
void orderPanels(std::vector<PanelBox>& panels, bool rightToLeft);

} // namespace vantola
