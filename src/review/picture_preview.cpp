#include "review/picture_preview.h"

#include "image/picture_loader.h"

#include <QFileInfo>
#include <QImageReader>
#include <algorithm>

namespace vantola {

namespace {

// The same ceiling on decoded data (MiB) as the cutter's loader, so that a page the cutter
// could read can be previewed too.
constexpr int kAllocationLimitMiB = 2048;

} // namespace

PicturePreview loadPreview(const QString& path, const std::function<QSize(QSize)>& shownSize) {
    PicturePreview preview;
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile()) {
        preview.problem = QStringLiteral("fichier introuvable");
        return preview;
    }
    QImageReader::setAllocationLimit(
        std::max(QImageReader::allocationLimit(), kAllocationLimitMiB));
    QImageReader reader(path);
    reader.setAutoTransform(false);
    const QSize natural = reader.size();
    if (!natural.isValid() || natural.isEmpty()) {
        preview.problem = QStringLiteral("image illisible");
        return preview;
    }
    if (qint64(natural.width()) * qint64(natural.height()) > kDefaultMaxPicturePixels) {
        preview.problem = QStringLiteral("image trop grande");
        return preview;
    }
    preview.naturalSize = natural;
    const QSize target = shownSize(natural);
    if (target.isEmpty()) {
        preview.problem = QStringLiteral("image trop petite pour être montrée");
        return preview;
    }
    reader.setScaledSize(target);
    QImage image = reader.read();
    if (image.isNull()) {
        preview.problem = QStringLiteral("image illisible");
        return preview;
    }
    // Some readers ignore the scaled size: the picture is stretched here in that case.
    if (image.size() != target)
        image = image.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    preview.image = std::move(image);
    return preview;
}

} // namespace vantola
