#include "app/window_launcher.h"

#include "app/command_line.h"
#include "app/main_window.h"
#include "cutting/program_settings.h"
#include "settings/app_error.h"
#include "settings/program_folder.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTextStream>
#include <QTranslator>

namespace vantola {

namespace {

// Qt aborts when it cannot reach a display; say so plainly instead.
bool hasDisplay() {
    return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") ||
           !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

} // namespace

int runMainWindow(int argc, char** argv, const QString& home) {
    if (!hasDisplay()) {
        QTextStream(stderr) << "vantola: no display for the main window (neither DISPLAY nor "
                               "WAYLAND_DISPLAY is set); the cut, pdf and jpeg commands need "
                               "none, see --help\n";
        return kExitUsage;
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vantola"));
    // The window decides when the program ends: closing it saves the switches first.
    QApplication::setQuitOnLastWindowClosed(false);
    // Qt's own dialog buttons in the user's language ("Annuler"), when its translations are
    // installed.
    QTranslator qtTexts;
    if (qtTexts.load(QLocale::system(), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);
    ProgramState state;
    try {
        state =
            loadProgramState(resolveProgramFolder(home, QCoreApplication::applicationDirPath()));
    } catch (const AppError& error) {
        QTextStream(stderr) << "vantola: the settings cannot be read: " << error.description()
                            << " (error " << error.number() << ")\n";
        return kExitUsage;
    }
    frmBD window(state);
    window.show();
    return QApplication::exec();
}

} // namespace vantola
