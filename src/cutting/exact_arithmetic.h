#pragma once

// The arithmetic of the cut decisions, to the bit: 32-bit integers whose overflow is an error,
// divisions whose zero divisor is an error, and running sums that add pixel / 10000 in double
// precision and round back to an integer, halves to even, after every addition.

#include "settings/app_error.h"

#include <QtGlobal>
#include <cmath>

namespace vantola {

inline qint32 checkedAdd(qint32 a, qint32 b) {
    qint32 result = 0;
    if (__builtin_add_overflow(a, b, &result)) {
        raiseError(kErrOverflow);
    }
    return result;
}

inline qint32 checkedSub(qint32 a, qint32 b) {
    qint32 result = 0;
    if (__builtin_sub_overflow(a, b, &result)) {
        raiseError(kErrOverflow);
    }
    return result;
}

// numerator / divisor in double precision. A zero divisor is an error, as in the program's
// other divisions: 0 / 0 the overflow error, anything else the division-by-zero error.
inline double checkedQuotient(double numerator, qint32 divisor) {
    if (divisor == 0) {
        raiseError(numerator == 0.0 ? kErrOverflow : kErrDivisionByZero);
    }
    return numerator / double(divisor);
}

// The nearest integer to x, halves to even, for |x| < 2^52: adding and then removing 2^52 (with
// the sign of x) leaves the hardware to round x to an integer in the default rounding mode.
// Equal to std::nearbyint there, but inline and open to vectorisation.
inline double roundHalfEven(double x) {
    const double shift = std::copysign(4503599627370496.0, x);
    return (x + shift) - shift;
}

// One step of a running sum over a row or a column: a pixel strictly above the threshold adds
// pixel / 10000 and the sum is rounded back to an integer; any other pixel adds nothing. The sum
// is an integer held in a double (every such step stays far below 2^52).
inline double addBrightPixel(double sum, qint32 pixel, qint32 lSeuilPixel) {
    const double addend = pixel > lSeuilPixel ? double(pixel) / 10000.0 : 0.0;
    return roundHalfEven(sum + addend);
}

inline bool fitsInt32(double value) {
    return value >= -2147483648.0 && value <= 2147483647.0;
}

} // namespace vantola
