#include "review/thumbnail_fit.h"

#include <cmath>

namespace vantola {

namespace {

constexpr double kWidthMargin = 1.03;
constexpr double kHeightMargin = 1.12;
constexpr double kColumnLefts[kSlotColumns] = {120, 2040, 3960, 5880};
constexpr double kFirstSlotLeft = 90; // slot 0 alone sits a little further left
constexpr double kRowTops[kThumbnailSlots / kSlotColumns] = {120, 1440, 2700, 3960};

// The picture's top inside its frame: the rows were drawn by hand and do not line up exactly.
double pictureTop(int slot) {
    if (slot < 8)
        return 90;
    if (slot < 12)
        return 100;
    return 85;
}

} // namespace

TwipsRect slotFrameTwips(int slot) {
    const double left = slot == 0 ? kFirstSlotLeft : kColumnLefts[slot % kSlotColumns];
    return {left, kRowTops[slot / kSlotColumns], kSlotWidthTwips, kSlotHeightTwips};
}

TwipsRect fitThumbnail(QSize naturalPixels, int slot) {
    TwipsRect placed;
    placed.top = pictureTop(slot);
    if (naturalPixels.isEmpty()) {
        placed.width = kSlotWidthTwips / kWidthMargin;
        placed.height = kSlotHeightTwips / kHeightMargin;
    } else {
        const double w = naturalPixels.width() * kTwipsPerPixel;
        const double h = naturalPixels.height() * kTwipsPerPixel;
        const double rW = w * kWidthMargin / kSlotWidthTwips;
        const double rH = h * kHeightMargin / kSlotHeightTwips;
        if (rH > rW) {
            placed.height = kSlotHeightTwips / kHeightMargin;
            placed.width = std::trunc(w / rH);
        } else {
            placed.width = kSlotWidthTwips / kWidthMargin;
            placed.height = std::trunc(h / rW);
        }
    }
    placed.left = std::trunc((kSlotWidthTwips - placed.width) / 2);
    return placed;
}

} // namespace vantola
