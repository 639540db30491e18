#pragma once

#include <QRect>

namespace vantola {

// The review window is laid out in twips (1/1440 inch), as it was drawn; 15 twips make one
// pixel at 96 dots per inch.
inline constexpr double kTwipsPerPixel = 15.0;

// A length or position in twips as whole pixels, rounded to the nearest pixel, halves to even.
int twipsToPixels(double twips);

// A rectangle given in twips (left, top, width, height), each value converted on its own.
struct TwipsRect {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
};
QRect toPixels(const TwipsRect& rect);

} // namespace vantola
