#include "app/common_dialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QSplitter>
#include <QTreeView>
#include <algorithm>

namespace vantola {

namespace {

const QChar kNul(u'\0');

// One pattern of a filter list as a QFileDialog pattern that ignores letter case.
QString motifSansCasse(const QString& motif) {
    if (motif == QLatin1String("*.*"))
        return QStringLiteral("*");
    QString resultat;
    for (const QChar c : motif) {
        const QChar bas = c.toLower();
        const QChar haut = c.toUpper();
        if (bas != haut)
            resultat += QLatin1Char('[') + bas + haut + QLatin1Char(']');
        else if (c == QLatin1Char('[') || c == QLatin1Char(']'))
            resultat += QLatin1Char('[') + c + QLatin1Char(']'); // a bracket is itself here
        else
            resultat += c;
    }
    return resultat;
}

// Qt's dialog opens with columns too narrow for sizes and dates, and a places list too narrow for
// its names. The columns get the width of typical contents (measured, not computed over every
// file, so that a large folder opens as fast), the name column the rest. The parts are found by
// the names that Qt gives them; a dialog without them is left as it is.
void elargirColonnes(QFileDialog& dialogue) {
    dialogue.resize(800, 520);
    if (auto* liste = dialogue.findChild<QTreeView*>(QStringLiteral("treeView"))) {
        const QFontMetrics mesure = liste->fontMetrics();
        const int marge = 3 * mesure.averageCharWidth();
        QHeaderView* entete = liste->header();
        entete->setStretchLastSection(false);
        entete->setSectionResizeMode(0, QHeaderView::Stretch);
        const QString exemples[] = {QString(), QStringLiteral("999,99 Kio"),
                                    QStringLiteral("image JPEG"),
                                    QStringLiteral("31/12/2000 23:59")};
        for (int colonne = 1; colonne < entete->count() && colonne < 4; ++colonne)
            entete->resizeSection(colonne, std::max(mesure.horizontalAdvance(exemples[colonne]),
                                                    entete->sectionSizeHint(colonne)) +
                                               marge);
    }
    if (auto* separation = dialogue.findChild<QSplitter*>(QStringLiteral("splitter")))
        separation->setSizes({160, 640});
}

} // namespace

QString AjouterFiltre(const QString& filtre, const QString& sDescription, const QString& sMotif) {
    return filtre + sDescription + kNul + sMotif + kNul;
}

QString CouperAuNul(const QString& texte) {
    const qsizetype nul = texte.indexOf(kNul);
    return nul < 0 ? texte : texte.left(nul);
}

QStringList filtresPourQFileDialog(const QString& filtre) {
    const QStringList morceaux = filtre.split(kNul);
    QStringList filtres;
    for (qsizetype i = 0; i + 1 < morceaux.size(); i += 2) {
        const QString& description = morceaux.at(i);
        const QString& motifs = morceaux.at(i + 1);
        if (description.isEmpty() && motifs.isEmpty())
            break; // two NUL characters in a row end the list
        QStringList motifsQt;
        for (const QString& motif : motifs.split(QLatin1Char(';'), Qt::SkipEmptyParts))
            motifsQt += motifSansCasse(motif.trimmed());
        filtres +=
            description + QStringLiteral(" (") + motifsQt.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return filtres;
}

ModCommonDialog::ModCommonDialog(QWidget* parent) : parent_(parent) {}

std::unique_ptr<QFileDialog>
ModCommonDialog::construireDialogue(const DemandeFichier& demande) const {
    auto dialogue = std::make_unique<QFileDialog>(parent_, demande.sTitre);
    // Qt's own dialog on every desktop: it applies the case-blind patterns as written, and with
    // the patterns' details hidden it shows each description exactly as the filter list has it.
    dialogue->setOption(QFileDialog::DontUseNativeDialog);
    dialogue->setOption(QFileDialog::HideNameFilterDetails);
    dialogue->setAcceptMode(demande.bOuvrir ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialogue->setFileMode((demande.lFlags & kOfnFileMustExist) ? QFileDialog::ExistingFile
                                                               : QFileDialog::AnyFile);
    dialogue->setOption(QFileDialog::DontConfirmOverwrite,
                        (demande.lFlags & kOfnOverwritePrompt) == 0);
    dialogue->setDirectory(demande.sDossierInitial.isEmpty() ? QDir::currentPath()
                                                             : demande.sDossierInitial);
    const QStringList filtres = filtresPourQFileDialog(demande.sFiltre);
    if (!filtres.isEmpty()) {
        dialogue->setNameFilters(filtres);
        if (demande.iIndexFiltre >= 1 && demande.iIndexFiltre <= filtres.size())
            dialogue->selectNameFilter(filtres.at(demande.iIndexFiltre - 1));
    }
    if (!demande.sExtensionParDefaut.isEmpty())
        dialogue->setDefaultSuffix(demande.sExtensionParDefaut);
    // The dialog's name buffer holds 256 characters.
    const QString nom = CouperAuNul(demande.sNomFichier).left(256);
    if (!nom.isEmpty())
        dialogue->selectFile(nom);
    elargirColonnes(*dialogue);
    return dialogue;
}

QString ModCommonDialog::DialogueFichier(DemandeFichier& demande) {
    const std::unique_ptr<QFileDialog> dialogue = construireDialogue(demande);
    const int resultat = execution_ ? execution_(*dialogue) : dialogue->exec();
    const QStringList choix = dialogue->selectedFiles();
    if (resultat != QDialog::Accepted || choix.isEmpty())
        return {};
    const QString chemin = CouperAuNul(choix.first());
    QString extension = demande.sExtensionParDefaut;
    if (extension.startsWith(QLatin1Char('.')))
        extension.remove(0, 1);
    if (!extension.isEmpty() &&
        QFileInfo(chemin).suffix().compare(extension, Qt::CaseInsensitive) != 0)
        demande.lFlags |= kOfnExtensionDifferent;
    return chemin;
}

DemandeFichier ModCommonDialog::demandeImage() {
    sFiltre_.clear();
    sFiltre_ =
        AjouterFiltre(sFiltre_, QStringLiteral("JPG Files (*.JPG)"), QStringLiteral("*.JPG"));
    sFiltre_ =
        AjouterFiltre(sFiltre_, QStringLiteral("GIF Files (*.GIF)"), QStringLiteral("*.GIF"));
    sFiltre_ =
        AjouterFiltre(sFiltre_, QStringLiteral("BMP Files (*.BMP)"), QStringLiteral("*.BMP"));
    return {.lFlags = kOfnHideReadOnly,
            .sFiltre = sFiltre_,
            .sTitre = QStringLiteral("Nom du fichier en entrée...")};
}

DemandeFichier ModCommonDialog::demandeSortie() {
    sFiltre_.clear();
    sFiltre_ =
        AjouterFiltre(sFiltre_, QStringLiteral("JPG Files (*.JPG)"), QStringLiteral("*.JPG"));
    return {.lFlags = kOfnHideReadOnly,
            .sFiltre = sFiltre_,
            .sTitre = QStringLiteral("Nom du fichier en sortie...")};
}

std::unique_ptr<QFileDialog> ModCommonDialog::construireDialogueImage() {
    return construireDialogue(demandeImage());
}

std::unique_ptr<QFileDialog> ModCommonDialog::construireDialogueSortie() {
    return construireDialogue(demandeSortie());
}

QString ModCommonDialog::choisir(const DemandeFichier& demande) {
    DemandeFichier copie = demande;
    sDernierChemin_ = DialogueFichier(copie);
    return sDernierChemin_;
}

QString ModCommonDialog::ChoisirImage() {
    return choisir(demandeImage());
}

QString ModCommonDialog::ChoisirSortie() {
    return choisir(demandeSortie());
}

} // namespace vantola
