#include "image/picture_saver.h"

#include "settings/app_error.h"
#include "settings/atomic_file.h"

#include <QBuffer>
#include <QImageWriter>

namespace vantola {

void savePictureAtomically(const QImage& picture, const QString& path, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (!writer.write(picture))
        raiseError(kErrPathAccess);
    if (const int error = writeFileWhole(path, bytes.constData(), std::size_t(bytes.size()),
                                         ExistingTarget::Replace))
        raiseFileError(error);
}

} // namespace vantola
