// Operations that derive a new buffer from this one: grey, mirror and rotation pixel for pixel,
// and resampling by area averaging, where every new pixel is the mean colour of the part of the
// old picture that it covers, each old pixel weighted by the area it shares with the new one.

#include "image/cimage.h"
#include "image/cimage_pixels.h"

#include <algorithm>
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

// How the pixels of one axis of length `from` spread over an axis of length `to`. On a common
// scale where an old pixel is `to` units long and a new one `from` units, the weight of old
// pixel i in new pixel j is the length they share: a whole number, summing to `from`.
struct AxisWeights {
    std::vector<qint32> first;   // first old pixel of each new pixel
    std::vector<qint32> offset;  // start of each new pixel's weights in `weight`
    std::vector<quint32> weight; // shares of the old pixels first, first + 1, ...

    AxisWeights(qint32 from, qint32 to) {
        first.reserve(to);
        offset.reserve(static_cast<size_t>(to) + 1);
        for (qint64 j = 0; j < to; ++j) {
            const qint64 start = j * from;
            const qint64 end = start + from;
            first.push_back(qint32(start / to));
            offset.push_back(qint32(weight.size()));
            for (qint64 i = start / to; i * to < end; ++i) {
                const qint64 shared = std::min(end, (i + 1) * to) - std::max(start, i * to);
                weight.push_back(quint32(shared));
            }
        }
        offset.push_back(qint32(weight.size()));
    }

    qint32 count(qint32 j) const { return offset[j + 1] - offset[j]; }
    const quint32* weightsOf(qint32 j) const { return weight.data() + offset[j]; }
};

struct Sums {
    quint64 red = 0, green = 0, blue = 0;
};

void areaAverage(const cImage& source, cImage& destination) {
    const qint32 sw = source.Width();
    const qint32 sh = source.Height();
    const qint32 dw = destination.Width();
    const AxisWeights across(sw, dw);
    const AxisWeights down(sh, destination.Height());
    const quint64 total = quint64(sw) * quint64(sh);
    const qint16 bits = source.BitCount();
    cimage_pixels::NearestEntry nearest(destination.colourTable(), cimage_pixels::tableSize(bits));
    std::vector<Sums> column(static_cast<size_t>(sw));
    for (qint32 y = 0; y < destination.Height(); ++y) {
        // Weighted sums down each old column over the rows that new row y covers.
        std::fill(column.begin(), column.end(), Sums{});
        for (qint32 k = 0; k < down.count(y); ++k) {
            const quint8* row = source.topDownRow(down.first[y] + k);
            const quint64 wy = down.weightsOf(y)[k];
            for (qint32 x = 0; x < sw; ++x) {
                const QRgb colour =
                    cimage_pixels::colourOf(source, cimage_pixels::readPixel(row, x, bits));
                column[x].red += wy * quint64(qRed(colour));
                column[x].green += wy * quint64(qGreen(colour));
                column[x].blue += wy * quint64(qBlue(colour));
            }
        }
        quint8* out = destination.topDownRow(y);
        for (qint32 x = 0; x < dw; ++x) {
            Sums sum;
            for (qint32 k = 0; k < across.count(x); ++k) {
                const Sums& part = column[across.first[x] + k];
                const quint64 wx = across.weightsOf(x)[k];
                sum.red += wx * part.red;
                sum.green += wx * part.green;
                sum.blue += wx * part.blue;
            }
            // Mean rounded to the nearest level (halves up).
            const QRgb mean = qRgb(int((2 * sum.red + total) / (2 * total)),
                                   int((2 * sum.green + total) / (2 * total)),
                                   int((2 * sum.blue + total) / (2 * total)));
            const quint32 value = bits == 24 ? (mean & 0xFFFFFFu) : nearest(mean);
            cimage_pixels::writePixel(out, x, bits, value);
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
