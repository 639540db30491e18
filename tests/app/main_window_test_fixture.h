#pragma once

// A main window on a temporary program folder whose hooks record, answer and count the quits.

#include "app/main_window.h"
#include "cutting/program_settings.h"
#include "settings/cls_initreg.h"
#include "support/temp_folder.h"

#include <QAction>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

namespace vantola::test {

struct ShownMessage {
    QString title;
    QString text;
};

class MainWindowTest : public ::testing::Test {
protected:
    void writeParamIni(const QByteArray& text) {
        ASSERT_TRUE(writeFileBytes(home.file("param.ini"), text));
    }

    void openWindow() {
        state = loadProgramState(home.path());
        window = std::make_unique<frmBD>(state);
        WindowHooks& hooks = window->hooks();
        hooks.showMessage = [this](const QString& title, const QString& text) {
            messages.push_back({title, text});
        };
        hooks.askText = [this](const QString& title, const QString& prompt, const QString& offer) {
            asked = {title, prompt, offer};
            return nextAnswer;
        };
        hooks.chooseImage = [this] { return nextImage; };
        hooks.quit = [this] { ++quitCalls; };
        window->show();
    }

    QStringList messageTitles() const {
        QStringList titles;
        for (const ShownMessage& message : messages)
            titles << message.title;
        return titles;
    }

    QAction* item(const char* name) const { return window->menuItem(QLatin1String(name)); }

    QString param(const char* key) {
        return Cls_InitREG().IniLire("PARAM", QLatin1String(key), "(absent)", state.sFichierParam);
    }

    TempFolder home;
    ProgramState state;
    std::unique_ptr<frmBD> window;
    std::vector<ShownMessage> messages;
    QString nextImage;
    std::optional<QString> nextAnswer;
    QStringList asked; // title, prompt and proposed answer of the last input box
    int quitCalls = 0;
};

} // namespace vantola::test
