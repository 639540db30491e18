#pragma once

// Colour conversion and sampling, the encoder's first stage: the pixels of a picture buffer are
// read as blue, green, red rows, rendered onto each component's size by area averaging when the
// component is subsampled, and turned into the component's samples (Y with its level shift, Cb
// or Cr) in single precision.

#include "image/cimage.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
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
    // Says that the reader asks for rows in increasing order, looking back at most `count` rows
    // from the last one asked for (that one included). Rows held in memory need not know.
    virtual void keepRows(std::int32_t count) { (void)count; }

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

// A picture held in memory, 3 bytes per pixel with no padding. Its bytes start undefined (each
// user writes every row before reading it): zeroing them first would only cost time.
class BgrPlane final : public BgrRows {
public:
    BgrPlane(std::int32_t width, std::int32_t height)
        : BgrRows(width, height),
          bytes_(new std::uint8_t[std::size_t(width) * std::size_t(height) * 3]) {}
    const std::uint8_t* row(std::int32_t y) override { return mutableRow(y); }
    std::uint8_t* mutableRow(std::int32_t y) {
        return bytes_.get() + std::size_t(y) * std::size_t(width_) * 3;
    }

private:
    std::unique_ptr<std::uint8_t[]> bytes_;
};

// The rows of a picture rendered onto another size by area averaging (as areaAverage does),
// each row computed when it is asked for: no plane of the whole rendered picture is kept.
class AveragedRows final : public BgrRows {
public:
    // Renders one target row from the source rows it covers.
    class Renderer {
    public:
        virtual ~Renderer() = default;
        virtual void render(std::int32_t y, std::uint8_t* out) = 0;
    };

    // `source` must outlive this object; width and height are positive.
    AveragedRows(BgrRows& source, std::int32_t width, std::int32_t height);
    ~AveragedRows() override;
    const std::uint8_t* row(std::int32_t y) override;
    // Renders row y into `out` (3 x width bytes).
    void render(std::int32_t y, std::uint8_t* out) { renderer_->render(y, out); }

private:
    std::unique_ptr<Renderer> renderer_;
    std::vector<std::uint8_t> row_;
    std::int32_t current_ = -1;
};

// Renders `source` onto the size of `target` by area averaging: every target pixel is the
// mean of the source area it covers (partly covered source pixels weighted by the covered
// part), rounded to the nearest level, halves up. Equal sizes copy the pixels.
void areaAverage(BgrRows& source, BgrPlane& target);

// Single-precision weights of red, green and blue and the offset of one component.
struct ColourWeights {
    float red;
    float green;
    float blue;
    float offset;
};

// Component 0 (Y, with the level shift of -128), 1 (Cb) and 2 (Cr). The +128 of the
// colour-difference formulas cancels the level shift, so Cb and Cr have no offset.
inline constexpr std::array<ColourWeights, 3> kComponentWeights = {{
    {0.299f, 0.587f, 0.114f, -128.0f},
    {-0.16874f, -0.33126f, 0.5f, 0.0f},
    {0.5f, -0.41869f, -0.08131f, 0.0f},
}};

// Turns blue, green, red pixels into the samples of one component: wR x red + wG x green +
// wB x blue + offset, rounded to single precision. The products and their sum are exact in
// double precision (single-precision weights times 8-bit levels), so the one rounding is the
// final one whatever the order of the sum, and tables of the products give the same result.
class SampleConverter {
public:
    explicit SampleConverter(const ColourWeights& weights)
        : weights_{weights.red, weights.green, weights.blue, weights.offset} {
        for (int level = 0; level < 256; ++level) {
            red_[level] = double(weights.red) * level;
            green_[level] = double(weights.green) * level;
            blue_[level] = double(weights.blue) * level + double(weights.offset);
        }
    }

    // Converts `count` pixels of a row into samples (with the AVX2 kernel where it is used).
    void convert(const std::uint8_t* bgr, std::int64_t count, float* samples) const;

private:
    std::array<double, 4> weights_; // red, green, blue, offset
    std::array<double, 256> red_{};
    std::array<double, 256> green_{};
    std::array<double, 256> blue_{}; // with the offset
};

} // namespace vantola::jpeg
