#include "image/picture_loader.h"

#include "image/jpeg_decoding.h"
#include "image/picture_completeness.h"
#include "settings/app_error.h"
#include "settings/file_names.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace vantola {

namespace {

// Qt refuses pictures above 256 MiB of decoded data by default; the program's own limit on the
// announced pixel count takes that role, so Qt's is raised to what a 300-megapixel page needs.
void raiseQtAllocationLimit() {
    static std::once_flag once;
    std::call_once(once, [] { QImageReader::setAllocationLimit(2048); });
}

bool looksLikeJpeg(const QByteArray& bytes) {
    return bytes.size() >= 3 && quint8(bytes[0]) == 0xFF && quint8(bytes[1]) == 0xD8 &&
           quint8(bytes[2]) == 0xFF;
}

// The bytes of a regular file; anything else named like a picture (a pipe, a device, or a link
// to one) is refused at once, without a read.
QByteArray readRegularFile(const QString& path) {
    const int descriptor = openRegularFile(pathBytes(path));
    if (descriptor < 0 && errno == EINVAL)
        throw AppError(kErrInvalidPicture, standardErrorDescription(kErrInvalidPicture) +
                                               QStringLiteral(": ce n'est pas un fichier "
                                                              "ordinaire"));
    QFile file;
    if (descriptor < 0 ||
        !file.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        if (descriptor >= 0)
            ::close(descriptor);
        raiseError(kErrInvalidPicture);
    }
    return file.readAll();
}

// What Qt's BMP and GIF readers would not say about a file cut short.
QString missingData(const QByteArray& bytes, const QByteArray& format) {
    if (format == "bmp")
        return missingBmpData(bytes);
    if (format == "gif")
        return missingGifData(bytes);
    return {};
}

} // namespace

QImage loadPicture(const QString& path, qint64 maxPixels,
                   const std::function<void(QSize)>& beforeDecoding) {
    raiseQtAllocationLimit();
    QByteArray bytes = readRegularFile(path);
    bool sizeAccepted = false;
    const auto acceptSize = [&](QSize announced) {
        if (qint64(announced.width()) * qint64(announced.height()) > maxPixels)
            raiseError(kErrInvalidPicture);
        if (beforeDecoding)
            beforeDecoding(announced);
        sizeAccepted = true;
    };
    if (looksLikeJpeg(bytes)) {
        QImage picture = decodeJpeg(bytes, acceptSize);
        if (!picture.isNull())
            return picture;
    }

    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(false);
    const QString missing = missingData(bytes, reader.format());
    if (!missing.isEmpty())
        throw AppError(kErrInvalidPicture, damagedPictureDescription(missing));
    const QSize announced = reader.size();
    if (announced.isValid() && !sizeAccepted)
        acceptSize(announced);
    QImage picture = reader.read();
    if (picture.isNull())
        raiseError(kErrInvalidPicture);
    if (!sizeAccepted)
        acceptSize(picture.size());
    return picture;
}

} // namespace vantola
