// The picture buffer and its pixels: creating and releasing the memory, its layout, the colour
// table, and reading, writing and converting single pixels at any depth.

#include "image/cimage.h"

#include "image/cimage_pixels.h"
#include "image/pixel_memory.h"
#include "settings/app_error.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
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

} // namespace

void* cImage::allocatePixels(std::size_t bytes) {
    return pixel_memory::allocate(bytes);
}

void cImage::freePixels(void* pixels, std::size_t bytes) noexcept {
    pixel_memory::release(pixels, bytes);
}

QImage cImage::uninitialisedQImage(qint32 lWidth, qint32 lHeight, QImage::Format format) {
    // Rows padded to 32 bits, as QImage pads its own.
    const int depth = QImage::toPixelFormat(format).bitsPerPixel();
    const qint64 stride = ((qint64(lWidth) * depth + 31) / 32) * 4;
    const qint64 bytes = stride * lHeight;
    if (lWidth <= 0 || lHeight <= 0 || stride > std::numeric_limits<qint32>::max() ||
        bytes > std::numeric_limits<qint32>::max())
        return QImage(lWidth, lHeight, format);
    void* pixels = nullptr;
    try {
        pixels = allocatePixels(std::size_t(bytes));
    } catch (const std::bad_alloc&) {
        return {};
    }
    struct Memory {
        void* pixels;
        std::size_t bytes;
    };
    auto* memory = new Memory{pixels, std::size_t(bytes)};
    return QImage(
        static_cast<uchar*>(pixels), lWidth, lHeight, qsizetype(stride), format,
        [](void* info) {
            auto* owned = static_cast<Memory*>(info);
            freePixels(owned->pixels, owned->bytes);
            delete owned;
        },
        memory);
}

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
    return make(lWidth, lHeight, iBitCount, true);
}

bool cImage::Allocate(qint32 lWidth, qint32 lHeight, qint16 iBitCount) {
    return make(lWidth, lHeight, iBitCount, false);
}

bool cImage::make(qint32 lWidth, qint32 lHeight, qint16 iBitCount, bool cleared) {
    release();
    if (!isSupportedDepth(iBitCount) || lWidth <= 0 || lHeight <= 0) {
        return false;
    }
    const qint32 stride = strideFor(lWidth, iBitCount);
    const qint64 imageSize = checked32(qint64(lHeight) * stride);
    try {
        if (cleared) {
            pixels_.assign(static_cast<size_t>(imageSize), 0);
        } else {
            pixels_.resize(static_cast<size_t>(imageSize));
            // The bytes past the last pixel of each row stay 0, as in a cleared buffer.
            const size_t used = (size_t(lWidth) * size_t(iBitCount) + 7) / 8;
            if (used < size_t(stride)) {
                for (qint64 y = 0; y < lHeight; ++y) {
                    std::fill_n(pixels_.data() + y * stride + used, stride - used, quint8(0));
                }
            }
        }
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
    decltype(pixels_)().swap(pixels_);
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

} // namespace vantola

namespace vantola::cimage_pixels {

quint8 lumaOf(QRgb colour) {
    const double luma = 0.299 * qRed(colour) + 0.587 * qGreen(colour) + 0.114 * qBlue(colour);
    return quint8(std::nearbyint(luma));
}

NearestEntry::NearestEntry(const std::array<ColourEntry, 256>& table, int count)
    : table_(table), count_(count), cachedColour_(size_t(1) << kCacheBits, kNoColour),
      cachedEntry_(size_t(1) << kCacheBits, 0) {}

quint32 NearestEntry::operator()(QRgb colour) {
    const quint32 rgb = colour & 0xFFFFFFu;
    const size_t slot = (rgb * 2654435761u) >> (32 - kCacheBits);
    if (cachedColour_[slot] != rgb) {
        cachedColour_[slot] = rgb;
        cachedEntry_[slot] = quint8(search(rgb));
    }
    return cachedEntry_[slot];
}

quint32 NearestEntry::search(quint32 rgb) const {
    int best = 0;
    int bestDistance = std::numeric_limits<int>::max();
    for (int i = 0; i < count_; ++i) {
        const int dr = qRed(rgb) - table_[i].red;
        const int dg = qGreen(rgb) - table_[i].green;
        const int db = qBlue(rgb) - table_[i].blue;
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return quint32(best);
}

PixelConverter::PixelConverter(const cImage& source, const cImage& destination)
    : source_(source), same_(source.BitCount() == destination.BitCount()),
      toRgb_(destination.BitCount() == 24), fromIndexed_(source.BitCount() != 24) {
    if (same_) {
        return;
    }
    if (!toRgb_) {
        nearest_ = std::make_unique<NearestEntry>(destination.colourTable(),
                                                  tableSize(destination.BitCount()));
    }
    // An indexed source has few values: translate each of them once.
    if (fromIndexed_) {
        for (int i = 0; i < tableSize(source.BitCount()); ++i) {
            const QRgb colour = colourOf(source, quint32(i));
            byIndex_[i] = toRgb_ ? (colour & 0xFFFFFFu) : (*nearest_)(colour);
        }
    }
}

quint32 PixelConverter::operator()(quint32 sourceValue) {
    if (same_) {
        return sourceValue;
    }
    if (fromIndexed_) {
        return byIndex_[sourceValue & 0xFFu];
    }
    return toRgb_ ? sourceValue : (*nearest_)(colourOf(source_, sourceValue));
}

std::unique_ptr<cImage> newBufferLike(const cImage& model, qint32 lWidth, qint32 lHeight) {
    auto image = std::make_unique<cImage>();
    if (!image->Create(lWidth, lHeight, model.BitCount())) {
        return nullptr;
    }
    if (model.BitCount() != 24) {
        image->CopyPalletHDC(model.hDC());
    }
    return image;
}

} // namespace vantola::cimage_pixels
