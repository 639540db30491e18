#include "image/cimage_paint.h"

#include "image/cimage_pixels.h"

#include <algorithm>
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

} // namespace

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

} // namespace vantola
