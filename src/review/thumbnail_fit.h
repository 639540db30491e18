#pragma once

#include "review/twips.h"

#include <QSize>

namespace vantola {

// The sixteen thumbnail slots of the review window: a 4 x 4 grid of bordered frames, filled row
// by row, each 1800 x 1140 twips.
inline constexpr int kThumbnailSlots = 16;
inline constexpr int kSlotColumns = 4;
inline constexpr double kSlotWidthTwips = 1800;
inline constexpr double kSlotHeightTwips = 1140;

// Where slot i's frame sits in the thumbnail frame, in twips.
TwipsRect slotFrameTwips(int slot);

// Where a piece of the given natural size (pixels) is shown inside its slot's frame, in twips.
// The thumbnail keeps the piece's proportions and fits a box of 1800 / 1.03 x 1140 / 1.12:
//   rW = w * 1.03 / 1800 and rH = h * 1.12 / 1140, with w and h in twips;
//   taller (rH > rW): height 1140 / 1.12 and width Int(w / rH);
//   otherwise (ties included): width 1800 / 1.03 and height Int(h / rW);
//   left Int((1800 - width) / 2), top the slot's fixed offset (90, 100 or 85).
// Int truncates toward zero. An empty size takes the whole box.
TwipsRect fitThumbnail(QSize naturalPixels, int slot);

} // namespace vantola
