#include "app/capture_output_folder.h"

#include "settings/program_folder.h"

#include <QDir>
#include <QFileInfo>

namespace vantola {

QString prepareCaptureFolder(const QString& path, QString& error) {
    const QFileInfo info(path);
    if (info.exists() && !info.isDir()) {
        error = QStringLiteral("the output folder is a file: ") + path;
        return {};
    }
    if (!QDir().mkpath(info.absoluteFilePath())) {
        error = QStringLiteral("cannot create the output folder ") + path;
        return {};
    }
    return withTrailingSeparator(info.absoluteFilePath());
}

} // namespace vantola
