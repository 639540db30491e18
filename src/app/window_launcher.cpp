#include "app/window_launcher.h"

#include "app/app_icon.h"
#include "app/command_line.h"
#include "app/display_session.h"
#include "app/job_runner.h"
#include "app/main_window.h"
#include "app/program_language.h"

#include <QApplication>
#include <QLocale>
#include <QTextStream>
#include <QTimer>

namespace vantola {

int runMainWindow(int argc, char** argv, const QString& home, const QStringList& paths) {
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
    ProgramState state = loadProgramStateFor(home);
    // The windows, and Qt's own dialogs, in the language that param.ini or the system chooses.
    const ProgramTranslators translators(
        chooseProgramLanguage(state.sFichierParam, QLocale::system()));
    frmBD window(state);
    window.show();
    if (!paths.isEmpty())
        QTimer::singleShot(0, &window, [&window, paths] { window.openDropped(paths); });
    return QApplication::exec();
}

} // namespace vantola
