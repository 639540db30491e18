#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace vantola {

// The program's text files (log, settings, cut record) end every line with CR LF and are
// written in UTF-8.
inline constexpr const char* kLineEnd = "\r\n";

// Truncates (or creates) a text file and writes the lines. False when the file cannot be written.
bool writeTextLines(const QString& path, const QStringList& lines);

// Appends the lines to a text file, creating it when missing. False when that fails.
bool appendTextLines(const QString& path, const QStringList& lines);

// Writes a whole file in one piece: the bytes go to a temporary file in the same folder that is
// then renamed over the target, so the target is never seen half-written. Replaces an existing
// target (even a read-only one, since the folder entry is what changes). False on failure, with
// nothing left behind.
bool writeFileAtomically(const QString& path, const QByteArray& bytes);

// Copies a file in one piece through a temporary name in the target's folder, replacing the
// target. False on failure.
bool copyFileAtomically(const QString& source, const QString& target);

} // namespace vantola
