#include "cutting/piece_picture.h"

#include "image/cimage.h"
#include "settings/app_error.h"

#include <algorithm>

namespace vantola {

namespace {

// The piece of the grid with columns left..right - 1 and rows top..bottom - 1, as a picture of
// width x height pixels; cells outside that rectangle (or outside the grid) stay white.
QImage pieceFromGrid(const PageGrid& grid, qint32 left, qint32 right, qint32 top, qint32 bottom,
                     qint32 width, qint32 height) {
    QImage piece = cImage::uninitialisedQImage(width, height, QImage::Format_RGB32);
    if (piece.isNull())
        raiseError(kErrOutOfMemory);
    piece.fill(Qt::white);
    const qint32 lastColumn = std::min({right, left + width, grid.columnCount()});
    for (qint32 y = top; y < bottom && y - top < height; ++y) {
        if (y < 0 || y >= grid.rowCount())
            raiseError(kErrSubscript);
        const qint32* cells = grid.row(y);
        auto* out = reinterpret_cast<QRgb*>(piece.scanLine(y - top));
        for (qint32 x = std::max(left, 0); x < lastColumn; ++x) {
            const quint32 packed = static_cast<quint32>(cells[x]);
            out[x - left] =
                qRgb(int(packed & 0xff), int((packed >> 8) & 0xff), int((packed >> 16) & 0xff));
        }
    }
    return piece;
}

} // namespace

QImage piecePicture(const PageGrid& grid, const QImage& page, const CutPiece& cut, qint32 W) {
    if (cut.kind == PieceKind::WholePage)
        return page;
    // A block is (right - left) x (bottom - top); a band kept whole is as wide as the page
    // picture.
    const qint32 width = cut.kind == PieceKind::Block ? cut.right - cut.left : W;
    return pieceFromGrid(grid, cut.left, cut.right + 1, cut.top, cut.bottom, width,
                         cut.bottom - cut.top);
}

QString pieceNumberText(qint32 number) {
    return QStringLiteral("%1").arg(number, 4, 10, QLatin1Char('0'));
}

} // namespace vantola
