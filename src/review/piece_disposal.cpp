#include "review/piece_disposal.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

namespace vantola {

QString throwPieceAway(const QString& path) {
    const QFileInfo piece(path);
    if (!piece.exists() && !piece.isSymLink())
        return {};
    if (QFileInfo(piece.absolutePath()).isSymLink())
        return QCoreApplication::translate("vantola::frmDiapo",
                                           "son dossier est un lien symbolique");
    QFile file(path);
    // The wastebasket is for files the user may want back: a link is only unlinked.
    if ((!piece.isSymLink() && file.moveToTrash()) || file.remove())
        return {};
    return file.errorString();
}

} // namespace vantola
