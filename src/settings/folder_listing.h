#pragma once

#include <QString>
#include <QStringList>

namespace vantola {

// Compares two names the way the program lists files: without regard to case, with runs of
// digits compared as numbers, so that page2 comes before page10. Ties fall back to a plain
// comparison so that the order is total and stable.
bool naturalNameLess(const QString& a, const QString& b);

// The names of the regular files of a folder, sorted by naturalNameLess. Empty when the folder
// cannot be read.
QStringList listFileNames(const QString& folder);

// The names that a cutting job takes from a folder: files whose name, with its last four
// characters upper-cased, ends in ".JPG" (".jpg" in any letter case), in listing order.
QStringList listJpegPages(const QString& folder);

} // namespace vantola
