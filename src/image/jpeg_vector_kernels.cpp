// AVX2 kernels of the encoder: colour conversion of a row and quantization of a block, four
// double-precision lanes at a time.
#include "image/jpeg_vector_kernels.h"

#include <immintrin.h>

namespace vantola::jpeg {

namespace {

// The byte `first` of pixel 0 (and the same byte of pixels 1, 2, 3 three bytes apart) in the
// low byte of each 64-bit lane, the 16 bytes being in both halves of the register.
[[gnu::target("avx2")]] inline __m256i channelBytes(char first) {
    const char n = -1;
    return _mm256_setr_epi8(first, n, n, n, n, n, n, n, char(first + 3), n, n, n, n, n, n, n,
                            char(first + 6), n, n, n, n, n, n, n, char(first + 9), n, n, n, n, n, n,
                            n);
}

// The levels of one channel of four pixels as doubles: 2^52 + level has the level in its low
// mantissa bits, and subtracting 2^52 is exact.
[[gnu::target("avx2")]] inline __m256d levels(__m256i pixels, __m256i channel) {
    const __m256i twoTo52Bits = _mm256_set1_epi64x(0x4330000000000000);
    return _mm256_sub_pd(
        _mm256_castsi256_pd(_mm256_or_si256(_mm256_shuffle_epi8(pixels, channel), twoTo52Bits)),
        _mm256_set1_pd(4503599627370496.0));
}

} // namespace

[[gnu::target("avx2")]] void convertSamplesAvx2(const std::uint8_t* bgr, std::int64_t count,
                                                const double* weights, float* samples) {
    const __m256i blueBytes = channelBytes(0);
    const __m256i greenBytes = channelBytes(1);
    const __m256i redBytes = channelBytes(2);
    const __m256d red = _mm256_set1_pd(weights[0]);
    const __m256d green = _mm256_set1_pd(weights[1]);
    const __m256d blue = _mm256_set1_pd(weights[2]);
    const __m256d offset = _mm256_set1_pd(weights[3]);
    std::int64_t x = 0;
    // Each load reads 16 bytes: the last four pixels go the scalar way.
    for (; x + 6 <= count; x += 4, bgr += 12) {
        _mm_prefetch(reinterpret_cast<const char*>(bgr) + 1024, _MM_HINT_T0);
        const __m256i pixels =
            _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(bgr)));
        const __m256d r = levels(pixels, redBytes);
        const __m256d g = levels(pixels, greenBytes);
        const __m256d b = levels(pixels, blueBytes);
        const __m256d sum =
            _mm256_add_pd(_mm256_add_pd(_mm256_mul_pd(r, red), _mm256_mul_pd(g, green)),
                          _mm256_add_pd(_mm256_mul_pd(b, blue), offset));
        _mm_storeu_ps(samples + x, _mm256_cvtpd_ps(sum));
    }
    for (; x < count; ++x, bgr += 3)
        samples[x] = static_cast<float>(double(bgr[2]) * weights[0] + double(bgr[1]) * weights[1] +
                                        (double(bgr[0]) * weights[2] + weights[3]));
}

[[gnu::target("avx2")]] bool quantizeBlockAvx2(const float* coefficients, std::size_t width,
                                               const double* multipliers, std::int16_t* out,
                                               std::uint64_t& nonzero) {
    __m256d lowest = _mm256_set1_pd(0.0);
    __m256d highest = lowest;
    __m128i rows[8];
    for (int u = 0; u < 8; ++u) {
        const __m256 row = _mm256_loadu_ps(coefficients + u * width);
        __m256d left = _mm256_mul_pd(_mm256_cvtps_pd(_mm256_castps256_ps128(row)),
                                     _mm256_loadu_pd(multipliers + 8 * u));
        __m256d right = _mm256_mul_pd(_mm256_cvtps_pd(_mm256_extractf128_ps(row, 1)),
                                      _mm256_loadu_pd(multipliers + 8 * u + 4));
        // As nearbyint: the current rounding mode, no inexact exception.
        left = _mm256_round_pd(left, _MM_FROUND_CUR_DIRECTION | _MM_FROUND_NO_EXC);
        right = _mm256_round_pd(right, _MM_FROUND_CUR_DIRECTION | _MM_FROUND_NO_EXC);
        lowest = _mm256_min_pd(lowest, _mm256_min_pd(left, right));
        highest = _mm256_max_pd(highest, _mm256_max_pd(left, right));
        rows[u] = _mm_packs_epi32(_mm256_cvtpd_epi32(left), _mm256_cvtpd_epi32(right));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 8 * u), rows[u]);
    }
    const __m256d outside =
        _mm256_or_pd(_mm256_cmp_pd(lowest, _mm256_set1_pd(-32768.0), _CMP_LT_OQ),
                     _mm256_cmp_pd(highest, _mm256_set1_pd(32767.0), _CMP_GT_OQ));
    // Saturating packs keep nonzero values nonzero: 16 values per byte mask.
    nonzero = 0;
    for (int u = 0; u < 8; u += 2) {
        const __m128i bytes = _mm_packs_epi16(rows[u], rows[u + 1]);
        const auto zero = static_cast<std::uint32_t>(
            _mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_setzero_si128())));
        nonzero |= std::uint64_t(~zero & 0xFFFFu) << (8 * u);
    }
    return _mm256_movemask_pd(outside) == 0;
}

namespace {

// (sums[i] + sums[i + 3] + rounding) >> count for 16 sums.
[[gnu::target("avx2")]] inline __m256i pairAverages(__m256i rounding, __m128i count,
                                                    const std::uint16_t* at) {
    const __m256i left = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at));
    const __m256i right = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at + 3));
    return _mm256_srl_epi16(_mm256_add_epi16(_mm256_add_epi16(left, right), rounding), count);
}

} // namespace

[[gnu::target("avx2")]] void halvePairsAvx2(const std::uint16_t* sums, std::size_t pixels,
                                            unsigned half, int shift, std::uint8_t* out) {
    const __m256i rounding = _mm256_set1_epi16(static_cast<short>(half));
    const __m128i count = _mm_cvtsi32_si128(shift);
    // Output byte j of 8 pixels is pair-average byte 6 (j / 3) + j % 3 of 48.
    const __m128i firstFrom0 =
        _mm_setr_epi8(0, 1, 2, 6, 7, 8, 12, 13, 14, -1, -1, -1, -1, -1, -1, -1);
    const __m128i firstFrom1 =
        _mm_setr_epi8(-1, -1, -1, -1, -1, -1, -1, -1, -1, 2, 3, 4, 8, 9, 10, 14);
    const __m128i secondFrom1 =
        _mm_setr_epi8(15, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1);
    const __m128i secondFrom2 =
        _mm_setr_epi8(-1, 0, 4, 5, 6, 10, 11, 12, -1, -1, -1, -1, -1, -1, -1, -1);
    std::size_t x = 0;
    // The loads reach 51 sums ahead: the last pixels go the scalar way.
    for (; x + 9 <= pixels; x += 8, sums += 48, out += 24) {
        const __m256i bytes01 =
            _mm256_permute4x64_epi64(_mm256_packus_epi16(pairAverages(rounding, count, sums),
                                                         pairAverages(rounding, count, sums + 16)),
                                     0xD8);
        const __m256i bytes2 = _mm256_packus_epi16(pairAverages(rounding, count, sums + 32),
                                                   pairAverages(rounding, count, sums + 32));
        const __m128i x0 = _mm256_castsi256_si128(bytes01);
        const __m128i x1 = _mm256_extracti128_si256(bytes01, 1);
        const __m128i x2 = _mm256_castsi256_si128(_mm256_permute4x64_epi64(bytes2, 0xD8));
        const __m128i first =
            _mm_or_si128(_mm_shuffle_epi8(x0, firstFrom0), _mm_shuffle_epi8(x1, firstFrom1));
        const __m128i second =
            _mm_or_si128(_mm_shuffle_epi8(x1, secondFrom1), _mm_shuffle_epi8(x2, secondFrom2));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), first);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + 16), second);
    }
    for (; x < pixels; ++x, sums += 6, out += 3)
        for (int c = 0; c < 3; ++c)
            out[c] = static_cast<std::uint8_t>((unsigned(sums[c]) + sums[c + 3] + half) >> shift);
}

namespace {

// The lane operations on 16 sums of 16 bits or 8 of 32 bits.
template <class Sum>
struct SumLanes;

template <>
struct SumLanes<std::uint16_t> {
    [[gnu::target("avx2")]] static __m256i widen(const std::uint8_t* bytes) {
        return _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes)));
    }
    [[gnu::target("avx2")]] static __m256i broadcast(std::uint16_t value) {
        return _mm256_set1_epi16(static_cast<short>(value));
    }
    [[gnu::target("avx2")]] static __m256i multiply(__m256i a, __m256i b) {
        return _mm256_mullo_epi16(a, b);
    }
    [[gnu::target("avx2")]] static __m256i add(__m256i a, __m256i b) {
        return _mm256_add_epi16(a, b);
    }
};

template <>
struct SumLanes<std::uint32_t> {
    [[gnu::target("avx2")]] static __m256i widen(const std::uint8_t* bytes) {
        return _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(bytes)));
    }
    [[gnu::target("avx2")]] static __m256i broadcast(std::uint32_t value) {
        return _mm256_set1_epi32(static_cast<int>(value));
    }
    [[gnu::target("avx2")]] static __m256i multiply(__m256i a, __m256i b) {
        return _mm256_mullo_epi32(a, b);
    }
    [[gnu::target("avx2")]] static __m256i add(__m256i a, __m256i b) {
        return _mm256_add_epi32(a, b);
    }
};

template <class Sum>
[[gnu::target("avx2")]] void addWeightedLanes(const std::uint8_t* row, Sum weight,
                                              std::size_t count, Sum* sums, bool first) {
    using Lanes = SumLanes<Sum>;
    constexpr std::size_t kLanes = 32 / sizeof(Sum);
    const __m256i weights = Lanes::broadcast(weight);
    std::size_t i = 0;
    for (; i + kLanes <= count; i += kLanes) {
        __m256i products = Lanes::widen(row + i);
        if (weight != 1)
            products = Lanes::multiply(products, weights);
        auto* target = reinterpret_cast<__m256i*>(sums + i);
        _mm256_storeu_si256(target,
                            first ? products : Lanes::add(_mm256_loadu_si256(target), products));
    }
    for (; i < count; ++i)
        sums[i] = Sum((first ? 0 : sums[i]) + weight * row[i]);
}

} // namespace

void addWeightedRowAvx2(const std::uint8_t* row, std::uint16_t weight, std::size_t count,
                        std::uint16_t* sums, bool first) {
    addWeightedLanes(row, weight, count, sums, first);
}

void addWeightedRowAvx2(const std::uint8_t* row, std::uint32_t weight, std::size_t count,
                        std::uint32_t* sums, bool first) {
    addWeightedLanes(row, weight, count, sums, first);
}

} // namespace vantola::jpeg
