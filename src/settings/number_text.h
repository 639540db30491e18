#pragma once

#include <QStringView>
#include <cmath>
#include <concepts>
#include <limits>
#include <optional>

namespace vantola {

// Text typed by the user or read from param.ini, turned into a number the same way everywhere
// (white level, JPEG quality, page count...).
//
// Accepted: optional blanks, an optional sign, decimal digits with at most one decimal separator
// ("." or ",", whichever the user typed), optional blanks; at least one digit. "12", " -3 ",
// "+7", "2,5", ".5", "5." are numbers; "", "1e3", "1 000", "0x10", "12abc" are not.

// The value of the text, or nothing when it is not a number. Digits beyond what a double holds
// give an infinite value, of the text's sign.
std::optional<double> decimalTextValue(QStringView text);

enum class NumberTextStatus {
    Ok,
    NotANumber,
    Overflow, // a number, but its rounded value does not fit the integer type
};

template <std::integral Integer>
struct NumberTextResult {
    NumberTextStatus status = NumberTextStatus::NotANumber;
    Integer value = 0; // 0 unless status is Ok
};

// The text's value rounded to the nearest integer, halves to even ("2.5" gives 2, "3.5" gives
// 4), with a status that tells a text that is no number from one too large for the type.
template <std::integral Integer>
NumberTextResult<Integer> convertNumberText(QStringView text) {
    const std::optional<double> value = decimalTextValue(text);
    if (!value)
        return {};
    const double rounded = std::nearbyint(*value);
    // 2^digits is the first value past the largest one; the smallest is -2^digits or 0.
    const double limit = std::ldexp(1.0, std::numeric_limits<Integer>::digits);
    const double lowest = std::numeric_limits<Integer>::is_signed ? -limit : 0.0;
    if (!(rounded >= lowest && rounded < limit))
        return {NumberTextStatus::Overflow, 0};
    return {NumberTextStatus::Ok, static_cast<Integer>(rounded)};
}

// The same, with nothing for a text that is not a number or does not fit the type.
template <std::integral Integer>
std::optional<Integer> numberFromText(QStringView text) {
    const NumberTextResult<Integer> result = convertNumberText<Integer>(text);
    if (result.status != NumberTextStatus::Ok)
        return std::nullopt;
    return result.value;
}

// The numeric value of the character at a 1-based position: 0 to 9 for a decimal digit, 0 for
// any other character or a position outside the text. Reads sampling texts such as
// "2:2  [Default]" (characters 1 and 3).
int characterDigitValue(QStringView text, qsizetype position);

} // namespace vantola
