// Steps 1 to 6 of cutting a page: load it, read its rows into the grid, decide the cuts.
#include "cutting/page_preparation.h"

#include "cutting/exact_arithmetic.h"
#include "cutting/grid_fill.h"
#include "cutting/job_log.h"
#include "image/picture_loader.h"
#include "settings/app_error.h"
#include "settings/path_parts.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace vantola {

QImage onPaper(const QImage& picture) {
    if (!picture.hasAlphaChannel())
        return picture;
    // A picture with transparent parts (a PNG from a browser or a drawing program) is cut as it
    // looks on paper: laid over white, not over the black that its transparent pixels hold.
    QImage paper(picture.size(), QImage::Format_RGB32);
    if (paper.isNull())
        raiseError(kErrOutOfMemory);
    paper.fill(Qt::white);
    QPainter painter(&paper);
    painter.drawImage(0, 0, picture);
    painter.end();
    return paper;
}

QImage capturedOnPaper(const QImage& picture, int pageNumber) {
    if (picture.isNull()) {
        throw AppError(kErrNoCapturedPicture,
                       pageNumber > 0
                           ? QStringLiteral("La page %1 du PDF n'a pas pu être lue").arg(pageNumber)
                           : QStringLiteral("Le presse-papier ne contient pas d'image"));
    }
    return onPaper(picture);
}

namespace {

QImage loadPage(PageRequest& request, PageReport& report) {
    if (!request.sFichier.isEmpty())
        return onPaper(
            loadPicture(request.sFichier, kDefaultMaxPicturePixels, request.reserveMemory));
    // A captured page is saved in the chosen folder as BD + its page number, and its pieces are
    // named after that file.
    const QString folder = ExtraireDossier(request.sNomSortie);
    const QString number = request.sNomSortie.mid(folder.size());
    report.logFile(folder + QStringLiteral("log.txt"));
    const QImage page = request.capture();
    if (request.reserveMemory)
        request.reserveMemory(page.size());
    report.service();
    const QString capturedName = QStringLiteral("BD") + number;
    report.captured(page, folder + capturedName + QStringLiteral(".bmp"),
                    folder + capturedName + QStringLiteral(".jpg"));
    request.sNomSortie = capturedName + QStringLiteral(".jpg");
    return page;
}

} // namespace

PreparedCuts preparePage(PageRequest& request, const PageOptions& options, qint32& lLignePied,
                         PageGrid& grid, PageReport& report) {
    PreparedCuts result;
    report.step(kStepStart);
    report.progress(0);

    report.step(kStepLoad);
    result.page = loadPage(request, report);

    report.step(kStepOpen);
    report.shown(request.sFichier, result.page);
    report.service();

    report.step(kStepGrid);
    const qint32 W = result.page.width();
    const qint32 H = result.page.height();
    result.W = W;
    result.H = H;
    // fillGridRows below writes columns 0..W - 1 of the rows from the header row to the footer
    // row set next (rows past the page stay as they are).
    const qint32 footerRow =
        !options.switches.footerEnabled || lLignePied == 0 ? H - 1 : lLignePied;
    grid.allocate(W, H, {options.lLigneEntete, std::min(footerRow, H - 1), W});
    if (!options.switches.footerEnabled)
        lLignePied = H - 1;
    if (lLignePied == 0)
        lLignePied = H - 1;
    const qint32 F = lLignePied;
    report.footerRow(F);
    const qint32 T0 = options.lLigneEntete;

    report.step(kStepRead);
    const qint32 rowSpan = checkedSub(F, T0);
    fillGridRows(result.page, grid, T0, F, [&](qint32 y) {
        // 0 / 0 is an overflow, anything else over 0 a division by zero.
        if (rowSpan == 0 && y == 0)
            raiseError(kErrOverflow);
        report.progress(int(std::nearbyint(checkedQuotient(double(y) * 75.0, rowSpan))));
        report.holdWhilePaused();
        report.service();
    });
    report.service();

    report.step(kStepDecide);
    CutParameters parameters;
    parameters.W = W;
    parameters.H = H;
    parameters.lLigneEntete = T0;
    parameters.lastColumnRead = W - 1;
    parameters.lSeuilPixel = request.lSeuilPixel;
    parameters.lNiveauBlanc = options.lNiveauBlanc;
    parameters.iPasse = request.iPasse;
    parameters.rotation = options.switches.rotation;
    parameters.rightToLeft = options.switches.rightToLeft;
    parameters.strip = options.switches.strip;
    parameters.finder = options.switches.finder;
    CutCallbacks callbacks;
    callbacks.progress = [&](qint32 value) { report.progress(value); };
    callbacks.service = [&] { report.service(); };
    if (options.bModeDebug) {
        callbacks.debug = [&](qint32 t, qint32 b, qint32 x, double quotient) {
            result.debugLines << QStringLiteral("bandes de %1 a %2 -- %3-%4")
                                     .arg(t)
                                     .arg(b)
                                     .arg(x)
                                     .arg(localeNumberText(quotient));
        };
    }
    result.decisions = decideCuts(grid, parameters, lLignePied, callbacks);
    // A turned page leaves its width as the footer row.
    if (lLignePied != F)
        report.footerRow(lLignePied);
    return result;
}

} // namespace vantola
