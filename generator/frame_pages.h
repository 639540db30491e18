#pragma once

// Pages on which cutting along clean white gutters fails and finding panels by their frames must
// not: dark or coloured paper, empty frames, a balloon across a gutter, panels that bleed off the
// page, panels without frames, a skewed scan, JPEG noise, a page without any panel, and a page of
// text in two columns whose first paragraphs are too short to be panels, and framed panels that
// art joins across every gutter, a framed panel with a figure in front of its frame, and a panel
// without a frame among framed ones whose figures paper parts more widely than a gutter (and the
// same figures a gutter apart: two panels).

#include <QImage>
#include <QRect>
#include <cstdint>
#include <vector>

namespace vantola::generator {

enum class FramePageKind {
    BlackPaper,
    ColouredPaper,
    EmptyFrames,
    BalloonAcrossGutter,
    Bleeding,
    Frameless,
    Skewed,
    JpegNoise,
    NoPanel,
    TextColumns,
    TouchingFrames,
    ScatteredDrawing,
    JoinedFrames,
    FigureOverFrame,
    FiguresWithoutFrame,
    FramelessBesideFrames,
};

struct FramePage {
    QImage image;              // Format_RGB32
    std::vector<QRect> panels; // every panel's bounding rectangle on the page, tier by tier
    QRect balloon;             // the balloon across a gutter, if the page has one
};

// Draws a page of that kind from the seed, A4 at 150 dpi.
FramePage framePage(FramePageKind kind, std::uint64_t seed);

} // namespace vantola::generator
