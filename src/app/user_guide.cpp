#include "app/user_guide.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>

namespace vantola {

QString userGuideFileName(bool english) {
    return english ? QStringLiteral("notice_en.htm") : QStringLiteral("notice.htm");
}

QStringList userGuideFolders() {
    const QString programFolder = QCoreApplication::applicationDirPath();
    QStringList folders{programFolder,
                        QDir::cleanPath(programFolder + QStringLiteral("/" VANTOLA_DATA_FROM_BIN))};
    for (const QString& data :
         QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation))
        folders += data + QStringLiteral("/vantola");
    folders.removeDuplicates();
    return folders;
}

QString findUserGuide(const QStringList& folders, bool english) {
    QStringList names{userGuideFileName(english)};
    if (english)
        names += userGuideFileName(false);
    for (const QString& name : names) {
        for (const QString& folder : folders) {
            const QFileInfo guide(QDir(folder).filePath(name));
            if (guide.isFile())
                return guide.absoluteFilePath();
        }
    }
    return {};
}

bool openUserGuide(
    bool english,
    const std::function<void(const QString& title, const QString& text)>& showMessage) {
    const QStringList folders = userGuideFolders();
    const QString guide = findUserGuide(folders, english);
    if (guide.isEmpty()) {
        showMessage(QStringLiteral("NOTICE INTROUVABLE"),
                    QStringLiteral("La notice %1 n'a été trouvée dans aucun de ces dossiers :")
                            .arg(userGuideFileName(false)) +
                        QStringLiteral("\r\n") + folders.join(QStringLiteral("\r\n")));
        return false;
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(guide))) {
        showMessage(QStringLiteral("NOTICE NON OUVERTE"),
                    QStringLiteral("Aucun programme n'a pu ouvrir la notice :\r\n") + guide);
        return false;
    }
    return true;
}

} // namespace vantola
