#include "cutting/bright_sums.h"

#include "cutting/exact_arithmetic.h"
#include "cutting/grid_vector_kernels.h"
#include "cutting/vector_lanes.h"
#include "image/vector_paths.h"

namespace vantola {

namespace {

using lanes::Double2;
using lanes::Int2;

// With a threshold of -1 or more, every pixel that counts is 0 or more: the sums never decrease
// and never go below 0. A sum that leaves the 32-bit range then stays out of it, so checking the
// final sums finds every overflow, and the inner loops need neither a check nor the sign of the
// sum to round it. Other thresholds take the checked paths below.
bool sumsNeverDecrease(qint32 lSeuilPixel) {
    return lSeuilPixel >= -1;
}

// Rows outside the grid are the subscript error even when no column is to be read: a range of
// rows that the grid does not hold would otherwise be walked row by row, up to 2^32 of them.
void checkCells(const PageGrid& tabPixels, qint64 firstRow, qint64 lastRow, qint64 lastColumn) {
    if (firstRow > lastRow) {
        return;
    }
    if (!tabPixels.contains(0, firstRow) || !tabPixels.contains(0, lastRow) ||
        (lastColumn >= 0 && !tabPixels.contains(lastColumn, firstRow))) {
        raiseError(kErrSubscript);
    }
}

qint64 firstSumOutOfRange(const std::vector<double>& sums) {
    for (std::size_t i = 0; i < sums.size(); ++i) {
        if (!fitsInt32(sums[i])) {
            return qint64(i);
        }
    }
    return -1;
}

// addBrightPixel on two sums at once, for sums of 0 or more: adding and removing 2^52 rounds
// them to integers, halves to even.
inline Double2 addBrightPixels(Double2 sums, Double2 pixels, Double2 threshold) {
    const Double2 tenThousand = {10000.0, 10000.0};
    const Double2 none = {0.0, 0.0};
    const Double2 shift = {4503599627370496.0, 4503599627370496.0};
    const Double2 addend = pixels > threshold ? pixels / tenThousand : none;
    return ((sums + addend) + shift) - shift;
}

inline Double2 toDoubles(qint32 first, qint32 second) {
    const Int2 pair = {first, second};
    return __builtin_convertvector(pair, Double2);
}

double sumOneRow(const qint32* cells, qint64 count, qint32 lSeuilPixel) {
    double sum = 0.0;
    for (qint64 x = 0; x < count; ++x) {
        sum = addBrightPixel(sum, cells[x], lSeuilPixel);
    }
    return sum;
}

// Eight rows at a time, two per vector: each row's sum is a chain of additions that must wait
// for the previous one, and eight chains keep the processor busy while they wait.
void sumRowsFast(const PageGrid& tabPixels, qint64 firstRow, qint64 count, qint64 columns,
                 qint32 lSeuilPixel, double* sums) {
    const Double2 threshold = {double(lSeuilPixel), double(lSeuilPixel)};
    qint64 i = 0;
    for (; i + 8 <= count; i += 8) {
        const qint32* row[8];
        for (int r = 0; r < 8; ++r) {
            row[r] = tabPixels.row(qint32(firstRow + i + r));
        }
        Double2 sum01 = {0.0, 0.0};
        Double2 sum23 = sum01;
        Double2 sum45 = sum01;
        Double2 sum67 = sum01;
        for (qint64 x = 0; x < columns; ++x) {
            sum01 = addBrightPixels(sum01, toDoubles(row[0][x], row[1][x]), threshold);
            sum23 = addBrightPixels(sum23, toDoubles(row[2][x], row[3][x]), threshold);
            sum45 = addBrightPixels(sum45, toDoubles(row[4][x], row[5][x]), threshold);
            sum67 = addBrightPixels(sum67, toDoubles(row[6][x], row[7][x]), threshold);
        }
        const Double2 all[4] = {sum01, sum23, sum45, sum67};
        for (int pair = 0; pair < 4; ++pair) {
            sums[i + 2 * pair] = all[pair][0];
            sums[i + 2 * pair + 1] = all[pair][1];
        }
    }
    for (; i < count; ++i) {
        sums[i] = sumOneRow(tabPixels.row(qint32(firstRow + i)), columns, lSeuilPixel);
    }
}

// Stops at the first row that overflows: nothing after it is used.
qint64 sumRowsChecked(const PageGrid& tabPixels, qint64 firstRow, qint64 count, qint64 columns,
                      qint32 lSeuilPixel, double* sums) {
    for (qint64 i = 0; i < count; ++i) {
        const qint32* cells = tabPixels.row(qint32(firstRow + i));
        double sum = 0.0;
        for (qint64 x = 0; x < columns; ++x) {
            sum = addBrightPixel(sum, cells[x], lSeuilPixel);
            if (!fitsInt32(sum)) {
                return i;
            }
        }
        sums[i] = sum;
    }
    return -1;
}

void sumColumnsFast(const PageGrid& tabPixels, qint64 top, qint64 bottom, qint64 columns,
                    qint32 lSeuilPixel, double* sums) {
    const Double2 threshold = {double(lSeuilPixel), double(lSeuilPixel)};
    for (qint64 y = top; y <= bottom; ++y) {
        const qint32* cells = tabPixels.row(qint32(y));
        qint64 x = 0;
        for (; x + 2 <= columns; x += 2) {
            const Double2 pixels = __builtin_convertvector(lanes::load<Int2>(cells + x), Double2);
            lanes::store(sums + x,
                         addBrightPixels(lanes::load<Double2>(sums + x), pixels, threshold));
        }
        for (; x < columns; ++x) {
            sums[x] = addBrightPixel(sums[x], cells[x], lSeuilPixel);
        }
    }
}

// Column by column, down each column, stopping at the first column that overflows.
qint64 sumColumnsChecked(const PageGrid& tabPixels, qint64 top, qint64 bottom, qint64 columns,
                         qint32 lSeuilPixel, double* sums) {
    for (qint64 x = 0; x < columns; ++x) {
        double sum = 0.0;
        for (qint64 y = top; y <= bottom; ++y) {
            sum = addBrightPixel(sum, tabPixels.row(qint32(y))[x], lSeuilPixel);
            if (!fitsInt32(sum)) {
                return x;
            }
        }
        sums[x] = sum;
    }
    return -1;
}

// The fast sums when they cannot decrease, their first overflow found afterwards; else the
// checked sums, which stop at it. Gives the index of the first sum out of range, or -1.
template <typename Fast, typename Checked>
qint64 sumEither(qint32 lSeuilPixel, std::vector<double>& sums, Fast fast, Checked checked) {
    if (!sumsNeverDecrease(lSeuilPixel)) {
        return checked(sums.data());
    }
    fast(sums.data());
    return firstSumOutOfRange(sums);
}

} // namespace

BrightSums sumRows(const PageGrid& tabPixels, qint32 firstRow, qint32 lastRow, qint32 lastColumn,
                   qint32 lSeuilPixel) {
    checkCells(tabPixels, firstRow, lastRow, lastColumn);
    BrightSums result;
    const qint64 count = firstRow <= lastRow ? qint64(lastRow) - firstRow + 1 : 0;
    const qint64 columns = lastColumn >= 0 ? qint64(lastColumn) + 1 : 0;
    result.sums.assign(std::size_t(count), 0.0);
    if (columns == 0) {
        return result; // empty rows: every sum is 0
    }
    result.firstOverflow = sumEither(
        lSeuilPixel, result.sums,
        [&](double* sums) {
            if (useVectorPaths())
                sumRowsAvx2(tabPixels, firstRow, count, columns, lSeuilPixel, sums);
            else
                sumRowsFast(tabPixels, firstRow, count, columns, lSeuilPixel, sums);
        },
        [&](double* sums) {
            return sumRowsChecked(tabPixels, firstRow, count, columns, lSeuilPixel, sums);
        });
    return result;
}

BrightSums sumColumns(const PageGrid& tabPixels, qint32 top, qint32 bottom, qint32 lastColumn,
                      qint32 lSeuilPixel) {
    checkCells(tabPixels, top, bottom, lastColumn);
    BrightSums result;
    const qint64 columns = lastColumn >= 0 ? qint64(lastColumn) + 1 : 0;
    result.sums.assign(std::size_t(columns), 0.0);
    result.firstOverflow = sumEither(
        lSeuilPixel, result.sums,
        [&](double* sums) {
            if (useVectorPaths())
                sumColumnsAvx2(tabPixels, top, bottom, columns, lSeuilPixel, sums);
            else
                sumColumnsFast(tabPixels, top, bottom, columns, lSeuilPixel, sums);
        },
        [&](double* sums) {
            return sumColumnsChecked(tabPixels, top, bottom, columns, lSeuilPixel, sums);
        });
    return result;
}

} // namespace vantola
