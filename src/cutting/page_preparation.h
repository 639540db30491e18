#pragma once

#include "cutting/cut_decisions.h"
#include "cutting/job_switches.h"
#include "cutting/page_grid.h"
#include "cutting/page_report.h"

#include <QImage>
#include <QString>
#include <QStringList>
#include <functional>

namespace vantola {

// The settings of the job that a page's preparation reads.
struct PageOptions {
    JobSwitches switches;
    qint32 lLigneEntete = 0;
    qint32 lNiveauBlanc = 0;
    bool bModeDebug = false;
    friend bool operator==(const PageOptions&, const PageOptions&) = default;
};

// One page to cut.
struct PageRequest {
    QString sFichier;   // the page's picture file; "" for a captured (clipboard or PDF) page
    QString sNomSortie; // base name of the pieces; for a captured page its folder and number,
                        // replaced by the name of the captured page's file
    std::function<QImage()> capture; // a captured page's picture, on paper; raises without one
    // Sees the page's size before its pixels are decoded (a captured page's once it is taken);
    // raises when the page may not be held, and may wait until it may.
    std::function<void(QSize)> reserveMemory;
    qint32 lSeuilPixel = 0;
    qint16 iPasse = 1;
};

// A page read into its grid, with the cuts decided on it.
struct PreparedCuts {
    QImage page; // as loaded, unturned
    qint32 W = 0;
    qint32 H = 0;
    CutDecisions decisions;
    QStringList debugLines; // the log's diagnostic lines, when the debug switch is on
};

// Loads the page (or takes the captured one and keeps it as a JPEG file), reads its rows between
// header and footer into the grid and decides its cuts, reporting progress, pauses and the
// failing step as it goes. lLignePied is the job's footer row, which the page may change (and
// then reports). A failure of the page is raised (AppError, std::bad_alloc).
PreparedCuts preparePage(PageRequest& request, const PageOptions& options, qint32& lLignePied,
                         PageGrid& grid, PageReport& report);

// A picture as the cutter takes it: one with transparent parts is laid over white, as on paper.
QImage onPaper(const QImage& picture);

// A captured picture as the cutter takes it: a null picture raises the no-picture error (naming
// the PDF page when pageNumber > 0); otherwise it is onPaper's.
QImage capturedOnPaper(const QImage& picture, int pageNumber);

} // namespace vantola
