#include "support/test_pages.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

namespace vantola::test {
namespace {

int packed(QRgb pixel) {
    return qRed(pixel) + 256 * qGreen(pixel) + 65536 * qBlue(pixel);
}

// The cutter's running sum: rounded, halves to even, after every addition.
int addLevel(int sum, QRgb pixel, int threshold) {
    const int value = packed(pixel);
    if (value <= threshold)
        return sum;
    return static_cast<int>(std::nearbyint(sum + value / 10000.0));
}

} // namespace

QImage pageWithRows(int width, int height, const std::vector<RowRange>& ranges, QRgb paper) {
    QImage image = plainPage(width, height, paper);
    for (const auto& range : ranges) {
        for (int y = std::max(0, range.first); y <= std::min(height - 1, range.last); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            std::fill(line, line + width, range.colour);
        }
    }
    return image;
}

double rowLevel(const QImage& image, int y, int threshold) {
    if (y < 0 || y >= image.height())
        throw std::out_of_range("rowLevel: row " + std::to_string(y) + " is outside the page");
    int sum = 0;
    for (int x = 0; x < image.width(); ++x)
        sum = addLevel(sum, image.pixel(x, y), threshold);
    return static_cast<double>(sum) / image.width();
}

double columnLevel(const QImage& image, int x, int top, int bottom, int threshold) {
    if (x < 0 || x >= image.width() || top < 0 || bottom >= image.height() || bottom <= top)
        throw std::out_of_range("columnLevel: column " + std::to_string(x) + ", rows " +
                                std::to_string(top) + ".." + std::to_string(bottom) +
                                " are not a band of the page");
    int sum = 0;
    for (int y = top; y <= bottom; ++y)
        sum = addLevel(sum, image.pixel(x, y), threshold);
    return static_cast<double>(sum) / (bottom - top);
}

} // namespace vantola::test
