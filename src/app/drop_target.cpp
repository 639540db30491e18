#include "app/drop_target.h"

#include "cutting/archive_pages.h"

#include <QFileInfo>
#include <QImageReader>
#include <QMimeData>
#include <QUrl>

namespace vantola {

DroppedKind droppedKind(const QString& path) {
    const QFileInfo file(path);
    if (file.isDir())
        return DroppedKind::Folder;
    if (isComicArchive(path))
        return DroppedKind::Archive;
    const QByteArray suffix = file.suffix().toLower().toUtf8();
    if (suffix == "pdf")
        return DroppedKind::Pdf;
    // The types that Qt reads, by name as the picture dialog's filters go: a damaged picture
    // still reaches the job, which says what is wrong with it.
    if (!suffix.isEmpty() && QImageReader::supportedImageFormats().contains(suffix))
        return DroppedKind::Picture;
    return DroppedKind::Unknown;
}

QStringList droppedPaths(const QMimeData& data) {
    QStringList paths;
    for (const QUrl& url : data.urls())
        if (url.isLocalFile())
            paths << url.toLocalFile();
    return paths;
}

} // namespace vantola
