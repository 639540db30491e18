#pragma once

#include <QString>

namespace vantola {

// Cuts that count characters (Unicode code points), so that a character outside the Basic
// Multilingual Plane, stored as a surrogate pair, is never split in two.

// Number of characters of the text.
qsizetype characterCount(const QString& text);

// The first `count` characters of the text (all of it when it is shorter).
QString leftCharacters(const QString& text, qsizetype count);

// The text without its last `count` characters (empty when it has no more than that).
QString withoutLastCharacters(const QString& text, qsizetype count);

} // namespace vantola
