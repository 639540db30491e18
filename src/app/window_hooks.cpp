#include "app/window_hooks.h"

#include "app/common_dialogs.h"

#include <QCoreApplication>
#include <QInputDialog>
#include <QMessageBox>

namespace vantola {

QString dialogText(const QString& text) {
    QString plain = text;
    plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return plain;
}

WindowHooks defaultWindowHooks(QWidget* parent, ModCommonDialog& dialogs) {
    WindowHooks hooks;
    hooks.showMessage = [parent](const QString& title, const QString& text) {
        QMessageBox::information(parent, title, dialogText(text));
    };
    hooks.askText = [parent](const QString& title, const QString& prompt,
                             const QString& proposed) -> std::optional<QString> {
        bool accepted = false;
        const QString answer = QInputDialog::getText(parent, title, dialogText(prompt),
                                                     QLineEdit::Normal, proposed, &accepted);
        if (!accepted)
            return std::nullopt;
        return answer;
    };
    hooks.confirm = [parent](const QString& title, const QString& text) {
        return QMessageBox::question(parent, title, dialogText(text),
                                     QMessageBox::Ok | QMessageBox::Cancel,
                                     QMessageBox::Ok) == QMessageBox::Ok;
    };
    hooks.chooseImage = [&dialogs] { return dialogs.ChoisirImage(); };
    hooks.choosePdf = [&dialogs] {
        FileRequest request{
            .flags = kOfnHideReadOnly | kOfnFileMustExist,
            .filter = AjouterFiltre(
                QString(),
                QCoreApplication::translate("vantola::ModCommonDialog", "PDF Files (*.PDF)"),
                QStringLiteral("*.PDF")),
            .title = QCoreApplication::translate("vantola::ModCommonDialog",
                                                 "Document PDF à découper..."),
        };
        return dialogs.DialogueFichier(request);
    };
    // exit() ends the event loop at once; quit() would first send every window a close event,
    // and closing the main window saves the switches, which "&Quitter" must not do.
    hooks.quit = [] { QCoreApplication::exit(0); };
    return hooks;
}

} // namespace vantola
