#include "settings/number_text.h"

#include <charconv>
#include <string>

namespace vantola {

std::optional<double> decimalTextValue(QStringView text) {
    const QStringView trimmed = text.trimmed();
    std::string ascii;
    ascii.reserve(static_cast<std::size_t>(trimmed.size()));
    qsizetype i = 0;
    bool negative = false;
    if (i < trimmed.size() && (trimmed[i] == QLatin1Char('+') || trimmed[i] == QLatin1Char('-'))) {
        negative = trimmed[i] == QLatin1Char('-');
        ++i;
    }
    bool separatorSeen = false;
    bool digitSeen = false;
    bool nonZeroIntegerDigit = false;
    for (; i < trimmed.size(); ++i) {
        const QChar ch = trimmed[i];
        if (ch >= QLatin1Char('0') && ch <= QLatin1Char('9')) {
            digitSeen = true;
            nonZeroIntegerDigit = nonZeroIntegerDigit || (!separatorSeen && ch != QLatin1Char('0'));
            ascii += static_cast<char>(ch.unicode());
        } else if ((ch == QLatin1Char('.') || ch == QLatin1Char(',')) && !separatorSeen) {
            separatorSeen = true;
            ascii += '.';
        } else {
            return std::nullopt;
        }
    }
    if (!digitSeen)
        return std::nullopt;

    double value = 0.0;
    const auto [end, error] =
        std::from_chars(ascii.data(), ascii.data() + ascii.size(), value, std::chars_format::fixed);
    if (error == std::errc::result_out_of_range)
        value = nonZeroIntegerDigit ? std::numeric_limits<double>::infinity() : 0.0;
    else if (error != std::errc() || end != ascii.data() + ascii.size())
        return std::nullopt;
    return negative ? -value : value;
}

int characterDigitValue(QStringView text, qsizetype position) {
    if (position < 1 || position > text.size())
        return 0;
    const QChar ch = text[position - 1];
    return (ch >= QLatin1Char('0') && ch <= QLatin1Char('9')) ? ch.unicode() - '0' : 0;
}

} // namespace vantola
