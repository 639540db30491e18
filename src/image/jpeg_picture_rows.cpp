#include "image/jpeg_picture_rows.h"

#include <algorithm>
#include <cstring>

namespace vantola::jpeg {

namespace {

// Colour-table index of pixel x of a row of an indexed picture.
std::uint8_t indexAt(const std::uint8_t* row, std::int64_t x, int bitCount) {
    switch (bitCount) {
    case 1:
        return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case 4:
        return (x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4);
    default:
        return row[x];
    }
}

} // namespace

PictureRows::PictureRows(const cImage& picture, std::int32_t left, std::int32_t top,
                         std::int32_t width, std::int32_t height)
    : BgrRows(width, height), picture_(picture), left_(left), top_(top) {
    inPlace_ = picture.BitCount() == 24 && left >= 0 && top >= 0 &&
               std::int64_t(left) + width <= picture.Width() &&
               std::int64_t(top) + height <= picture.Height();
    if (!inPlace_)
        scratch_.resize(std::size_t(width) * 3);
}

const std::uint8_t* PictureRows::row(std::int32_t y) {
    const std::int64_t sourceY = top_ + y;
    if (inPlace_)
        return picture_.topDownRow(static_cast<std::int32_t>(sourceY)) + 3 * left_;

    std::fill(scratch_.begin(), scratch_.end(), std::uint8_t{0});
    if (sourceY < 0 || sourceY >= picture_.Height())
        return scratch_.data();
    // Columns of the rectangle that lie inside the picture.
    const std::int64_t firstX = std::max<std::int64_t>(0, -left_);
    const std::int64_t endX = std::min<std::int64_t>(width_, picture_.Width() - left_);
    const std::uint8_t* source = picture_.topDownRow(static_cast<std::int32_t>(sourceY));
    std::uint8_t* out = scratch_.data();
    const int bitCount = picture_.BitCount();
    if (bitCount == 24) {
        if (endX > firstX)
            std::memcpy(out + 3 * firstX, source + 3 * (left_ + firstX),
                        std::size_t(endX - firstX) * 3);
        return out;
    }
    const auto& colours = picture_.colourTable();
    for (std::int64_t x = firstX; x < endX; ++x) {
        const ColourEntry& colour = colours[indexAt(source, left_ + x, bitCount)];
        out[3 * x] = colour.blue;
        out[3 * x + 1] = colour.green;
        out[3 * x + 2] = colour.red;
    }
    return out;
}

} // namespace vantola::jpeg
