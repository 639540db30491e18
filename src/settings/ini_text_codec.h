#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace vantola {

// Text of the settings files. They are written in UTF-8; files brought from the original
// Windows program are in Windows-1252, so a line that is not valid UTF-8 is read as
// Windows-1252 instead. The decision is made line by line, so a file that mixes both (an old
// file with a few lines added by this program) reads correctly throughout.

// True when the bytes are well-formed UTF-8 (no overlong forms, no surrogates, nothing above
// U+10FFFF).
bool isValidUtf8(QByteArrayView bytes);

// Decodes one line: UTF-8 when it is valid, else Windows-1252. A U+FEFF at the start of the line
// is a character like any other: only the first bytes of a file can be its byte order mark, and
// the caller deals with those.
QString decodeSettingsLine(QByteArrayView bytes);

// Windows-1252, one character per byte. The five bytes that code page leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the control characters of the same number, as Windows
// itself does, so that every byte survives a round trip.
QString decodeWindows1252(QByteArrayView bytes);

// One byte per character in Windows-1252; a character the code page cannot hold becomes "?".
QByteArray encodeWindows1252(QStringView text);

} // namespace vantola
