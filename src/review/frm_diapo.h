#pragma once

#include "cutting/frame_finder.h"
#include "review/deleted_pieces.h"
#include "review/review_layout.h"

#include <QString>
#include <QWidget>
#include <array>
#include <functional>
#include <optional>
#include <vector>

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;

namespace vantola {

class CutOverlay;
class MDI_Compare;
class PictureBox;
class ReviewHost;
class ThumbnailSlot;
struct ProgramState;

// One row of the page table: a page's file name and its re-cut mark ("OK" when marked).
struct PageRow {
    QString name;
    QString mark;
};

// The review window's question to the user, replaceable so that a test answers it without a
// modal dialog.
struct ReviewHooks {
    // A Yes / No question box: title, text; true for Yes.
    std::function<bool(const QString& title, const QString& text)> askYesNo;
};

// The review window, shown inside the compare tool: one page of the source folder at a time,
// with the page itself, a sketch of where it was cut (from the cut record) and its pieces as up
// to sixteen thumbnails. HScrollFile steps through the pages, ScrVerticale through screens of
// sixteen pieces. From here the user deletes pieces (double click, or right click and Yes) and
// re-cuts the current page or the marked pages with the white level typed in txtNbBlanc.
//
// At the size it was drawn at, the controls keep their fixed places (in twips, 15 to a pixel);
// in a larger window the page, the sketch and the thumbnails grow and the other controls move
// along (review_layout). The info label is centred in the window.
class frmDiapo : public QWidget {
    Q_OBJECT

public:
    // Loads the window on the program's current source folder (the page table, page 0 shown).
    frmDiapo(MDI_Compare& container, ReviewHost& host, QWidget* parent = nullptr);

    // The deletion question, replaceable by tests.
    ReviewHooks& hooks() { return hooks_; }

    const std::vector<PageRow>& tabImages() const { return pages_; }

    // Shows the page given by HScrollFile: its picture, its cut sketch, its thumbnails, the info
    // label and the caption.
    void AfficherImage();
    // Fills the sixteen slots from the screen given by ScrVerticale and sets its maximum.
    void AfficherDiapos();
    // Deletes the piece shown in a slot (when its file exists) and shows the page again. A copy
    // is kept until the window closes, for RetablirDiapo.
    void EffacerDiapo(int slot);
    // Brings back the piece deleted last in this window (Ctrl+Z, or CmdRetablir) and shows its
    // page. A file that bears its name again is left alone, and a message says so.
    void RetablirDiapo();
    std::size_t deletedCount() const { return deleted_.size(); }
    // The thumbnail slot chosen by a left click (the Delete key asks to delete its piece), or -1.
    int selectedSlot() const { return selectedSlot_; }

    // The controls: the titles above the page, the sketch and the thumbnails; the frames of the
    // page and of the thumbnails; the label before the white level; a thumbnail's picture.
    QLabel* columnTitle(int index) const { return columnTitles_[std::size_t(index)]; }
    QFrame* pageFrame() const { return pageFrame_; }
    QFrame* thumbnailFrame() const { return thumbnailFrame_; }
    QLabel* whiteLevelLabel() const { return whiteLevelLabel_; }
    PictureBox* thumbnail(int slot) const;
    // The other controls, under their names.
    PictureBox* ImageORIGINAL() const { return pagePicture_; }
    CutOverlay* PicCalque() const { return sketchSurface_; }
    QScrollBar* ScrVerticale() const { return screenBar_; }
    QLabel* LblInfo() const { return infoLabel_; }
    QLineEdit* txtNbBlanc() const { return whiteLevelEdit_; }
    QCheckBox* chkDebug() const { return debugBox_; }
    QScrollBar* HScrollFile() const { return pageBar_; }
    QPushButton* CmdRedecouper() const { return recutPageButton_; }
    QPushButton* CmdRecoupeALL() const { return recutMarkedButton_; }
    QCheckBox* chkRedecoupe() const { return recutMarkBox_; }
    QPushButton* CmdRetablir() const { return restoreButton_; }
    ThumbnailSlot* FrameContour(int slot) const { return thumbnailSlots_[std::size_t(slot)]; }

    // Event handlers.
    void HScrollFile_Change();
    void ScrVerticale_Change();
    void chkRedecoupe_Click();
    void CmdRedecouper_Click();
    void CmdRecoupeALL_Click();
    // A mouse button pressed on a thumbnail (picture or frame): the right one asks whether to
    // delete the piece.
    void thumbnailPressed(int slot, Qt::MouseButton button);

protected:
    // In a window larger than drawn, the page, the sketch and the thumbnails grow with it.
    void resizeEvent(QResizeEvent* event) override;
    // Page Up / Page Down and the arrows step through the pages (Home, End: first, last), Delete
    // asks to delete the selected piece, Ctrl+Z brings back the last deleted one, Escape takes
    // the keyboard back from the white level box.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildControls();
    void buildThumbnailSlots();
    void Form_Load();
    void centreInfoLabel();
    // Places every control for the window's growth.
    void layOut();
    void selectSlot(int slot);
    void askAndDelete(int slot);
    void showPagePicture(const QString& path, const QString& name);
    void drawCutSketch(const QString& path);
    void showThumbnail(int slot, const QString& piecePath);
    void hideThumbnails();

    // The white level typed in txtNbBlanc, or nothing (with a message saying why) when it is
    // not a whole number the cutter can use.
    std::optional<qint32> whiteLevelForRecut();
    // Brings the main window to the front, then, unless the re-cut of these pages is refused,
    // sets the values that the job reads: the level, the silent end and (when given) the debug
    // switch. A refused re-cut (a job running, pages that are no longer there) changes nothing
    // and says why. False when refused or when this window was closed meanwhile.
    bool prepareRecut(qint32 level, std::optional<bool> debug, const QStringList& pageNames);
    // Whether the pages can be re-cut in this window's folder: the program's folder is still
    // the one shown (another job has not moved it elsewhere) and every page is still there.
    // When not, a message says why.
    bool pagesStillHere(const QStringList& pageNames);
    // Runs the driver over each page of this window's folder in turn, with the review window
    // disabled meanwhile, then brings the review window back and shows its page again. Stops
    // early when a job is refused. False when the review window went away during the runs.
    bool runRecuts(const QStringList& pageNames);
    void bringMainWindowToFront();
    void bringToFront();

    MDI_Compare& container_;
    ReviewHost& host_;
    ProgramState& state_;
    ReviewHooks hooks_;
    // The source folder this window shows, as it was when the window was loaded: a later job
    // elsewhere changes the program's folder, never what this window shows and re-cuts.
    QString sourceFolder_;
    // How the job that cut that folder found its panels: its pages are re-cut the same way.
    PanelFinder sourceFinder_ = PanelFinder::Gutters;
    // The page table tabImages: the JPEG pages of the source folder and their re-cut marks.
    std::vector<PageRow> pages_;

    std::array<QLabel*, 3> columnTitles_{};
    QFrame* pageFrame_ = nullptr;
    PictureBox* pagePicture_ = nullptr;
    CutOverlay* sketchSurface_ = nullptr;
    QFrame* thumbnailFrame_ = nullptr;
    QScrollBar* screenBar_ = nullptr;
    QLabel* infoLabel_ = nullptr;
    QLabel* whiteLevelLabel_ = nullptr;
    QLineEdit* whiteLevelEdit_ = nullptr;
    QCheckBox* debugBox_ = nullptr;
    QScrollBar* pageBar_ = nullptr;
    QPushButton* recutPageButton_ = nullptr;
    QPushButton* recutMarkedButton_ = nullptr;
    QCheckBox* recutMarkBox_ = nullptr;
    QPushButton* restoreButton_ = nullptr;
    DeletedPieces deleted_;
    LayoutGrowth growth_;
    double thumbnailScaleX_ = 1; // the thumbnail frame's growth, across and down
    double thumbnailScaleY_ = 1;
    int selectedSlot_ = -1;
    bool refreshPending_ = false;
    std::array<ThumbnailSlot*, 16> thumbnailSlots_{};
};

} // namespace vantola
