// Resampling by area averaging: every new pixel is the mean colour of the part of the old
// picture that it covers, each old pixel weighted by the area it shares with the new one.

#include "image/cimage.h"
#include "image/cimage_pixels.h"

#include <algorithm>
#include <cstring>

namespace vantola {

namespace {

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
