#include "image/cimage_pixels.h"

#include <cmath>
#include <limits>

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
