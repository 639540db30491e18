#pragma once

#include "cutting/cut_decisions.h"
#include "cutting/page_grid.h"
#include "image/cimage.h"

#include <QImage>
#include <QString>
#include <memory>

namespace vantola {

// The picture of a piece that the cut decisions designate: the page picture itself for the
// whole page; a block is (right - left) x (bottom - top) pixels copied from the grid at (left,
// top); a band kept whole is as wide as the page picture (W). Raises the out-of-memory error
// when the picture cannot be held and the subscript error for rows outside the grid.
QImage piecePicture(const PageGrid& grid, const QImage& page, const CutPiece& cut, qint32 W);

// The picture of a block or band as the 24-bit buffer the encoder reads, built straight from the
// grid: the same pixels as piecePicture, with the same errors. Not for the whole page.
std::shared_ptr<const cImage> pieceBuffer(const PageGrid& grid, const CutPiece& cut, qint32 W);

// A 24-bit buffer as an opaque 32-bit picture (for a piece kept as a bitmap).
QImage pictureOfBuffer(const cImage& buffer);

// A piece number as file names show it: at least four digits, with leading zeros (0007).
QString pieceNumberText(qint32 number);

} // namespace vantola
