#pragma once

#include <QSizeF>
#include <QString>
#include <vector>

namespace vantola {

// One cut rectangle of a page, scaled to the sketch surface (twips): the outline runs from
// (x1, y1) to (x2, y2), the right and bottom edges already pulled in by the gaps that keep
// neighbouring pieces apart.
struct SketchOutline {
    int x1 = 0;
    int y1 = 0;
    int x2 = 0;
    int y2 = 0;
    bool split = false; // the piece was cut again into two or more pieces (drawn in red)
    QString piecePath;  // FICHIER_n
};

struct CutSketch {
    std::vector<SketchOutline> outlines;
    QString problem; // why the cuts, or some of them, cannot be drawn ("" when all are)
};

// Gaps between neighbouring outlines, in twips: the right edge is drawn 50 to the left of the
// piece's right edge, the bottom edge 100 above its bottom edge.
inline constexpr int kSketchGapRight = 50;
inline constexpr int kSketchGapBottom = 100;

// The cut rectangles of a page from the cut record (decoupage.ini). The page's section is named
// by its full path; WIDTH and HEIGHT (default 1) are the page's size, and piece n has
// COLONNE_1_n, COLONNE_2_n, LIGNE_1_n, LIGNE_2_n (default 0) and FICHIER_n. Coordinates are
// scaled to the surface: x * surface width / WIDTH, y * surface height / HEIGHT, rounded halves
// to even. The list ends at the first piece whose four scaled values are all 0. A piece is
// `split` when the record has a section named by its path with a non-empty FICHIER_2.
//
// A record that cannot be drawn (an unreadable file, WIDTH or HEIGHT 0 or not a number, a
// coordinate that is not a number) stops the reading there and says why in `problem`.
CutSketch readCutSketch(const QString& pagePath, QSizeF surfaceTwips,
                        const QString& sFichierDecoupage);

} // namespace vantola
