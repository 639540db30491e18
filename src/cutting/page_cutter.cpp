// Cutting one page: load it, read its rows into the grid, decide the cuts, write every piece
// (cut record first, then the JPEG file), and log the page; a failure of the page is logged and
// counted, and the job goes on.
#include "cutting/cut_record.h"
#include "cutting/cutting_job.h"
#include "cutting/host_page_report.h"
#include "cutting/job_log.h"
#include "cutting/memory_budget.h"
#include "cutting/page_steps.h"
#include "cutting/piece_picture.h"
#include "cutting/piece_supply.h"
#include "settings/app_error.h"
#include "settings/file_names.h"
#include "settings/text_file.h"

#include <QFile>
#include <new>

namespace vantola {

namespace {

// Pieces copied from the page's grid and encoded on the spot, one after the other.
class PiecesFromGrid : public PieceSupply {
public:
    PiecesFromGrid(const PageGrid& grid, const PreparedCuts& cuts,
                   std::function<void(const QImage&, const QString&, const QString&)> save)
        : grid_(grid), cuts_(cuts), save_(std::move(save)) {}

    QImage picture(std::size_t index) override {
        return piecePicture(grid_, cuts_.page, cuts_.decisions.pieces.at(index), cuts_.W);
    }
    void write(std::size_t, const QImage& picture, const QString& bitmapPath,
               const QString& jpegPath) override {
        save_(picture, bitmapPath, jpegPath);
    }

private:
    const PageGrid& grid_;
    const PreparedCuts& cuts_;
    std::function<void(const QImage&, const QString&, const QString&)> save_;
};

} // namespace

QImage CuttingJob::takeCapturedPage(int pageNumber) {
    return capturedOnPaper(pageNumber > 0 && pdfPageSource_ ? pdfPageSource_(pageNumber)
                                                            : host_.clipboardPicture(),
                           pageNumber);
}

PageOptions CuttingJob::currentPageOptions() const {
    PageOptions options;
    options.switches = switches;
    options.lLigneEntete = lLigneEntete;
    options.lNiveauBlanc = state_.lNiveauBlanc;
    options.bModeDebug = state_.bModeDebug;
    return options;
}

void CuttingJob::DecouperPage(const QString& sFichier, qint32 lSeuilPixel, QString& sNomSortie,
                              qint16 iPasse) {
    int step = kStepStart;
    cutGuarded(sFichier, sNomSortie, step, [&] {
        PageRequest request;
        request.sFichier = sFichier;
        request.sNomSortie = sNomSortie;
        request.capture = [this] { return takeCapturedPage(currentCapturedPage_); };
        request.reserveMemory = [this](QSize size) { refuseBeyondBudget(size, jobMemory_); };
        request.lSeuilPixel = lSeuilPixel;
        request.iPasse = iPasse;
        const auto save = [this](const QImage& picture, const QString& bitmapPath,
                                 const QString& jpegPath) {
            savePiece(picture, bitmapPath, jpegPath);
        };
        HostPageReport report(host_, step, lLignePied, sFichierLog, save);
        PreparedCuts cuts;
        try {
            cuts = preparePage(request, currentPageOptions(), lLignePied, tabPixels_, report);
        } catch (...) {
            // The caller sees the captured page's name even when the page fails after it.
            sNomSortie = request.sNomSortie;
            throw;
        }
        sNomSortie = request.sNomSortie;
        PiecesFromGrid pieces(tabPixels_, cuts, save);
        writePieces(request, cuts, pieces, step);
    });
}

void CuttingJob::writePieces(const PageRequest& request, const PreparedCuts& cuts,
                             PieceSupply& supply, int& step) {
    appendTextLines(sFichierLog, cuts.debugLines);
    const qint32 start = lNumDiapo;
    qint16 iNumPiece = 1;
    const auto pieceName = [&](const QString& extension) {
        return sRepSortie + request.sNomSortie + QLatin1Char('-') + pieceNumberText(lNumDiapo) +
               extension;
    };
    const std::vector<CutPiece>& pieces = cuts.decisions.pieces;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const CutPiece& cut = pieces[i];
        const QString bitmapName = pieceName(QStringLiteral(".bmp"));
        QImage picture;
        if (cut.kind == PieceKind::WholePage) {
            step = kStepWholePage;
            record_.EnregistreDecoupe(request.iPasse, request.sFichier, iNumPiece, cuts.W, cuts.H,
                                      0, cuts.W, 0, cuts.H, bitmapName);
            picture = supply.picture(i);
        } else {
            step = cut.kind == PieceKind::Block ? kStepBlock : kStepWholeBand;
            picture = supply.picture(i);
            host_.yield();
            record_.EnregistreDecoupe(request.iPasse, request.sFichier, iNumPiece, cuts.W, cuts.H,
                                      cut.left, cut.right, cut.top, cut.bottom, bitmapName);
            ++iNumPiece;
        }
        supply.write(i, picture, bitmapName, pieceName(QStringLiteral(".jpg")));
        ++lNumDiapo;
        host_.yield();
    }
    if (cuts.decisions.failure) {
        step = kStepDecide;
        throw *cuts.decisions.failure;
    }

    step = kStepLog;
    // A page whose line cannot reach the log is not reported as cut.
    if (!appendTextLines(sFichierLog, {QStringLiteral("%1 images (%2-%3) ont étés créées pour la "
                                                      "page ")
                                           .arg(lNumDiapo - start)
                                           .arg(start)
                                           .arg(lNumDiapo) +
                                       request.sFichier}))
        raiseError(kErrPathAccess);
}

void CuttingJob::cutGuarded(const QString& sFichier, const QString& sNomSortie, int& step,
                            const std::function<void()>& work) {
    try {
        work();
    } catch (const AppError& error) {
        failPage(sFichier, sNomSortie, step, error.description(), error.number());
    } catch (const std::bad_alloc&) {
        failPage(sFichier, sNomSortie, step, standardErrorDescription(kErrOutOfMemory),
                 kErrOutOfMemory);
    }
}

void CuttingJob::failPage(const QString& sFichier, const QString& sNomSortie, int step,
                          const QString& description, int number) {
    // The page itself goes to the output folder, so that the user finds what failed; a pipe or a
    // device would never end its copy.
    if (!sFichier.isEmpty() && isRegularFile(sFichier)) {
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
