#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace vantola {

// The program's text files (log, settings, cut record) end every line with CR LF and are
// written in UTF-8.
inline constexpr const char* kLineEnd = "\r\n";

// Truncates (or creates) a text file and writes the lines. False when the file cannot be written.
[[nodiscard]] bool writeTextLines(const QString& path, const QStringList& lines);

// Appends the lines to a text file, creating it when missing. False when that fails.
[[nodiscard]] bool appendTextLines(const QString& path, const QStringList& lines);

// Writes a whole file in one piece (see atomic_file.h), replacing the target and keeping its
// permissions, unless the target is marked read-only. False on failure, with nothing left
// behind and the target as it was.
[[nodiscard]] bool writeFileAtomically(const QString& path, const QByteArray& bytes);

// Copies a regular file in one piece (see atomic_file.h), replacing the target even when it is
// read-only. False on failure.
[[nodiscard]] bool copyFileAtomically(const QString& source, const QString& target);

} // namespace vantola
