#include "app/user_guide.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>

namespace vantola {

namespace {

// The French guide, whose name the translations replace.
const char* const kFrenchGuide = QT_TRANSLATE_NOOP("vantola::UserGuide", "notice.htm");

} // namespace

QString userGuideFileName() {
    return QCoreApplication::translate("vantola::UserGuide", kFrenchGuide);
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

QString findUserGuide(const QStringList& folders, const QString& fileName) {
    QStringList names{fileName, QLatin1String(kFrenchGuide)};
    names.removeDuplicates();
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
    const std::function<void(const QString& title, const QString& text)>& showMessage) {
    const QStringList folders = userGuideFolders();
    const QString guide = findUserGuide(folders, userGuideFileName());
    if (guide.isEmpty()) {
        showMessage(
            QCoreApplication::translate("vantola::UserGuide", "NOTICE INTROUVABLE"),
            QCoreApplication::translate("vantola::UserGuide",
                                        "La notice %1 n'a été trouvée dans aucun de ces dossiers :")
                    .arg(userGuideFileName()) +
                QStringLiteral("\r\n") + folders.join(QStringLiteral("\r\n")));
        return false;
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(guide))) {
        showMessage(QCoreApplication::translate("vantola::UserGuide", "NOTICE NON OUVERTE"),
                    QCoreApplication::translate("vantola::UserGuide",
                                                "Aucun programme n'a pu ouvrir la notice :\r\n") +
                        guide);
        return false;
    }
    return true;
}

} // namespace vantola
