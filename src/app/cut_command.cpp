#include "app/cut_command.h"

#include "app/command_line.h"
#include "app/job_runner.h"
#include "cutting/archive_pages.h"
#include "settings/file_names.h"
#include "settings/path_parts.h"
#include "settings/program_folder.h"

#include <QFileInfo>
#include <QTextStream>
#include <algorithm>

namespace vantola {

namespace {

// Extracts the archive's pictures into a new folder beside it and cuts that folder; the entries
// that could not come out are failed pages of the job.
int runArchiveJob(CommandLineJob& runner, const QFileInfo& archive) {
    const ArchivePages pages =
        extractArchivePages(archive.absoluteFilePath(),
                            archiveBudgetSetting(runner.state().sFichierParam, archive.size()));
    if (!pages.error.isEmpty()) {
        QTextStream(stderr) << "vantola: " << pages.error << "\n";
        return kExitUsage;
    }
    runner.job().pagesFailedBefore = pages.failures;
    runner.job().panelBookName = archive.completeBaseName();
    const int status = runner.run(pages.folder, QString(), 0);
    runner.job().pagesFailedBefore.clear();
    runner.job().panelBookName.clear();
    return status;
}

} // namespace

int runCutCommand(const QStringList& arguments) {
    const ParsedJobOptions parsed = parseJobOptions(arguments);
    if (!parsed.error.isEmpty())
        return usageError(parsed.error);
    const QStringList& paths = parsed.options.positional;
    if (paths.isEmpty())
        return usageError(QStringLiteral("cut needs a picture or a folder"));
    for (const QString& path : paths) {
        if (!fileExists(path))
            return usageError(QStringLiteral("no such picture or folder: ") + path);
    }

    CommandLineJob runner(parsed.options);
    int status = kExitSuccess;
    for (const QString& path : paths) {
        const QFileInfo info(path);
        int jobStatus;
        if (info.isDir()) {
            jobStatus = runner.run(withTrailingSeparator(info.absoluteFilePath()), QString(), 0);
        } else if (isComicArchive(path)) {
            jobStatus = runArchiveJob(runner, info);
        } else {
            const QString picture = info.absoluteFilePath();
            jobStatus = runner.run(picture, ExtraireNomFichier(picture), 0);
        }
        status = std::max(status, jobStatus);
    }
    return status;
}

} // namespace vantola
