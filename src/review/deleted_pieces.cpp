#include "review/deleted_pieces.h"

#include "settings/atomic_file.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>

namespace vantola {

bool DeletedPieces::keep(const QString& path, const QString& pageName) {
    const QFileInfo info(path);
    if (info.isSymLink() || !info.isFile())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    if (bytes.size() != info.size())
        return false;
    pieces_.push_back({path, pageName, bytes, file.permissions()});
    return true;
}

void DeletedPieces::forgetLast() {
    if (!pieces_.empty())
        pieces_.pop_back();
}

QString DeletedPieces::restoreLast() {
    if (pieces_.empty())
        return {};
    const Piece& piece = pieces_.back();
    const int error = writeFileWhole(piece.path, piece.bytes.constData(),
                                     std::size_t(piece.bytes.size()), ExistingTarget::Keep);
    if (error == EEXIST)
        return QCoreApplication::translate("vantola::DeletedPieces",
                                           "un fichier porte de nouveau ce nom");
    if (error != 0)
        return QString::fromLocal8Bit(std::strerror(error));
    // The bytes are back; a piece that was read-only becomes read-only again.
    (void)QFile::setPermissions(piece.path, piece.permissions);
    pieces_.pop_back();
    return {};
}

} // namespace vantola
