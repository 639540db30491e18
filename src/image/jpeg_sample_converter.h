#pragma once

#include "image/jpeg_tables.h"

#include <array>
#include <cstdint>

namespace vantola::jpeg {

// Turns blue, green, red pixels into the samples of one component: wR x red + wG x green +
// wB x blue + offset, rounded to single precision. The products and their sum are exact in
// double precision (single-precision weights times 8-bit levels), so the one rounding is the
// final one whatever the order of the sum, and tables of the products give the same result.
class SampleConverter {
public:
    explicit SampleConverter(const ColourWeights& weights) {
        for (int level = 0; level < 256; ++level) {
            red_[level] = double(weights.red) * level;
            green_[level] = double(weights.green) * level;
            blue_[level] = double(weights.blue) * level + double(weights.offset);
        }
    }

    // Converts `count` pixels of a row into samples.
    void convert(const std::uint8_t* bgr, std::int64_t count, float* samples) const {
        for (std::int64_t x = 0; x < count; ++x, bgr += 3)
            samples[x] = static_cast<float>(red_[bgr[2]] + green_[bgr[1]] + blue_[bgr[0]]);
    }

private:
    std::array<double, 256> red_{};
    std::array<double, 256> green_{};
    std::array<double, 256> blue_{}; // with the offset
};

} // namespace vantola::jpeg
