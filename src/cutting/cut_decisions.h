#pragma once

// Where a page is cut: across into bands along white rows, each band along its white columns
// into blocks, and which rectangles become pieces. The page cutter `DecouperPage` fills the grid,
// calls decideCuts and then writes the pieces it returns.

#include "cutting/frame_finder.h"
#include "cutting/grid_rotation.h"
#include "cutting/page_grid.h"
#include "settings/app_error.h"

#include <functional>
#include <optional>
#include <vector>

namespace vantola {

// What the cut decisions report to the page cutter while they run. Every callback may be empty.
struct CutCallbacks {
    // The page progress bar's value, 75 to 100, once at the start of each band.
    std::function<void(qint32 value)> progress;
    // Lets the user interface breathe: after each row of the white-row scan, after each band's
    // progress value and after each column of the block scan.
    std::function<void()> service;
    // Set only while the debug switch is on: for each column x of each band (t, b), the values
    // of the diagnostic log line, the quotient being the column's sum divided by b - t.
    std::function<void(qint32 t, qint32 b, qint32 x, double quotient)> debug;
};

enum class PieceKind {
    WholePage, // the page has no usable band: it is one piece, (0, W, 0, H)
    Block,     // a block of a band that passed the size rule
    WholeBand, // a band none of whose blocks passed: columns 0..R of the band
};

// A piece to write: its kind and its rectangle in grid coordinates (after any rotation), which
// the cut record keeps as they are. A block is copied from the grid as (right - left) x
// (bottom - top) pixels from (left, top); a band kept whole is as wide as the page picture (W)
// and bottom - top high; the whole page is the page picture itself.
struct CutPiece {
    PieceKind kind = PieceKind::Block;
    qint32 left = 0;
    qint32 right = 0;
    qint32 top = 0;
    qint32 bottom = 0;
    friend bool operator==(const CutPiece&, const CutPiece&) = default;
};

struct CutParameters {
    qint32 W = 0;              // the page's width, unturned
    qint32 H = 0;              // the page's height, unturned
    qint32 lLigneEntete = 0;   // header row T0: the first row scanned
    qint32 lastColumnRead = 0; // W - 1
    qint32 lSeuilPixel = 0;    // per-pixel threshold, lNiveauBlanc x 10000
    qint32 lNiveauBlanc = 0;   // white level
    qint16 iPasse = 1;         // 2 for the second pass, anything else is the first
    Rotation rotation = Rotation::None;
    bool rightToLeft = false; // the blocks of each band are given from the right (manga)
    // A long vertical strip (webtoon): the size rule measures heights against a page of the
    // strip's width, sqrt(2) x W, instead of the strip's whole height.
    bool strip = false;
    // Frames: the panels are the regions that stand out from the page's background, each one a
    // block piece in reading order, instead of the blocks between white rows and columns.
    PanelFinder finder = PanelFinder::Gutters;
};

struct CutDecisions {
    std::vector<CutPiece> pieces; // in the order they are to be written
    qint32 R = 0;                 // right edge: one beyond the last column read
    // A failure of the page (division by zero, overflow, subscript out of range). The pieces
    // decided before it are kept: the cutter writes them, then fails the page.
    std::optional<AppError> failure;
    // The frame finder found no panel: the page is one piece, and the log says why.
    bool noPanelFound = false;
};

// Decides the cuts of a page from its grid `tabPixels` (columns 0..W, rows 0..H, rows
// lLigneEntete..lLignePied filled). The footer row lLignePied is the last row scanned; a rotation
// turns the grid in place (the pieces are then copied from the turned grid) and sets lLignePied
// to W - 1, the last row of the turned grid.
CutDecisions decideCuts(PageGrid& tabPixels, const CutParameters& parameters, qint32& lLignePied,
                        const CutCallbacks& callbacks = {});

} // namespace vantola
