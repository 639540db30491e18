#include "app/common_dialogs.h"

#include "app/remembered_folder.h"

#include <QCoreApplication>
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
QString caseBlindPattern(const QString& pattern) {
    if (pattern == QLatin1String("*.*"))
        return QStringLiteral("*");
    QString result;
    for (const QChar character : pattern) {
        const QChar lower = character.toLower();
        const QChar upper = character.toUpper();
        if (lower != upper)
            result += QLatin1Char('[') + lower + upper + QLatin1Char(']');
        else if (character == QLatin1Char('[') || character == QLatin1Char(']'))
            result += QLatin1Char('[') + character + QLatin1Char(']'); // a bracket is itself here
        else
            result += character;
    }
    return result;
}

// Qt's dialog opens with columns too narrow for sizes and dates, and a places list too narrow for
// its names. The columns get the width of typical contents (measured, not computed over every
// file, so that a large folder opens as fast), the name column the rest. The parts are found by
// the names that Qt gives them; a dialog without them is left as it is.
void widenColumns(QFileDialog& dialog) {
    dialog.resize(800, 520);
    if (auto* fileList = dialog.findChild<QTreeView*>(QStringLiteral("treeView"))) {
        const QFontMetrics metrics = fileList->fontMetrics();
        const int margin = 3 * metrics.averageCharWidth();
        QHeaderView* header = fileList->header();
        header->setStretchLastSection(false);
        header->setSectionResizeMode(0, QHeaderView::Stretch);
        const QString samples[] = {QString(), QStringLiteral("999,99 Kio"),
                                   QStringLiteral("image JPEG"),
                                   QStringLiteral("31/12/2000 23:59")};
        for (int column = 1; column < header->count() && column < 4; ++column)
            header->resizeSection(column, std::max(metrics.horizontalAdvance(samples[column]),
                                                   header->sectionSizeHint(column)) +
                                              margin);
    }
    if (auto* splitter = dialog.findChild<QSplitter*>(QStringLiteral("splitter")))
        splitter->setSizes({160, 640});
}

} // namespace

QString AjouterFiltre(const QString& filter, const QString& sDescription, const QString& sMotif) {
    return filter + sDescription + kNul + sMotif + kNul;
}

QString CouperAuNul(const QString& text) {
    const qsizetype nul = text.indexOf(kNul);
    return nul < 0 ? text : text.left(nul);
}

QStringList qtNameFilters(const QString& filter) {
    const QStringList parts = filter.split(kNul);
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts.at(i);
        const QString& patterns = parts.at(i + 1);
        if (description.isEmpty() && patterns.isEmpty())
            break; // two NUL characters in a row end the list
        QStringList qtPatterns;
        for (const QString& pattern : patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts))
            qtPatterns += caseBlindPattern(pattern.trimmed());
        filters += description + QStringLiteral(" (") + qtPatterns.join(QLatin1Char(' ')) +
                   QLatin1Char(')');
    }
    return filters;
}

ModCommonDialog::ModCommonDialog(QWidget* parent) : parent_(parent) {}

std::unique_ptr<QFileDialog> ModCommonDialog::buildDialog(const FileRequest& request) const {
    auto dialog = std::make_unique<QFileDialog>(parent_, request.title);
    // Qt's own dialog on every desktop: it applies the case-blind patterns as written, and with
    // the patterns' details hidden it shows each description exactly as the filter list has it.
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setOption(QFileDialog::HideNameFilterDetails);
    dialog->setAcceptMode(request.isOpenDialog ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog->setFileMode((request.flags & kOfnFileMustExist) ? QFileDialog::ExistingFile
                                                            : QFileDialog::AnyFile);
    dialog->setOption(QFileDialog::DontConfirmOverwrite,
                      (request.flags & kOfnOverwritePrompt) == 0);
    QString folder = request.initialFolder;
    if (folder.isEmpty())
        folder = rememberedFolder(placesFile_);
    // Qt's dialog sorts its list by QCollator in numeric mode, in the system's language
    // (page2 before page10, é beside e).
    dialog->setDirectory(folder.isEmpty() ? QDir::currentPath() : folder);
    const QStringList filters = qtNameFilters(request.filter);
    if (!filters.isEmpty()) {
        dialog->setNameFilters(filters);
        if (request.filterIndex >= 1 && request.filterIndex <= filters.size())
            dialog->selectNameFilter(filters.at(request.filterIndex - 1));
    }
    if (!request.defaultExtension.isEmpty())
        dialog->setDefaultSuffix(request.defaultExtension);
    // The dialog's name buffer holds 256 characters.
    const QString name = CouperAuNul(request.fileName).left(256);
    if (!name.isEmpty())
        dialog->selectFile(name);
    widenColumns(*dialog);
    return dialog;
}

QString ModCommonDialog::DialogueFichier(FileRequest& request) {
    const std::unique_ptr<QFileDialog> dialog = buildDialog(request);
    const int result = execution_ ? execution_(*dialog) : dialog->exec();
    const QStringList chosen = dialog->selectedFiles();
    if (result != QDialog::Accepted || chosen.isEmpty())
        return {};
    const QString path = CouperAuNul(chosen.first());
    rememberFolder(placesFile_, ExtraireDossier(path));
    QString extension = request.defaultExtension;
    if (extension.startsWith(QLatin1Char('.')))
        extension.remove(0, 1);
    if (!extension.isEmpty() &&
        QFileInfo(path).suffix().compare(extension, Qt::CaseInsensitive) != 0)
        request.flags |= kOfnExtensionDifferent;
    return path;
}

FileRequest ModCommonDialog::imageRequest() {
    filter_.clear();
    filter_ = AjouterFiltre(filter_, QStringLiteral("JPG Files (*.JPG)"), QStringLiteral("*.JPG"));
    filter_ = AjouterFiltre(filter_, QStringLiteral("GIF Files (*.GIF)"), QStringLiteral("*.GIF"));
    filter_ = AjouterFiltre(filter_, QStringLiteral("BMP Files (*.BMP)"), QStringLiteral("*.BMP"));
    filter_ = AjouterFiltre(
        filter_,
        QCoreApplication::translate("vantola::ModCommonDialog", "Albums (*.CBZ;*.CBR;*.CB7;*.CBT)"),
        QStringLiteral("*.CBZ;*.CBR;*.CB7;*.CBT;*.ZIP;*.RAR;*.7Z;*.TAR"));
    return {.flags = kOfnHideReadOnly,
            .filter = filter_,
            .title = QCoreApplication::translate("vantola::ModCommonDialog",
                                                 "Nom du fichier en entrée...")};
}

FileRequest ModCommonDialog::outputRequest() {
    filter_.clear();
    filter_ = AjouterFiltre(filter_, QStringLiteral("JPG Files (*.JPG)"), QStringLiteral("*.JPG"));
    return {.flags = kOfnHideReadOnly,
            .filter = filter_,
            .title = QCoreApplication::translate("vantola::ModCommonDialog",
                                                 "Nom du fichier en sortie...")};
}

std::unique_ptr<QFileDialog> ModCommonDialog::buildImageDialog() {
    return buildDialog(imageRequest());
}

std::unique_ptr<QFileDialog> ModCommonDialog::buildOutputDialog() {
    return buildDialog(outputRequest());
}

QString ModCommonDialog::choose(const FileRequest& request) {
    FileRequest copy = request;
    lastPath_ = DialogueFichier(copy);
    return lastPath_;
}

QString ModCommonDialog::ChoisirImage() {
    return choose(imageRequest());
}

QString ModCommonDialog::ChoisirSortie() {
    return choose(outputRequest());
}

} // namespace vantola
