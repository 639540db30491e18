#pragma once

#include <QApplication>
#include <QMainWindow>
#include <QPointer>
#include <QString>

class QMdiArea;
class QProgressBar;

namespace vantola {

class ReviewHost;
class frmDiapo;

// The compare tool: a window titled "Vantola - Outil de comparaison de découpe" holding the
// review window as a child window, with a progress bar along its bottom edge that is shown only
// while the piece listing or the thumbnail layout uses it. It also lists the pieces of a page
// for the review window (renseigner_tableau).
class MDI_Compare : public QMainWindow {
    Q_OBJECT

public:
    explicit MDI_Compare(ReviewHost& host, QWidget* parent = nullptr);

    // Loading: the window is maximized; when no source folder is known yet, the picture dialog
    // asks for a page and its folder becomes the source folder; then the review window opens
    // inside. False when the dialog was cancelled or named a folder that does not exist (said
    // in a message): nothing was opened, and the caller discards the container unshown.
    bool MDIForm_Load();

    // Fills the program's piece list (tabDiapos) with the pieces of the page named
    // sFichierOriginal: the files of the piece folder of sRepSource whose names begin with
    // the page's name without regard to case, in listing order.
    void renseigner_tableau(const QString& sRepSource, const QString& sFichierOriginal);

    ReviewHost& host() const { return host_; }
    QMdiArea* area() const { return area_; }
    QProgressBar* progressBar() const { return progressBar_; }
    // The review window, null once it has been closed.
    frmDiapo* reviewWindow() const;

private:
    ReviewHost& host_;
    QMdiArea* area_;
    QProgressBar* progressBar_;
    QPointer<frmDiapo> reviewWindow_;
};

// The hourglass pointer for as long as the object lives: with the compare tool's progress bar,
// the feedback while the pieces of a page are listed and their thumbnails loaded.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

} // namespace vantola
