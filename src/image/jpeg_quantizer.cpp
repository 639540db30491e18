#include "image/jpeg_quantizer.h"

#include "image/jpeg_tables.h"
#include "settings/app_error.h"

#include <array>
#include <cmath>

namespace vantola::jpeg {

namespace {

// Rounds eight products (a loop that vectorises where rounding is one instruction).
inline void quantizeRow(const float* __restrict coefficients, const double* __restrict multipliers,
                        double* __restrict quantized) {
    for (int v = 0; v < 8; ++v)
        quantized[v] = std::nearbyint(double(coefficients[v]) * multipliers[v]);
}

} // namespace

// Processors with SSE4.1 round in one instruction; elsewhere std::nearbyint is a library call.
// Both round alike (to nearest, halves to even, in the default rounding mode).
[[gnu::target_clones("sse4.1", "default")]] void
quantizeStrip(const float* coefficients, std::size_t width, const QuantTable& table,
              std::int16_t* out, AcSymbolCounts& acCounts) {
    // The multipliers and zig-zag positions in the order the coefficients lie: (u, v) at 8u + v.
    std::array<double, 64> multiplier;
    std::array<std::uint8_t, 64> position;
    for (int u = 0; u < 8; ++u) {
        for (int v = 0; v < 8; ++v) {
            position[8 * u + v] = static_cast<std::uint8_t>(kZigZag[u][v]);
            multiplier[8 * u + v] = table.FScale[kZigZag[u][v]];
        }
    }
    std::array<double, 64> quantized;
    for (std::size_t block = 0; block < width; block += 8, out += 64) {
        for (int u = 0; u < 8; ++u)
            quantizeRow(coefficients + u * width + block, &multiplier[8 * u], &quantized[8 * u]);
        // 8-bit samples bound the values far inside 64 bits; one outside the 16-bit range
        // leaves bits above 16 in `outside` once shifted to start at 0.
        std::uint64_t outside = 0;
        for (int i = 0; i < 64; ++i) {
            const auto value = static_cast<std::int64_t>(quantized[i]);
            outside |= static_cast<std::uint64_t>(value + 32768);
            out[position[i]] = static_cast<std::int16_t>(value);
        }
        if (outside > 0xFFFF)
            raiseError(kErrOverflow);
        countAcSymbols(out, nonzeroMask(out), acCounts);
    }
}

} // namespace vantola::jpeg
