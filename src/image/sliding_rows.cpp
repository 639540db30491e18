// A window of the most recent rows of a picture read in one pass.
#include "image/sliding_rows.h"

#include "settings/app_error.h"

#include <algorithm>

namespace vantola::jpeg {

SlidingRows::SlidingRows(std::int32_t width, std::int32_t height, std::unique_ptr<RowReader> reader)
    : BgrRows(width, height), reader_(std::move(reader)) {
    keepRows(1);
}

void SlidingRows::keepRows(std::int32_t count) {
    // The rows already read are gone once the window is remade, so it only grows before reading.
    count = std::clamp(count, 1, height_);
    if (count <= depth_ || read_ > 0)
        return;
    depth_ = count;
    window_.resize(std::size_t(depth_) * std::size_t(width_) * 3);
}

const std::uint8_t* SlidingRows::row(std::int32_t y) {
    if (y < 0 || y >= height_ || y < read_ - depth_)
        raiseError(kErrSubscript);
    const std::size_t rowBytes = std::size_t(width_) * 3;
    for (; read_ <= y; ++read_)
        reader_->readNext(window_.data() + std::size_t(read_ % depth_) * rowBytes);
    return window_.data() + std::size_t(y % depth_) * rowBytes;
}

} // namespace vantola::jpeg
