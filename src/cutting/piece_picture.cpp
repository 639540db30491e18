#include "cutting/piece_picture.h"

#include "cutting/vector_lanes.h"
#include "image/cimage.h"
#include "settings/app_error.h"

#include <algorithm>

namespace vantola {

namespace {

// R + 256·G + 65536·B cells to opaque 0xAARRGGBB words, four at a time.
void unpackRow(const qint32* cells, qint32 count, QRgb* out) {
    qint32 x = 0;
    for (; x + 4 <= count; x += 4) {
        const auto packed = lanes::load<lanes::UInt4>(cells + x);
        const lanes::UInt4 rgb =
            ((packed & 0xFFu) << 16) | (packed & 0xFF00u) | ((packed >> 16) & 0xFFu) | 0xFF000000u;
        lanes::store(out + x, rgb);
    }
    for (; x < count; ++x) {
        const quint32 packed = static_cast<quint32>(cells[x]);
        out[x] = qRgb(int(packed & 0xff), int((packed >> 8) & 0xff), int((packed >> 16) & 0xff));
    }
}

// The piece of the grid with columns left..right - 1 and rows top..bottom - 1, as a picture of
// width x height pixels; cells outside that rectangle (or outside the grid) stay white. Only
// those are filled white: the others are written once, from the grid.
QImage pieceFromGrid(const PageGrid& grid, qint32 left, qint32 right, qint32 top, qint32 bottom,
                     qint32 width, qint32 height) {
    QImage piece = cImage::uninitialisedQImage(width, height, QImage::Format_RGB32);
    if (piece.isNull())
        raiseError(kErrOutOfMemory);
    const qint32 firstColumn = std::max(left, 0);
    const qint32 lastColumn = std::min({right, left + width, grid.columnCount()});
    // Columns of each piece row taken from the grid: [begin, end).
    const qint32 begin = std::min(firstColumn - left, width);
    const qint32 end = std::max(begin, lastColumn - left);
    const QRgb white = qRgb(255, 255, 255);
    for (qint32 row = 0; row < height; ++row) {
        auto* out = reinterpret_cast<QRgb*>(piece.scanLine(row));
        const qint32 y = top + row;
        if (y >= bottom) {
            std::fill(out, out + width, white);
            continue;
        }
        if (y < 0 || y >= grid.rowCount())
            raiseError(kErrSubscript);
        std::fill(out, out + begin, white);
        unpackRow(grid.row(y) + firstColumn, end - begin, out + begin);
        std::fill(out + end, out + width, white);
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
