#pragma once

// Reading and writing picture buffers pixel by pixel, for the buffer tests.

#include "image/cimage.h"
#include "image/cimage_pixels.h"

#include <memory>
#include <vector>

namespace vantola::test {

inline quint32 pixelAt(const cImage& image, qint32 x, qint32 y) {
    return cimage_pixels::readPixel(image.topDownRow(y), x, image.BitCount());
}

// A buffer of the given depth holding the given pixel values, top row first.
inline std::unique_ptr<cImage> bufferOf(qint16 bits,
                                        const std::vector<std::vector<quint32>>& rows) {
    auto image = std::make_unique<cImage>();
    if (!image->Create(qint32(rows.front().size()), qint32(rows.size()), bits))
        return nullptr;
    for (qint32 y = 0; y < image->Height(); ++y)
        for (qint32 x = 0; x < image->Width(); ++x)
            cimage_pixels::writePixel(image->topDownRow(y), x, bits, rows[y][x]);
    return image;
}

} // namespace vantola::test
