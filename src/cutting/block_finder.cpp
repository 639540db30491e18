#include "cutting/block_finder.h"

#include "cutting/bright_sums.h"
#include "cutting/exact_arithmetic.h"

namespace vantola {

std::vector<Extent> findBlocks(const PageGrid& tabPixels, Extent band, qint32 R, qint32 lSeuilPixel,
                               qint32 lNiveauBlanc, const CutCallbacks& callbacks) {
    const qint32 t = band.start;
    const qint32 b = band.end;
    const qint32 height = checkedSub(b, t);
    const BrightSums columns = sumColumns(tabPixels, t, b, R, lSeuilPixel);

    ExtentList tabBlocs;
    qint32 m = 0;
    tabBlocs.set(0, {});
    bool inRun = false;
    for (qint64 x = 0; x <= R; ++x) {
        if (x == columns.firstOverflow) {
            raiseError(kErrOverflow);
        }
        const double quotient = checkedQuotient(columns.sums[std::size_t(x)], height);
        if (callbacks.debug) {
            callbacks.debug(t, b, qint32(x), quotient);
        }
        if (quotient > double(lNiveauBlanc)) {
            if (checkedAdd(tabBlocs.start(m), 1) == x) {
                tabBlocs.setStart(m, qint32(x)); // the white run goes on
            } else if (!inRun) {
                tabBlocs.setEnd(m, qint32(x));
                inRun = true;
            } else {
                if (tabBlocs.end(m) != 0) {
                    m = checkedAdd(m, 1);
                    tabBlocs.setStart(m, tabBlocs.end(m - 1));
                }
                tabBlocs.setEnd(m, qint32(x));
                m = checkedAdd(m, 1);
                tabBlocs.setStart(m, qint32(x));
            }
        }
        if (callbacks.service) {
            callbacks.service();
        }
    }

    if (tabBlocs.end(m) == 0 && m > 0) {
        tabBlocs.truncate(m); // the entry opened by the last white run
    }
    if (m < 1) {
        tabBlocs.set(m, {0, R});
        m = checkedAdd(m, 1);
    } else {
        const double quarter = double(R) / 4.0;
        const qint32 lastRight = tabBlocs.end(m - 1);
        if (quarter < double(checkedSub(R, lastRight))) {
            tabBlocs.set(m, {lastRight, R});
            m = checkedAdd(m, 1);
        }
        const qint32 firstLeft = tabBlocs.start(0);
        if (quarter < double(checkedSub(R, firstLeft))) {
            tabBlocs.set(m, {0, firstLeft});
            m = checkedAdd(m, 1);
        }
    }
    return tabBlocs.firstEntries(m);
}

bool largeEnough(qint32 width, qint32 height, qint32 W, qint32 H, double limit) {
    return width > 0 && height > 0 && double(W) / double(width) < limit &&
           double(H) / double(height) < limit;
}

} // namespace vantola
