#include "cutting/job_folders.h"

#include "cutting/safe_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace vantola {

namespace {

// The end of every refusal, in the program's language.
QString notStarted() {
    return QCoreApplication::translate("vantola::CuttingJob", " : le découpage n'a pas été lancé.");
}
const QString kAsidePattern = QStringLiteral("^\\.VANTOLA\\.vantola-\\d+-\\d+\\.ancien$");

// Why the entry `name` of sourceFolder cannot serve as an output folder, or "".
QString outputFolderProblem(const QString& sourceFolder, const QString& name, bool replaced) {
    const QString path = sourceFolder + name;
    switch (entryKind(sourceFolder, name)) {
    case EntryKind::Link:
        return QCoreApplication::translate(
                   "vantola::CuttingJob",
                   "Le dossier de sortie %1 est un lien symbolique : rien n'est écrit "
                   "ni effacé à travers un lien")
                   .arg(path) +
               notStarted();
    case EntryKind::Other:
        return QCoreApplication::translate(
                   "vantola::CuttingJob",
                   "%1 existe et n'est pas un dossier : renommez ou déplacez ce "
                   "fichier")
                   .arg(path) +
               notStarted();
    case EntryKind::MountedFolder:
        if (replaced)
            return QCoreApplication::translate(
                       "vantola::CuttingJob",
                       "Le dossier %1 est monté depuis un autre système de fichiers : "
                       "la double passe ne peut pas le remplacer")
                       .arg(path) +
                   notStarted();
        return {};
    default:
        return {};
    }
}

// Why nothing can be written into `folder`, or "".
QString notWritable(const QString& folder) {
    if (::access(QFile::encodeName(folder).constData(), W_OK | X_OK) == 0)
        return {};
    return QCoreApplication::translate("vantola::CuttingJob",
                                       "Le dossier %1 n'est pas accessible en écriture (%2)")
               .arg(folder, systemErrorText(errno)) +
           notStarted();
}

QString busyText(const QString& what, const JobLock& lock) {
    const QString other =
        lock.otherJob().isEmpty() ? QString() : QStringLiteral(" (%1)").arg(lock.otherJob());
    return QCoreApplication::translate(
               "vantola::CuttingJob",
               "%1 est déjà utilisé par un autre découpage%2 : attendez qu'il se "
               "termine")
               .arg(what, other) +
           notStarted();
}

} // namespace

QString JobFolders::prepare(const QString& sourceFolder, bool doublePass,
                            const QString& programFolder, const QString& job) {
    QString problem = outputFolderProblem(sourceFolder, kFirstPassName, doublePass);
    if (problem.isEmpty() && doublePass)
        problem = outputFolderProblem(sourceFolder, kSecondPassName, true);
    if (!problem.isEmpty())
        return problem;

    const QString output = sourceFolder + kFirstPassName;
    QDir().mkpath(sourceFolder);
    if (::mkdir(QFile::encodeName(output).constData(), 0777) != 0 && errno != EEXIST)
        return QCoreApplication::translate("vantola::CuttingJob",
                                           "Le dossier de sortie %1 n'a pas pu être créé (%2)")
                   .arg(output, systemErrorText(errno)) +
               notStarted();
    // Something may have taken the name between the look and the making.
    problem = outputFolderProblem(sourceFolder, kFirstPassName, doublePass);
    if (problem.isEmpty())
        problem = notWritable(output);
    // The second pass is made beside the first, and swapped with it there.
    if (problem.isEmpty() && doublePass)
        problem = notWritable(sourceFolder);
    return problem.isEmpty() ? takeLocks(sourceFolder, programFolder, job) : problem;
}

QString JobFolders::takeLocks(const QString& sourceFolder, const QString& programFolder,
                              const QString& job) {
    // The lock lives beside the output folder, which the double pass renames; in a source folder
    // that cannot be written, in the output folder itself.
    const QString lockName = QStringLiteral(".VANTOLA.lock");
    JobLock::Outcome outcome = output_.take(sourceFolder + lockName, job);
    if (outcome == JobLock::Outcome::Unavailable)
        outcome = output_.take(sourceFolder + kFirstPassName + QLatin1Char('/') + lockName, job);
    if (outcome == JobLock::Outcome::Busy)
        return busyText(QCoreApplication::translate("vantola::CuttingJob", "Le dossier ") +
                            sourceFolder,
                        output_);

    // Without a program folder to lock, the cut record cannot be written either; that failure
    // is the record's to report.
    QDir().mkpath(programFolder);
    if (program_.take(programFolder + QStringLiteral(".decoupage.lock"), job) ==
        JobLock::Outcome::Busy)
        return busyText(
            QCoreApplication::translate("vantola::CuttingJob", "Le dossier du programme ") +
                programFolder,
            program_);
    return {};
}

QString freshAsideName(const QString& folder) {
    for (int attempt = 0;; ++attempt) {
        const QString name =
            QStringLiteral(".VANTOLA.vantola-%1-%2.ancien").arg(::getpid()).arg(attempt);
        if (entryKind(folder, name) == EntryKind::Missing)
            return name;
    }
}

void removeLeftAsideFolders(const QString& folder) {
    static const QRegularExpression pattern(kAsidePattern);
    QStringList asides = QDir(folder).entryList({QStringLiteral(".VANTOLA.vantola-*")},
                                                QDir::Dirs | QDir::Hidden | QDir::NoSymLinks);
    asides = asides.filter(pattern);
    // A swap stopped between its two renames left the first pass aside, and this job found no
    // VANTOLA and made it afresh, empty: the first pass takes its name back instead of going.
    const QString output = folder + kFirstPassName;
    if (!asides.isEmpty() &&
        QDir(output).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden) &&
        ::rmdir(QFile::encodeName(output).constData()) == 0 &&
        !renameFolderSafely(folder, asides.takeLast(), kFirstPassName))
        // Without its first pass back, the job still needs its output folder.
        (void)::mkdir(QFile::encodeName(output).constData(), 0777);
    // One that cannot be removed now is tried again by the next job.
    for (const QString& name : asides)
        (void)removeFolderSafely(folder, name);
}

} // namespace vantola
