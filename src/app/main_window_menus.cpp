// The main window's menus: each item made once, with its object name, French caption (the "&"
// marks its access key; translated into the program's language) and the key of the language
// section that replaces the caption.
#include "app/main_window.h"
#include "settings/app_error.h"
#include "settings/cls_initreg.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

namespace vantola {

QMenu* frmBD::addMenu(const MenuCaption& caption) {
    QMenu* created = menuBar()->addMenu(tr(caption.caption));
    created->setObjectName(QLatin1String(caption.name));
    if (*caption.key)
        translatedCaptions_.push_back({created->menuAction(), caption.key});
    return created;
}

QAction* frmBD::addItem(QMenu* parentMenu, const MenuCaption& caption, void (frmBD::*slot)()) {
    QAction* item = parentMenu->addAction(tr(caption.caption));
    item->setObjectName(QLatin1String(caption.name));
    // The captions carry their own access keys; no shortcut text is added by the platform.
    item->setMenuRole(QAction::NoRole);
    if (*caption.key)
        translatedCaptions_.push_back({item, caption.key});
    if (slot)
        connect(item, &QAction::triggered, this, slot);
    return item;
}

void frmBD::buildMenus() {
    mnu_Fichier_ = addMenu({"mnu_Fichier", QT_TR_NOOP("&Fichier"), "T8"});
    mnu_ouvririmg_ = addItem(mnu_Fichier_, {"mnu_ouvririmg", QT_TR_NOOP("&Ouvrir une image"), "T9"},
                             &frmBD::mnu_ouvririmg_Click);
    mnu_ouvrirrep_ =
        addItem(mnu_Fichier_, {"mnu_ouvrirrep", QT_TR_NOOP("&Découper un répertoire"), "T10"},
                &frmBD::mnu_ouvrirrep_Click);
    mnu_compare_ =
        addItem(mnu_Fichier_, {"mnu_compare", QT_TR_NOOP("Comparer le découpage"), "T11"},
                &frmBD::mnu_compare_Click);
    mnu_ouvririmage_ =
        addItem(mnu_Fichier_, {"mnu_ouvririmage", QT_TR_NOOP("Découper une &image"), "T13"},
                &frmBD::mnu_ouvririmage_Click);
    mnu_pressepapier_ = addItem(
        mnu_Fichier_,
        {"mnu_pressepapier", QT_TR_NOOP("Découper une image depuis le presse papier"), "T14"},
        &frmBD::mnu_pressepapier_Click);
    mnu_Acrobat_ =
        addItem(mnu_Fichier_,
                {"mnu_Acrobat", QT_TR_NOOP("Découper une BD depuis Adobe Acrobat (PDF)"), "T15"},
                &frmBD::mnu_Acrobat_Click);
    mnu_Fichier_->addSeparator();
    mnu_quitter_ = addItem(mnu_Fichier_, {"mnu_quitter", QT_TR_NOOP("&Quitter"), "T16"},
                           &frmBD::mnu_quitter_Click);

    mnu_Formatage_ = addMenu({"mnu_Formatage", QT_TR_NOOP("F&ormatage"), "T17"});
    mnu_doublepasse_ = addItem(
        mnu_Formatage_, {"mnu_doublepasse", QT_TR_NOOP("Effectuer une &double passe"), "T26"},
        &frmBD::mnu_doublepasse_Click);
    mnu_horaire_ =
        addItem(mnu_Formatage_,
                {"mnu_horaire", QT_TR_NOOP("Effectuer une rotation de 90° (sens &horaire)"), "T18"},
                &frmBD::mnu_horaire_Click);
    mnu_antihoraire_ =
        addItem(mnu_Formatage_,
                {"mnu_antihoraire",
                 QT_TR_NOOP("Effectuer une rotation de 90° (sens &anti horaire)"), "T19"},
                &frmBD::mnu_antihoraire_Click);
    mnu_paramJPG_ = addItem(mnu_Formatage_,
                            {"mnu_paramJPG", QT_TR_NOOP("Configurer la compression JPEG"), "T20"},
                            &frmBD::mnu_paramJPG_Click);
    // The cutter always cuts the borders: the item only shows it.
    mnu_couperbord_ = addItem(
        mnu_Formatage_, {"mnu_couperbord", QT_TR_NOOP("Couper les bordures"), "T21"}, nullptr);
    mnu_blanc_ = addItem(mnu_Formatage_,
                         {"mnu_blanc", QT_TR_NOOP("&Chiffrer le blanc de séparation"), "T22"},
                         &frmBD::mnu_blanc_Click);
    mnu_entete_ =
        addItem(mnu_Formatage_, {"mnu_entete", QT_TR_NOOP("&Gérer une entête d'image"), "T23"},
                &frmBD::mnu_entete_Click);
    mnu_pied_ =
        addItem(mnu_Formatage_, {"mnu_pied", QT_TR_NOOP("Gérer un &pied de page d'image"), "T24"},
                &frmBD::mnu_pied_Click);

    mnu_Formatage_->addSeparator();
    mnu_droitegauche_ = addItem(
        mnu_Formatage_, {"mnu_droitegauche", QT_TR_NOOP("Lecture de droite à gauche (manga)"), ""},
        &frmBD::syncSwitches);
    mnu_bandeverticale_ = addItem(
        mnu_Formatage_, {"mnu_bandeverticale", QT_TR_NOOP("Bandes verticales (webtoon)"), ""},
        &frmBD::syncSwitches);
    mnu_detectercadres_ =
        addItem(mnu_Formatage_, {"mnu_detectercadres", QT_TR_NOOP("Détecter les cadres"), ""},
                &frmBD::syncSwitches);
    mnu_livrecbz_ = addItem(mnu_Formatage_,
                            {"mnu_livrecbz", QT_TR_NOOP("Créer un livre CBZ des vignettes"), ""},
                            &frmBD::syncSwitches);
    mnu_cadres_ = addItem(mnu_Formatage_,
                          {"mnu_cadres", QT_TR_NOOP("Créer les cartes des cases (JSON, ACBF)"), ""},
                          &frmBD::syncSwitches);

    mnu_Divers_ = addMenu({"mnu_Divers", QT_TR_NOOP("Divers"), ""});
    mnu_aide_ =
        addItem(mnu_Divers_, {"mnu_aide", QT_TR_NOOP("&Notice"), ""}, &frmBD::mnu_aide_Click);
    mnu_aide_->setShortcut(QKeySequence::HelpContents);
    mnu_apropos_ = addItem(mnu_Divers_, {"mnu_apropos", QT_TR_NOOP("&A Propos"), "T25"},
                           &frmBD::mnu_apropos_Click);
    // The check mark of mnu_pause is the switch that the job reads; its slot only shows it.
    mnu_pause_ =
        addItem(mnu_Divers_, {"mnu_pause", QT_TR_NOOP("&Pause"), ""}, &frmBD::mnu_pause_Click);

    // The desktop's usual keys; Pause has its own key, and Ctrl+P for keyboards without one.
    // (written out: the standard sequences are empty where the desktop defines none for them).
    mnu_ouvririmg_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    mnu_quitter_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    mnu_pause_->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_P), QKeySequence(Qt::Key_Pause)});

    // Items whose check mark is a switch.
    for (QAction* item : {mnu_doublepasse_, mnu_horaire_, mnu_antihoraire_, mnu_couperbord_,
                          mnu_entete_, mnu_pied_, mnu_pause_, mnu_droitegauche_,
                          mnu_bandeverticale_, mnu_livrecbz_, mnu_cadres_, mnu_detectercadres_})
        item->setCheckable(true);
    mnu_couperbord_->setChecked(true);
    mnu_couperbord_->setEnabled(false);
    // Header and footer picking need a page.
    mnu_entete_->setEnabled(false);
    mnu_pied_->setEnabled(false);
}

// Each translated caption is the value of its key in the language section of param.ini, or the
// French default when the file, the section or the key is missing (or the file cannot be read).
void frmBD::translateMenus() {
    Cls_InitREG ini;
    for (const auto& [item, key] : translatedCaptions_) {
        try {
            item->setText(ini.IniLire(state_.sLangue, QLatin1String(key), item->text(),
                                      state_.sFichierParam));
        } catch (const AppError&) {
            // An unreadable param.ini leaves the French captions.
        }
    }
}

// The commands that start a job (or, for the compare tool, open the window that re-cuts pages),
// refused while a job runs: two jobs would share one counter, one log and one cut record.
void frmBD::setJobCommandsEnabled(bool enabled) {
    for (QAction* item : {mnu_ouvririmg_, mnu_ouvrirrep_, mnu_compare_, mnu_ouvririmage_,
                          mnu_pressepapier_, mnu_Acrobat_})
        item->setEnabled(enabled);
}

QAction* frmBD::menuItem(const QString& name) const {
    return findChild<QAction*>(name);
}

QMenu* frmBD::menu(const QString& name) const {
    return findChild<QMenu*>(name);
}

} // namespace vantola
