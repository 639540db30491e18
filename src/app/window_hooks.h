#pragma once

#include <QString>
#include <functional>
#include <optional>

class QWidget;

namespace vantola {

class ModCommonDialog;

// The window's conversations with the user and with the program's life, each replaceable so
// that a test can answer them without a modal dialog and without ending the test process.
struct WindowHooks {
    // An information message box (title, text; a CR LF in the text starts a new line).
    std::function<void(const QString& title, const QString& text)> showMessage;
    // An input box: title, prompt, proposed answer. Nothing when the user cancels.
    std::function<std::optional<QString>(const QString& title, const QString& prompt,
                                         const QString& proposed)>
        askText;
    // A question box with OK and Cancel (title, text as for showMessage): true for OK.
    std::function<bool(const QString& title, const QString& text)> confirm;
    // The picture dialog: the chosen path, or "" when cancelled.
    std::function<QString()> chooseImage;
    // The PDF file dialog: the chosen document, or "" when cancelled.
    std::function<QString()> choosePdf;
    // Ends the program.
    std::function<void()> quit;
};

// The real dialogs, parented to the window: QMessageBox, QInputDialog, the picture and PDF
// dialogs of the file-dialog module, and QCoreApplication::exit.
WindowHooks defaultWindowHooks(QWidget* parent, ModCommonDialog& dialogs);

// Texts of the program use CR LF between lines; dialogs want a plain line feed.
QString dialogText(const QString& text);

} // namespace vantola
