#include "settings/program_folder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace vantola {

QString withTrailingSeparator(const QString& folder) {
    if (folder.isEmpty() || folder.endsWith(QLatin1Char('/')))
        return folder;
    return folder + QLatin1Char('/');
}

namespace {

bool isWritableFolder(const QString& folder) {
    const QFileInfo info(folder);
    return info.isDir() && info.isWritable();
}

} // namespace

QString resolveProgramFolder(const QString& explicitFolder, const QString& executableFolder) {
    QString folder = explicitFolder;
    if (folder.isEmpty())
        folder = qEnvironmentVariable("VANTOLA_HOME");
    if (folder.isEmpty() && !executableFolder.isEmpty() && isWritableFolder(executableFolder))
        folder = executableFolder;
    if (folder.isEmpty())
        folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                 QStringLiteral("/vantola");
    folder = QDir(folder).absolutePath();
    QDir().mkpath(folder);
    return withTrailingSeparator(folder);
}

} // namespace vantola
