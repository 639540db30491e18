#pragma once

#include "image/jpeg_block_symbols.h"
#include "image/jpeg_quantization.h"

#include <cstddef>
#include <cstdint>

namespace vantola::jpeg {

// Quantizes the transformed blocks of a strip (laid out as forwardDctStrip leaves them) into
// `out`, 64 values per block in zig-zag order: coefficient (u, v) times FScale(ZigZag(u, v)),
// rounded to the nearest integer, halves to even. Adds the AC symbols of every block to
// `acCounts`. A value outside the 16-bit range raises the overflow error.
void quantizeStrip(const float* coefficients, std::size_t width, const QuantTable& table,
                   std::int16_t* out, AcSymbolCounts& acCounts);

} // namespace vantola::jpeg
