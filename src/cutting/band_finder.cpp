#include "cutting/band_finder.h"

#include "cutting/bright_sums.h"
#include "cutting/exact_arithmetic.h"

#include <algorithm>

namespace vantola {

std::vector<qint32> findWhiteRows(const PageGrid& tabPixels, qint32 firstRow, qint32 lastRow,
                                  qint32 lastColumn, qint32 lSeuilPixel, qint32 lNiveauBlanc,
                                  const std::function<void()>& service) {
    std::vector<qint32> tabLignes;
    const qint32 divisor = checkedAdd(lastColumn, 1);
    // The sums are computed a few rows at a time, so that the user interface is serviced
    // regularly while the rows are tested one by one.
    constexpr qint64 kRowsPerChunk = 32;
    for (qint64 first = firstRow; first <= lastRow; first += kRowsPerChunk) {
        const qint64 last = std::min<qint64>(first + kRowsPerChunk - 1, lastRow);
        const BrightSums chunk =
            sumRows(tabPixels, qint32(first), qint32(last), lastColumn, lSeuilPixel);
        for (qint64 i = 0; i <= last - first; ++i) {
            if (i == chunk.firstOverflow) {
                raiseError(kErrOverflow);
            }
            if (checkedQuotient(chunk.sums[std::size_t(i)], divisor) > double(lNiveauBlanc)) {
                tabLignes.push_back(qint32(first + i));
            }
            if (service) {
                service();
            }
        }
    }
    return tabLignes;
}

std::optional<std::vector<Extent>> firstPassBands(const std::vector<qint32>& whiteRows, qint32 F) {
    ExtentList tabBandes;
    qint32 prev = 0;
    qint32 n = 0;
    const std::size_t count = whiteRows.size();
    for (std::size_t k = 0; k < count; ++k) {
        const qint32 row = whiteRows[k];
        const qint32 next = checkedAdd(prev, 1);
        const qint32 afterNext = checkedAdd(prev, 2);
        if (row == next || row == afterNext) {
            // The white run goes on: entry n becomes (this row, the next white row).
            tabBandes.setStart(n, row);
            if (k + 1 < count) {
                tabBandes.setEnd(n, whiteRows[k + 1]);
            }
        } else if (prev != 0) {
            n = checkedAdd(n, 1); // a new run starts; its entry is written when it goes on
        }
        prev = row;
    }

    // Entries left half-written or never written (a white run of one row) are dropped.
    for (qint32 i = 0; i < n;) {
        if (tabBandes.start(i) == 0 || tabBandes.end(i) == 0) {
            tabBandes.removeAt(i);
            n = n - 1;
        } else {
            i = i + 1;
        }
    }
    if (tabBandes.start(0) == tabBandes.end(0)) {
        return std::nullopt;
    }
    if (tabBandes.start(n) == tabBandes.end(n)) {
        tabBandes.truncate(n); // the entry of the run at the bottom of the page
    }
    // A remainder below the last band becomes a band when it is more than a quarter of F.
    const qint32 lastBottom = tabBandes.end(n - 1);
    if (double(F) / 4.0 < double(checkedSub(F, lastBottom))) {
        tabBandes.set(n, {lastBottom, F});
        n = checkedAdd(n, 1);
    }
    return tabBandes.firstEntries(n);
}

std::vector<Extent> secondPassBands(const std::vector<qint32>& tabLignes, qint32 F) {
    ExtentList tabBandes;
    qint32 prev = 0;
    qint32 n = 0;
    tabBandes.set(0, {});
    const std::size_t count = tabLignes.size();
    for (std::size_t k = 0; k < count; ++k) {
        const qint32 row = tabLignes[k];
        if (row == checkedAdd(prev, 1)) {
            tabBandes.setStart(n, row);
            if (tabBandes.start(0) != 0) {
                tabBandes.setStart(0, 0); // the first band always starts at row 0
            }
            if (k + 1 < count) {
                tabBandes.setEnd(n, tabLignes[k + 1]);
            }
        } else if (prev != 0) {
            n = checkedAdd(n, 1);
            tabBandes.set(n, {});
        }
        prev = row;
    }
    if (tabBandes.end(n) != F) {
        tabBandes.setStart(n, n >= 1 ? tabBandes.end(n - 1) : 0);
        tabBandes.setEnd(n, F);
        n = checkedAdd(n, 1);
    }
    FusionnerBandes(tabBandes, n);

    // The merge never uses its last raw band, so the bands may stop short of F: the rest of the
    // piece down to F becomes one more band rather than being lost.
    if (n == 0 || F > checkedAdd(tabBandes.end(n - 1), 3)) {
        tabBandes.set(n, {tabBandes.end(n - 1), F});
        n = checkedAdd(n, 1);
    }
    return tabBandes.firstEntries(n);
}

void FusionnerBandes(ExtentList& tabBandes, qint32& count) {
    ExtentList merged;
    merged.set(0, {});
    qint32 j = 0;
    for (qint64 i = 0; i <= qint64(count) - 2; ++i) {
        const Extent band = tabBandes.at(i);
        if (band.start < checkedAdd(merged.start(j), 3) && merged.start(j) > band.start) {
            merged.setStart(j, band.start);
        }
        if (band.end > checkedAdd(merged.end(j), 3)) {
            merged.setEnd(j, band.end);
            if (j != 0) {
                merged.setStart(j, merged.end(j - 1));
            }
            j = checkedAdd(j, 1);
        }
    }
    tabBandes = merged;
    count = j;
}

} // namespace vantola
