#pragma once

#include "cutting/page_grid.h"

#include <QtGlobal>

namespace vantola {

// AVX2 and FMA versions of the fast row and column sums (sums that never decrease: a threshold
// of -1 or more). They give the same bits as the scalar loops; run them only where
// useVectorPaths() says so.
void sumRowsAvx2(const PageGrid& tabPixels, qint64 firstRow, qint64 count, qint64 columns,
                 qint32 lSeuilPixel, double* sums);
void sumColumnsAvx2(const PageGrid& tabPixels, qint64 top, qint64 bottom, qint64 columns,
                    qint32 lSeuilPixel, double* sums);

// pixel / 10000 as the vector kernels compute it, without a division; for the test that checks
// it against the division over every pixel value.
double tenThousandthAvx2(qint32 pixel);

} // namespace vantola
