#pragma once

// Where each piece of a job lies on its page file, gathered while the pieces are written, for the
// panel book and the panel maps written at the end of the job (panel_book.h, panel_maps.h).

#include "cutting/cut_decisions.h"
#include "cutting/grid_rotation.h"

#include <QHash>
#include <QRect>
#include <QSize>
#include <QString>
#include <vector>

namespace vantola {

// A quarter-turn map of pixel cells: (x, y) -> (a x + b y + tx, c x + d y + ty).
struct CellMap {
    int a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;
    QPoint apply(QPoint p) const {
        return {a * p.x() + b * p.y() + tx, c * p.x() + d * p.y() + ty};
    }
    // This map after `inner`: p -> this(inner(p)).
    CellMap after(const CellMap& inner) const;
    // The rectangle of cells that the cells of r go to.
    QRect apply(const QRect& r) const;
};

// The map from a piece's pixels to those of the page it was cut from (W x H as loaded, unturned):
// the piece's place in the grid, then the grid's quarter turn undone. The whole page is the page.
CellMap pieceToPage(const CutPiece& cut, qint32 W, qint32 H, Rotation rotation);
// The size of the part of the piece that comes from the grid (a band kept whole is padded).
QSize pieceContentSize(const CutPiece& cut, qint32 W);

// One piece of the job, placed on its page file.
struct PlacedPiece {
    QString pagePath;  // the page file as it is on disk
    QSize pageSize;    // its size
    QString piecePath; // the piece's JPEG file as written
    QRect panel;       // the piece's rectangle on the page file
    CellMap toPage;    // its pixels to the page file's
    qsizetype order = 0;
};

// The pieces of one job, first pass and second pass.
class PanelLayout {
public:
    void clear() { *this = PanelLayout(); }
    // A piece written from page (or, in the second pass, first-pass piece) `pagePath` of size
    // W x H. A second-pass piece whose first-pass piece is unknown is left out.
    void add(qint16 iPasse, const QString& pagePath, qint32 W, qint32 H, Rotation rotation,
             const CutPiece& cut, const QString& piecePath);
    // The pieces now in `outputFolder` in reading order: the second pass's when it took the
    // first's place, else the first's; pieces whose file is not there are left out.
    std::vector<PlacedPiece> finalPieces(const QString& outputFolder, bool secondPassInPlace) const;

private:
    std::vector<PlacedPiece> first_;
    std::vector<PlacedPiece> second_;
    QHash<QString, qsizetype> firstByPath_; // a first-pass piece's path to its index
};

} // namespace vantola
