#pragma once

// Synthetic page grids for the cut decision tests: a black page on which a test paints white
// rows, gutters and margins, then asks for the cuts.

#include "cutting/cut_decisions.h"

#include <algorithm>
#include <functional>

namespace vantola::test {

inline constexpr qint32 kWhite = 16777215;
inline constexpr qint32 kLevel = 1450;
inline constexpr qint32 kThreshold = kLevel * 10000;

class TestPage {
public:
    TestPage(qint32 width, qint32 height) : W(width), H(height), grid(width, height) {}

    // Columns x0..x1 of rows y0..y1 set to a colour, kept inside the page: column W and row H
    // of the grid stay 0, as the page cutter leaves them.
    TestPage& paint(qint32 x0, qint32 x1, qint32 y0, qint32 y1, qint32 colour = kWhite) {
        for (qint32 y = std::max(y0, 0); y <= std::min(y1, H - 1); ++y)
            for (qint32 x = std::max(x0, 0); x <= std::min(x1, W - 1); ++x)
                grid.set(x, y, colour);
        return *this;
    }
    TestPage& whiteRows(qint32 y0, qint32 y1) { return paint(0, W - 1, y0, y1); }

    struct Options {
        qint16 iPasse = 1;
        Rotation rotation = Rotation::None;
        qint32 header = 0;
        qint32 footer = -1; // -1: the last row, H - 1
        qint32 level = kLevel;
        CutCallbacks callbacks = {};
    };
    CutDecisions decide(const Options& options) {
        CutParameters parameters{W,
                                 H,
                                 options.header,
                                 W - 1,
                                 options.level * 10000,
                                 options.level,
                                 options.iPasse,
                                 options.rotation};
        lLignePied = options.footer < 0 ? H - 1 : options.footer;
        return decideCuts(grid, parameters, lLignePied, options.callbacks);
    }
    CutDecisions decide(qint16 iPasse = 1) { return decide(Options{.iPasse = iPasse}); }

    const qint32 W;
    const qint32 H;
    PageGrid grid;
    qint32 lLignePied = 0;
};

// The number of the program error that work raises, 0 when it raises none.
inline int errorNumberOf(const std::function<void()>& work) {
    try {
        work();
    } catch (const AppError& error) {
        return error.number();
    }
    return 0;
}

inline CutPiece block(qint32 left, qint32 right, qint32 top, qint32 bottom) {
    return {PieceKind::Block, left, right, top, bottom};
}
inline CutPiece wholeBand(qint32 right, qint32 top, qint32 bottom) {
    return {PieceKind::WholeBand, 0, right, top, bottom};
}

} // namespace vantola::test
