#pragma once

#include <QString>
#include <QStringList>

namespace vantola {

// Where a cutting job puts the pieces of the pages of a source folder: the folder, with a
// separator added when it has none, followed by "VANTOLA/".
QString pieceFolder(const QString& sRepSource);

// The names of the plain files of a folder, sorted like every listing of the program (which
// puts a page's pieces in cut order): no sub-folders, no hidden files. Empty when the folder
// does not exist or cannot be read.
QStringList listPlainFiles(const QString& folder);

// A file belongs to a page when its first L characters, upper-cased, equal the page's name
// upper-cased (L the length of the page's name): the cutter names every piece after its page
// ("page01.jpg-0007.jpg"). A shorter name never matches.
bool isPieceOf(const QString& fileName, const QString& pageName);

} // namespace vantola
