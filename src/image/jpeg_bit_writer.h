#pragma once

#include "image/jpeg_output_buffer.h"

#include <cstdint>

namespace vantola::jpeg {

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
