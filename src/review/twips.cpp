#include "review/twips.h"

#include <algorithm>
#include <cmath>

namespace vantola {

int twipsToPixels(double twips) {
    // Far beyond any screen; keeps a corrupt value from overflowing the conversion to int.
    constexpr double kLimit = 1.0e7;
    if (std::isnan(twips))
        return 0;
    return static_cast<int>(std::nearbyint(std::clamp(twips / kTwipsPerPixel, -kLimit, kLimit)));
}

QRect toPixels(const TwipsRect& rect) {
    return QRect(twipsToPixels(rect.left), twipsToPixels(rect.top), twipsToPixels(rect.width),
                 twipsToPixels(rect.height));
}

} // namespace vantola
