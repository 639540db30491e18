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

} // namespace vantola::jpeg
