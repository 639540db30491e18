// Drawing one buffer onto another (PaintHDC, CopyHDC) and copying a decoded QImage into a
// buffer (CopyStdPicture). The piece writer copies every piece of every page through
// CopyStdPicture, so the common layouts move whole rows of bytes without per-pixel QImage calls.

#include "image/cimage.h"
#include "image/cimage_pixels.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace vantola {

namespace {

using cimage_pixels::readPixel;
using cimage_pixels::writePixel;

struct Clip {
    qint32 x0, x1, y0, y1; // destination columns [x0, x1) and rows [y0, y1)
    qint32 left, top;      // destination position of the source's first pixel, once clipped
};

template <typename Combine>
void combineRows(const cImage& source, cImage& destination, const Clip& clip, Combine combine) {
    cimage_pixels::PixelConverter convert(source, destination);
    const qint16 sourceBits = source.BitCount();
    const qint16 destinationBits = destination.BitCount();
    const quint32 mask = cimage_pixels::valueMask(destinationBits);
    for (qint32 y = clip.y0; y < clip.y1; ++y) {
        const quint8* sourceRow = source.topDownRow(y - clip.top);
        quint8* destinationRow = destination.topDownRow(y);
        for (qint32 x = clip.x0; x < clip.x1; ++x) {
            const quint32 s = convert(readPixel(sourceRow, x - clip.left, sourceBits));
            const quint32 d = readPixel(destinationRow, x, destinationBits);
            writePixel(destinationRow, x, destinationBits, combine(d, s) & mask);
        }
    }
}

// A plain copy between buffers of the same whole-byte depth moves bytes.
bool copyBytes(const cImage& source, cImage& destination, const Clip& clip) {
    const qint16 bits = source.BitCount();
    if (bits != destination.BitCount() || (bits != 8 && bits != 24)) {
        return false;
    }
    const size_t bytesPerPixel = bits / 8;
    const size_t length = static_cast<size_t>(clip.x1 - clip.x0) * bytesPerPixel;
    for (qint32 y = clip.y0; y < clip.y1; ++y) {
        std::memcpy(destination.topDownRow(y) + clip.x0 * bytesPerPixel,
                    source.topDownRow(y - clip.top) + (clip.x0 - clip.left) * bytesPerPixel,
                    length);
    }
    return true;
}

// Depth of a new copy of a buffer, from the number of colour-table entries that it uses.
qint16 depthForTableSize(int entries) {
    if (entries == 0) {
        return 24;
    }
    if (entries <= 2) {
        return 1;
    }
    return entries <= 16 ? 4 : 8;
}

// Draws the whole of `source` onto `destination` with its top-left corner at (left, top),
// clipped to the destination, combining the pixels with a raster operation. The source's
// pixels are first turned into the destination's pixel values (unchanged at the same depth,
// through their colours between depths); the operation then works on the bits of those values:
// for 24 bits on each colour channel, for indexed depths on the colour-table index.
// Blackness sets every bit to 0 and Whiteness every bit to 1 (black and white on a grey ramp).
// A code outside RasterOp draws nothing. `source` and `destination` must be different buffers.
void paintImage(const cImage& source, cImage& destination, qint64 left, qint64 top, RasterOp rop) {
    if (source.hDC() == nullptr || destination.hDC() == nullptr) {
        return;
    }
    const qint64 x0 = std::max<qint64>(0, left);
    const qint64 x1 = std::min<qint64>(destination.Width(), left + source.Width());
    const qint64 y0 = std::max<qint64>(0, top);
    const qint64 y1 = std::min<qint64>(destination.Height(), top + source.Height());
    if (x0 >= x1 || y0 >= y1) {
        return;
    }
    // Once something is visible, both corners lie within 32 bits of the destination.
    const Clip clip{qint32(x0), qint32(x1), qint32(y0), qint32(y1), qint32(left), qint32(top)};
    using V = quint32;
    switch (rop) {
    case RasterOp::SrcCopy:
        if (!copyBytes(source, destination, clip)) {
            combineRows(source, destination, clip, [](V, V s) { return s; });
        }
        break;
    case RasterOp::SrcPaint:
        combineRows(source, destination, clip, [](V d, V s) { return d | s; });
        break;
    case RasterOp::SrcAnd:
        combineRows(source, destination, clip, [](V d, V s) { return d & s; });
        break;
    case RasterOp::SrcInvert:
        combineRows(source, destination, clip, [](V d, V s) { return d ^ s; });
        break;
    case RasterOp::SrcErase:
        combineRows(source, destination, clip, [](V d, V s) { return s & ~d; });
        break;
    case RasterOp::NotSrcCopy:
        combineRows(source, destination, clip, [](V, V s) { return ~s; });
        break;
    case RasterOp::NotSrcErase:
        combineRows(source, destination, clip, [](V d, V s) { return ~(d | s); });
        break;
    case RasterOp::DstInvert:
        combineRows(source, destination, clip, [](V d, V) { return ~d; });
        break;
    case RasterOp::Blackness:
        combineRows(source, destination, clip, [](V, V) { return V(0); });
        break;
    case RasterOp::Whiteness:
        combineRows(source, destination, clip, [](V, V) { return ~V(0); });
        break;
    }
}

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

bool cImage::CopyHDC(Surface lHDC, qint32 lWidth, qint32 lHeight, qint16* iBitCount,
                     qint32 lSrcLeft, qint32 lSrcTop) {
    if (lHDC == nullptr || lHDC->hDC() == nullptr) {
        return false;
    }
    if (lHDC == this) {
        // Creating the new picture would free the source: copy from a snapshot of it.
        auto snapshot = cimage_pixels::newBufferLike(*this, width_, height_);
        if (!snapshot) {
            return false;
        }
        std::memcpy(snapshot->DIBitsPtr(), DIBitsPtr(), pixels_.size());
        return CopyHDC(snapshot.get(), lWidth, lHeight, iBitCount, lSrcLeft, lSrcTop);
    }
    const int sourceEntries = cimage_pixels::tableSize(lHDC->BitCount());
    qint16 depth = iBitCount != nullptr ? *iBitCount : 0;
    if (depth == 0) {
        depth = depthForTableSize(sourceEntries);
    }
    if (iBitCount != nullptr) {
        *iBitCount = depth;
    }
    if (!Create(lWidth, lHeight, depth)) {
        return false;
    }
    if (sourceEntries > 0) {
        CopyPalletHDC(lHDC);
    }
    paintImage(*lHDC, *this, -qint64(lSrcLeft), -qint64(lSrcTop), RasterOp::SrcCopy);
    return true;
}

void cImage::PaintHDC(cImage* lHDC, qint32 lDestLeft, qint32 lDestTop, RasterOp eRop) const {
    if (lHDC == nullptr) {
        return;
    }
    if (lHDC == this) {
        // Drawing a buffer onto itself reads the pixels as they were before the drawing.
        auto snapshot = cimage_pixels::newBufferLike(*this, width_, height_);
        if (snapshot) {
            std::memcpy(snapshot->DIBitsPtr(), DIBitsPtr(), pixels_.size());
            paintImage(*snapshot, *lHDC, lDestLeft, lDestTop, eRop);
        }
        return;
    }
    paintImage(*this, *lHDC, lDestLeft, lDestTop, eRop);
}

bool cImage::CopyStdPicture(const QImage& TheStdPicture, qint16* iBitCount) {
    const bool automatic = iBitCount == nullptr || *iBitCount == 0;
    const qint16 depth = automatic ? ownDepthOf(TheStdPicture) : *iBitCount;
    if (iBitCount != nullptr) {
        *iBitCount = depth;
    }
    // The rows below write every pixel byte at 24 bits and at 8 bits of the picture's own
    // depth; the other depths write pixels into bytes that must start cleared.
    const bool everyByteWritten = depth == 24 || (automatic && depth == 8);
    if (!(everyByteWritten ? Allocate(TheStdPicture.width(), TheStdPicture.height(), depth)
                           : Create(TheStdPicture.width(), TheStdPicture.height(), depth))) {
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
