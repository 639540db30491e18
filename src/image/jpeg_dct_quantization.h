#pragma once

// The forward DCT and quantization, the encoder's second stage: each 8x8 block of a
// component's samples goes through the scaled floating-point DCT of Arai, Agui and Nakajima and
// is quantized with a table scaled from the Annex K examples by the quality, by multiplication
// with precomputed factors. The quantized coefficients are stored in zig-zag order, ready for
// the Huffman stage.

#include "image/uninitialised_allocator.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

namespace vantola::jpeg {

// For each zig-zag position (ITU-T T.81 Figure A.6), the natural index u + 8v of its
// coefficient, u being the horizontal and v the vertical frequency.
inline constexpr std::array<std::uint8_t, 64> kNaturalOrder = {
    0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
    41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
    30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

// Zig-zag position of the coefficient with horizontal frequency u and vertical frequency v,
// indexed [u][v].
inline constexpr std::array<std::array<std::int32_t, 8>, 8> kZigZag = [] {
    std::array<std::array<std::int32_t, 8>, 8> table{};
    for (int k = 0; k < 64; ++k)
        table[kNaturalOrder[k] % 8][kNaturalOrder[k] / 8] = k;
    return table;
}();

namespace detail {

inline constexpr std::array<std::int16_t, 64> toZigZag(const std::array<std::int16_t, 64>& rows) {
    std::array<std::int16_t, 64> zigzag{};
    for (int k = 0; k < 64; ++k)
        zigzag[k] = rows[kNaturalOrder[k]];
    return zigzag;
}

} // namespace detail

// Example quantization tables of T.81 Annex K (K.1 luminance, K.2 chrominance) in zig-zag
// order; the literals are the printed rows (natural order).
inline constexpr std::array<std::int16_t, 64> kLumBase = detail::toZigZag({
    16, 11, 10, 16, 24,  40,  51,  61,  12, 12, 14, 19, 26,  58,  60,  55,
    14, 13, 16, 24, 40,  57,  69,  56,  14, 17, 22, 29, 51,  87,  80,  62,
    18, 22, 37, 56, 68,  109, 103, 77,  24, 35, 55, 64, 81,  104, 113, 92,
    49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99,
});
inline constexpr std::array<std::int16_t, 64> kChrBase = detail::toZigZag({
    17, 18, 24, 47, 99, 99, 99, 99, 18, 21, 26, 66, 99, 99, 99, 99, //
    24, 26, 56, 99, 99, 99, 99, 99, 47, 66, 99, 99, 99, 99, 99, 99, //
    99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, //
    99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, //
});

// Output scale factors s(0..7) of the AAN forward DCT: 1 / (2 sqrt 2) for k = 0 and
// 1 / (4 cos(k pi / 16)) for k = 1 ... 7, with the digits the encoder has always used.
inline constexpr std::array<double, 8> kAanScale = {
    0.353553390593273, 0.25489778955208,  0.270598050073098, 0.300672443467523,
    0.353553390593273, 0.449988111568207, 0.653281482438186, 1.28145772387074};

// One quantization table: the values Qk and the multipliers FScale that quantize the scaled
// DCT output, both in zig-zag order.
struct QuantTable {
    std::array<std::uint16_t, 64> Qk{};
    std::array<float, 64> FScale{};
};

// Percentage applied to the base tables for a quality of 1 ... 100: 200 - 2q from 50 up,
// else 5000 / q rounded to the nearest integer, halves to even.
std::int32_t qualityScale(std::int32_t quality);

// Qk = (base x scale + 50) / 100 rounded to the nearest integer, halves to even, clamped to
// 1 ... 255. The bias and the rounding together round the quotient a second time, which
// raises odd base values by one at scale 100.
void scaleQuantTable(const std::array<std::int16_t, 64>& base, std::int32_t scale,
                     QuantTable& table);

// FScale(ZigZag(u, v)) = s(u) x s(v) / Qk, stored in single precision, s being the DCT's
// output scale. A value outside 1 ... 255 raises the encoder error "Bad Quantization Table".
void prepareMultipliers(QuantTable& table);

// The scaled floating-point forward DCT of Arai, Agui and Nakajima over the blocks of a strip
// of 8 rows of `width` samples (width a multiple of 8; row r starts at strip + r * width).
//
// Every intermediate value is stored in single precision, the arithmetic inside each
// assignment being done in double precision. Each block is transformed over its columns first,
// then over its rows. The columns are transformed in place in the strip; the rows are then
// transformed in `coefficients` (8 x width floats), where the output for horizontal frequency u
// and vertical frequency v of block b lands at coefficients[u * width + 8 * b + v]. The outputs
// are scaled by 8 a(u) a(v) relative to the DCT of T.81 A.3.3 (a(0) = 1,
// a(k) = sqrt 2 cos(k pi / 16)).
void forwardDctStrip(float* strip, float* coefficients, std::size_t width);

// The AC coefficients of a component's blocks, compactly: per block the 64-bit mask of its
// nonzero AC coefficients (bit k for zig-zag position k, in four 16-bit words, low word first),
// then those coefficients in zig-zag order. Each strip of blocks lies in one piece, so that a
// scan reads the blocks of a strip one after the other. Quantized pages are mostly zeros: this
// takes a fraction of the memory (and of the fresh pages) that 64 values per block would.
class AcStore {
public:
    static constexpr std::size_t kMaskWords = 4;
    static constexpr std::size_t kMaxBlockWords = kMaskWords + 63;

    AcStore() = default;
    ~AcStore();
    AcStore(const AcStore& other) { *this = other; }
    AcStore(AcStore&&) noexcept = default;
    AcStore& operator=(const AcStore& other);
    AcStore& operator=(AcStore&&) noexcept = default;

    // Room for a strip of `blocks` blocks; the strip ends at endStrip.
    std::int16_t* beginStrip(std::size_t blocks) { return beginWords(blocks * kMaxBlockWords); }
    void endStrip(std::int16_t* end) {
        const std::size_t at = std::size_t(end - chunks_.back().words.get());
        lengths_.push_back(at - used_);
        used_ = at;
    }

    std::size_t strips() const { return starts_.size(); }
    const std::int16_t* strip(std::size_t index) const { return starts_[index]; }

private:
    std::int16_t* beginWords(std::size_t most);

    struct Chunk {
        std::unique_ptr<std::int16_t[]> words;
        std::size_t size = 0;
    };
    std::vector<Chunk> chunks_;
    std::size_t used_ = 0;
    std::vector<const std::int16_t*> starts_;
    std::vector<std::size_t> lengths_; // in words
};

// The mask at the start of a block of an AcStore.
inline std::uint64_t acMask(const std::int16_t* block) {
    std::uint64_t mask;
    std::memcpy(&mask, block, sizeof mask);
    return mask;
}

// Quantizes the transformed blocks of a strip (laid out as forwardDctStrip leaves them):
// coefficient (u, v) times FScale(ZigZag(u, v)), rounded to the nearest integer, halves to
// even. The DC values go to dc (one per block), the AC values to ac in the form of an AcStore
// strip; returns the end of what was written there. A value outside the 16-bit range raises
// the overflow error.
std::int16_t* quantizeStrip(const float* coefficients, std::size_t width, const QuantTable& table,
                            std::int16_t* dc, std::int16_t* ac);

// Occurrences of the AC symbols 0 ... 255 (run-length and size pairs) of a component's blocks.
using AcSymbolCounts = std::array<std::uint64_t, 256>;

using CoefficientArray = std::vector<std::int16_t, UninitialisedAllocator<std::int16_t>>;

// One frame component: its identifier, sampling factors and quantization table, and once a
// picture has been sampled, its quantized coefficients (DC values of the blocks in raster
// order, AC values in an AcStore, one strip per row of blocks) with the counts of their AC
// symbols.
struct Component {
    std::int32_t C = 0;
    std::int32_t H = 1;
    std::int32_t V = 1;
    std::int32_t Tq = 0;
    CoefficientArray dc;
    AcStore ac;

    std::int32_t width = 0; // samples per line, before padding to whole blocks
    std::int32_t height = 0;
    std::int32_t blocksAcross = 0;
    std::int32_t blocksDown = 0;
    AcSymbolCounts acCounts{}; // counted as each strip of blocks is stored

    std::size_t blockCount() const { return dc.size(); }
};

} // namespace vantola::jpeg
