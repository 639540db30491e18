// Copying a decoded QImage into the buffer. The piece writer copies every piece of every page
// through here, so the common layouts move whole rows of bytes without per-pixel QImage calls.

#include "image/cimage.h"
#include "image/cimage_pixels.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace vantola {

namespace {

using cimage_pixels::colourEntry;

// The buffer depth that keeps a picture as it is: 1 bit for two-colour pictures, 4 or 8 bits
// for indexed ones (by the size of their colour table), 8 bits for grey, 24 bits for every
// other layout (16-bit and 32-bit colour included; alpha is not kept).
qint16 ownDepthOf(const QImage& picture) {
    switch (picture.format()) {
    case QImage::Format_Invalid:
        return 0;
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
        return 1;
    case QImage::Format_Indexed8:
        return picture.colorCount() <= 16 ? 4 : 8;
    case QImage::Format_Grayscale8:
        return 8;
    default:
        return 24;
    }
}

// A picture in a layout whose rows convert quickly to blue-green-red triples. Premultiplied
// colours are brought back to plain colours first; alpha is then ignored, not composited.
QImage asRgbRows(const QImage& picture) {
    switch (picture.format()) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_RGB888:
    case QImage::Format_BGR888:
    case QImage::Format_RGBX8888:
    case QImage::Format_RGBA8888:
        return picture;
    default:
        return picture.convertToFormat(picture.hasAlphaChannel() ? QImage::Format_ARGB32
                                                                 : QImage::Format_RGB32);
    }
}

// 0xAARRGGBB words to blue, green, red bytes. On little-endian machines four pixels (two
// 64-bit loads) become one 64-bit and one 32-bit store: B0 G0 R0 B1 G1 R1 B2 G2 | R2 B3 G3 R3.
void packXrgbRow(const quint8* in, quint8* out, qint32 width) {
    qint32 x = 0;
    if constexpr (std::endian::native == std::endian::little) {
        for (; x + 4 <= width; x += 4, in += 16, out += 12) {
            quint64 q0, q1;
            std::memcpy(&q0, in, 8);
            std::memcpy(&q1, in + 8, 8);
            const quint64 low = (q0 & 0xFFFFFFu) | ((q0 >> 8) & 0xFFFFFF000000u) | (q1 << 48);
            const quint32 high = quint32((q1 >> 16) & 0xFFu) | quint32((q1 >> 24) & 0xFFFFFF00u);
            std::memcpy(out, &low, 8);
            std::memcpy(out + 8, &high, 4);
        }
    }
    for (; x < width; ++x, in += 4, out += 3) {
        quint32 pixel;
        std::memcpy(&pixel, in, sizeof pixel);
        out[0] = quint8(pixel);
        out[1] = quint8(pixel >> 8);
        out[2] = quint8(pixel >> 16);
    }
}

// Red, green, blue bytes (each pixel `step` bytes long) to blue, green, red.
void swapRedBlueRow(const quint8* in, quint8* out, qint32 width, int step) {
    for (qint32 x = 0; x < width; ++x, in += step, out += 3) {
        out[0] = in[2];
        out[1] = in[1];
        out[2] = in[0];
    }
}

// Row y of a picture laid out by asRgbRows, as blue, green, red bytes.
void bgrRow(const QImage& rgb, qint32 y, quint8* out) {
    const quint8* in = rgb.constScanLine(y);
    const qint32 width = rgb.width();
    switch (rgb.format()) {
    case QImage::Format_BGR888:
        std::memcpy(out, in, static_cast<size_t>(width) * 3);
        break;
    case QImage::Format_RGB888:
        swapRedBlueRow(in, out, width, 3);
        break;
    case QImage::Format_RGBX8888:
    case QImage::Format_RGBA8888:
        swapRedBlueRow(in, out, width, 4);
        break;
    default:
        packXrgbRow(in, out, width);
        break;
    }
}

void copyColourTable(const QImage& picture, cImage& image) {
    const QList<QRgb> colours = picture.colorTable();
    const qsizetype count =
        std::min<qsizetype>(colours.size(), cimage_pixels::tableSize(image.BitCount()));
    for (qsizetype i = 0; i < count; ++i) {
        image.colourTable()[i] = colourEntry(colours[i]);
    }
}

quint8 reversedBits(quint8 byte) {
    quint8 reversed = 0;
    for (int bit = 0; bit < 8; ++bit) {
        reversed = quint8((reversed << 1) | ((byte >> bit) & 1u));
    }
    return reversed;
}

// The bits after the last pixel of a 1-bit row are undefined in a QImage; the buffer keeps
// them 0 like the rest of its padding.
void clearBitsPastWidth(quint8* row, qint32 width) {
    if (width % 8 != 0) {
        row[width / 8] &= quint8(0xFF00u >> (width % 8));
    }
}

// A two-colour, indexed or grey picture at its own depth: its colour table, then its indices.
void copyIndexedRows(const QImage& picture, cImage& image) {
    if (picture.format() != QImage::Format_Grayscale8) {
        copyColourTable(picture, image);
    }
    const qint32 width = picture.width();
    std::array<quint8, 256> lsbToMsb{};
    if (picture.format() == QImage::Format_MonoLSB) {
        for (int i = 0; i < 256; ++i) {
            lsbToMsb[i] = reversedBits(quint8(i));
        }
    }
    for (qint32 y = 0; y < picture.height(); ++y) {
        const quint8* in = picture.constScanLine(y);
        quint8* out = image.topDownRow(y);
        if (picture.format() == QImage::Format_Mono) {
            std::memcpy(out, in, static_cast<size_t>(width + 7) / 8);
            clearBitsPastWidth(out, width);
        } else if (picture.format() == QImage::Format_MonoLSB) {
            std::transform(in, in + (width + 7) / 8, out, [&](quint8 b) { return lsbToMsb[b]; });
            clearBitsPastWidth(out, width);
        } else if (image.BitCount() == 8) {
            std::memcpy(out, in, static_cast<size_t>(width));
        } else {
            // Four bits hold indices 0 to 15; an index past a colour table that small is
            // undefined in the picture and becomes 0.
            for (qint32 x = 0; x < width; ++x) {
                cimage_pixels::writePixel(out, x, 4, in[x] < 16 ? in[x] : 0);
            }
        }
    }
}

// Any picture onto the grey ramp of the buffer's indexed depth, by the luma of each colour.
void copyGreyRows(const QImage& rgb, cImage& image) {
    const qint16 bits = image.BitCount();
    std::vector<quint8> row(static_cast<size_t>(rgb.width()) * 3);
    for (qint32 y = 0; y < rgb.height(); ++y) {
        bgrRow(rgb, y, row.data());
        quint8* out = image.topDownRow(y);
        for (qint32 x = 0; x < rgb.width(); ++x) {
            const quint8* bgr = row.data() + 3 * static_cast<size_t>(x);
            const quint8 grey = cimage_pixels::lumaOf(qRgb(bgr[2], bgr[1], bgr[0]));
            cimage_pixels::writePixel(out, x, bits, cimage_pixels::rampIndexOf(grey, bits));
        }
    }
}

} // namespace

bool cImage::CopyStdPicture(const QImage& TheStdPicture, qint16* iBitCount) {
    const bool automatic = iBitCount == nullptr || *iBitCount == 0;
    const qint16 depth = automatic ? ownDepthOf(TheStdPicture) : *iBitCount;
    if (iBitCount != nullptr) {
        *iBitCount = depth;
    }
    if (!Create(TheStdPicture.width(), TheStdPicture.height(), depth)) {
        return false;
    }
    if (automatic && depth != 24) {
        copyIndexedRows(TheStdPicture, *this);
        return true;
    }
    const QImage rgb = asRgbRows(TheStdPicture);
    if (rgb.isNull()) {
        release(); // no memory to convert the picture: leave no half-made copy
        return false;
    }
    if (depth == 24) {
        for (qint32 y = 0; y < height_; ++y) {
            bgrRow(rgb, y, topDownRow(y));
        }
    } else {
        copyGreyRows(rgb, *this);
    }
    return true;
}

} // namespace vantola
