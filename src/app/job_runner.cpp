#include "app/job_runner.h"

#include "app/command_line.h"
#include "cutting/program_settings.h"
#include "settings/program_folder.h"

#include <QCoreApplication>
#include <QTextStream>

namespace vantola {

CommandLineJob::CommandLineJob(const JobOptions& options)
    : state_(loadProgramState(
          resolveProgramFolder(options.home, QCoreApplication::applicationDirPath()))),
      host_(stderr, options.quiet), job_(state_, host_) {
    job_.switches = loadSavedSwitches(state_);
    applyJobOptions(options, state_, job_);
}

int CommandLineJob::run(const QString& path, const QString& shortName, qint16 pageCount) {
    const JobSummary summary = job_.Decoupage(path, shortName, pageCount);
    host_.finishLine();
    QTextStream out(stdout);
    if (!summary.started) {
        QTextStream(stderr) << "vantola: " << summary.refusal << "\n";
        return kExitUsage;
    }
    out << summary.pieces << " pieces written, " << summary.errors
        << " pages failed, output: " << summary.outputFolder << "\n";
    return summary.errors == 0 ? kExitSuccess : kExitPageFailed;
}

int usageError(const QString& message) {
    QTextStream(stderr) << "vantola: " << message << "\n\n" << commandLineHelp();
    return kExitUsage;
}

} // namespace vantola
