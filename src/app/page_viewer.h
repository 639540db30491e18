#pragma once

#include "app/window_hooks.h"
#include "cutting/cutting_job.h"

#include <QImage>
#include <QWidget>

class QFrame;
class QLabel;
class QScrollBar;

namespace vantola {

class PagePicture;

// What a release of the mouse on the page sets (iModeClic).
enum ModeClic : qint16 {
    kClickMeasures = 0,   // measure the zone only (and forget the header and footer rows)
    kClickSetsHeader = 1, // the header row
    kClickSetsFooter = 2, // the footer row
};

// The page view of the main window: the information label, the frame PicBIG in which the page
// picture PictureFROM is shown at its natural size and scrolled by horizontalBar and verticalBar
// (one unit moves it by 10 pixels), and what a mouse release on the page does: measure the zone's
// white level and, in header or footer mode, pick the row where cutting starts or ends. The rows
// are the job's lLigneEntete and lLignePied.
class PageViewer : public QWidget {
    Q_OBJECT

public:
    PageViewer(CuttingJob& job, WindowHooks& hooks, QWidget* parent = nullptr);

    // Loads a picture file into the page view. A file that cannot be decoded leaves the view
    // as it was and shows why; the result tells whether the page was opened.
    bool openPage(const QString& path);
    // Shows the page that a job is cutting, scrolled to its top, with its information line.
    void showJobPage(const QString& path, const QImage& page);

    // The information line: text, the page's size, the header and footer rows.
    void AfficherInfo(const QString& text);

    qint16 iModeClic() const { return modeClic_; }
    void setModeClic(qint16 mode) { modeClic_ = mode; }

    void setFrameVisible(bool visible);
    void hideVerticalScrollBar();

    QFrame* PicBIG() const { return frame_; }
    PagePicture* PictureFROM() const { return picture_; }
    QScrollBar* horizontalBar() const { return hScroll_; }
    QScrollBar* verticalBar() const { return vScroll_; }
    QLabel* LblInfo() const { return info_; }
    // The centred line that tells how to begin, shown while no page is.
    QLabel* startHint() const { return hint_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setPage(const QImage& page);
    void updateScrollRanges();
    void onReleased(QPoint press, QPoint release);

    CuttingJob& job_;
    WindowHooks& hooks_;
    QLabel* info_;
    QLabel* hint_;
    QWidget* area_; // the frame with its scroll bars, shown and hidden together
    QFrame* frame_;
    PagePicture* picture_;
    QScrollBar* hScroll_;
    QScrollBar* vScroll_;
    qint16 modeClic_ = kClickMeasures;
};

} // namespace vantola
