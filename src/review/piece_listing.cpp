#include "review/piece_listing.h"

#include "cutting/job_folders.h"
#include "settings/folder_listing.h"

#include <QDir>
#include <algorithm>

namespace vantola {

QString pieceFolder(const QString& sRepSource) {
    QString folder = sRepSource;
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder + kFirstPassFolder;
}

QStringList listPlainFiles(const QString& folder) {
    QStringList names = QDir(folder).entryList(QDir::Files);
    std::sort(names.begin(), names.end(), naturalNameLess);
    return names;
}

bool isPieceOf(const QString& fileName, const QString& pageName) {
    if (fileName.size() < pageName.size())
        return false;
    return fileName.left(pageName.size()).toUpper() == pageName.toUpper();
}

} // namespace vantola
