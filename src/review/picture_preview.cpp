#include "review/picture_preview.h"

#include "image/picture_loader.h"
#include "settings/file_names.h"

#include <QCoreApplication>
#include <QFile>
#include <QImageReader>
#include <algorithm>
#include <fcntl.h>
#include <unistd.h>

namespace vantola {

namespace {

// The same ceiling on decoded data (MiB) as the cutter's loader, so that a page the cutter
// could read can be previewed too.
constexpr int kAllocationLimitMiB = 2048;

} // namespace

PicturePreview loadPreview(const QString& path, const std::function<QSize(QSize)>& shownSize) {
    PicturePreview preview;
    // Opened by its bytes, which the path's text does not always give (see pathBytes).
    QFile file;
    const int descriptor =
        isRegularFile(path) ? ::open(pathBytes(path).constData(), O_RDONLY | O_CLOEXEC) : -1;
    if (descriptor < 0 ||
        !file.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        if (descriptor >= 0)
            ::close(descriptor);
        preview.problem = QCoreApplication::translate("vantola::frmDiapo", "fichier introuvable");
        return preview;
    }
    QImageReader::setAllocationLimit(
        std::max(QImageReader::allocationLimit(), kAllocationLimitMiB));
    QImageReader reader(&file);
    reader.setAutoTransform(false);
    const QSize natural = reader.size();
    if (!natural.isValid() || natural.isEmpty()) {
        preview.problem = QCoreApplication::translate("vantola::frmDiapo", "image illisible");
        return preview;
    }
    if (qint64(natural.width()) * qint64(natural.height()) > kDefaultMaxPicturePixels) {
        preview.problem = QCoreApplication::translate("vantola::frmDiapo", "image trop grande");
        return preview;
    }
    preview.naturalSize = natural;
    const QSize target = shownSize(natural);
    if (target.isEmpty()) {
        preview.problem =
            QCoreApplication::translate("vantola::frmDiapo", "image trop petite pour être montrée");
        return preview;
    }
    reader.setScaledSize(target);
    QImage image = reader.read();
    if (image.isNull()) {
        preview.problem = QCoreApplication::translate("vantola::frmDiapo", "image illisible");
        return preview;
    }
    // Some readers ignore the scaled size: the picture is stretched here in that case.
    if (image.size() != target)
        image = image.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    preview.image = std::move(image);
    return preview;
}

} // namespace vantola
