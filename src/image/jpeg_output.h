#pragma once

// File output, the encoder's last stage: the JPEG file is assembled in memory, bytes of the
// marker segments and bits of the entropy-coded data (with byte stuffing), before it is
// written to disk in one piece.

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
    const std::uint8_t* data() const { return bytes_.data(); }

private:
    void grow(std::size_t count);

    std::vector<std::uint8_t> bytes_;
    std::size_t position_ = 0;
};

// Writes the entropy-coded data of a scan, most significant bit first. Every FF byte is
// followed by a stuffed 00, and flush() pads the last byte with 1-bits.
//
// Bits gather in a 64-bit accumulator and leave it 32 at a time. put() writes unchecked: the
// caller reserves kMaxBlockBytes in the buffer before each block.
class JpegBitWriter {
public:
    // Bytes one block can take at most: 64 codes of up to 16 + 16 bits, every byte stuffed.
    static constexpr std::size_t kMaxBlockBytes = 64 * 4 * 2 + 16;

    explicit JpegBitWriter(JpegOutputBuffer& out) : out_(out) {}

    // Appends the `count` low bits of `bits` (count <= 32; the bits above it must be 0).
    void put(std::uint32_t bits, int count) {
        accumulator_ = (accumulator_ << count) | bits;
        count_ += count;
        if (count_ >= 32)
            emitWord();
    }

    // Pads the last byte with 1-bits and writes out what is left.
    void flush();

private:
    void emitWord();
    void emitByte(std::uint8_t byte) {
        std::uint8_t* at = out_.cursor();
        at[0] = byte;
        if (byte == 0xFF) {
            at[1] = 0;
            out_.advance(2);
        } else {
            out_.advance(1);
        }
    }

    JpegOutputBuffer& out_;
    std::uint64_t accumulator_ = 0;
    int count_ = 0; // bits waiting in the accumulator (its low bits)
};

} // namespace vantola::jpeg
