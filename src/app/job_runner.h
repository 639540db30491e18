#pragma once

#include "app/job_options.h"
#include "app/terminal_job_host.h"
#include "cutting/cutting_job.h"
#include "cutting/program_state.h"

#include <functional>

namespace vantola {

// What the job commands of the command line share: the program state read from the program
// folder, the terminal host, and a job configured by param.ini and the options.
class CommandLineJob {
public:
    explicit CommandLineJob(const JobOptions& options);

    ProgramState& state() { return state_; }
    CuttingJob& job() { return job_; }
    TerminalJobHost& host() { return host_; }

    // Runs one Decoupage, prints its summary line and returns its exit status.
    int run(const QString& path, const QString& shortName, qint16 pageCount);

private:
    ProgramState state_;
    TerminalJobHost host_;
    CuttingJob job_;
};

// The program state of the program folder that --home names (or the default one); a settings
// file that cannot be read is reported on standard error.
ProgramState loadProgramStateFor(const QString& home);

// Prints a usage error with the help text and returns the usage exit status.
int usageError(const QString& message);

} // namespace vantola
