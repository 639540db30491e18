#pragma once

#include "cutting/cutting_job.h"
#include "cutting/program_state.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace vantola {

// The options that every job command of the command line takes. Values left out come from
// param.ini; none of them is ever written to param.ini.
struct JobOptions {
    QString home;
    std::optional<qint32> level;
    std::optional<bool> doublePass;
    std::optional<Rotation> rotation;
    std::optional<bool> rightToLeft;   // --rtl / --ltr
    std::optional<bool> strip;         // --strip
    std::optional<bool> panelBook;     // --cbz
    std::optional<bool> panelMaps;     // --frames
    std::optional<PanelFinder> finder; // --finder gutters|frames
    std::optional<qint32> headerRow;
    std::optional<qint32> footerRow;
    JpegOverrides jpeg;
    std::optional<qint32> threads; // threads that cut the pages; left out: param.ini's THREADS
    std::optional<qint32> memory;  // MiB for the pages in flight; left out: param.ini's MEMOIRE_MAX
    bool debug = false;
    bool quiet = false;
    QStringList positional; // what is not an option, in order
};

// Parses the arguments of a job command. Options that a command handles itself (such as
// --pages) are given in extraValueOptions and left in extraValues. Returns an error text for a
// usage error.
struct ParsedJobOptions {
    JobOptions options;
    QString error;
    QList<QPair<QString, QString>> extraValues;
};
ParsedJobOptions parseJobOptions(const QStringList& arguments,
                                 const QStringList& extraValueOptions = {});

// Applies the options to a job's state and switches, over what param.ini gave.
void applyJobOptions(const JobOptions& options, ProgramState& state, CuttingJob& job);

} // namespace vantola
