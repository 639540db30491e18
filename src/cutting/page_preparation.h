#pragma once

#include "cutting/cut_decisions.h"
#include "cutting/grid_rotation.h"
#include "cutting/page_grid.h"

#include <QImage>
#include <QString>
#include <QStringList>
#include <functional>

namespace vantola {

// Steps of the page cutter, reported after "Ligne " when a page fails.
enum PageStep : int {
    kStepStart = 1,
    kStepLoad = 2,
    kStepOpen = 3,
    kStepGrid = 4,
    kStepRead = 5,
    kStepDecide = 6,
    kStepWholePage = 7,
    kStepBlock = 8,
    kStepWholeBand = 9,
    kStepLog = 10,
};

// What the preparation of a page (loading it, reading its rows into the grid, deciding its cuts)
// reports as it goes, in order. On the calling thread the report goes straight to the job's host;
// on a worker thread it is recorded and replayed later on the calling thread, so that the host
// sees the same calls in the same order either way.
class PageReport {
public:
    virtual ~PageReport() = default;

    // The page's failing step from now on (the number after "Ligne " if the page fails).
    virtual void step(int step) = 0;
    // The page's progress bar, with the empty text.
    virtual void progress(int value) = 0;
    // Lets the user interface breathe.
    virtual void service() = 0;
    // Between two rows: holds while the pause switch is on.
    virtual void holdWhilePaused() = 0;
    // The page has been loaded: its path ("" for a captured page) and picture.
    virtual void shown(const QString& path, const QImage& page) = 0;
    // The job's footer row (lLignePied) takes this value.
    virtual void footerRow(qint32 row) = 0;
    // A captured page writes its log into its own folder from here on.
    virtual void logFile(const QString& path) = 0;
    // A captured page is kept as a JPEG file beside its log (left as the bitmap and raised when
    // it cannot be encoded).
    virtual void captured(const QImage& page, const QString& bitmapPath,
                          const QString& jpegPath) = 0;
};

// The switches of the main window that a job reads (its menu check marks).
struct JobSwitches {
    bool doublePass = false;            // mnu_doublepasse
    Rotation rotation = Rotation::None; // mnu_horaire / mnu_antihoraire
    bool footerEnabled = false;         // mnu_pied
    bool rightToLeft = false; // mnu_droitegauche: blocks of a band numbered from the right
    bool strip = false;       // mnu_bandeverticale: long vertical strips (webtoons)
    bool panelBook = false;   // mnu_livrecbz: VANTOLA/NAME.cbz at the end of the job
    bool panelMaps = false;   // mnu_cadres: frames.json and frames.acbf at the end
    PanelFinder finder = PanelFinder::Gutters; // mnu_detectercadres: panels found by their frames
    friend bool operator==(const JobSwitches&, const JobSwitches&) = default;
};

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
