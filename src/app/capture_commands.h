#pragma once

#include <QString>
#include <functional>

namespace vantola {

class frmBD;

// The conversations of the PDF command that the window's own hooks do not cover, replaceable so
// that a test answers them without a modal dialog.
struct CaptureHooks {
    // A question box with OK and Cancel (title, text; a CR LF in the text starts a new line):
    // true for OK.
    std::function<bool(const QString& title, const QString& text)> confirm;
    // The PDF file dialog: the chosen document, or "" when cancelled.
    std::function<QString()> choosePdf;
};

// The capture hooks of a window, made on first use with the real dialogs (a QMessageBox, and a
// PDF file dialog of the window's file-dialog module) and kept as long as the window.
CaptureHooks& captureHooks(frmBD& window);

// "Découper une image depuis le presse papier": the output dialog, then a job on the clipboard's
// picture, saved as BD000.jpg in the chosen folder.
void runClipboardCommand(frmBD& window);

// "Découper une BD depuis Adobe Acrobat (PDF)": the loading notice, the PDF file dialog, the
// output dialog and the page count prompt (proposing the document's page count), then a job on
// the document's pages rendered at PDF_DPI. A document that cannot be opened ends the command
// with a message, before anything is written.
void runPdfCommand(frmBD& window);

} // namespace vantola
