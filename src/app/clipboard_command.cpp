#include "app/clipboard_command.h"

#include "app/capture_output_folder.h"
#include "app/command_line.h"
#include "app/job_runner.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QTextStream>

namespace vantola {

namespace {

// Without a display Qt would end the program as soon as the application is created; the
// command says why instead.
bool displayAvailable() {
    return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") ||
           !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

} // namespace

int runClipboardCommandLine(int argc, char** argv, const QStringList& arguments) {
    const ParsedJobOptions parsed = parseJobOptions(arguments);
    if (!parsed.error.isEmpty())
        return usageError(parsed.error);
    if (parsed.options.positional.size() != 1)
        return usageError(QStringLiteral("clipboard needs an output folder"));
    if (!displayAvailable()) {
        QTextStream(stderr) << "vantola: the clipboard command needs a desktop session (X11 or "
                               "Wayland): neither DISPLAY nor WAYLAND_DISPLAY is set\n";
        return kExitUsage;
    }
    QGuiApplication application(argc, argv);
    QString error;
    const QString folder = prepareCaptureFolder(parsed.options.positional.at(0), error);
    if (folder.isEmpty())
        return usageError(error);

    CommandLineJob runner(parsed.options);
    runner.host().setClipboardReader([] { return QGuiApplication::clipboard()->image(); });
    return runner.run(folder, folder, -1);
}

} // namespace vantola
