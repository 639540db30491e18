// Operations that derive a new buffer from this one: grey, mirror and rotation pixel for pixel,
// and resampling by area averaging, where every new pixel is the mean colour of the part of the
// old picture that it covers, each old pixel weighted by the area it shares with the new one.

#include "image/cimage.h"
#include "image/cimage_pixels.h"
#include "image/jpeg_colour_sampling.h"

#include <cstring>

namespace vantola {

namespace {

using cimage_pixels::readPixel;
using cimage_pixels::writePixel;

// Fills every pixel (x, y) of `destination` with the pixel sourceOf(x, y) of `source`; both
// buffers have the same depth.
template <typename SourceOf>
void remap(const cImage& source, cImage& destination, SourceOf sourceOf) {
    const qint16 bits = source.BitCount();
    for (qint32 y = 0; y < destination.Height(); ++y) {
        quint8* out = destination.topDownRow(y);
        for (qint32 x = 0; x < destination.Width(); ++x) {
            const auto [sx, sy] = sourceOf(x, y);
            writePixel(out, x, bits, readPixel(source.topDownRow(sy), sx, bits));
        }
    }
}

struct Point {
    qint32 x, y;
};

// The area average of the encoder's sampling stage (exact integer weights, halves rounded up),
// then at indexed depths the nearest colour-table entry of each mean colour.
void areaAverage(const cImage& source, cImage& destination) {
    jpeg::PictureRows rows(source, 0, 0, source.Width(), source.Height());
    jpeg::BgrPlane means(destination.Width(), destination.Height());
    jpeg::areaAverage(rows, means);
    const qint16 bits = destination.BitCount();
    cimage_pixels::NearestEntry nearest(destination.colourTable(), cimage_pixels::tableSize(bits));
    for (qint32 y = 0; y < destination.Height(); ++y) {
        const quint8* bgr = means.row(y);
        quint8* out = destination.topDownRow(y);
        for (qint32 x = 0; x < destination.Width(); ++x, bgr += 3) {
            const QRgb mean = qRgb(bgr[2], bgr[1], bgr[0]);
            cimage_pixels::writePixel(out, x, bits,
                                      bits == 24 ? (mean & 0xFFFFFFu) : nearest(mean));
        }
    }
}

} // namespace

std::unique_ptr<cImage> cImage::Greyscale() const {
    if (hDC() == nullptr) {
        return nullptr;
    }
    auto grey = std::make_unique<cImage>();
    if (!grey->Create(width_, height_, 8)) {
        return nullptr;
    }
    // The 8-bit ramp has one entry per grey level, so the level is the index.
    std::array<quint8, 256> levelOfEntry{};
    for (int i = 0; i < cimage_pixels::tableSize(bitCount_); ++i) {
        levelOfEntry[i] = cimage_pixels::lumaOf(cimage_pixels::entryColour(colours_[i]));
    }
    for (qint32 y = 0; y < height_; ++y) {
        const quint8* in = topDownRow(y);
        quint8* out = grey->topDownRow(y);
        for (qint32 x = 0; x < width_; ++x) {
            const quint32 value = readPixel(in, x, bitCount_);
            out[x] = bitCount_ == 24 ? cimage_pixels::lumaOf(value) : levelOfEntry[value];
        }
    }
    return grey;
}

std::unique_ptr<cImage> cImage::Mirror(bool Vertical) const {
    if (hDC() == nullptr) {
        return nullptr;
    }
    auto mirrored = cimage_pixels::newBufferLike(*this, width_, height_);
    if (!mirrored) {
        return nullptr;
    }
    if (Vertical) {
        for (qint32 y = 0; y < height_; ++y) {
            std::memcpy(mirrored->topDownRow(y), topDownRow(height_ - 1 - y),
                        static_cast<size_t>(stride_));
        }
    } else {
        const qint32 w = width_;
        remap(*this, *mirrored, [w](qint32 x, qint32 y) { return Point{w - 1 - x, y}; });
    }
    return mirrored;
}

std::unique_ptr<cImage> cImage::Rotate(qint32 Degrees) const {
    qint32 angle = Degrees % 360;
    if (angle < 0) {
        angle += 360;
    }
    if ((angle != 90 && angle != 180 && angle != 270) || hDC() == nullptr) {
        return nullptr;
    }
    const qint32 w = width_;
    const qint32 h = height_;
    auto turned = angle == 180 ? cimage_pixels::newBufferLike(*this, w, h)
                               : cimage_pixels::newBufferLike(*this, h, w);
    if (!turned) {
        return nullptr;
    }
    switch (angle) {
    case 90: // a quarter turn counter-clockwise
        remap(*this, *turned, [w](qint32 x, qint32 y) { return Point{w - 1 - y, x}; });
        break;
    case 180:
        remap(*this, *turned, [w, h](qint32 x, qint32 y) { return Point{w - 1 - x, h - 1 - y}; });
        break;
    default: // 270, a quarter turn clockwise
        remap(*this, *turned, [h](qint32 x, qint32 y) { return Point{y, h - 1 - x}; });
        break;
    }
    return turned;
}

std::unique_ptr<cImage> cImage::Resample(qint32 lWidth, qint32 lHeight) const {
    if (hDC() == nullptr) {
        return nullptr;
    }
    auto resampled = cimage_pixels::newBufferLike(*this, lWidth, lHeight);
    if (!resampled) {
        return nullptr;
    }
    if (lWidth == width_ && lHeight == height_) {
        std::memcpy(resampled->DIBitsPtr(), DIBitsPtr(), pixels_.size());
    } else {
        areaAverage(*this, *resampled);
    }
    return resampled;
}

} // namespace vantola
