#include "app/pdf_command.h"

#include "app/capture_output_folder.h"
#include "app/command_line.h"
#include "app/job_runner.h"
#include "app/pdf_source.h"
#include "settings/number_text.h"

#include <QTextStream>
#include <algorithm>
#include <limits>

namespace vantola {

namespace {

struct PdfRunOptions {
    std::optional<qint16> pages;
    std::optional<int> dpi;
    QString error;
};

PdfRunOptions readPdfOptions(const QList<QPair<QString, QString>>& values) {
    PdfRunOptions options;
    for (const auto& [name, value] : values) {
        if (name == QLatin1String("--pages")) {
            options.pages = numberFromText<qint16>(value);
            if (!options.pages || *options.pages < 1)
                options.error = QStringLiteral("--pages takes a number of pages from 1 to %1")
                                    .arg(std::numeric_limits<qint16>::max());
        } else {
            options.dpi = numberFromText<qint32>(value);
            if (!options.dpi || *options.dpi < 1 || *options.dpi > kMaxPdfDpi)
                options.error =
                    QStringLiteral("--dpi takes a resolution from 1 to %1").arg(kMaxPdfDpi);
        }
        if (!options.error.isEmpty())
            break;
    }
    return options;
}

} // namespace

int runPdfCommandLine(const QStringList& arguments) {
    const ParsedJobOptions parsed =
        parseJobOptions(arguments, {QStringLiteral("--pages"), QStringLiteral("--dpi")});
    if (!parsed.error.isEmpty())
        return usageError(parsed.error);
    const QStringList& positional = parsed.options.positional;
    if (positional.size() != 2)
        return usageError(QStringLiteral("pdf needs a PDF file and an output folder"));
    const PdfRunOptions pdfOptions = readPdfOptions(parsed.extraValues);
    if (!pdfOptions.error.isEmpty())
        return usageError(pdfOptions.error);

    QString error;
    const std::unique_ptr<PdfSource> pdf = PdfSource::open(positional.at(0), error);
    if (!pdf) {
        QTextStream(stderr) << "vantola: " << error << "\n";
        return kExitUsage;
    }
    const QString folder = prepareCaptureFolder(positional.at(1), error);
    if (folder.isEmpty())
        return usageError(error);

    CommandLineJob runner(parsed.options);
    const int dpi = pdfOptions.dpi.value_or(pdfResolutionSetting(runner.state()));
    const qint16 pages = pdfOptions.pages.value_or(
        qint16(std::min<int>(pdf->pageCount(), std::numeric_limits<qint16>::max())));
    runner.job().setPdfPageSource([&pdf, dpi](int page) { return pdf->renderPage(page, dpi); },
                                  pdf->pageCount());
    return runner.run(folder, folder, pages);
}

} // namespace vantola
