#pragma once

// The panel book of a job (--cbz): one CBZ file that holds every piece in reading order, stored
// as it is, with a ComicInfo.xml that CBZ readers (Komga, Kavita...) read.

#include "cutting/panel_layout.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

namespace vantola {

// The name of piece `index` (from 0) of `count` in the book: its reading position, zero-padded
// so that readers that sort by name keep the order, then the piece's file name.
QString bookEntryName(qsizetype index, qsizetype count, const QString& pieceName);

// ComicInfo.xml for the pieces (their files read for their size in bytes and pixels).
QByteArray comicInfoXml(const QString& title, const QStringList& piecePaths);

// Writes outputFolder + name + ".cbz" (a ZIP, every entry stored) under a temporary name and
// renames it. Returns why it failed, or "" when done.
QString writePanelBook(const std::vector<PlacedPiece>& pieces, const QString& name,
                       const QString& outputFolder);

} // namespace vantola
