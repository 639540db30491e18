// The picture buffer's memory: creating and releasing it, its layout, and the copies between
// buffers (colour tables and rectangles).

#include "image/cimage.h"

#include "image/cimage_paint.h"
#include "image/cimage_pixels.h"
#include "settings/app_error.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

namespace vantola {

namespace {

bool isSupportedDepth(qint16 iBitCount) {
    return iBitCount == 1 || iBitCount == 4 || iBitCount == 8 || iBitCount == 24;
}

// Every step of the layout arithmetic must stay within 32 bits, as the header fields do.
qint64 checked32(qint64 value) {
    if (value < std::numeric_limits<qint32>::min() || value > std::numeric_limits<qint32>::max()) {
        raiseError(kErrOverflow);
    }
    return value;
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

} // namespace

qint32 cImage::strideFor(qint32 lWidth, qint16 iBitCount) {
    // Integer division truncates toward zero, so a width of 0 still gives one padded word.
    const qint64 width = lWidth;
    qint64 unpadded = 0;
    switch (iBitCount) {
    case 1:
        unpadded = checked32(checked32(width - 1) / 8 + 4);
        break;
    case 4:
        unpadded = checked32(checked32(width - 1) / 2 + 4);
        break;
    case 8:
        unpadded = checked32(width + 3);
        break;
    default:
        unpadded = checked32(checked32(3 * width) + 3);
        break;
    }
    return qint32(unpadded & ~qint64(3));
}

bool cImage::Create(qint32 lWidth, qint32 lHeight, qint16 iBitCount) {
    release();
    if (!isSupportedDepth(iBitCount) || lWidth <= 0 || lHeight <= 0) {
        return false;
    }
    const qint32 stride = strideFor(lWidth, iBitCount);
    const qint64 imageSize = checked32(qint64(lHeight) * stride);
    try {
        pixels_.assign(static_cast<size_t>(imageSize), 0);
    } catch (const std::bad_alloc&) {
        release();
        return false;
    }
    width_ = lWidth;
    height_ = lHeight;
    bitCount_ = iBitCount;
    stride_ = stride;
    if (iBitCount != 24) {
        const int top = cimage_pixels::tableSize(iBitCount) - 1;
        for (int i = 0; i <= top; ++i) {
            const quint8 grey = quint8(i * 255 / top);
            colours_[i].blue = grey;
            colours_[i].green = grey;
            colours_[i].red = grey;
        }
    }
    return true;
}

void cImage::release() {
    std::vector<quint8>().swap(pixels_);
    width_ = 0;
    height_ = 0;
    bitCount_ = 0;
    stride_ = 0;
}

const quint8* cImage::topDownRow(qint32 y) const {
    if (pixels_.empty() || y < 0 || y >= height_) {
        return nullptr;
    }
    return pixels_.data() + static_cast<size_t>(height_ - 1 - y) * static_cast<size_t>(stride_);
}

quint8* cImage::topDownRow(qint32 y) {
    return const_cast<quint8*>(std::as_const(*this).topDownRow(y));
}

bool cImage::CopyPalletHDC(Surface lHDC) {
    if (lHDC == nullptr || hDC() == nullptr || bitCount_ == 24 || lHDC->BitCount() == 24) {
        return false;
    }
    const int count =
        std::min(cimage_pixels::tableSize(bitCount_), cimage_pixels::tableSize(lHDC->BitCount()));
    std::copy_n(lHDC->colourTable().begin(), count, colours_.begin());
    return true;
}

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

} // namespace vantola
