#pragma once

// Pages and measures for the cutter's tests: exact white and non-white rows, and the whiteness
// the cutter should see on a row or a column, worked out here independently of the cutter.

#include "page_generator.h"

#include <QImage>
#include <vector>

namespace vantola::test {

using namespace vantola::generator;

// Rows first..last (clipped to the page) painted in one colour, across the whole width.
struct RowRange {
    int first = 0;
    int last = 0;
    QRgb colour = qRgb(0, 0, 0);
};

// A paper-coloured page with the given row ranges painted over it, later ranges over earlier ones.
// The rows no range names stay paper: exact white and non-white rows for cutter tests.
QImage pageWithRows(int width, int height, const std::vector<RowRange>& ranges,
                    QRgb paper = qRgb(255, 255, 255));

// How a cutter sees whiteness, on the packed colour R + 256·G + 65536·B divided by 10000 (pure
// white 1677.7215): the running sum, rounded after each addition, of the pixels above
// threshold, divided by the width (a row) or by bottom - top (a column between those rows,
// both included in the sum).
double rowLevel(const QImage& image, int y, int threshold = 14500000);
double columnLevel(const QImage& image, int x, int top, int bottom, int threshold = 14500000);

} // namespace vantola::test
