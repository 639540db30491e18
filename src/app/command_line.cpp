#include "app/command_line.h"

#include "app/clipboard_command.h"
#include "app/cut_command.h"
#include "app/jpeg_command.h"
#include "app/pdf_command.h"
#include "app/window_launcher.h"
#include "settings/file_names.h"
#include "version.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>
#include <algorithm>

namespace vantola {

QString commandLineHelp() {
    return QStringLiteral(
        "Usage:\n"
        "  vantola [--home DIR] [PATH...]            the main window; each PATH (a picture, a\n"
        "                                            folder, a PDF, an archive) is opened as if\n"
        "                                            dropped on it\n"
        "  vantola cut PATH... [options]             one job per PATH: a picture, a folder\n"
        "                                            (every .jpg in it), or a comic-book archive\n"
        "                                            (.cbz .cbr .cb7 .cbt .zip .rar .7z .tar:\n"
        "                                            its pictures go to a new folder beside it)\n"
        "      --home DIR            program folder (param.ini, decoupage.ini)\n"
        "      --level N             white level for this run\n"
        "      --double-pass | --single-pass\n"
        "      --rotate none|cw|ccw\n"
        "      --rtl | --ltr         blocks of each band from the right (manga) or the left\n"
        "      --strip               long vertical strips (webtoons): bands are judged against\n"
        "                            a page of the strip's width\n"
        "      --finder gutters|frames  panels between white gutters (default) or found by\n"
        "                            their frames, on any background\n"
        "      --cbz                 VANTOLA/NAME.cbz: every piece in reading order\n"
        "      --frames              VANTOLA/frames.json and frames.acbf: the panels of each page\n"
        "      --header ROW  --footer ROW\n"
        "      --quality Q  --sampling H:V  --grey   JPEG settings for this run\n"
        "      --debug               diagnostic lines in the log\n"
        "      --quiet               no progress display\n"
        "      --threads N           threads that cut the pages (default: THREADS of param.ini,\n"
        "                            else the number of cores)\n"
        "      --memory MIB          memory that the pages in flight may take together\n"
        "                            (default: MEMOIRE_MAX of param.ini, else half the RAM)\n"
        "  vantola pdf FILE.pdf OUTDIR [--pages N] [--dpi D] [options]\n"
        "                                            cut the pages of a PDF\n"
        "  vantola clipboard OUTDIR [options]        cut the clipboard's picture\n"
        "  vantola jpeg IN OUT [--quality Q] [--sampling H:V] [--grey]\n"
        "                                            encode one picture with our encoder\n"
        "                                            (OUT is replaced if it exists)\n"
        "  vantola --help | --version\n"
        "\n"
        "Options left out take their values from param.ini; options never write param.ini.\n"
        "Exit status: 0 every page was cut, 1 some page failed, 2 usage error or job not "
        "started.\n");
}

namespace {

// Commands that need no display: they run under a core application.
template <int (*command)(const QStringList&)>
int runConsoleCommand(int argc, char** argv, const QStringList& arguments) {
    QCoreApplication application(argc, argv);
    return command(arguments);
}

// The commands by the name that the first argument gives; each takes the arguments after it.
struct Command {
    const char* name;
    int (*run)(int argc, char** argv, const QStringList& arguments);
};

bool allExist(const QStringList& paths) {
    return std::all_of(paths.begin(), paths.end(),
                       [](const QString& path) { return QFileInfo::exists(path); });
}

const Command kCommands[] = {
    {"cut", runConsoleCommand<runCutCommand>},
    {"pdf", runConsoleCommand<runPdfCommandLine>},
    {"clipboard", runClipboardCommandLine},
    {"jpeg", runConsoleCommand<runJpegCommand>},
};

} // namespace

int runCommandLine(int argc, char** argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << pathText(argv[i]);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QString command = arguments.value(0);
    if (arguments.isEmpty())
        return runMainWindow(argc, argv, QString(), {});
    if (command == QLatin1String("--home")) {
        const QStringList paths = arguments.mid(2);
        if (arguments.size() >= 2 && allExist(paths))
            return runMainWindow(argc, argv, arguments.at(1), paths);
        err << "vantola: --home DIR opens the main window on DIR, with existing paths to open "
               "after it; a command takes --home after its name\n\n"
            << commandLineHelp();
        return kExitUsage;
    }
    if (command == QLatin1String("--help") || command == QLatin1String("-h")) {
        out << commandLineHelp();
        return kExitSuccess;
    }
    if (command == QLatin1String("--version")) {
        out << "vantola " << kVersionText << "\n";
        return kExitSuccess;
    }
    for (const Command& known : kCommands) {
        if (command == QLatin1String(known.name))
            return known.run(argc, argv, arguments.mid(1));
    }
    // Paths alone, as a desktop's "open with" gives them: the window opens them.
    if (allExist(arguments))
        return runMainWindow(argc, argv, QString(), arguments);
    err << "vantola: unknown command '" << command << "'\n\n" << commandLineHelp();
    return kExitUsage;
}

} // namespace vantola
