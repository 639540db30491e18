#pragma once

#include "image/jpeg_colour_sampling.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace vantola::jpeg {

// Reads a picture's rows one after the other, top to bottom, as blue, green, red bytes.
class RowReader {
public:
    virtual ~RowReader() = default;
    // Writes the next row into `bgr` (3 x width bytes); raises AppError when it cannot.
    virtual void readNext(std::uint8_t* bgr) = 0;
};

// The rows of a picture read once, in order, from a RowReader, of which only the most recent
// ones are kept: the reader that asks for rows in increasing order, never looking back over more
// rows than keepRows allows, never holds the whole picture.
class SlidingRows final : public BgrRows {
public:
    SlidingRows(std::int32_t width, std::int32_t height, std::unique_ptr<RowReader> reader);
    void keepRows(std::int32_t count) override;
    // Reads the rows up to y; a row that has left the window raises the subscript error.
    const std::uint8_t* row(std::int32_t y) override;

private:
    std::unique_ptr<RowReader> reader_;
    std::vector<std::uint8_t> window_; // depth_ rows, row y at y % depth_
    std::int32_t depth_ = 0;
    std::int32_t read_ = 0; // rows read so far
};

} // namespace vantola::jpeg
