// The forward DCT of 8x8 blocks and their quantization: quality to tables, tables to
// multipliers, transformed strips to zig-zag coefficients.
#include "image/jpeg_dct_quantization.h"

#include "image/jpeg_vector_kernels.h"
#include "image/vector_paths.h"
#include "settings/app_error.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

#if defined(__SSE__)
#include <xmmintrin.h>
#endif

namespace vantola::jpeg {

namespace {

// One stored assignment: the operation in double precision, the result in single precision.
inline float sum(float a, float b) {
    return static_cast<float>(double(a) + double(b));
}
inline float difference(float a, float b) {
    return static_cast<float>(double(a) - double(b));
}

// One pass over the eight elements d0 ... d7 of eight lanes (element k of lane i is dk[i]). The
// lanes are independent, and a loop of known count over them vectorises without changing any
// result.
[[gnu::always_inline]] inline void aanPass(float* __restrict d0, float* __restrict d1,
                                           float* __restrict d2, float* __restrict d3,
                                           float* __restrict d4, float* __restrict d5,
                                           float* __restrict d6, float* __restrict d7) {
    for (int i = 0; i < 8; ++i) {
        float t0 = sum(d0[i], d7[i]);
        float t1 = difference(d0[i], d7[i]);
        float t2 = sum(d1[i], d6[i]);
        float t3 = difference(d1[i], d6[i]);
        float t4 = sum(d2[i], d5[i]);
        float t5 = difference(d2[i], d5[i]);
        float t6 = sum(d3[i], d4[i]);
        float t7 = difference(d3[i], d4[i]);

        t7 = sum(t5, t7);
        const float t8 = difference(t0, t6);
        t6 = sum(t0, t6);
        t0 = sum(t4, t2);

        t2 = static_cast<float>((double(t2) - double(t4) + double(t8)) * 0.707106781186548);

        t4 = sum(t3, t1);
        t3 = static_cast<float>((double(t5) + double(t3)) * 0.707106781186548);

        t5 = static_cast<float>((double(t4) - double(t7)) * 0.382683432365091);
        t7 = static_cast<float>(double(t7) * 0.541196100146196 - double(t5));
        t4 = static_cast<float>(double(t4) * 1.30656296487638 - double(t5));

        t5 = sum(t3, t1);
        t1 = difference(t1, t3);

        d0[i] = sum(t6, t0);
        d4[i] = difference(t6, t0);
        d1[i] = sum(t5, t4);
        d7[i] = difference(t5, t4);
        d2[i] = sum(t8, t2);
        d6[i] = difference(t8, t2);
        d5[i] = sum(t7, t1);
        d3[i] = difference(t1, t7);
    }
}

// The pass over every lane of 8 rows of `width` floats, eight lanes at a time.
[[gnu::always_inline]] inline void aanPassOverRows(float* rows, std::size_t width) {
    for (std::size_t lane = 0; lane < width; lane += 8) {
        float* at = rows + lane;
        aanPass(at, at + width, at + 2 * width, at + 3 * width, at + 4 * width, at + 5 * width,
                at + 6 * width, at + 7 * width);
    }
}

// coefficients[k * width + v] = strip[v * width + k] for one block (k, v = 0 ... 7).
[[gnu::always_inline]] inline void transposeBlock(const float* strip, float* coefficients,
                                                  std::size_t width) {
#if defined(__SSE__)
    // In four 4 x 4 quarters: the quarter at rows v, columns k lands at rows k, columns v.
    for (std::size_t v = 0; v < 8; v += 4) {
        for (std::size_t k = 0; k < 8; k += 4) {
            __m128 row0 = _mm_loadu_ps(strip + v * width + k);
            __m128 row1 = _mm_loadu_ps(strip + (v + 1) * width + k);
            __m128 row2 = _mm_loadu_ps(strip + (v + 2) * width + k);
            __m128 row3 = _mm_loadu_ps(strip + (v + 3) * width + k);
            _MM_TRANSPOSE4_PS(row0, row1, row2, row3);
            _mm_storeu_ps(coefficients + k * width + v, row0);
            _mm_storeu_ps(coefficients + (k + 1) * width + v, row1);
            _mm_storeu_ps(coefficients + (k + 2) * width + v, row2);
            _mm_storeu_ps(coefficients + (k + 3) * width + v, row3);
        }
    }
#else
    for (std::size_t v = 0; v < 8; ++v)
        for (std::size_t k = 0; k < 8; ++k)
            coefficients[k * width + v] = strip[v * width + k];
#endif
}

// The DCT of a strip. Columns: element k of column x is strip row k, and all the strip's columns
// are lanes. Rows: every block is transposed so that element k of row v of block b becomes lane
// 8b + v of row k.
[[gnu::always_inline]] inline void dctStrip(float* strip, float* coefficients, std::size_t width) {
    aanPassOverRows(strip, width);
    for (std::size_t block = 0; block < width; block += 8)
        transposeBlock(strip + block, coefficients + block, width);
    aanPassOverRows(coefficients, width);
}

void dctStripScalar(float* strip, float* coefficients, std::size_t width) {
    dctStrip(strip, coefficients, width);
}

// The same operations in the same order, four double lanes at a time instead of two.
[[gnu::target("avx2")]] void dctStripAvx2(float* strip, float* coefficients, std::size_t width) {
    dctStrip(strip, coefficients, width);
}

// The scalar quantization of one block, as quantizeBlockAvx2.
bool quantizeBlockScalar(const float* coefficients, std::size_t width, const double* multipliers,
                         std::int16_t* out, std::uint64_t& nonzero) {
    // 8-bit samples bound the values far inside 64 bits; one outside the 16-bit range leaves
    // bits above 16 in `outside` once shifted to start at 0.
    std::uint64_t outside = 0;
    nonzero = 0;
    for (std::size_t u = 0; u < 8; ++u) {
        for (std::size_t v = 0; v < 8; ++v) {
            const double product = double(coefficients[u * width + v]) * multipliers[8 * u + v];
            const auto value = static_cast<std::int64_t>(std::nearbyint(product));
            outside |= static_cast<std::uint64_t>(value + 32768);
            out[8 * u + v] = static_cast<std::int16_t>(value);
            nonzero |= std::uint64_t(value != 0) << (8 * u + v);
        }
    }
    return outside <= 0xFFFF;
}

// Quantization order: the multipliers as the coefficients lie ((u, v) at 8u + v), the zig-zag
// position of each, and the inverse.
struct QuantizationOrder {
    std::array<double, 64> multiplier;
    std::array<std::uint8_t, 64> zigzag;
    std::array<std::uint8_t, 64> lying;

    explicit QuantizationOrder(const QuantTable& table) {
        for (int u = 0; u < 8; ++u) {
            for (int v = 0; v < 8; ++v) {
                zigzag[8 * u + v] = static_cast<std::uint8_t>(kZigZag[u][v]);
                lying[kZigZag[u][v]] = static_cast<std::uint8_t>(8 * u + v);
                multiplier[8 * u + v] = table.FScale[kZigZag[u][v]];
            }
        }
    }
};

} // namespace

void forwardDctStrip(float* strip, float* coefficients, std::size_t width) {
    if (useVectorPaths())
        dctStripAvx2(strip, coefficients, width);
    else
        dctStripScalar(strip, coefficients, width);
}

namespace {

// Chunks of the thread's destroyed stores, up to 64 MiB, for its next ones: memory fresh from
// the system costs a page fault per page at its first write, which on a page of pictures costs
// more than the quantization itself.
struct ChunkPool {
    static constexpr std::size_t kMaxWords = std::size_t{1} << 25;
    std::vector<std::pair<std::unique_ptr<std::int16_t[]>, std::size_t>> chunks;
    std::size_t words = 0;
};
thread_local ChunkPool chunkPool;

} // namespace

AcStore::~AcStore() {
    for (Chunk& chunk : chunks_) {
        if (chunkPool.words + chunk.size > ChunkPool::kMaxWords)
            break;
        chunkPool.words += chunk.size;
        chunkPool.chunks.emplace_back(std::move(chunk.words), chunk.size);
    }
}

std::int16_t* AcStore::beginWords(std::size_t most) {
    if (chunks_.empty() || chunks_.back().size - used_ < most) {
        // Room for 16 strips at their largest, at most 1 MiB unless one strip needs more (small
        // pictures take little); a pooled chunk when one is large enough. Values are written
        // before being read.
        const std::size_t wanted = std::max(most, std::min(std::size_t{1} << 19, 16 * most));
        auto& pooled = chunkPool.chunks;
        const auto fit = std::find_if(pooled.begin(), pooled.end(),
                                      [&](const auto& chunk) { return chunk.second >= most; });
        if (fit != pooled.end()) {
            chunks_.push_back({std::move(fit->first), fit->second});
            chunkPool.words -= fit->second;
            pooled.erase(fit);
        } else {
            chunks_.push_back({std::unique_ptr<std::int16_t[]>(new std::int16_t[wanted]), wanted});
        }
        used_ = 0;
    }
    std::int16_t* start = chunks_.back().words.get() + used_;
    starts_.push_back(start);
    return start;
}

AcStore& AcStore::operator=(const AcStore& other) {
    if (this == &other)
        return *this;
    *this = AcStore();
    for (std::size_t strip = 0; strip < other.strips(); ++strip) {
        std::int16_t* start = beginWords(other.lengths_[strip]);
        std::copy_n(other.starts_[strip], other.lengths_[strip], start);
        endStrip(start + other.lengths_[strip]);
    }
    return *this;
}

std::int16_t* quantizeStrip(const float* coefficients, std::size_t width, const QuantTable& table,
                            std::int16_t* dc, std::int16_t* ac) {
    const QuantizationOrder order(table);
    const bool vector = useVectorPaths();
    alignas(32) std::array<std::int16_t, 64> quantized;
    for (std::size_t block = 0; block < width; block += 8) {
        std::uint64_t nonzero = 0;
        const bool inRange =
            vector ? quantizeBlockAvx2(coefficients + block, width, order.multiplier.data(),
                                       quantized.data(), nonzero)
                   : quantizeBlockScalar(coefficients + block, width, order.multiplier.data(),
                                         quantized.data(), nonzero);
        if (!inRange)
            raiseError(kErrOverflow);
        *dc++ = quantized[0];
        // The AC mask in zig-zag order, then the values it marks in that order.
        std::uint64_t mask = 0;
        for (nonzero &= ~std::uint64_t{1}; nonzero != 0; nonzero &= nonzero - 1)
            mask |= std::uint64_t{1} << order.zigzag[std::countr_zero(nonzero)];
        std::memcpy(ac, &mask, sizeof mask);
        ac += AcStore::kMaskWords;
        for (; mask != 0; mask &= mask - 1)
            *ac++ = quantized[order.lying[std::countr_zero(mask)]];
    }
    return ac;
}

std::int32_t qualityScale(std::int32_t quality) {
    if (quality >= 50)
        return 200 - 2 * quality;
    return static_cast<std::int32_t>(std::nearbyint(5000.0 / quality));
}

void scaleQuantTable(const std::array<std::int16_t, 64>& base, std::int32_t scale,
                     QuantTable& table) {
    for (int k = 0; k < 64; ++k) {
        const double biased = double(base[k]) * double(scale) + 50.0;
        const double value = std::nearbyint(biased / 100.0);
        table.Qk[k] = static_cast<std::uint16_t>(std::clamp(value, 1.0, 255.0));
    }
}

void prepareMultipliers(QuantTable& table) {
    for (int u = 0; u < 8; ++u) {
        for (int v = 0; v < 8; ++v) {
            const int k = kZigZag[u][v];
            const std::int32_t q = table.Qk[k];
            if (q < 1 || q > 255)
                throw AppError(kErrEncoder, QStringLiteral("Bad Quantization Table"));
            table.FScale[k] = static_cast<float>(kAanScale[u] * kAanScale[v] / double(q));
        }
    }
}

} // namespace vantola::jpeg
