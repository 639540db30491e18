// The in-memory file: byte writes that grow the buffer, and the bit writer of the scans.
#include "image/jpeg_output.h"

#include <algorithm>
#include <cstring>

namespace vantola::jpeg {

void JpegOutputBuffer::putBytes(const std::uint8_t* data, std::size_t count) {
    reserve(count);
    if (count > 0)
        std::memcpy(bytes_.data() + position_, data, count);
    position_ += count;
}

void JpegOutputBuffer::grow(std::size_t count) {
    const std::size_t needed = position_ + count;
    bytes_.resize(std::max(needed, bytes_.size() + bytes_.size() / 2));
}

void JpegBitWriter::emitWord() {
    count_ -= 32;
    const auto word = static_cast<std::uint32_t>(accumulator_ >> count_);
    // A byte of the word is FF exactly when the same byte of ~word is zero.
    const std::uint32_t inverted = ~word;
    const bool hasFF = ((inverted - 0x01010101u) & ~inverted & 0x80808080u) != 0;
    if (!hasFF) {
        std::uint8_t* at = out_.cursor();
        at[0] = static_cast<std::uint8_t>(word >> 24);
        at[1] = static_cast<std::uint8_t>(word >> 16);
        at[2] = static_cast<std::uint8_t>(word >> 8);
        at[3] = static_cast<std::uint8_t>(word);
        out_.advance(4);
        return;
    }
    for (int shift = 24; shift >= 0; shift -= 8)
        emitByte(static_cast<std::uint8_t>(word >> shift));
}

void JpegBitWriter::flush() {
    out_.reserve(16);
    const int padding = (8 - count_ % 8) % 8;
    accumulator_ = (accumulator_ << padding) | ((1u << padding) - 1u);
    count_ += padding;
    while (count_ >= 8) {
        count_ -= 8;
        emitByte(static_cast<std::uint8_t>(accumulator_ >> count_));
    }
    accumulator_ = 0;
}

} // namespace vantola::jpeg
