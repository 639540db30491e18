#include "cutting/grid_fill.h"

#include "cutting/vector_lanes.h"
#include "settings/app_error.h"

namespace vantola {

namespace {

// The page in a format whose scanlines we read directly. Implicitly shared, so no copy is made
// when the decoder's format is already one of them.
QImage readablePicture(const QImage& page) {
    switch (page.format()) {
    case QImage::Format_Grayscale8:
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
        return page;
    default:
        return page.convertToFormat(QImage::Format_RGB32);
    }
}

// 0xAARRGGBB to R + 256·G + 65536·B (the alpha byte is ignored), for one word or four.
template <typename Word>
Word packedColour(Word pixel) {
    return ((pixel >> 16) & 0xFFu) | (pixel & 0xFF00u) | ((pixel & 0xFFu) << 16);
}

// A grey level is the same level in R, G and B.
constexpr qint32 kGreyToPacked = 1 + 256 + 65536;

void packGreyRow(const uchar* source, qint32 width, qint32* cells) {
    qint32 x = 0;
    for (; x + 4 <= width; x += 4) {
        const lanes::Int4 levels = {source[x], source[x + 1], source[x + 2], source[x + 3]};
        lanes::store(cells + x, levels * kGreyToPacked);
    }
    for (; x < width; ++x) {
        cells[x] = qint32(source[x]) * kGreyToPacked;
    }
}

void packRgbRow(const QRgb* source, qint32 width, qint32* cells) {
    qint32 x = 0;
    for (; x + 4 <= width; x += 4) {
        lanes::store(cells + x, packedColour(lanes::load<lanes::UInt4>(source + x)));
    }
    for (; x < width; ++x) {
        cells[x] = qint32(packedColour(quint32(source[x])));
    }
}

} // namespace

void fillGridRows(const QImage& page, PageGrid& tabPixels, qint32 firstRow, qint32 lastRow,
                  const GridRowCallback& beforeRow) {
    const QImage picture = readablePicture(page);
    const qint32 width = picture.width();
    const qint32 height = picture.height();
    const bool grey = picture.format() == QImage::Format_Grayscale8;
    for (qint64 y = firstRow; y <= lastRow; ++y) {
        if (beforeRow) {
            beforeRow(qint32(y));
        }
        if (y < 0 || y >= tabPixels.rowCount() || width > tabPixels.columnCount()) {
            raiseError(kErrSubscript);
        }
        if (y >= height) {
            continue;
        }
        qint32* cells = tabPixels.row(qint32(y));
        if (grey) {
            packGreyRow(picture.constScanLine(int(y)), width, cells);
        } else {
            packRgbRow(reinterpret_cast<const QRgb*>(picture.constScanLine(int(y))), width, cells);
        }
    }
}

} // namespace vantola
