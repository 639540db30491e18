#include "cutting/piece_picture.h"

#include "cutting/grid_vector_kernels.h"
#include "image/cimage.h"
#include "image/vector_paths.h"
#include "settings/app_error.h"

#include <algorithm>
#include <cstring>

namespace vantola {

namespace {

// R + 256·G + 65536·B cells to blue, green, red bytes: each cell's bytes reversed and stored as
// four bytes, the fourth overwritten by the next pixel; the last pixel is stored as three bytes
// so that nothing past the row is touched.
void bgrFromCells(const qint32* cells, qint32 count, quint8* out) {
    if (count <= 0)
        return;
    if (useVectorPaths()) {
        bgrFromCellsAvx2(cells, count, out);
        return;
    }
    for (qint32 x = 0; x + 1 < count; ++x) {
        const quint32 bgr = __builtin_bswap32(quint32(cells[x])) >> 8;
        std::memcpy(out + 3 * std::size_t(x), &bgr, 4);
    }
    const quint32 last = quint32(cells[count - 1]);
    quint8* end = out + 3 * std::size_t(count - 1);
    end[0] = quint8(last >> 16);
    end[1] = quint8(last >> 8);
    end[2] = quint8(last);
}

// The piece of the grid with columns left..right - 1 and rows top..bottom - 1, as a 24-bit buffer
// of width x height pixels; cells outside that rectangle (or outside the grid) stay white. Only
// those are filled white: the others are written once, from the grid.
std::shared_ptr<const cImage> bufferFromGrid(const PageGrid& grid, qint32 left, qint32 right,
                                             qint32 top, qint32 bottom, qint32 width,
                                             qint32 height) {
    auto piece = std::make_shared<cImage>();
    if (!piece->Allocate(width, height, 24))
        raiseError(kErrOutOfMemory);
    const qint32 firstColumn = std::max(left, 0);
    const qint32 lastColumn = std::min({right, left + width, grid.columnCount()});
    // Columns of each piece row taken from the grid: [begin, end).
    const qint32 begin = std::min(firstColumn - left, width);
    const qint32 end = std::max(begin, lastColumn - left);
    constexpr quint8 kWhite = 0xFF;
    for (qint32 row = 0; row < height; ++row) {
        quint8* out = piece->topDownRow(row);
        const qint32 y = top + row;
        if (y >= bottom) {
            std::memset(out, kWhite, 3 * std::size_t(width));
            continue;
        }
        if (y < 0 || y >= grid.rowCount())
            raiseError(kErrSubscript);
        std::memset(out, kWhite, 3 * std::size_t(begin));
        bgrFromCells(grid.row(y) + firstColumn, end - begin, out + 3 * std::size_t(begin));
        std::memset(out + 3 * std::size_t(end), kWhite, 3 * std::size_t(width - end));
    }
    return piece;
}

} // namespace

std::shared_ptr<const cImage> pieceBuffer(const PageGrid& grid, const CutPiece& cut, qint32 W) {
    // A block is (right - left) x (bottom - top); a band kept whole is as wide as the page
    // picture.
    const qint32 width = cut.kind == PieceKind::Block ? cut.right - cut.left : W;
    return bufferFromGrid(grid, cut.left, cut.right + 1, cut.top, cut.bottom, width,
                          cut.bottom - cut.top);
}

QImage pictureOfBuffer(const cImage& buffer) {
    QImage picture =
        cImage::uninitialisedQImage(buffer.Width(), buffer.Height(), QImage::Format_RGB32);
    if (picture.isNull())
        raiseError(kErrOutOfMemory);
    for (qint32 y = 0; y < buffer.Height(); ++y) {
        const quint8* in = buffer.topDownRow(y);
        auto* out = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (qint32 x = 0; x < buffer.Width(); ++x)
            out[x] = qRgb(in[3 * x + 2], in[3 * x + 1], in[3 * x]);
    }
    return picture;
}

QImage piecePicture(const PageGrid& grid, const QImage& page, const CutPiece& cut, qint32 W) {
    if (cut.kind == PieceKind::WholePage)
        return page;
    return pictureOfBuffer(*pieceBuffer(grid, cut, W));
}

QString pieceNumberText(qint32 number) {
    return QStringLiteral("%1").arg(number, 4, 10, QLatin1Char('0'));
}

} // namespace vantola
