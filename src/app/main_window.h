#pragma once

#include "app/common_dialogs.h"
#include "app/window_hooks.h"
#include "app/window_job_host.h"
#include "cutting/cutting_job.h"
#include "cutting/program_state.h"
#include "review/review_host.h"

#include <QMainWindow>
#include <memory>
#include <vector>

class QAction;
class QLabel;
class QMenu;

namespace vantola {

class PageViewer;
class Pgb2Panel;

// The program's main window: the menus of the commands and switches, the page view, and the
// status bar with the job's and the page's progress bars. It owns the cutting job and runs it
// on the interface thread, one job at a time. Closing it saves the rotation and double-pass
// switches in param.ini and ends the program; "&Quitter" ends it without saving.
class frmBD : public QMainWindow, public ReviewHost {
    Q_OBJECT

public:
    // The program state comes from loadProgramState (param.ini's language and white level);
    // the window reads the rest of its start-up settings from the same param.ini.
    explicit frmBD(ProgramState& state, QWidget* parent = nullptr);
    ~frmBD() override;

    ProgramState& state() override { return state_; }
    CuttingJob& job() { return job_; }
    // The dialogs and the program's end, replaceable by tests.
    WindowHooks& hooks() { return hooks_; }
    // The file dialogs, with the last chosen path.
    ModCommonDialog& dialogs() { return dialogs_; }

    PageViewer* viewer() const { return viewer_; }
    Pgb2Panel* pgbTraitement() const { return pgbTraitement_; }
    Pgb2Panel* pgbPage() const { return pgbPage_; }
    // A menu item or menu found by its object name ("mnu_pause", "mnu_Fichier"...), null when
    // unknown: for a caller that does not know the window's members.
    QAction* menuItem(const QString& name) const;
    QMenu* menu(const QString& name) const;

    bool isJobRunning() const { return jobRunning_; }
    // While a job runs, says so in a message and returns true: a command refused then must
    // change nothing, not even the settings that the running job reads.
    bool refuseWhileJobRuns() override;
    // Whether the folder of a path chosen in a file dialog exists; when it does not, a message
    // says so. A job never creates a folder that the user mistyped.
    bool chosenFolderExists(const QString& path) override;
    // Runs Decoupage, unless a job is already running (refused with a message). True when the
    // job started; false when it was refused, here or by the driver (which says why).
    bool runJob(const QString& sFichierAOuvrir, const QString& sFichierAOuvrirCourt,
                qint16 inbPage) override;

    // The rest of what the compare tool needs: the window's messages, its picture dialog, and
    // the window itself.
    void showMessage(const QString& title, const QString& text) override;
    QString chooseImage() override;
    QWidget& hostWindow() override;

public slots:
    void mnu_ouvririmg_Click();
    void mnu_ouvrirrep_Click();
    void mnu_compare_Click();
    void mnu_ouvririmage_Click();
    void mnu_pressepapier_Click();
    void mnu_Acrobat_Click();
    void mnu_quitter_Click();
    void mnu_doublepasse_Click();
    void mnu_horaire_Click();
    void mnu_antihoraire_Click();
    void mnu_paramJPG_Click();
    void mnu_blanc_Click();
    void mnu_entete_Click();
    void mnu_pied_Click();
    void mnu_apropos_Click();
    void mnu_pause_Click();

    // Paths dropped on the window, one after the other, each starting the job that the menu
    // would start for it (a picture, a folder, a PDF document, a comic-book archive), with the
    // same checks and messages; anything else is refused with a message.
    void openDropped(const QStringList& paths);

    // Opens the user guide (F1), or says why it cannot.
    void mnu_aide_Click();

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // Asks for a picture, then cuts it or (wholeFolder) every page of its folder, unless a job
    // runs or the folder does not exist.
    void cutChosenPicture(bool wholeFolder);
    // The same once the path is known (chosen or dropped).
    void cutPicture(const QString& path, bool wholeFolder);
    void openDroppedPath(const QString& path);
    // Extracts a comic-book archive into a new folder beside it and cuts that folder.
    void cutArchive(const QString& path);
    enum class PendingExit { None, Close, Quit };

    // A menu or item: its object name, its French caption (UTF-8, "&" before the access key) and
    // the key of the language section that replaces the caption ("" when not translated).
    struct MenuCaption {
        const char* name;
        const char* caption;
        const char* key;
    };
    struct TranslatedCaption {
        QAction* item; // a menu's title is the text of its menu action
        const char* key;
    };

    void buildMenus();
    QMenu* addMenu(const MenuCaption& caption);
    QAction* addItem(QMenu* parentMenu, const MenuCaption& caption, void (frmBD::*slot)());
    void translateMenus();
    void Form_Load();
    void syncSwitches();
    void setJobCommandsEnabled(bool enabled);

    ProgramState& state_;
    ModCommonDialog dialogs_;
    WindowHooks hooks_;
    PageViewer* viewer_ = nullptr;
    Pgb2Panel* pgbTraitement_ = nullptr;
    Pgb2Panel* pgbPage_ = nullptr;
    QMenu* mnu_Fichier_ = nullptr;
    QAction* mnu_ouvririmg_ = nullptr;
    QAction* mnu_ouvrirrep_ = nullptr;
    QAction* mnu_compare_ = nullptr;
    QAction* mnu_ouvririmage_ = nullptr;
    QAction* mnu_pressepapier_ = nullptr;
    QAction* mnu_Acrobat_ = nullptr;
    QAction* mnu_quitter_ = nullptr;
    QMenu* mnu_Formatage_ = nullptr;
    QAction* mnu_doublepasse_ = nullptr;
    QAction* mnu_horaire_ = nullptr;
    QAction* mnu_antihoraire_ = nullptr;
    QAction* mnu_paramJPG_ = nullptr;
    QAction* mnu_couperbord_ = nullptr;
    QAction* mnu_blanc_ = nullptr;
    QAction* mnu_entete_ = nullptr;
    QAction* mnu_pied_ = nullptr;
    QAction* mnu_droitegauche_ = nullptr;
    QAction* mnu_bandeverticale_ = nullptr;
    QAction* mnu_detectercadres_ = nullptr;
    QAction* mnu_livrecbz_ = nullptr;
    QAction* mnu_cadres_ = nullptr;
    QMenu* mnu_Divers_ = nullptr;
    QAction* mnu_apropos_ = nullptr;
    QAction* mnu_aide_ = nullptr;
    QAction* mnu_pause_ = nullptr;
    QLabel* pauseLabel_ = nullptr;
    std::vector<TranslatedCaption> translatedCaptions_;
    std::unique_ptr<WindowJobHost> host_;
    CuttingJob job_;
    bool jobRunning_ = false;
    bool quitting_ = false; // "&Quitter" was chosen: a close from now on saves nothing
    PendingExit pendingExit_ = PendingExit::None;
};

} // namespace vantola
