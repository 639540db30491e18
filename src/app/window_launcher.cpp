#include "app/window_launcher.h"

#include "app/app_icon.h"
#include "app/command_line.h"
#include "app/display_session.h"
#include "app/job_runner.h"
#include "app/main_window.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTextStream>
#include <QTranslator>

namespace vantola {

int runMainWindow(int argc, char** argv, const QString& home) {
    const auto refuse = [](const QString& reason) {
        QTextStream(stderr) << "vantola: no display for the main window (" << reason
                            << "); the cut, pdf and jpeg commands need none, see --help\n";
        return kExitUsage;
    };
    if (const QString reason = prepareDisplayConnection(); !reason.isEmpty())
        return refuse(reason);
    QApplication application(argc, argv);
    if (const QString reason = displayConnectionProblem(); !reason.isEmpty())
        return refuse(reason);
    QApplication::setApplicationName(QStringLiteral("Vantola"));
    // Every window, message box and file dialog carries the program's icon.
    QApplication::setWindowIcon(vantolaIcon());
    // The window decides when the program ends: closing it saves the switches first.
    QApplication::setQuitOnLastWindowClosed(false);
    // Qt's own dialog buttons in the user's language ("Annuler"), when its translations are
    // installed.
    QTranslator qtTexts;
    if (qtTexts.load(QLocale::system(), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);
    ProgramState state = loadProgramStateFor(home);
    frmBD window(state);
    window.show();
    return QApplication::exec();
}

} // namespace vantola
