#pragma once

#include <QStringList>

namespace vantola {

// Exit statuses of the command line.
inline constexpr int kExitSuccess = 0;    // every page was cut
inline constexpr int kExitPageFailed = 1; // the job ran to its end but some page failed
inline constexpr int kExitUsage = 2;      // usage error, or a job that could not start

// The text printed by --help. Written out rather than made by QCommandLineParser::helpText(),
// whose one list of options cannot show each command with the options it takes.
QString commandLineHelp();

// Runs the command named by the program's arguments and returns the exit status. Commands that
// need no display run without creating a window.
int runCommandLine(int argc, char** argv);

} // namespace vantola
