#pragma once

#include "cutting/page_grid.h"

#include <QtGlobal>

namespace vantola {

// The cutter's AVX2 kernels over the page grid. They give the same bits as the scalar loops; run
// them only where useVectorPaths() says so.

// AVX2 and FMA versions of the fast row and column sums (sums that never decrease: a threshold
// of -1 or more).
void sumRowsAvx2(const PageGrid& tabPixels, qint64 firstRow, qint64 count, qint64 columns,
                 qint32 lSeuilPixel, double* sums);
void sumColumnsAvx2(const PageGrid& tabPixels, qint64 top, qint64 bottom, qint64 columns,
                    qint32 lSeuilPixel, double* sums);

// pixel / 10000 as the vector kernels compute it, without a division; for the test that checks
// it against the division over every pixel value.
double tenThousandthAvx2(qint32 pixel);

// The cells R + 256·G + 65536·B of a grid row as blue, green, red bytes, `count` pixels; writes
// nothing past out + 3 count.
void bgrFromCellsAvx2(const qint32* cells, qint32 count, quint8* out);

} // namespace vantola
