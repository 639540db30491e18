#include "app/clipboard_command.h"

#include "app/capture_output_folder.h"
#include "app/command_line.h"
#include "app/display_session.h"
#include "app/job_runner.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QTextStream>

namespace vantola {

int runClipboardCommandLine(int argc, char** argv, const QStringList& arguments) {
    const ParsedJobOptions parsed = parseJobOptions(arguments);
    if (!parsed.error.isEmpty())
        return usageError(parsed.error);
    if (parsed.options.positional.size() != 1)
        return usageError(QStringLiteral("clipboard needs an output folder"));
    const auto refuse = [](const QString& reason) {
        QTextStream(stderr) << "vantola: the clipboard command needs a desktop session (X11 or "
                               "Wayland): "
                            << reason << "\n";
        return kExitUsage;
    };
    if (const QString reason = prepareDisplayConnection(); !reason.isEmpty())
        return refuse(reason);
    QGuiApplication application(argc, argv);
    if (const QString reason = displayConnectionProblem(); !reason.isEmpty())
        return refuse(reason);
    QString error;
    const QString folder = prepareCaptureFolder(parsed.options.positional.at(0), error);
    if (folder.isEmpty())
        return usageError(error);

    CommandLineJob runner(parsed.options);
    runner.host().setClipboardReader([] { return QGuiApplication::clipboard()->image(); });
    return runner.run(folder, folder, -1);
}

} // namespace vantola
