#include "app/main_window.h"

#include "app/about_box.h"
#include "app/app_icon.h"
#include "app/capture_commands.h"
#include "app/drop_target.h"
#include "app/jpeg_settings_dialog.h"
#include "app/page_viewer.h"
#include "app/progress_panel.h"
#include "app/remembered_folder.h"
#include "app/user_guide.h"
#include "cutting/archive_pages.h"
#include "cutting/program_settings.h"
#include "review/compare_tool.h"
#include "settings/app_error.h"
#include "settings/cls_initreg.h"
#include "settings/number_text.h"
#include "version.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <new>

namespace vantola {

frmBD::frmBD(ProgramState& state, QWidget* parent)
    : QMainWindow(parent), state_(state), dialogs_(this),
      hooks_(defaultWindowHooks(this, dialogs_)), host_(std::make_unique<WindowJobHost>()),
      job_(state_, *host_) {
    setObjectName(QStringLiteral("frmBD"));
    setWindowIcon(vantolaIcon());
    setAcceptDrops(true);
    dialogs_.setPlacesFile(state_.sFichierParam);
    viewer_ = new PageViewer(job_, hooks_, this);
    setCentralWidget(viewer_);
    pgbTraitement_ = new Pgb2Panel(this);
    pgbTraitement_->setObjectName(QStringLiteral("PicS1"));
    pgbPage_ = new Pgb2Panel(this);
    pgbPage_->setObjectName(QStringLiteral("PicS2"));
    statusBar()->setObjectName(QStringLiteral("StatusBar1"));
    statusBar()->setSizeGripEnabled(false);
    statusBar()->addWidget(pgbTraitement_, 1);
    statusBar()->addWidget(pgbPage_, 1);
    pauseLabel_ = new QLabel(tr("EN PAUSE (Ctrl+P pour reprendre)"), this);
    pauseLabel_->setObjectName(QStringLiteral("pauseLabel"));
    pauseLabel_->hide();
    statusBar()->addPermanentWidget(pauseLabel_);
    buildMenus();
    host_->setTargets(
        {this, pgbTraitement_, pgbPage_, viewer_, mnu_pause_,
         [this](const QString& title, const QString& text) { hooks_.showMessage(title, text); },
         pauseLabel_});
    Form_Load();
}

frmBD::~frmBD() = default;

void frmBD::Form_Load() {
    state_.bModeDebug = false;
    for (QAction* item : {mnu_entete_, mnu_pied_, mnu_pause_})
        item->setChecked(false);
    job_.lLigneEntete = 0;
    viewer_->setModeClic(kClickMeasures);
    // Maximised; the restored size is most of the screen, so that it stays usable too.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        resize(screen->availableSize() * 3 / 4);
    setWindowState(windowState() | Qt::WindowMaximized);
    host_->setCaption(QStringLiteral("Vantola v%1.%2").arg(kVersionMajor).arg(kVersionMinor));

    JobSwitches saved;
    try {
        saved = loadSavedSwitches(state_);
    } catch (const AppError&) {
        // An unreadable param.ini starts with no rotation and no double pass.
    }
    mnu_antihoraire_->setChecked(saved.rotation == Rotation::Anticlockwise);
    mnu_horaire_->setChecked(saved.rotation == Rotation::Clockwise);
    mnu_doublepasse_->setChecked(saved.doublePass);
    mnu_droitegauche_->setChecked(saved.rightToLeft);
    mnu_bandeverticale_->setChecked(saved.strip);
    mnu_detectercadres_->setChecked(saved.finder == PanelFinder::Frames);
    mnu_livrecbz_->setChecked(saved.panelBook);
    mnu_cadres_->setChecked(saved.panelMaps);
    syncSwitches();

    translateMenus();

    pgbTraitement_->Initialize(statusBar());
    pgbTraitement_->setTextColor(colourFromPacked(kColourBlue));
    pgbTraitement_->setProgressColor(colourFromPacked(kColourRed));
    pgbPage_->Initialize(statusBar());
}

// The job reads the switches from the job's fields: they follow the check marks at once, so a
// switch changed during a job applies from the next step that reads it.
void frmBD::syncSwitches() {
    JobSwitches& switches = job_.switches;
    switches.doublePass = mnu_doublepasse_->isChecked();
    switches.footerEnabled = mnu_pied_->isChecked();
    switches.rightToLeft = mnu_droitegauche_->isChecked();
    switches.strip = mnu_bandeverticale_->isChecked();
    switches.finder = mnu_detectercadres_->isChecked() ? PanelFinder::Frames : PanelFinder::Gutters;
    switches.panelBook = mnu_livrecbz_->isChecked();
    switches.panelMaps = mnu_cadres_->isChecked();
    switches.rotation = Rotation::None;
    if (mnu_horaire_->isChecked())
        switches.rotation = Rotation::Clockwise;
    else if (mnu_antihoraire_->isChecked())
        switches.rotation = Rotation::Anticlockwise;
}

bool frmBD::refuseWhileJobRuns() {
    if (!jobRunning_)
        return false;
    hooks_.showMessage(tr("DECOUPAGE EN COURS"),
                       tr("Un découpage est déjà en cours : attendez qu'il se "
                          "termine avant d'en lancer un autre."));
    return true;
}

bool frmBD::chosenFolderExists(const QString& path) {
    const QString folder = ExtraireDossier(path);
    if (QFileInfo(folder).isDir())
        return true;
    hooks_.showMessage(tr("DOSSIER INTROUVABLE"),
                       tr("Le dossier %1 n'existe pas : rien n'a été découpé. "
                          "Choisissez un dossier qui existe.")
                           .arg(folder.isEmpty() ? path : folder));
    return false;
}

bool frmBD::runJob(const QString& sFichierAOuvrir, const QString& sFichierAOuvrirCourt,
                   qint16 inbPage) {
    if (refuseWhileJobRuns())
        return false;
    jobRunning_ = true;
    setJobCommandsEnabled(false);
    bool started = true;
    const auto showJobInterrupted = [this](const QString& description, int number) {
        hooks_.showMessage(tr("DECOUPAGE INTERROMPU"),
                           description + tr(" (erreur %1)").arg(number));
    };
    try {
        started = job_.Decoupage(sFichierAOuvrir, sFichierAOuvrirCourt, inbPage).started;
    } catch (const JobStopped&) {
        // The window is closing or the program quitting: the job ends where it was.
    } catch (const AppError& error) {
        // A failure outside the pages (param.ini unreadable...) ends the job, not the program.
        showJobInterrupted(error.description(), error.number());
    } catch (const std::bad_alloc&) {
        showJobInterrupted(standardErrorDescription(kErrOutOfMemory), kErrOutOfMemory);
    }
    host_->clearStop();
    jobRunning_ = false;
    setJobCommandsEnabled(true);

    const PendingExit exit = pendingExit_;
    pendingExit_ = PendingExit::None;
    if (exit == PendingExit::Close)
        close();
    else if (exit == PendingExit::Quit)
        hooks_.quit();
    return started;
}

void frmBD::mnu_ouvririmg_Click() {
    if (jobRunning_)
        return;
    const QString path = hooks_.chooseImage();
    if (path.isEmpty())
        return;
    if (!viewer_->openPage(path))
        return;
    mnu_entete_->setEnabled(true);
    mnu_pied_->setEnabled(true);
}

void frmBD::mnu_ouvrirrep_Click() {
    cutChosenPicture(true);
}

void frmBD::mnu_compare_Click() {
    showCompareTool(*this);
}

void frmBD::mnu_ouvririmage_Click() {
    cutChosenPicture(false);
}

void frmBD::cutChosenPicture(bool wholeFolder) {
    if (refuseWhileJobRuns())
        return;
    const QString path = hooks_.chooseImage();
    if (!path.isEmpty())
        cutPicture(path, wholeFolder);
}

void frmBD::cutPicture(const QString& path, bool wholeFolder) {
    if (refuseWhileJobRuns() || !chosenFolderExists(path))
        return;
    state_.bSansMessage = false;
    if (isComicArchive(path))
        cutArchive(path);
    else if (wholeFolder)
        runJob(ExtraireDossier(path), QString(), 0);
    else
        runJob(path, ExtraireNomFichier(path), 0);
}

void frmBD::cutArchive(const QString& path) {
    const ArchivePages pages = extractArchivePages(
        path, archiveBudgetSetting(state_.sFichierParam, QFileInfo(path).size()));
    if (!pages.error.isEmpty()) {
        hooks_.showMessage(tr("ARCHIVE NON EXTRAITE"), pages.error);
        return;
    }
    job_.pagesFailedBefore = pages.failures;
    job_.panelBookName = QFileInfo(path).completeBaseName();
    runJob(pages.folder, QString(), 0);
    job_.pagesFailedBefore.clear();
    job_.panelBookName.clear();
}

void frmBD::mnu_pressepapier_Click() {
    runClipboardCommand(*this);
}

void frmBD::mnu_Acrobat_Click() {
    runPdfCommand(*this);
}

void frmBD::mnu_quitter_Click() {
    // Ends the program without saving the switches; a running job is stopped first.
    quitting_ = true;
    if (jobRunning_) {
        pendingExit_ = PendingExit::Quit;
        host_->requestStop();
        return;
    }
    hooks_.quit();
}

void frmBD::mnu_doublepasse_Click() {
    syncSwitches();
}

void frmBD::mnu_horaire_Click() {
    mnu_antihoraire_->setChecked(false);
    syncSwitches();
}

void frmBD::mnu_antihoraire_Click() {
    mnu_horaire_->setChecked(false);
    syncSwitches();
}

void frmBD::mnu_paramJPG_Click() {
    fSaveJPG::showWindow(state_, this);
}

void frmBD::mnu_blanc_Click() {
    const std::optional<QString> answer =
        hooks_.askText(tr("PARAMETRAGE DU NIVEAU DE BLANC"),
                       tr("Renseigner la valeur minimum du blanc de votre scan (0 à 1680)\r\n"
                          "Ceci dans le but de détecter les lignes horizontales de séparation"),
                       QString::number(state_.lNiveauBlanc));
    // Cancel, an empty answer or anything that is not a number changes nothing.
    const std::optional<qint32> level = numberFromText<qint32>(answer.value_or(QString()));
    if (!level)
        return;
    state_.lNiveauBlanc = *level;
    // The level applies to this session whether or not param.ini keeps it for the next one;
    // the user is told when it will not.
    if (Cls_InitREG().IniEcrire(kParamSection, QStringLiteral("NIVEAU_DE_BLANC"),
                                QString::number(*level), state_.sFichierParam) == 0)
        hooks_.showMessage(tr("PARAMETRAGE DU NIVEAU DE BLANC"),
                           tr("Le niveau de blanc %1 s'applique à cette session, mais "
                              "n'a pas pu être enregistré dans %2.")
                               .arg(*level)
                               .arg(state_.sFichierParam));
}

void frmBD::mnu_entete_Click() {
    // The action has already toggled its check mark.
    if (mnu_entete_->isChecked()) {
        viewer_->setModeClic(kClickSetsHeader);
    } else {
        viewer_->setModeClic(kClickMeasures);
        job_.lLigneEntete = 0;
    }
    hooks_.showMessage(tr("DELIMITER UNE ENTETE"),
                       tr("Cliquer sur l'image, pour designer une entete, et le "
                          "decoupage commencera à partir de cette ligne"));
}

void frmBD::mnu_pied_Click() {
    if (mnu_pied_->isChecked()) {
        viewer_->setModeClic(kClickSetsFooter);
    } else {
        viewer_->setModeClic(kClickMeasures);
        job_.lLignePied = 0;
    }
    syncSwitches();
    hooks_.showMessage(tr("DELIMITER UN PIED DE PAGE"),
                       tr("Cliquer sur l'image, pour designer un pied de page, et le "
                          "decoupage se terminera sur cette ligne"));
}

void frmBD::mnu_apropos_Click() {
    frmAbout::showWindow(this);
}

void frmBD::mnu_pause_Click() {
    host_->showPauseState();
}

void frmBD::dragEnterEvent(QDragEnterEvent* event) {
    // Anything local is taken; what the program cannot cut is refused with a message on drop.
    if (event->mimeData() && !droppedPaths(*event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void frmBD::dropEvent(QDropEvent* event) {
    const QStringList paths = event->mimeData() ? droppedPaths(*event->mimeData()) : QStringList();
    if (paths.isEmpty())
        return;
    event->acceptProposedAction();
    // The jobs run after the drop has ended, so that the program the pages came from is not
    // held while they are cut.
    QTimer::singleShot(0, this, [this, paths] { openDropped(paths); });
}

void frmBD::openDropped(const QStringList& paths) {
    for (const QString& path : paths) {
        if (quitting_ || pendingExit_ != PendingExit::None || refuseWhileJobRuns())
            return;
        openDroppedPath(path);
    }
}

void frmBD::openDroppedPath(const QString& path) {
    const DroppedKind kind = droppedKind(path);
    QString folder = kind == DroppedKind::Folder ? QDir(path).absolutePath() : path;
    if (kind == DroppedKind::Folder && !folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    rememberFolder(state_.sFichierParam, ExtraireDossier(folder));
    switch (kind) {
    case DroppedKind::Picture:
    case DroppedKind::Archive:
        cutPicture(path, false);
        break;
    case DroppedKind::Folder:
        cutPicture(folder, true);
        break;
    case DroppedKind::Pdf:
        runPdfCommand(*this, path);
        break;
    case DroppedKind::Unknown:
        hooks_.showMessage(tr("DEPOT IMPOSSIBLE"),
                           tr("Vantola ne sait pas découper %1 : déposez des images, "
                              "un dossier, un document PDF ou une archive de BD "
                              "(.cbz, .cbr, .cb7, .cbt, .zip, .rar, .7z, .tar).")
                               .arg(path));
        break;
    }
}

void frmBD::mnu_aide_Click() {
    (void)openUserGuide(hooks_.showMessage); // a failure has been shown to the user
}

void frmBD::closeEvent(QCloseEvent* event) {
    if (quitting_) {
        // The program is ending through "&Quitter", which closes without saving.
        event->accept();
        return;
    }
    if (jobRunning_) {
        // The job is stopped first; the window closes once it has unwound.
        pendingExit_ = PendingExit::Close;
        host_->requestStop();
        event->ignore();
        return;
    }
    // The program is ending: the switches that param.ini refuses come back as they were saved
    // last, and there is no window left to tell it in.
    (void)saveSwitches(state_, job_.switches);
    event->accept();
    hooks_.quit();
}

} // namespace vantola
