#pragma once

// The panel maps of a job (--frames): frames.json, laid out as the panel extractor Kumiko writes
// it, and frames.acbf, an ACBF comic book whose pages list their panels as frames.

#include "cutting/panel_layout.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

namespace vantola {

// One object per page, in reading order: "filename" (the page file's name), "size" [width,
// height], "panels" [[x, y, width, height]...] and "pieces" (the pieces' file names), in the
// page file's pixels.
QByteArray panelMapsJson(const std::vector<PlacedPiece>& pieces);

// An ACBF 1.1 document titled `title` whose body has one page per page file (its image given
// relative to `outputFolder`) and one <frame points="x,y x,y x,y x,y"/> per panel.
QByteArray panelMapsAcbf(const std::vector<PlacedPiece>& pieces, const QString& title,
                         const QString& outputFolder);

// Writes both files into outputFolder, each whole or not at all (one failing does not stop the
// other). Returns one line per file that could not be written.
QStringList writePanelMaps(const std::vector<PlacedPiece>& pieces, const QString& title,
                           const QString& outputFolder);

} // namespace vantola
