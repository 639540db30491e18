#pragma once

#include "cutting/program_state.h"

#include <QImage>
#include <QString>
#include <memory>

namespace Poppler {
class Document;
}

namespace vantola {

// Resolution at which PDF pages are rendered when param.ini says nothing usable (key PDF_DPI).
inline constexpr int kDefaultPdfDpi = 150;
inline constexpr int kMaxPdfDpi = 2400;

// The resolution of PDF pages: key PDF_DPI of section PARAM in param.ini, a whole number from 1
// to kMaxPdfDpi; anything else gives kDefaultPdfDpi.
int pdfResolutionSetting(const ProgramState& state);

// A PDF document opened with poppler, whose pages are rendered as pictures for the page cutter.
class PdfSource {
public:
    ~PdfSource();
    PdfSource(const PdfSource&) = delete;
    PdfSource& operator=(const PdfSource&) = delete;

    // Opens the document. A missing file, a file that is not a readable PDF, a document locked
    // by a password or a document without pages gives nothing, and error says why (in French,
    // for the user, naming the file).
    static std::unique_ptr<PdfSource> open(const QString& path, QString& error);

    int pageCount() const;

    // Page pageNumber (from 1) at dpi dots per inch, on white paper, as an opaque picture. A page
    // that does not exist or that poppler cannot render gives a null picture; a page that would
    // be larger than the largest picture the program accepts raises the out-of-memory error,
    // with the page's size in its description, before anything is allocated.
    QImage renderPage(int pageNumber, int dpi) const;

private:
    explicit PdfSource(std::unique_ptr<Poppler::Document> document);

    std::unique_ptr<Poppler::Document> document_;
};

} // namespace vantola
