#pragma once

// The program's file dialogs: the picture dialog, the output dialog and the general file dialog
// under them, with the helpers that build their filters. The path helpers ExtraireDossier and
// ExtraireNomFichier come with this header.
#include "settings/path_parts.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QFileDialog;
class QWidget;

namespace vantola {

// Flags of the file dialogs.
inline constexpr qint32 kOfnOverwritePrompt = 0x2; // a save dialog asks before replacing a file
inline constexpr qint32 kOfnHideReadOnly = 0x4;    // no read-only check box (ours never has one)
inline constexpr qint32 kOfnExtensionDifferent = 0x400; // set back: the chosen name's extension
                                                        // is not the default extension
inline constexpr qint32 kOfnFileMustExist = 0x1000;     // only an existing file can be chosen

// A filter list is a run of description / pattern pairs, each followed by a NUL character:
// "JPG Files (*.JPG)\0*.JPG\0GIF Files (*.GIF)\0*.GIF\0".

// filtre + sDescription + NUL + sMotif + NUL.
QString AjouterFiltre(const QString& filter, const QString& sDescription,
                      const QString& sMotif = QStringLiteral("*.*"));

// The part of the text before its first NUL character (all of it when it has none).
QString CouperAuNul(const QString& text);

// The filter list as QFileDialog name filters. File names on Linux have a letter case that the
// patterns of the list ignore: each letter of a pattern matches both cases ("*.JPG" becomes
// "*.[jJ][pP][gG]", so PAGE.JPG, page.jpg and Page.Jpg all show, whichever dialog applies the
// pattern), and "*.*" matches every file. The description stays first, as the dialog shows it:
// "JPG Files (*.JPG) (*.[jJ][pP][gG])".
QStringList qtNameFilters(const QString& filter);

// What the general file dialog is asked; every field is optional.
struct FileRequest {
    qint32 flags = 0;           // on confirmation, the dialog's final flags
    QString initialFolder{};    // empty: the folder last gone to, else the current folder
    QString filter{};           // a filter list as above
    qint32 filterIndex = 1;     // the filter selected first, from 1
    QString defaultExtension{}; // added to a typed name without extension
    QString fileName{};         // proposed file name
    QString title{};            // window title
    bool isOpenDialog = true;   // open dialog (true) or save dialog
};

// The file-dialog module. One instance keeps the filter that its dialogs last built and the
// last chosen path, and opens its dialogs over a parent window.
class ModCommonDialog {
public:
    // Runs a configured dialog and returns its QDialog result. By default QFileDialog::exec();
    // tests replace it to answer the dialog without a modal loop.
    using Execution = std::function<int(QFileDialog&)>;

    explicit ModCommonDialog(QWidget* parent = nullptr);

    // The general file dialog: the chosen path, or "" when cancelled (flags then unchanged).
    QString DialogueFichier(FileRequest& request);

    // Picture dialog "Nom du fichier en entrée..." with the JPG, GIF and BMP filters and the
    // comic-book archives (CBZ, CBR, CB7, CBT, ZIP, RAR, 7Z, TAR).
    QString ChoisirImage();
    // Output dialog "Nom du fichier en sortie..." with the JPG filter. It is an open dialog that
    // takes an existing name or a new one.
    QString ChoisirSortie();

    // The dialogs that the operations above show, configured and not yet shown. Building the
    // picture or output dialog resets the module's filter to theirs.
    std::unique_ptr<QFileDialog> buildDialog(const FileRequest& request) const;
    std::unique_ptr<QFileDialog> buildImageDialog();
    std::unique_ptr<QFileDialog> buildOutputDialog();

    void setExecution(Execution execution) { execution_ = std::move(execution); }
    // The settings file that remembers the folder last gone to (DERNIER_DOSSIER); without one,
    // the dialogs open in the current folder.
    void setPlacesFile(const QString& sFichierParam) { placesFile_ = sFichierParam; }

    const QString& filter() const { return filter_; }
    const QString& lastPath() const { return lastPath_; }

private:
    FileRequest imageRequest();
    FileRequest outputRequest();
    QString choose(const FileRequest& request);

    QWidget* parent_;
    Execution execution_;
    QString filter_;
    QString lastPath_;
    QString placesFile_;
};

} // namespace vantola
