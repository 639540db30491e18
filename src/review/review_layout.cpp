#include "review/review_layout.h"

#include "review/thumbnail_fit.h"

#include <algorithm>
#include <cmath>

namespace vantola {

namespace {

constexpr double kDrawnWidth = 14160;
constexpr double kDrawnHeight = 8220;

// The columns that grow across (page, sketch, thumbnails), as drawn: left and width.
struct Extent {
    double start;
    double length;
};
constexpr Extent kGrowingColumns[] = {{0, 3855}, {3960, 1935}, {6000, 7845}};
constexpr double kGrowingWidth = 3855 + 1935 + 7845;
// The band that grows down: from the top of the page frame to the foot of the thumbnails.
constexpr Extent kGrowingBand{240, 5295};

double grownPart(double position, const Extent& extent) {
    return std::clamp(position - extent.start, 0.0, extent.length);
}

double stretchX(double x, double extra) {
    double before = 0;
    for (const Extent& column : kGrowingColumns)
        before += grownPart(x, column);
    return x + extra * before / kGrowingWidth;
}

double stretchY(double y, double extra) {
    return y + extra * grownPart(y, kGrowingBand) / kGrowingBand.length;
}

} // namespace

LayoutGrowth LayoutGrowth::forClientSize(QSize pixels) {
    return {std::max(0.0, pixels.width() * kTwipsPerPixel - kDrawnWidth),
            std::max(0.0, pixels.height() * kTwipsPerPixel - kDrawnHeight)};
}

TwipsRect grownPlace(const TwipsRect& drawn, LayoutGrowth growth) {
    const double left = stretchX(drawn.left, growth.width);
    const double top = stretchY(drawn.top, growth.height);
    return {left, top, stretchX(drawn.left + drawn.width, growth.width) - left,
            stretchY(drawn.top + drawn.height, growth.height) - top};
}

TwipsRect movedPlace(const TwipsRect& drawn, LayoutGrowth growth) {
    return {stretchX(drawn.left, growth.width), stretchY(drawn.top, growth.height), drawn.width,
            drawn.height};
}

TwipsRect scaledSlot(const TwipsRect& drawn, double fx, double fy) {
    return {drawn.left * fx, drawn.top * fy, drawn.width * fx, drawn.height * fy};
}

TwipsRect scaledThumbnail(const TwipsRect& fitted, double fx, double fy) {
    const double scale = std::min(fx, fy);
    const double width = fitted.width * scale;
    // Truncated as fitThumbnail does, so that the drawn size places the picture where it did.
    return {std::trunc((kSlotWidthTwips * fx - width) / 2), fitted.top * fy, width,
            fitted.height * scale};
}

} // namespace vantola
