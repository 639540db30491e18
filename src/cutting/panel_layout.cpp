// Placing the pieces of a job on their page files: each piece's pixels are mapped back through
// its place in the grid and the grid's quarter turn; a second-pass piece goes through its
// first-pass piece as well.
#include "cutting/panel_layout.h"

#include "settings/path_parts.h"

#include <QFileInfo>
#include <algorithm>

namespace vantola {

CellMap CellMap::after(const CellMap& inner) const {
    CellMap m;
    m.a = a * inner.a + b * inner.c;
    m.b = a * inner.b + b * inner.d;
    m.c = c * inner.a + d * inner.c;
    m.d = c * inner.b + d * inner.d;
    m.tx = a * inner.tx + b * inner.ty + tx;
    m.ty = c * inner.tx + d * inner.ty + ty;
    return m;
}

QRect CellMap::apply(const QRect& r) const {
    if (r.isEmpty())
        return {};
    const QPoint p = apply(r.topLeft());
    const QPoint q = apply(r.bottomRight());
    return QRect(QPoint(std::min(p.x(), q.x()), std::min(p.y(), q.y())),
                 QPoint(std::max(p.x(), q.x()), std::max(p.y(), q.y())));
}

QSize pieceContentSize(const CutPiece& cut, qint32 W) {
    // A band kept whole is copied from columns 0..right of the grid and padded to W.
    if (cut.kind == PieceKind::WholeBand)
        return {std::min(cut.right + 1, W), cut.bottom - cut.top};
    return {cut.right - cut.left, cut.bottom - cut.top};
}

CellMap pieceToPage(const CutPiece& cut, qint32 W, qint32 H, Rotation rotation) {
    if (cut.kind == PieceKind::WholePage)
        return {};
    // The turned grid's cell (column, row) is the piece's (x + left, y + top).
    switch (rotation) {
    case Rotation::None:
        return {1, 0, 0, 1, cut.left, cut.top};
    case Rotation::Anticlockwise: // grid (column, row) = page (W - row, column)
        return {0, -1, 1, 0, W - cut.top, cut.left};
    case Rotation::Clockwise: // grid (column, row) = page (row, H - column)
        return {0, 1, -1, 0, cut.top, H - cut.left};
    }
    return {};
}

void PanelLayout::add(qint16 iPasse, const QString& pagePath, qint32 W, qint32 H, Rotation rotation,
                      const CutPiece& cut, const QString& piecePath) {
    PlacedPiece piece;
    piece.piecePath = piecePath;
    const CellMap map = pieceToPage(cut, W, H, rotation);
    // Cells of the grid outside the page (its extra row and column) are no part of the panel.
    const QRect onPicture =
        map.apply(QRect(QPoint(0, 0), pieceContentSize(cut, W))) & QRect(0, 0, W, H);
    if (iPasse != 2) {
        piece.pagePath = pagePath;
        piece.pageSize = QSize(W, H);
        piece.toPage = map;
        piece.panel = onPicture;
        piece.order = qsizetype(first_.size());
        firstByPath_.insert(piecePath, piece.order);
        first_.push_back(piece);
        return;
    }
    const auto found = firstByPath_.constFind(pagePath);
    if (found == firstByPath_.constEnd())
        return;
    const PlacedPiece* parent = &first_[std::size_t(*found)];
    piece.pagePath = parent->pagePath;
    piece.pageSize = parent->pageSize;
    piece.toPage = parent->toPage.after(map);
    piece.panel = parent->toPage.apply(onPicture) & parent->panel;
    piece.order = parent->order;
    second_.push_back(piece);
}

std::vector<PlacedPiece> PanelLayout::finalPieces(const QString& outputFolder,
                                                  bool secondPassInPlace) const {
    std::vector<PlacedPiece> pieces = secondPassInPlace ? second_ : first_;
    // The second pass cuts the first-pass pieces in name order: its pieces follow their first-pass
    // piece's reading order.
    std::stable_sort(pieces.begin(), pieces.end(),
                     [](const PlacedPiece& x, const PlacedPiece& y) { return x.order < y.order; });
    std::erase_if(pieces, [&](const PlacedPiece& p) {
        return !QFileInfo(outputFolder + ExtraireNomFichier(p.piecePath)).isFile();
    });
    return pieces;
}

} // namespace vantola
