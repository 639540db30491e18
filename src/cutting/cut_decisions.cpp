#include "cutting/cut_decisions.h"

#include "cutting/band_finder.h"
#include "cutting/block_finder.h"
#include "cutting/exact_arithmetic.h"
#include "cutting/frame_order.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace vantola {

namespace {

constexpr double kBlockSizeLimit = 15.0;
constexpr double kWholeBandSizeLimit = 30.0;
constexpr qint32 kWholeBandMinimumHeight = 10;

// The page bar's value at the start of band i of N: 75 to 100 in equal steps.
qint32 bandProgress(qint64 i, qint64 N) {
    if (N == 1) {
        return qint32(i * 25 + 75);
    }
    return qint32(roundHalfEven(double(i * 25) / double(N - 1) + 75.0));
}

// The height that the size rule measures bands against: the page's, or for a long strip that of
// a page of the strip's width.
qint32 referenceHeight(const CutParameters& parameters) {
    if (!parameters.strip)
        return parameters.H;
    return qint32(std::min<double>(std::nearbyint(std::sqrt(2.0) * parameters.W),
                                   std::numeric_limits<qint32>::max()));
}

// The pieces of one band: its blocks that pass the size rule, or else the band itself when it is
// tall enough and its last block (the last found, whatever the reading order) passes the looser
// rule.
void decideBand(const PageGrid& tabPixels, const CutParameters& parameters, Extent band, qint32 R,
                const CutCallbacks& callbacks, std::vector<CutPiece>& pieces) {
    const std::vector<Extent> blocks =
        findBlocks(tabPixels, band, R, parameters.lSeuilPixel, parameters.lNiveauBlanc, callbacks);
    const qint32 height = checkedSub(band.end, band.start);
    const qint32 H = referenceHeight(parameters);
    const std::size_t firstOfBand = pieces.size();
    qint32 lastWidth = 0;
    for (const Extent& block : blocks) {
        lastWidth = checkedSub(block.end, block.start);
        if (largeEnough(lastWidth, height, parameters.W, H, kBlockSizeLimit)) {
            pieces.push_back({PieceKind::Block, block.start, block.end, band.start, band.end});
        }
    }
    const bool anyWritten = pieces.size() > firstOfBand;
    if (!anyWritten && height > kWholeBandMinimumHeight &&
        largeEnough(lastWidth, height, parameters.W, H, kWholeBandSizeLimit)) {
        pieces.push_back({PieceKind::WholeBand, 0, R, band.start, band.end});
    }
    if (parameters.rightToLeft)
        std::reverse(pieces.begin() + std::ptrdiff_t(firstOfBand), pieces.end());
}

// The pieces of a page whose panels are found by their frames, between header and footer rows of
// the (turned) grid: one block per panel in reading order, or the whole page when there is none.
void decideFrames(const PageGrid& tabPixels, const CutParameters& parameters, qint32 lastColumn,
                  qint32 F, const CutCallbacks& callbacks, CutDecisions& result) {
    if (callbacks.progress)
        callbacks.progress(75);
    std::vector<PanelBox> panels =
        findFrames(tabPixels, checkedAdd(lastColumn, 1), parameters.lLigneEntete, F);
    orderPanels(panels, parameters.rightToLeft);
    if (callbacks.progress)
        callbacks.progress(100);
    if (callbacks.service)
        callbacks.service();
    if (panels.empty()) {
        result.noPanelFound = true;
        result.pieces.push_back({PieceKind::WholePage, 0, parameters.W, 0, parameters.H});
        return;
    }
    for (const PanelBox& panel : panels)
        result.pieces.push_back(
            {PieceKind::Block, panel.left, panel.right, panel.top, panel.bottom});
}

void decide(PageGrid& tabPixels, const CutParameters& parameters, qint32& lLignePied,
            const CutCallbacks& callbacks, CutDecisions& result) {
    qint32 lastColumn = parameters.lastColumnRead;
    if (parameters.rotation != Rotation::None) {
        rotateGrid(tabPixels, parameters.W, parameters.H, parameters.rotation);
        lastColumn = checkedSub(parameters.H, 1);
        lLignePied = checkedSub(parameters.W, 1);
    }
    const qint32 F = lLignePied;
    result.R = checkedAdd(lastColumn, 1);
    if (parameters.finder == PanelFinder::Frames) {
        decideFrames(tabPixels, parameters, lastColumn, F, callbacks, result);
        return;
    }
    const bool secondPass = parameters.iPasse == 2;

    std::vector<qint32> tabLignes =
        findWhiteRows(tabPixels, parameters.lLigneEntete, F, lastColumn, parameters.lSeuilPixel,
                      parameters.lNiveauBlanc, callbacks.service);
    const bool noWhiteRow = tabLignes.empty();
    if (secondPass) {
        tabLignes.push_back(F);
    }
    const qint32 R = checkedAdd(lastColumn, 1);
    result.R = R;

    const CutPiece wholePage{PieceKind::WholePage, 0, parameters.W, 0, parameters.H};
    if (noWhiteRow) {
        result.pieces.push_back(wholePage);
        return;
    }
    std::vector<Extent> bands;
    if (secondPass) {
        bands = secondPassBands(tabLignes, F);
    } else if (auto firstPass = firstPassBands(tabLignes, F)) {
        bands = std::move(*firstPass);
    } else {
        result.pieces.push_back(wholePage);
        return;
    }

    const qint64 N = qint64(bands.size());
    for (qint64 i = 0; i < N; ++i) {
        if (callbacks.progress) {
            callbacks.progress(bandProgress(i, N));
        }
        if (callbacks.service) {
            callbacks.service();
        }
        decideBand(tabPixels, parameters, bands[std::size_t(i)], R, callbacks, result.pieces);
    }
}

} // namespace

CutDecisions decideCuts(PageGrid& tabPixels, const CutParameters& parameters, qint32& lLignePied,
                        const CutCallbacks& callbacks) {
    CutDecisions result;
    try {
        decide(tabPixels, parameters, lLignePied, callbacks, result);
    } catch (const AppError& error) {
        result.failure = error;
    }
    return result;
}

} // namespace vantola
