#pragma once

#include <QString>

namespace vantola {

class frmBD;

// "Découper une image depuis le presse papier": the output dialog, then a job on the clipboard's
// picture, saved as BD000.jpg in the chosen folder.
void runClipboardCommand(frmBD& window);

// "Découper une BD depuis Adobe Acrobat (PDF)": the loading notice, the PDF file dialog, the
// output dialog and the page count prompt (proposing the document's page count), then a job on
// the document's pages rendered at PDF_DPI. A document that cannot be opened ends the command
// with a message, before anything is written. A document already known (dropped on the window)
// skips the PDF file dialog.
void runPdfCommand(frmBD& window, const QString& document = QString());

} // namespace vantola
