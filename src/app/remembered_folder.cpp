#include "app/remembered_folder.h"

#include "settings/app_error.h"
#include "settings/cls_initreg.h"

#include <QFileInfo>

namespace vantola {

namespace {

const QString kLastFolderKey = QStringLiteral("DERNIER_DOSSIER");

} // namespace

QString rememberedFolder(const QString& sFichierParam) {
    if (sFichierParam.isEmpty())
        return {};
    QString folder;
    try {
        folder = Cls_InitREG().IniLire(kParamSection, kLastFolderKey, QString(), sFichierParam);
    } catch (const AppError&) {
        return {}; // an unreadable param.ini: the dialog opens where it would
    }
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QString();
}

void rememberFolder(const QString& sFichierParam, const QString& folder) {
    if (sFichierParam.isEmpty() || folder.size() > kIniValueLength || !QFileInfo(folder).isDir())
        return;
    try {
        if (Cls_InitREG().IniLire(kParamSection, kLastFolderKey, QString(), sFichierParam) ==
            folder)
            return; // param.ini is written only when the place changes
    } catch (const AppError&) {
        return;
    }
    // A place that cannot be written is only forgotten: nothing the user chose is lost.
    (void)Cls_InitREG().IniEcrire(kParamSection, kLastFolderKey, folder, sFichierParam);
}

} // namespace vantola
