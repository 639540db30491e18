#include "image/picture_loader.h"

#include "settings/app_error.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <mutex>

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

// A JPEG file cut short still decodes (the decoder pads the missing rows with grey and only
// warns), so the program checks for itself that the last scan is followed by the end marker.
// Coded scan data never holds FF D9: it stuffs every FF byte.
bool jpegIsComplete(const QByteArray& bytes) {
    const qsizetype lastScan = bytes.lastIndexOf(QByteArrayView("\xFF\xDA", 2));
    if (lastScan < 0)
        return false;
    return bytes.indexOf(QByteArrayView("\xFF\xD9", 2), lastScan + 2) >= 0;
}

} // namespace

QImage loadPicture(const QString& path, qint64 maxPixels) {
    raiseQtAllocationLimit();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        raiseError(kErrInvalidPicture);
    QByteArray bytes = file.readAll();
    file.close();
    if (looksLikeJpeg(bytes) && !jpegIsComplete(bytes))
        raiseError(kErrInvalidPicture);

    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(false);
    const QSize announced = reader.size();
    if (announced.isValid() && qint64(announced.width()) * qint64(announced.height()) > maxPixels)
        raiseError(kErrInvalidPicture);
    QImage picture = reader.read();
    if (picture.isNull())
        raiseError(kErrInvalidPicture);
    return picture;
}

} // namespace vantola
