#include "settings/ini_text_codec.h"

#include <QStringDecoder>
#include <array>

namespace vantola {

namespace {

// Characters of the bytes 0x80 to 0x9F; the other bytes are the Latin-1 characters of the same
// number.
constexpr std::array<char16_t, 32> kHighControlRange = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool isContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// Length of the well-formed UTF-8 sequence that starts at bytes[i], 0 when it is malformed.
qsizetype utf8SequenceLength(QByteArrayView bytes, qsizetype i) {
    const auto at = [&](qsizetype k) { return static_cast<unsigned char>(bytes[k]); };
    const unsigned char lead = at(i);
    const qsizetype left = bytes.size() - i;
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return left >= 2 && isContinuation(at(i + 1)) ? 2 : 0;
    if (lead >= 0xE0 && lead <= 0xEF) {
        if (left < 3 || !isContinuation(at(i + 1)) || !isContinuation(at(i + 2)))
            return 0;
        if (lead == 0xE0 && at(i + 1) < 0xA0)
            return 0; // overlong
        if (lead == 0xED && at(i + 1) >= 0xA0)
            return 0; // surrogate
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        if (left < 4 || !isContinuation(at(i + 1)) || !isContinuation(at(i + 2)) ||
            !isContinuation(at(i + 3)))
            return 0;
        if (lead == 0xF0 && at(i + 1) < 0x90)
            return 0; // overlong
        if (lead == 0xF4 && at(i + 1) >= 0x90)
            return 0; // above U+10FFFF
        return 4;
    }
    return 0;
}

} // namespace

bool isValidUtf8(QByteArrayView bytes) {
    qsizetype i = 0;
    while (i < bytes.size()) {
        const qsizetype length = utf8SequenceLength(bytes, i);
        if (length == 0)
            return false;
        i += length;
    }
    return true;
}

QString decodeSettingsLine(QByteArrayView bytes) {
    if (!isValidUtf8(bytes))
        return decodeWindows1252(bytes);
    if (bytes.startsWith(QByteArrayView("\xEF\xBB\xBF"))) {
        // QString::fromUtf8 would drop this U+FEFF as a byte order mark, and a key written with
        // one at the start of its name would no longer read back.
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
        return decoder.decode(bytes);
    }
    return QString::fromUtf8(bytes);
}

QString decodeWindows1252(QByteArrayView bytes) {
    QString text(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const unsigned char byte = static_cast<unsigned char>(bytes[i]);
        text[i] =
            (byte >= 0x80 && byte <= 0x9F) ? QChar(kHighControlRange[byte - 0x80]) : QChar(byte);
    }
    return text;
}

QByteArray encodeWindows1252(QStringView text) {
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const QChar ch : text) {
        const char16_t code = ch.unicode();
        if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) {
            bytes += static_cast<char>(code);
            continue;
        }
        char byte = '?';
        for (std::size_t k = 0; k < kHighControlRange.size(); ++k) {
            if (kHighControlRange[k] == code) {
                byte = static_cast<char>(0x80 + k);
                break;
            }
        }
        bytes += byte;
    }
    return bytes;
}

} // namespace vantola
