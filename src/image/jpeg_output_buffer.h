#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vantola::jpeg {

// The JPEG file being assembled in memory. Every write checks its room first and grows the
// buffer when the initial estimate falls short, so nothing is ever written past its end.
class JpegOutputBuffer {
public:
    explicit JpegOutputBuffer(std::size_t initialSize) : bytes_(initialSize) {}

    // Makes room for `count` more bytes at the current position.
    void reserve(std::size_t count) {
        if (count > bytes_.size() - position_)
            grow(count);
    }

    void putByte(std::uint8_t value) {
        reserve(1);
        bytes_[position_++] = value;
    }
    void putWord(std::uint16_t value) {
        reserve(2);
        bytes_[position_++] = static_cast<std::uint8_t>(value >> 8);
        bytes_[position_++] = static_cast<std::uint8_t>(value);
    }
    void putBytes(const std::uint8_t* data, std::size_t count);

    // Unchecked writes, for callers that reserved the room beforehand.
    std::uint8_t* cursor() { return bytes_.data() + position_; }
    void advance(std::size_t count) { position_ += count; }

    // Overwrites a 16-bit big-endian value written earlier (a segment length).
    void patchWord(std::size_t at, std::uint16_t value) {
        bytes_[at] = static_cast<std::uint8_t>(value >> 8);
        bytes_[at + 1] = static_cast<std::uint8_t>(value);
    }

    std::size_t position() const { return position_; }
    std::size_t capacity() const { return bytes_.size(); }
    const std::uint8_t* data() const { return bytes_.data(); }

private:
    void grow(std::size_t count);

    std::vector<std::uint8_t> bytes_;
    std::size_t position_ = 0;
};

} // namespace vantola::jpeg
