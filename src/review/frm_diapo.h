#pragma once

#include "review/review_hooks.h"

#include <QString>
#include <QWidget>
#include <array>
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
class ThumbnailSlot;
class frmBD;
struct ProgramState;

// One row of the page table: a page's file name and its re-cut mark ("OK" when marked).
struct PageRow {
    QString name;
    QString mark;
};

// The review window, shown inside the compare tool: one page of the source folder at a time,
// with the page itself, a sketch of where it was cut (from the cut record) and its pieces as up
// to sixteen thumbnails. HScrollFile steps through the pages, ScrVerticale through screens of
// sixteen pieces. From here the user deletes pieces (double click, or right click and Yes) and
// re-cuts the current page or the marked pages with the white level typed in txtNbBlanc.
//
// The controls keep the fixed places they were drawn at (in twips, 15 to a pixel); only the
// info label is centred in the window.
class frmDiapo : public QWidget {
    Q_OBJECT

public:
    // Loads the window on the program's current source folder (the page table, page 0 shown).
    frmDiapo(MDI_Compare& container, frmBD& mainWindow, QWidget* parent = nullptr);

    // The deletion question, replaceable by tests.
    ReviewHooks& hooks() { return hooks_; }

    const std::vector<PageRow>& tabImages() const { return tabImages_; }

    // Shows the page given by HScrollFile: its picture, its cut sketch, its thumbnails, the info
    // label and the caption.
    void AfficherImage();
    // Fills the sixteen slots from the screen given by ScrVerticale and sets its maximum.
    void AfficherDiapos();
    // Deletes the piece shown in a slot (when its file exists) and shows the page again.
    void EffacerDiapo(int Index);

    // The controls, under their names.
    QLabel* Labeltxt(int index) const { return labeltxt_[std::size_t(index)]; }
    QFrame* Frame2() const { return frame2_; }
    PictureBox* ImageORIGINAL() const { return imageOriginal_; }
    CutOverlay* PicCalque() const { return picCalque_; }
    QFrame* Frame1() const { return frame1_; }
    QScrollBar* ScrVerticale() const { return scrVerticale_; }
    QLabel* LblInfo() const { return lblInfo_; }
    QLabel* Label1() const { return label1_; }
    QLineEdit* txtNbBlanc() const { return txtNbBlanc_; }
    QCheckBox* chkDebug() const { return chkDebug_; }
    QScrollBar* HScrollFile() const { return hScrollFile_; }
    QPushButton* CmdRedecouper() const { return cmdRedecouper_; }
    QPushButton* CmdRecoupeALL() const { return cmdRecoupeAll_; }
    QCheckBox* chkRedecoupe() const { return chkRedecoupe_; }
    ThumbnailSlot* FrameContour(int index) const { return slots_[std::size_t(index)]; }
    PictureBox* Image1(int index) const;

    // Event handlers.
    void HScrollFile_Change();
    void ScrVerticale_Change();
    void chkRedecoupe_Click();
    void CmdRedecouper_Click();
    void CmdRecoupeALL_Click();
    // A mouse button pressed on a thumbnail (picture or frame): the right one asks whether to
    // delete the piece.
    void thumbnail_MouseDown(int Index, Qt::MouseButton Button);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildControls();
    void buildThumbnailSlots();
    void Form_Load();
    void centreInfoLabel();
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
    frmBD& mainWindow_;
    ProgramState& state_;
    ReviewHooks hooks_;
    // The source folder this window shows, as it was when the window was loaded: a later job
    // elsewhere changes the program's folder, never what this window shows and re-cuts.
    QString sRepSource_;
    std::vector<PageRow> tabImages_;

    std::array<QLabel*, 3> labeltxt_{};
    QFrame* frame2_ = nullptr;
    PictureBox* imageOriginal_ = nullptr;
    CutOverlay* picCalque_ = nullptr;
    QFrame* frame1_ = nullptr;
    QScrollBar* scrVerticale_ = nullptr;
    QLabel* lblInfo_ = nullptr;
    QLabel* label1_ = nullptr;
    QLineEdit* txtNbBlanc_ = nullptr;
    QCheckBox* chkDebug_ = nullptr;
    QScrollBar* hScrollFile_ = nullptr;
    QPushButton* cmdRedecouper_ = nullptr;
    QPushButton* cmdRecoupeAll_ = nullptr;
    QCheckBox* chkRedecoupe_ = nullptr;
    std::array<ThumbnailSlot*, 16> slots_{};
};

} // namespace vantola
