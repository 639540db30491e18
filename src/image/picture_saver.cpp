#include "image/picture_saver.h"

#include "settings/app_error.h"

#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <QSaveFile>

namespace vantola {

void savePictureAtomically(const QImage& picture, const QString& path, const char* format) {
    if (QFile::exists(path)) {
        QFile existing(path);
        existing.setPermissions(existing.permissions() | QFileDevice::WriteOwner);
    }
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly))
        raiseError(kErrPathAccess);
    QImageWriter writer(&file, format);
    if (!writer.write(picture)) {
        file.cancelWriting();
        raiseError(kErrPathAccess);
    }
    if (!file.commit())
        raiseError(kErrPathAccess);
}

} // namespace vantola
