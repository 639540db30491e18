// Re-cutting and deleting from the review window: the re-cut mark of a page, re-cutting the
// current page or the marked pages through the main window's driver, and deleting a piece.
#include "cutting/cutting_job.h"
#include "review/frm_diapo.h"
#include "review/mdi_compare.h"
#include "review/picture_box.h"
#include "review/piece_disposal.h"
#include "review/review_host.h"
#include "review/thumbnail_fit.h"
#include "settings/file_names.h"
#include "settings/number_text.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <algorithm>

namespace vantola {

namespace {

QString recutRefusedTitle() {
    return QCoreApplication::translate("vantola::frmDiapo", "REDECOUPAGE IMPOSSIBLE");
}

} // namespace

void frmDiapo::chkRedecoupe_Click() {
    if (pages_.empty())
        return;
    PageRow& row = pages_[std::size_t(pageBar_->value())];
    row.mark = recutMarkBox_->isChecked() ? QStringLiteral("OK") : QString();
}

std::optional<qint32> frmDiapo::whiteLevelForRecut() {
    const QString text = whiteLevelEdit_->text();
    const std::optional<qint32> level = numberFromText<qint32>(text);
    if (!level) {
        host_.showMessage(recutRefusedTitle(),
                          QCoreApplication::translate(
                              "vantola::frmDiapo",
                              "Le niveau de blanc « %1 » n'est pas un nombre entier : aucune image "
                              "n'a été redécoupée.")
                              .arg(text));
        return std::nullopt;
    }
    if (*level > kLargestWhiteLevel || *level < kSmallestWhiteLevel) {
        host_.showMessage(
            recutRefusedTitle(),
            QCoreApplication::translate(
                "vantola::frmDiapo",
                "Le niveau de blanc %1 est hors limites (niveau de %2 à %3) : aucune image "
                "n'a été redécoupée.")
                .arg(*level)
                .arg(kSmallestWhiteLevel)
                .arg(kLargestWhiteLevel));
        return std::nullopt;
    }
    return level;
}

void frmDiapo::CmdRedecouper_Click() {
    if (pages_.empty())
        return;
    const std::optional<qint32> level = whiteLevelForRecut();
    if (!level)
        return;
    const QStringList page{pages_[std::size_t(pageBar_->value())].name};
    if (prepareRecut(*level, debugBox_->isChecked(), page))
        runRecuts(page);
}

void frmDiapo::CmdRecoupeALL_Click() {
    const std::optional<qint32> level = whiteLevelForRecut();
    if (!level)
        return;
    QStringList marked;
    for (const PageRow& row : pages_) {
        if (row.mark == QLatin1String("OK"))
            marked << row.name;
    }
    // Re-cutting the marked pages leaves the debug switch as it is.
    if (prepareRecut(*level, std::nullopt, marked))
        runRecuts(marked);
}

bool frmDiapo::prepareRecut(qint32 level, std::optional<bool> debug, const QStringList& pageNames) {
    const QPointer<frmDiapo> self(this);
    bringMainWindowToFront();
    // Checked only now: the events just let through may have started or ended a job. A job
    // still running goes on with its own level, switches and closing message.
    if (!self || host_.refuseWhileJobRuns() || !pagesStillHere(pageNames))
        return false;
    if (debug)
        state_.bModeDebug = *debug;
    state_.bSansMessage = true;
    state_.lNiveauBlanc = level;
    return true;
}

bool frmDiapo::pagesStillHere(const QStringList& pageNames) {
    if (state_.sRepSource != sourceFolder_) {
        host_.showMessage(
            recutRefusedTitle(),
            QCoreApplication::translate(
                "vantola::frmDiapo",
                "Un autre découpage a changé le dossier en cours depuis l'ouverture "
                "de cette fenêtre sur %1 : aucune image n'a été redécoupée. Fermez "
                "l'outil de comparaison et rouvrez-le pour revoir le dossier en cours.")
                .arg(sourceFolder_));
        return false;
    }
    QStringList missing;
    for (const QString& name : pageNames) {
        if (!isRegularFile(sourceFolder_ + name))
            missing << name;
    }
    if (missing.isEmpty())
        return true;
    host_.showMessage(recutRefusedTitle(),
                      QCoreApplication::translate(
                          "vantola::frmDiapo",
                          "Image(s) introuvable(s) dans %1 : %2. Aucune image n'a été redécoupée.")
                          .arg(sourceFolder_, missing.join(QStringLiteral(", "))));
    return false;
}

bool frmDiapo::runRecuts(const QStringList& pageNames) {
    const QPointer<frmDiapo> self(this);
    // The pages are cut again as the job that this window reviews cut them, whatever the menu
    // says now; the program's state outlives the window, which the re-cut may close.
    struct FinderForRecut {
        ProgramState& state;
        FinderForRecut(ProgramState& s, PanelFinder finder) : state(s) {
            state.recutFinder = finder;
        }
        ~FinderForRecut() { state.recutFinder.reset(); }
        FinderForRecut(const FinderForRecut&) = delete;
        FinderForRecut& operator=(const FinderForRecut&) = delete;
    } finderForRecut(state_, sourceFinder_);
    // The driver lets events through while it cuts: the window stays still meanwhile, so that
    // nothing is deleted or re-cut under it.
    setEnabled(false);
    for (const QString& name : pageNames) {
        const bool ran = host_.runJob(sourceFolder_ + name, name, 0);
        if (!self)
            return false;
        if (!ran)
            break;
    }
    setEnabled(true);
    bringToFront();
    if (!self)
        return false;
    AfficherImage();
    return true;
}

void frmDiapo::bringMainWindowToFront() {
    QWidget& mainWindow = host_.hostWindow();
    mainWindow.show();
    mainWindow.raise();
    mainWindow.activateWindow();
    QCoreApplication::processEvents();
}

void frmDiapo::bringToFront() {
    container_.raise();
    container_.activateWindow();
    if (auto* subWindow = qobject_cast<QMdiSubWindow*>(parentWidget()))
        container_.area()->setActiveSubWindow(subWindow);
    QCoreApplication::processEvents();
}

void frmDiapo::thumbnailPressed(int slot, Qt::MouseButton button) {
    // A left click selects the piece for the Delete key; a right click asks at once.
    if (button == Qt::LeftButton)
        selectSlot(slot);
    else if (button == Qt::RightButton)
        askAndDelete(slot);
}

void frmDiapo::askAndDelete(int slot) {
    if (hooks_.askYesNo(
            QCoreApplication::translate("vantola::frmDiapo", "SUPPRESSION"),
            QCoreApplication::translate("vantola::frmDiapo", "Voulez vous effacer cette image ?")))
        EffacerDiapo(slot);
}

void frmDiapo::EffacerDiapo(int slot) {
    if (slot < 0 || slot >= kThumbnailSlots)
        return;
    const QString path = thumbnail(slot)->tag();
    const bool kept = !path.isEmpty() && !pages_.empty() &&
                      deleted_.keep(path, pages_[std::size_t(pageBar_->value())].name);
    const QString problem = path.isEmpty() ? QString() : throwPieceAway(path);
    if (!problem.isEmpty()) {
        if (kept)
            deleted_.forgetLast();
        host_.showMessage(QCoreApplication::translate("vantola::frmDiapo", "SUPPRESSION"),
                          QCoreApplication::translate("vantola::frmDiapo",
                                                      "Le fichier %1 n'a pas pu être effacé : %2")
                              .arg(path, problem));
    }
    restoreButton_->setEnabled(!deleted_.isEmpty());
    AfficherImage();
}

void frmDiapo::RetablirDiapo() {
    if (deleted_.isEmpty() || !isEnabled())
        return;
    const DeletedPieces::Piece piece = deleted_.last();
    const QString problem = deleted_.restoreLast();
    restoreButton_->setEnabled(!deleted_.isEmpty());
    if (!problem.isEmpty()) {
        host_.showMessage(QCoreApplication::translate("vantola::frmDiapo", "RESTAURATION"),
                          QCoreApplication::translate("vantola::frmDiapo",
                                                      "Le fichier %1 n'a pas pu être rétabli : %2")
                              .arg(piece.path, problem));
        return;
    }
    // The page the piece was cut from is shown, with the piece among its thumbnails again.
    const auto row = std::find_if(pages_.begin(), pages_.end(),
                                  [&](const PageRow& each) { return each.name == piece.pageName; });
    const int page = int(row - pages_.begin());
    if (row == pages_.end() || page == pageBar_->value())
        AfficherImage();
    else
        pageBar_->setValue(page);
}

} // namespace vantola
