#pragma once

#include <cstddef>

namespace vantola::jpeg {

// The scaled floating-point forward DCT of Arai, Agui and Nakajima over the blocks of a strip
// of 8 rows of `width` samples (width a multiple of 8; row r starts at strip + r * width).
//
// Every intermediate value is stored in single precision, the arithmetic inside each
// assignment being done in double precision. Each block is transformed over its columns first,
// then over its rows. The columns are transformed in place in the strip; the rows are then
// transformed in `coefficients` (8 x width floats), where the output for horizontal frequency u
// and vertical frequency v of block b lands at coefficients[u * width + 8 * b + v]. The outputs
// are scaled by 8 a(u) a(v) relative to the DCT of T.81 A.3.3 (a(0) = 1,
// a(k) = sqrt 2 cos(k pi / 16)).
void forwardDctStrip(float* strip, float* coefficients, std::size_t width);

} // namespace vantola::jpeg
