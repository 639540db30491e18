// PDF pages for the page cutter: poppler opens the document and renders each page at the chosen
// resolution, on white paper, as the page a reader would see.
#include "app/pdf_source.h"

#include "image/picture_loader.h"
#include "settings/app_error.h"
#include "settings/cls_initreg.h"
#include "settings/number_text.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <cmath>
#include <poppler-qt6.h>

namespace vantola {

namespace {

// Poppler reports every syntax fault of a damaged file on standard error; the program says
// itself, in one clear message, why a document cannot be used.
void silencePopplerDiagnostics() {
    static const bool silenced = [] {
        Poppler::setDebugErrorFunction([](const QString&, const QVariant&) {}, QVariant());
        return true;
    }();
    Q_UNUSED(silenced);
}

QString quoted(const QString& path) {
    return QStringLiteral("« ") + path + QStringLiteral(" »");
}

} // namespace

int pdfResolutionSetting(const ProgramState& state) {
    QString text;
    try {
        text = Cls_InitREG().IniLire(kParamSection, QStringLiteral("PDF_DPI"),
                                     QString::number(kDefaultPdfDpi), state.sFichierParam);
    } catch (const AppError&) {
        return kDefaultPdfDpi; // an unreadable param.ini keeps the default
    }
    const std::optional<qint32> dpi = numberFromText<qint32>(text);
    if (!dpi || *dpi < 1 || *dpi > kMaxPdfDpi)
        return kDefaultPdfDpi;
    return *dpi;
}

PdfSource::PdfSource(std::unique_ptr<Poppler::Document> document)
    : document_(std::move(document)) {}

PdfSource::~PdfSource() = default;

std::unique_ptr<PdfSource> PdfSource::open(const QString& path, QString& error) {
    silencePopplerDiagnostics();
    const QFileInfo info(path);
    if (!info.exists()) {
        error = QCoreApplication::translate("vantola::PdfSource", "Le fichier PDF %1 n'existe pas.")
                    .arg(quoted(path));
        return nullptr;
    }
    if (!info.isFile() || !info.isReadable()) {
        error = QCoreApplication::translate("vantola::PdfSource",
                                            "Le fichier PDF %1 ne peut pas être lu.")
                    .arg(quoted(path));
        return nullptr;
    }
    std::unique_ptr<Poppler::Document> document = Poppler::Document::load(path);
    if (!document) {
        error =
            QCoreApplication::translate("vantola::PdfSource",
                                        "Le fichier %1 n'est pas un document PDF lisible (fichier "
                                        "endommagé ou d'un autre type).")
                .arg(quoted(path));
        return nullptr;
    }
    if (document->isLocked()) {
        error = QCoreApplication::translate(
                    "vantola::PdfSource",
                    "Le document PDF %1 est protégé par un mot de passe : ses pages "
                    "ne peuvent pas être lues.")
                    .arg(quoted(path));
        return nullptr;
    }
    if (document->numPages() < 1) {
        error = QCoreApplication::translate("vantola::PdfSource",
                                            "Le document PDF %1 ne contient aucune page.")
                    .arg(quoted(path));
        return nullptr;
    }
    document->setPaperColor(Qt::white);
    document->setRenderHint(Poppler::Document::Antialiasing);
    document->setRenderHint(Poppler::Document::TextAntialiasing);
    return std::unique_ptr<PdfSource>(new PdfSource(std::move(document)));
}

int PdfSource::pageCount() const {
    return document_->numPages();
}

QImage PdfSource::renderPage(int pageNumber, int dpi) const {
    if (pageNumber < 1 || pageNumber > pageCount() || dpi < 1)
        return {};
    const std::unique_ptr<Poppler::Page> page = document_->page(pageNumber - 1);
    if (!page)
        return {};
    // Refuse before rendering a page that would not fit in memory (a huge page size, or a
    // resolution too high for it).
    const QSizeF points = page->pageSizeF();
    const double width = std::ceil(points.width() * dpi / 72.0);
    const double height = std::ceil(points.height() * dpi / 72.0);
    if (width * height > double(kDefaultMaxPicturePixels)) {
        throw AppError(kErrOutOfMemory,
                       QStringLiteral("La page %1 du PDF ferait %2 x %3 pixels à %4 dpi : "
                                      "c'est plus que les %5 pixels qu'une page peut avoir")
                           .arg(pageNumber)
                           .arg(width, 0, 'f', 0)
                           .arg(height, 0, 'f', 0)
                           .arg(dpi)
                           .arg(kDefaultMaxPicturePixels));
    }
    QImage picture = page->renderToImage(dpi, dpi);
    if (picture.isNull())
        return {};
    return picture.convertToFormat(QImage::Format_RGB32);
}

} // namespace vantola
