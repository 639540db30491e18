// Cutting one page: load it, read its rows into the grid, decide the cuts, write every piece
// (cut record first, then the JPEG file), and log the page; a failure of the page is logged and
// counted, and the job goes on.
#include "cutting/cut_decisions.h"
#include "cutting/cut_record.h"
#include "cutting/cutting_job.h"
#include "cutting/exact_arithmetic.h"
#include "cutting/grid_fill.h"
#include "cutting/job_log.h"
#include "image/picture_loader.h"
#include "settings/path_parts.h"
#include "settings/text_file.h"

#include <QFile>
#include <QPainter>
#include <cmath>
#include <new>

namespace vantola {

namespace {

// Steps of the page cutter, reported after "Ligne " when a page fails.
enum PageStep : int {
    kStepStart = 1,
    kStepLoad = 2,
    kStepOpen = 3,
    kStepGrid = 4,
    kStepRead = 5,
    kStepDecide = 6,
    kStepWholePage = 7,
    kStepBlock = 8,
    kStepWholeBand = 9,
    kStepLog = 10,
};

// The piece of the grid with columns left..right - 1 and rows top..bottom - 1, as a picture of
// width x height pixels; cells outside that rectangle (or outside the grid) stay white.
QImage pieceFromGrid(const PageGrid& grid, qint32 left, qint32 right, qint32 top, qint32 bottom,
                     qint32 width, qint32 height) {
    QImage piece(width, height, QImage::Format_RGB32);
    if (piece.isNull())
        raiseError(kErrOutOfMemory);
    piece.fill(Qt::white);
    const qint32 lastColumn = std::min({right, left + width, grid.columnCount()});
    for (qint32 y = top; y < bottom && y - top < height; ++y) {
        if (y < 0 || y >= grid.rowCount())
            raiseError(kErrSubscript);
        const qint32* cells = grid.row(y);
        auto* out = reinterpret_cast<QRgb*>(piece.scanLine(y - top));
        for (qint32 x = std::max(left, 0); x < lastColumn; ++x) {
            const quint32 packed = static_cast<quint32>(cells[x]);
            out[x - left] =
                qRgb(int(packed & 0xff), int((packed >> 8) & 0xff), int((packed >> 16) & 0xff));
        }
    }
    return piece;
}

QString pieceNumberText(qint32 number) {
    return QStringLiteral("%1").arg(number, 4, 10, QLatin1Char('0'));
}

} // namespace

QImage CuttingJob::takeCapturedPage(int pageNumber) {
    QImage page =
        pageNumber > 0 && pdfPageSource_ ? pdfPageSource_(pageNumber) : host_.clipboardPicture();
    if (page.isNull()) {
        throw AppError(kErrNoCapturedPicture,
                       pageNumber > 0
                           ? QStringLiteral("La page %1 du PDF n'a pas pu être lue").arg(pageNumber)
                           : QStringLiteral("Le presse-papier ne contient pas d'image"));
    }
    if (page.hasAlphaChannel()) {
        // A picture copied with transparent parts (a PNG from a browser or a drawing program)
        // is cut as it looks on paper: laid over white, not over the black that its transparent
        // pixels hold.
        QImage paper(page.size(), QImage::Format_RGB32);
        if (paper.isNull())
            raiseError(kErrOutOfMemory);
        paper.fill(Qt::white);
        QPainter painter(&paper);
        painter.drawImage(0, 0, page);
        painter.end();
        return paper;
    }
    return page;
}

void CuttingJob::DecouperPage(const QString& sFichier, qint32 lSeuilPixel, QString& sNomSortie,
                              qint16 iPasse) {
    int step = kStepStart;
    try {
        host_.pageProgress(0, QString());

        step = kStepLoad;
        QImage page;
        if (!sFichier.isEmpty()) {
            page = loadPicture(sFichier);
        } else {
            // A captured page is saved in the chosen folder as BD + its page number, and its
            // pieces are named after that file.
            const QString folder = ExtraireDossier(sNomSortie);
            const QString number = sNomSortie.mid(folder.size());
            sFichierLog = folder + QStringLiteral("log.txt");
            page = takeCapturedPage(currentCapturedPage_);
            host_.yield();
            const QString capturedName = QStringLiteral("BD") + number;
            savePiece(page, folder + capturedName + QStringLiteral(".bmp"),
                      folder + capturedName + QStringLiteral(".jpg"));
            sNomSortie = capturedName + QStringLiteral(".jpg");
        }

        step = kStepOpen;
        const qint32 start = lNumDiapo;
        host_.pageShown(sFichier, page);
        host_.yield();

        step = kStepGrid;
        const qint32 W = page.width();
        const qint32 H = page.height();
        tabPixels_.allocate(W, H);
        if (!switches.footerEnabled)
            lLignePied = H - 1;
        if (lLignePied == 0)
            lLignePied = H - 1;
        const qint32 F = lLignePied;
        const qint32 T0 = lLigneEntete;
        qint16 iNumPiece = 1;

        step = kStepRead;
        const qint32 rowSpan = checkedSub(F, T0);
        fillGridRows(page, tabPixels_, T0, F, [&](qint32 y) {
            // 0 / 0 is an overflow, anything else over 0 a division by zero.
            if (rowSpan == 0 && y == 0)
                raiseError(kErrOverflow);
            host_.pageProgress(int(std::nearbyint(checkedQuotient(double(y) * 75.0, rowSpan))),
                               QString());
            while (host_.pauseRequested())
                host_.yield();
            host_.yield();
        });
        host_.yield();

        step = kStepDecide;
        CutParameters parameters;
        parameters.W = W;
        parameters.H = H;
        parameters.lLigneEntete = T0;
        parameters.lastColumnRead = W - 1;
        parameters.lSeuilPixel = lSeuilPixel;
        parameters.lNiveauBlanc = state_.lNiveauBlanc;
        parameters.iPasse = iPasse;
        parameters.rotation = switches.rotation;
        QStringList debugLines;
        CutCallbacks callbacks;
        callbacks.progress = [&](qint32 value) { host_.pageProgress(value, QString()); };
        callbacks.service = [&] { host_.yield(); };
        if (state_.bModeDebug) {
            callbacks.debug = [&](qint32 t, qint32 b, qint32 x, double quotient) {
                debugLines << QStringLiteral("bandes de %1 a %2 -- %3-%4")
                                  .arg(t)
                                  .arg(b)
                                  .arg(x)
                                  .arg(localeNumberText(quotient));
            };
        }
        const CutDecisions decisions = decideCuts(tabPixels_, parameters, lLignePied, callbacks);
        appendTextLines(sFichierLog, debugLines);

        const auto bitmapName = [&] {
            return sRepSortie + sNomSortie + QLatin1Char('-') + pieceNumberText(lNumDiapo) +
                   QStringLiteral(".bmp");
        };
        const auto jpegName = [&] {
            return sRepSortie + sNomSortie + QLatin1Char('-') + pieceNumberText(lNumDiapo) +
                   QStringLiteral(".jpg");
        };
        for (const CutPiece& cut : decisions.pieces) {
            QImage picture;
            if (cut.kind == PieceKind::WholePage) {
                step = kStepWholePage;
                EnregistreDecoupe(iPasse, sFichier, iNumPiece, W, H, 0, W, 0, H, bitmapName(),
                                  state_.sFichierDecoupage);
                picture = page;
            } else {
                step = cut.kind == PieceKind::Block ? kStepBlock : kStepWholeBand;
                // A block is (right - left) x (bottom - top); a band kept whole is as wide as
                // the page picture.
                const qint32 width = cut.kind == PieceKind::Block ? cut.right - cut.left : W;
                picture = pieceFromGrid(tabPixels_, cut.left, cut.right + 1, cut.top, cut.bottom,
                                        width, cut.bottom - cut.top);
                host_.yield();
                EnregistreDecoupe(iPasse, sFichier, iNumPiece, W, H, cut.left, cut.right, cut.top,
                                  cut.bottom, bitmapName(), state_.sFichierDecoupage);
                ++iNumPiece;
            }
            savePiece(picture, bitmapName(), jpegName());
            ++lNumDiapo;
            host_.yield();
        }
        if (decisions.failure) {
            step = kStepDecide;
            throw *decisions.failure;
        }

        step = kStepLog;
        appendTextLines(sFichierLog, {QStringLiteral("%1 images (%2-%3) ont étés créées pour la "
                                                     "page ")
                                          .arg(lNumDiapo - start)
                                          .arg(start)
                                          .arg(lNumDiapo) +
                                      sFichier});
    } catch (const AppError& error) {
        failPage(sFichier, sNomSortie, step, error.description(), error.number());
    } catch (const std::bad_alloc&) {
        failPage(sFichier, sNomSortie, step, standardErrorDescription(kErrOutOfMemory),
                 kErrOutOfMemory);
    }
}

void CuttingJob::failPage(const QString& sFichier, const QString& sNomSortie, int step,
                          const QString& description, int number) {
    if (!sFichier.isEmpty()) {
        // The page itself goes to the output folder, so that the user finds what failed.
        const QString copy = sRepSortie + sNomSortie + QStringLiteral(".bmp");
        if (QFile::exists(copy)) {
            QFile existing(copy);
            existing.setPermissions(existing.permissions() | QFileDevice::WriteOwner);
        }
        copyFileAtomically(sFichier, copy);
    }
    appendTextLines(sFichierLog, pageFailureLines(sFichier, step, description, number));
    ++lNbErreurs;
}

} // namespace vantola
