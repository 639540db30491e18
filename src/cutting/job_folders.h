#pragma once

#include "cutting/job_lock.h"

#include <QString>

namespace vantola {

// The output folders of a job under its source folder: the pieces of the first pass, and those
// of the second pass while it runs.
inline const QString kFirstPassName = QStringLiteral("VANTOLA");
inline const QString kSecondPassName = QStringLiteral("VANTOLA2");
inline const QString kFirstPassFolder = kFirstPassName + QLatin1Char('/');
inline const QString kSecondPassFolder = kSecondPassName + QLatin1Char('/');

// The output folder and the locks of a running job, held as long as this object lives.
class JobFolders {
public:
    // Checks the output folders under sourceFolder (a link, a file or, for a double pass, a
    // folder mounted from elsewhere is refused), makes VANTOLA/ and takes the locks of the output
    // folder and of the program folder in the name of `job`. Returns why the job cannot run, or
    // "" when it can; nothing of the user's is written before that answer.
    QString prepare(const QString& sourceFolder, bool doublePass, const QString& programFolder,
                    const QString& job);

private:
    QString takeLocks(const QString& sourceFolder, const QString& programFolder,
                      const QString& job);

    JobLock output_;
    JobLock program_;
};

// A name under which the first pass is put aside during the swap of a double pass: a hidden name
// of this process that no earlier entry of `folder` bears.
QString freshAsideName(const QString& folder);

// Removes what a killed double pass left put aside in `folder`, except a first pass that lost
// its name in the swap (VANTOLA empty): that one becomes VANTOLA again. Only the job that holds
// the folder's lock may call it: no other job can be using such a folder then.
void removeLeftAsideFolders(const QString& folder);

} // namespace vantola
