#pragma once

#include <array>
#include <cstdint>

namespace vantola::jpeg {

// One quantization table: the values Qk and the multipliers FScale that quantize the scaled
// DCT output, both in zig-zag order.
struct QuantTable {
    std::array<std::uint16_t, 64> Qk{};
    std::array<float, 64> FScale{};
};

// Percentage applied to the base tables for a quality of 1 ... 100: 200 - 2q from 50 up,
// else 5000 / q rounded to the nearest integer, halves to even.
std::int32_t qualityScale(std::int32_t quality);

// Qk = (base x scale + 50) / 100 rounded to the nearest integer, halves to even, clamped to
// 1 ... 255. The bias and the rounding together round the quotient a second time, which
// raises odd base values by one at scale 100.
void scaleQuantTable(const std::array<std::int16_t, 64>& base, std::int32_t scale,
                     QuantTable& table);

// FScale(ZigZag(u, v)) = s(u) x s(v) / Qk, stored in single precision, s being the DCT's
// output scale. A value outside 1 ... 255 (1 ... 65535 at 12-bit precision) raises the
// encoder error "Bad Quantization Table".
void prepareMultipliers(QuantTable& table, std::int32_t precision);

} // namespace vantola::jpeg
