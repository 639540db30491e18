#include "image/picture_loader.h"

#include "settings/app_error.h"

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

} // namespace

QImage loadPicture(const QString& path, qint64 maxPixels) {
    raiseQtAllocationLimit();
    QImageReader reader(path);
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
