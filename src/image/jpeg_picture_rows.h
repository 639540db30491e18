#pragma once

#include "image/cimage.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vantola::jpeg {

// Rows of a picture as blue, green, red bytes, row 0 at the top.
class BgrRows {
public:
    virtual ~BgrRows() = default;
    std::int32_t width() const { return width_; }
    std::int32_t height() const { return height_; }
    // The width() pixels of row y (0 <= y < height()); valid until the next call.
    virtual const std::uint8_t* row(std::int32_t y) = 0;

protected:
    BgrRows(std::int32_t width, std::int32_t height) : width_(width), height_(height) {}
    std::int32_t width_;
    std::int32_t height_;
};

// The rectangle (left, top, width, height) of a picture buffer of any depth: rows of a 24-bit
// buffer are read in place, indexed pixels through the colour table. Pixels of the rectangle
// that lie outside the buffer read as black.
class PictureRows final : public BgrRows {
public:
    PictureRows(const cImage& picture, std::int32_t left, std::int32_t top, std::int32_t width,
                std::int32_t height);
    const std::uint8_t* row(std::int32_t y) override;

private:
    const cImage& picture_;
    std::int64_t left_;
    std::int64_t top_;
    bool inPlace_;
    std::vector<std::uint8_t> scratch_;
};

// A picture held in memory, 3 bytes per pixel with no padding.
class BgrPlane final : public BgrRows {
public:
    BgrPlane(std::int32_t width, std::int32_t height)
        : BgrRows(width, height), bytes_(std::size_t(width) * std::size_t(height) * 3) {}
    const std::uint8_t* row(std::int32_t y) override { return mutableRow(y); }
    std::uint8_t* mutableRow(std::int32_t y) {
        return bytes_.data() + std::size_t(y) * std::size_t(width_) * 3;
    }

private:
    std::vector<std::uint8_t> bytes_;
};

} // namespace vantola::jpeg
