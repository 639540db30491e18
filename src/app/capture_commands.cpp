// The main window's clipboard and PDF commands. Neither touches bSansMessage: after the review
// window has silenced the closing message, these jobs stay silent until a picture or folder
// command restores it.
#include "app/capture_commands.h"

#include "app/main_window.h"
#include "app/pdf_source.h"
#include "settings/number_text.h"

#include <QCoreApplication>
#include <limits>
#include <optional>

namespace vantola {

namespace {

QString loadingNotice() {
    return QCoreApplication::translate(
        "vantola::frmBD",
        "Avant toute chose, choisissez le document PDF à découper : ses pages seront "
        "lues une à une, sans lecteur PDF.\r\nAvez vous bien regler les "
        "modifications de formatage (rotation, compression...)");
}

// The page count typed in the prompt: a whole number (halves to even) from -1 up; -1 cuts the
// clipboard and 0 the chosen folder's JPEG files, as the driver has it.
std::optional<qint16> pageCountFromAnswer(const QString& answer) {
    const std::optional<qint16> count = numberFromText<qint16>(answer);
    if (!count || *count < -1)
        return std::nullopt;
    return count;
}

} // namespace

void runClipboardCommand(frmBD& window) {
    if (window.isJobRunning())
        return;
    const QString path = window.dialogs().ChoisirSortie();
    if (!path.isEmpty() && !window.chosenFolderExists(path))
        return;
    window.state().sRepSource = path;
    if (path.isEmpty())
        return;
    window.runJob(path, path, -1);
}

void runPdfCommand(frmBD& window, const QString& document) {
    if (window.isJobRunning())
        return;
    WindowHooks& hooks = window.hooks();
    if (!hooks.confirm(QCoreApplication::translate("vantola::frmBD", "CHARGEMENT"),
                       loadingNotice()))
        return;
    const QString pdfPath = document.isEmpty() ? hooks.choosePdf() : document;
    if (pdfPath.isEmpty())
        return;
    QString error;
    const std::unique_ptr<PdfSource> pdf = PdfSource::open(pdfPath, error);
    if (!pdf) {
        hooks.showMessage(QCoreApplication::translate("vantola::frmBD", "DOCUMENT PDF ILLISIBLE"),
                          error);
        return;
    }
    const QString output = window.dialogs().ChoisirSortie();
    if (output.isEmpty() || !window.chosenFolderExists(output))
        return;
    window.state().sRepSource = ExtraireDossier(output);
    const std::optional<QString> answer =
        hooks.askText(QCoreApplication::translate("vantola::frmBD", "NOMBRE DE PAGES"),
                      QCoreApplication::translate("vantola::frmBD",
                                                  "Combien de pages possede votre document PDF ?"),
                      QString::number(pdf->pageCount()));
    if (!answer)
        return;
    const std::optional<qint16> pages = pageCountFromAnswer(*answer);
    if (!pages) {
        hooks.showMessage(
            QCoreApplication::translate("vantola::frmBD", "NOMBRE DE PAGES"),
            QCoreApplication::translate("vantola::frmBD",
                                        "« %1 » n'est pas un nombre de pages : tapez un nombre "
                                        "entier de 1 à %2.")
                .arg(answer->trimmed())
                .arg(std::numeric_limits<qint16>::max()));
        return;
    }

    const int dpi = pdfResolutionSetting(window.state());
    const QString folder = window.state().sRepSource;
    CuttingJob& job = window.job();
    job.setPdfPageSource([&pdf, dpi](int page) { return pdf->renderPage(page, dpi); },
                         pdf->pageCount());
    window.runJob(folder, folder, *pages);
    // The document closes with this command: no later job may ask it for pages.
    job.setPdfPageSource(nullptr);
}

} // namespace vantola
