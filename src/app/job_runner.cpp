#include "app/job_runner.h"

#include "app/command_line.h"
#include "cutting/program_settings.h"
#include "settings/program_folder.h"

#include <QCoreApplication>
#include <QTextStream>

namespace vantola {

ProgramState loadProgramStateFor(const QString& home) {
    QString warning;
    ProgramState state = loadProgramState(
        resolveProgramFolder(home, QCoreApplication::applicationDirPath()), &warning);
    if (!warning.isEmpty())
        QTextStream(stderr) << "vantola: warning: " << warning << "\n";
    return state;
}

CommandLineJob::CommandLineJob(const JobOptions& options)
    : state_(loadProgramStateFor(options.home)), host_(stderr, options.quiet), job_(state_, host_) {
    job_.switches = loadSavedSwitches(state_);
    applyJobOptions(options, state_, job_);
}

int CommandLineJob::run(const QString& path, const QString& shortName, qint16 pageCount) {
    const JobSummary summary = job_.Decoupage(path, shortName, pageCount);
    host_.finishLine();
    QTextStream out(stdout);
    // The host has already put the refusal, or what failed beside the pages, on stderr.
    if (!summary.started)
        return kExitUsage;
    out << summary.pieces << " pieces written, " << summary.errors
        << " pages failed, output: " << summary.outputFolder << "\n";
    return summary.errors == 0 && summary.failure.isEmpty() ? kExitSuccess : kExitPageFailed;
}

int usageError(const QString& message) {
    QTextStream(stderr) << "vantola: " << message << "\n\n" << commandLineHelp();
    return kExitUsage;
}

} // namespace vantola
