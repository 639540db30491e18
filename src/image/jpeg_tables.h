#pragma once

#include <array>
#include <cstdint>

namespace vantola::jpeg {

// For each zig-zag position (ITU-T T.81 Figure A.6), the natural index u + 8v of its
// coefficient, u being the horizontal and v the vertical frequency.
inline constexpr std::array<std::uint8_t, 64> kNaturalOrder = {
    0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
    41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
    30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

// Zig-zag position of the coefficient with horizontal frequency u and vertical frequency v,
// indexed [u][v].
inline constexpr std::array<std::array<std::int32_t, 8>, 8> kZigZag = [] {
    std::array<std::array<std::int32_t, 8>, 8> table{};
    for (int k = 0; k < 64; ++k)
        table[kNaturalOrder[k] % 8][kNaturalOrder[k] / 8] = k;
    return table;
}();

namespace detail {

inline constexpr std::array<std::int16_t, 64> toZigZag(const std::array<std::int16_t, 64>& rows) {
    std::array<std::int16_t, 64> zigzag{};
    for (int k = 0; k < 64; ++k)
        zigzag[k] = rows[kNaturalOrder[k]];
    return zigzag;
}

} // namespace detail

// Example quantization tables of T.81 Annex K (K.1 luminance, K.2 chrominance) in zig-zag
// order; the literals are the printed rows (natural order).
inline constexpr std::array<std::int16_t, 64> kLumBase = detail::toZigZag({
    16, 11, 10, 16, 24,  40,  51,  61,  12, 12, 14, 19, 26,  58,  60,  55,
    14, 13, 16, 24, 40,  57,  69,  56,  14, 17, 22, 29, 51,  87,  80,  62,
    18, 22, 37, 56, 68,  109, 103, 77,  24, 35, 55, 64, 81,  104, 113, 92,
    49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99,
});
inline constexpr std::array<std::int16_t, 64> kChrBase = detail::toZigZag({
    17, 18, 24, 47, 99, 99, 99, 99, 18, 21, 26, 66, 99, 99, 99, 99, //
    24, 26, 56, 99, 99, 99, 99, 99, 47, 66, 99, 99, 99, 99, 99, 99, //
    99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, //
    99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, //
});

// Output scale factors s(0..7) of the AAN forward DCT: 1 / (2 sqrt 2) for k = 0 and
// 1 / (4 cos(k pi / 16)) for k = 1 ... 7, with the digits the encoder has always used.
inline constexpr std::array<double, 8> kAanScale = {
    0.353553390593273, 0.25489778955208,  0.270598050073098, 0.300672443467523,
    0.353553390593273, 0.449988111568207, 0.653281482438186, 1.28145772387074};

// Single-precision weights of red, green and blue and the offset of one component.
struct ColourWeights {
    float red;
    float green;
    float blue;
    float offset;
};

// Component 0 (Y, with the level shift of -128), 1 (Cb) and 2 (Cr). The +128 of the
// colour-difference formulas cancels the level shift, so Cb and Cr have no offset.
inline constexpr std::array<ColourWeights, 3> kComponentWeights = {{
    {0.299f, 0.587f, 0.114f, -128.0f},
    {-0.16874f, -0.33126f, 0.5f, 0.0f},
    {0.5f, -0.41869f, -0.08131f, 0.0f},
}};

} // namespace vantola::jpeg
