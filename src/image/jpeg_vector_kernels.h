#pragma once

// The encoder's AVX2 kernels. Each does, lane by lane, the very operations of the scalar code it
// stands for (double-precision products and sums, one rounding), so both give the same bits.
// Call them only where useVectorPaths() holds.

#include <cstddef>
#include <cstdint>

namespace vantola::jpeg {

// samples[x] = float(red x weights[0] + green x weights[1] + (blue x weights[2] + weights[3]))
// for `count` blue, green, red pixels.
void convertSamplesAvx2(const std::uint8_t* bgr, std::int64_t count, const double* weights,
                        float* samples);

// Quantizes the block whose row u starts at coefficients + u * width: out[8u + v] =
// nearbyint(coefficient (u, v) x multipliers[8u + v]). Bit 8u + v of `nonzero` is set where
// that value is not zero. Returns false when a value lies outside the 16-bit range.
bool quantizeBlockAvx2(const float* coefficients, std::size_t width, const double* multipliers,
                       std::int16_t* out, std::uint64_t& nonzero);

// out[3x + c] = (sums[6x + c] + sums[6x + 3 + c] + half) >> shift for the `pixels` pixels x and
// their three colours c: the neighbour pairs of a row of column sums, averaged with a divisor of
// 2^shift. Every sum plus half fits 16 bits.
void halvePairsAvx2(const std::uint16_t* sums, std::size_t pixels, unsigned half, int shift,
                    std::uint8_t* out);

// sums[i] = weight x row[i] (first) or sums[i] + weight x row[i] (otherwise) for `count` values,
// in the sums' own unsigned arithmetic: a row of the area average added into its column sums.
void addWeightedRowAvx2(const std::uint8_t* row, std::uint16_t weight, std::size_t count,
                        std::uint16_t* sums, bool first);
void addWeightedRowAvx2(const std::uint8_t* row, std::uint32_t weight, std::size_t count,
                        std::uint32_t* sums, bool first);

} // namespace vantola::jpeg
