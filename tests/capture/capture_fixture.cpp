#include "capture/capture_fixture.h"

#include "support/page_generator.h"
#include "support/temp_folder.h"

#include <QDir>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <stdexcept>

namespace vantola::test {

QImage comicPage(std::uint64_t seed) {
    PageSpec spec;
    spec.width = 500;
    spec.height = 700;
    spec.seed = seed;
    spec.panelsPerTier = {2, 2, 2};
    spec.margin = 30;
    spec.gutter = 16;
    return generatePage(spec).image;
}

void writePdf(const QString& path, const std::vector<QImage>& pages, int dpi) {
    QPdfWriter writer(path);
    writer.setResolution(dpi);
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter painter;
    for (std::size_t i = 0; i < pages.size(); ++i) {
        const QImage& page = pages[i];
        const QSizeF points(page.width() * 72.0 / dpi, page.height() * 72.0 / dpi);
        writer.setPageSize(QPageSize(points, QPageSize::Point, QString(), QPageSize::ExactMatch));
        if (i == 0 && !painter.begin(&writer))
            throw std::runtime_error("cannot write the PDF " + path.toStdString());
        if (i > 0)
            writer.newPage();
        painter.drawImage(QRect(QPoint(0, 0), page.size()), page);
    }
    painter.end();
}

QStringList fileNames(const QString& folder, const QString& pattern) {
    return QDir(folder).entryList({pattern}, QDir::Files, QDir::Name);
}

} // namespace vantola::test
