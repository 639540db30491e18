#pragma once

#include <QString>
#include <QStringList>

namespace vantola {

// Compares two names the way the program lists files: without regard to case, with runs of
// digits compared as numbers, so that page2 comes before page10. Ties fall back to a plain
// comparison so that the order is total and stable.
bool naturalNameLess(const QString& a, const QString& b);

// The names of the entries of a folder that are no folders, read by fileNameText and sorted by
// naturalNameLess. Empty when the folder cannot be read. A name that is not valid UTF-8 but
// reads as the name of another entry leaves the listing: it goes to `shadowed` when given.
QStringList listFileNames(const QString& folder, QStringList* shadowed = nullptr);

// The names that a cutting job takes from a folder: files whose name, with its last four
// characters upper-cased, ends in ".JPG" (".jpg" in any letter case), in listing order. The
// names of such files that leave the listing go to `shadowed` when given.
QStringList listJpegPages(const QString& folder, QStringList* shadowed = nullptr);

// The file that marks a folder the program extracted from a comic-book archive.
inline constexpr char kExtractedFolderMarker[] = ".vantola-archive";

// The pages of a folder job. A folder that holds kExtractedFolderMarker takes every file but the
// hidden ones (the extraction wrote only pictures, of any type, named in archive order); any other
// folder takes its JPEG files, as listJpegPages.
QStringList listFolderPages(const QString& folder, QStringList* shadowed = nullptr);

} // namespace vantola
