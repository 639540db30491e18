// The cutter's AVX2 kernels. The bright sums go four lanes at a time. A division per pixel bounds
// the scalar loops; here the quotient pixel / 10000 comes from a multiplication by the rounded
// reciprocal and one correction step with fused multiply-adds, which gives the correctly rounded
// quotient for every 32-bit pixel value (a test checks all of them). Additions are rounded to
// integers as in the scalar loops: adding and removing 2^52.
#include "cutting/grid_vector_kernels.h"

#include "cutting/exact_arithmetic.h"

#include <immintrin.h>

namespace vantola {

namespace {

#define VANTOLA_AVX2 __attribute__((target("avx2,fma")))

struct Constants {
    __m256d threshold;
    __m256d divisor;
    __m256d reciprocal;
    __m256d shift;
};

VANTOLA_AVX2 inline Constants constants(qint32 lSeuilPixel) {
    return {_mm256_set1_pd(double(lSeuilPixel)), _mm256_set1_pd(10000.0),
            _mm256_set1_pd(1.0 / 10000.0), _mm256_set1_pd(4503599627370496.0)};
}

VANTOLA_AVX2 inline __m256d tenThousandths(__m256d pixels, const Constants& k) {
    const __m256d estimate = _mm256_mul_pd(pixels, k.reciprocal);
    const __m256d remainder = _mm256_fnmadd_pd(estimate, k.divisor, pixels);
    return _mm256_fmadd_pd(remainder, k.reciprocal, estimate);
}

VANTOLA_AVX2 inline __m256d addBright(__m256d sums, __m128i cells, const Constants& k) {
    const __m256d pixels = _mm256_cvtepi32_pd(cells);
    const __m256d bright = _mm256_cmp_pd(pixels, k.threshold, _CMP_GT_OQ);
    const __m256d addend = _mm256_and_pd(bright, tenThousandths(pixels, k));
    return _mm256_sub_pd(_mm256_add_pd(_mm256_add_pd(sums, addend), k.shift), k.shift);
}

VANTOLA_AVX2 inline __m128i loadCells(const qint32* cells) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(cells));
}

// Four rows of four columns each, turned into four columns of four rows each.
VANTOLA_AVX2 inline void transpose(__m128i& a, __m128i& b, __m128i& c, __m128i& d) {
    const __m128i ab0 = _mm_unpacklo_epi32(a, b);
    const __m128i ab1 = _mm_unpackhi_epi32(a, b);
    const __m128i cd0 = _mm_unpacklo_epi32(c, d);
    const __m128i cd1 = _mm_unpackhi_epi32(c, d);
    a = _mm_unpacklo_epi64(ab0, cd0);
    b = _mm_unpackhi_epi64(ab0, cd0);
    c = _mm_unpacklo_epi64(ab1, cd1);
    d = _mm_unpackhi_epi64(ab1, cd1);
}

// Four rows from column x on, each row's sum in one lane; every row is still added from left to
// right.
VANTOLA_AVX2 inline __m256d addFourColumns(__m256d sum, const qint32* cells, qint64 stride,
                                           const Constants& k) {
    __m128i c0 = loadCells(cells);
    __m128i c1 = loadCells(cells + stride);
    __m128i c2 = loadCells(cells + 2 * stride);
    __m128i c3 = loadCells(cells + 3 * stride);
    transpose(c0, c1, c2, c3);
    sum = addBright(sum, c0, k);
    sum = addBright(sum, c1, k);
    sum = addBright(sum, c2, k);
    return addBright(sum, c3, k);
}

VANTOLA_AVX2 inline __m256d addOneColumn(__m256d sum, const qint32* cells, qint64 stride,
                                         const Constants& k) {
    const __m128i column =
        _mm_setr_epi32(cells[0], cells[stride], cells[2 * stride], cells[3 * stride]);
    return addBright(sum, column, k);
}

// Sixteen rows that follow each other in the grid, in four groups of four side by side, which
// hides the latency of the additions.
constexpr qint64 kRowsAtOnce = 16;

VANTOLA_AVX2 void sumSixteenRows(const qint32* first, qint64 stride, qint64 columns,
                                 const Constants& k, double* sums) {
    __m256d sum0 = _mm256_setzero_pd();
    __m256d sum1 = sum0;
    __m256d sum2 = sum0;
    __m256d sum3 = sum0;
    const qint32* group1 = first + 4 * stride;
    const qint32* group2 = first + 8 * stride;
    const qint32* group3 = first + 12 * stride;
    qint64 x = 0;
    for (; x + 4 <= columns; x += 4) {
        sum0 = addFourColumns(sum0, first + x, stride, k);
        sum1 = addFourColumns(sum1, group1 + x, stride, k);
        sum2 = addFourColumns(sum2, group2 + x, stride, k);
        sum3 = addFourColumns(sum3, group3 + x, stride, k);
    }
    for (; x < columns; ++x) {
        sum0 = addOneColumn(sum0, first + x, stride, k);
        sum1 = addOneColumn(sum1, group1 + x, stride, k);
        sum2 = addOneColumn(sum2, group2 + x, stride, k);
        sum3 = addOneColumn(sum3, group3 + x, stride, k);
    }
    _mm256_storeu_pd(sums, sum0);
    _mm256_storeu_pd(sums + 4, sum1);
    _mm256_storeu_pd(sums + 8, sum2);
    _mm256_storeu_pd(sums + 12, sum3);
}

} // namespace

VANTOLA_AVX2 void sumRowsAvx2(const PageGrid& tabPixels, qint64 firstRow, qint64 count,
                              qint64 columns, qint32 lSeuilPixel, double* sums) {
    const Constants k = constants(lSeuilPixel);
    const qint64 stride = tabPixels.columnCount();
    qint64 i = 0;
    for (; i + kRowsAtOnce <= count; i += kRowsAtOnce)
        sumSixteenRows(tabPixels.row(qint32(firstRow + i)), stride, columns, k, sums + i);
    for (; i < count; ++i) {
        const qint32* cells = tabPixels.row(qint32(firstRow + i));
        double sum = 0.0;
        for (qint64 x = 0; x < columns; ++x)
            sum = addBrightPixel(sum, cells[x], lSeuilPixel);
        sums[i] = sum;
    }
}

VANTOLA_AVX2 void sumColumnsAvx2(const PageGrid& tabPixels, qint64 top, qint64 bottom,
                                 qint64 columns, qint32 lSeuilPixel, double* sums) {
    const Constants k = constants(lSeuilPixel);
    for (qint64 y = top; y <= bottom; ++y) {
        const qint32* cells = tabPixels.row(qint32(y));
        qint64 x = 0;
        for (; x + 4 <= columns; x += 4)
            _mm256_storeu_pd(sums + x,
                             addBright(_mm256_loadu_pd(sums + x), loadCells(cells + x), k));
        for (; x < columns; ++x)
            sums[x] = addBrightPixel(sums[x], cells[x], lSeuilPixel);
    }
}

VANTOLA_AVX2 void bgrFromCellsAvx2(const qint32* cells, qint32 count, quint8* out) {
    // Bytes 2, 1, 0 of each cell, four cells to the twelve low bytes of each half; then the two
    // halves' twelve bytes side by side.
    const __m256i reversed =
        _mm256_setr_epi8(2, 1, 0, 6, 5, 4, 10, 9, 8, 14, 13, 12, -1, -1, -1, -1, 2, 1, 0, 6, 5, 4,
                         10, 9, 8, 14, 13, 12, -1, -1, -1, -1);
    const __m256i together = _mm256_setr_epi32(0, 1, 2, 4, 5, 6, 7, 7);
    qint32 x = 0;
    // A store writes 32 bytes for 24: eight more bytes that the next pixels overwrite, so at
    // least three pixels must follow.
    for (; x + 11 <= count; x += 8) {
        const __m256i pixels = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(cells + x));
        const __m256i bgr =
            _mm256_permutevar8x32_epi32(_mm256_shuffle_epi8(pixels, reversed), together);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 3 * std::size_t(x)), bgr);
    }
    for (; x < count; ++x) {
        const auto cell = quint32(cells[x]);
        quint8* pixel = out + 3 * std::size_t(x);
        pixel[0] = quint8(cell >> 16);
        pixel[1] = quint8(cell >> 8);
        pixel[2] = quint8(cell);
    }
}

VANTOLA_AVX2 double tenThousandthAvx2(qint32 pixel) {
    const Constants k = constants(0);
    return _mm256_cvtsd_f64(tenThousandths(_mm256_set1_pd(double(pixel)), k));
}

} // namespace vantola
