// Cutting one page: load it, read its rows into the grid, decide the cuts (page_preparation.h),
// then write every piece in order (cut record first, then the JPEG file) and log the page; a
// failure of the page is logged and counted, and the job goes on. Every page takes this path,
// whether the calling thread prepared it or a worker did ahead of it (cut_pipeline.h).
#include "cutting/cut_pipeline.h"
#include "cutting/cut_record.h"
#include "cutting/cutting_job.h"
#include "cutting/job_log.h"
#include "cutting/memory_budget.h"
#include "cutting/piece_picture.h"
#include "image/jpeg_writing.h"
#include "image/picture_loader.h"
#include "image/picture_saver.h"
#include "settings/app_error.h"
#include "settings/atomic_file.h"
#include "settings/file_names.h"
#include "settings/text_file.h"

#include <QFile>
#include <QFileInfo>
#include <atomic>
#include <new>

namespace vantola {

namespace {

bool sameJpegSettings(const JpegSettings& a, const JpegSettings& b) {
    return a.quality == b.quality && a.greyscale == b.greyscale && a.sample == b.sample;
}

// Removes a file even when it is read-only; raises when it exists and cannot be removed.
void removeFileForcibly(const QString& path) {
    if (!QFileInfo::exists(path))
        return;
    QFile file(path);
    file.setPermissions(file.permissions() | QFileDevice::WriteOwner | QFileDevice::ReadOwner);
    if (!file.remove())
        raiseError(kErrPathAccess);
}

// Raises the pause flag while the calling thread waits, and lowers it however the wait ends
// (the host may stop the job from its yield).
class PauseFlagGuard {
public:
    explicit PauseFlagGuard(std::atomic<bool>& flag) : flag_(flag) {}
    ~PauseFlagGuard() { flag_.store(false); }
    void raise() { flag_.store(true); }
    PauseFlagGuard(const PauseFlagGuard&) = delete;
    PauseFlagGuard& operator=(const PauseFlagGuard&) = delete;

private:
    std::atomic<bool>& flag_;
};

} // namespace

// A page's report as it reaches the thread that runs the job, live or replayed: progress,
// yields and pauses go to the job's host, the failing step, the footer row and the log's path
// to the job's own fields, and a captured page is put in place as its JPEG file.
class CuttingJob::HostReport : public PageReport {
public:
    HostReport(CuttingJob& job, CutPipeline& pipeline, std::size_t index)
        : job_(job), pipeline_(pipeline), index_(index) {}

    void step(int step) override { job_.failingStep_ = step; }
    void progress(int value) override { job_.host_.pageProgress(value, QString()); }
    void service() override { job_.host_.yield(); }
    // The one place where the job waits on the pause switch; the workers hold meanwhile.
    void holdWhilePaused() override {
        PauseFlagGuard guard(pipeline_.pauseFlag());
        while (job_.host_.pauseRequested()) {
            guard.raise();
            job_.host_.yield();
        }
    }
    void shown(const QString& path, const QImage& page) override {
        job_.host_.pageShown(path, page);
    }
    void footerRow(qint32 row) override { job_.lLignePied = row; }
    void logFile(const QString& path) override { job_.sFichierLog = path; }
    void captured(const QImage& page, const QString& bitmapPath, const QString& jpegPath) override {
        // The captured piece's picture is this page.
        (void)page;
        job_.placeEncodedPiece(pipeline_, pipeline_.capturedPiece(index_), bitmapPath, jpegPath);
    }

private:
    CuttingJob& job_;
    CutPipeline& pipeline_;
    std::size_t index_;
};

QImage CuttingJob::takeCapturedPage(int pageNumber) {
    return capturedOnPaper(pageNumber > 0 && pdfPageSource_ ? pdfPageSource_(pageNumber)
                                                            : host_.clipboardPicture(),
                           pageNumber);
}

PageOptions CuttingJob::currentPageOptions() const {
    PageOptions options;
    options.switches = switches;
    if (state_.recutFinder)
        options.switches.finder = *state_.recutFinder;
    options.lLigneEntete = lLigneEntete;
    options.lNiveauBlanc = state_.lNiveauBlanc;
    options.bModeDebug = state_.bModeDebug;
    return options;
}

JpegSettings CuttingJob::currentJpegSettings() const {
    return readJpegSettings(state_.sFichierParam, jpegOverrides);
}

std::unique_ptr<CutPipeline> CuttingJob::makePipeline(std::vector<PageRequest> pages, int workers) {
    CutPipeline::Setup setup;
    setup.threads = workers;
    setup.pages = std::move(pages);
    setup.options = currentPageOptions();
    setup.footerRow = lLignePied;
    try {
        setup.jpeg = currentJpegSettings();
    } catch (const AppError&) {
        // Each piece reads the settings again when it is put in place, and fails there.
    }
    setup.outputFolder = sRepSortie;
    setup.memoryBudget =
        memoryMebibytes ? *memoryMebibytes * kMebibyte : jobMemorySetting(state_.sFichierParam);
    return std::make_unique<CutPipeline>(std::move(setup));
}

void CuttingJob::DecouperPage(const QString& sFichier, qint32 lSeuilPixel, QString& sNomSortie,
                              qint16 iPasse) {
    PageRequest request;
    request.sFichier = sFichier;
    request.sNomSortie = sNomSortie;
    request.capture = [this] { return takeCapturedPage(0); };
    request.lSeuilPixel = lSeuilPixel;
    request.iPasse = iPasse;
    const std::unique_ptr<CutPipeline> pipeline = makePipeline({request}, 0);
    sNomSortie = cutPage(*pipeline, 0);
}

void CuttingJob::cutPages(std::vector<PageRequest> pages, bool mayWorkAhead,
                          const std::function<void(std::size_t)>& beforePage,
                          const std::function<void(std::size_t)>& afterPage) {
    const std::size_t count = pages.size();
    const std::unique_ptr<CutPipeline> pipeline =
        makePipeline(std::move(pages), mayWorkAhead && jobThreads_ > 1 ? jobThreads_ : 0);
    for (std::size_t i = 0; i < count; ++i) {
        beforePage(i);
        cutPage(*pipeline, i);
        if (afterPage)
            afterPage(i);
    }
}

QString CuttingJob::cutPage(CutPipeline& pipeline, std::size_t index) {
    failingStep_ = kStepStart;
    HostReport report(*this, pipeline, index);
    PreparedPage& page = pipeline.page(index, currentPageOptions(), lLignePied, report);
    try {
        if (page.report)
            page.report->replay(report);
        if (page.failure)
            std::rethrow_exception(page.failure);
        writePieces(pipeline, page);
    } catch (const AppError& error) {
        failPage(page.request.sFichier, page.request.sNomSortie, error.description(),
                 error.number());
    } catch (const std::bad_alloc&) {
        failPage(page.request.sFichier, page.request.sNomSortie,
                 standardErrorDescription(kErrOutOfMemory), kErrOutOfMemory);
    }
    // The caller sees the captured page's name even when the page failed after taking it.
    const QString sNomSortie = page.request.sNomSortie;
    pipeline.release(index);
    return sNomSortie;
}

void CuttingJob::writePieces(CutPipeline& pipeline, PreparedPage& page) {
    const PageRequest& request = page.request;
    const PreparedCuts& cuts = page.cuts;
    // The page's own line below checks the log, and fails the page when the log refuses it.
    (void)appendTextLines(sFichierLog, cuts.debugLines);
    const qint32 start = lNumDiapo;
    qint16 iNumPiece = 1;
    const auto pieceName = [&](const QString& extension) {
        return sRepSortie + request.sNomSortie + QLatin1Char('-') + pieceNumberText(lNumDiapo) +
               extension;
    };
    // Piece i was copied from the grid, else what copying it raised is raised.
    const auto copied = [&](std::size_t i) {
        if (i >= page.pieces.size())
            std::rethrow_exception(page.pieceFailure);
    };
    const std::vector<CutPiece>& pieces = cuts.decisions.pieces;
    // A captured page is the JPEG file it was saved as, in the source folder.
    const QString pagePath =
        request.sFichier.isEmpty() ? state_.sRepSource + request.sNomSortie : request.sFichier;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const CutPiece& cut = pieces[i];
        const QString bitmapName = pieceName(QStringLiteral(".bmp"));
        if (cut.kind == PieceKind::WholePage) {
            failingStep_ = kStepWholePage;
            record_.EnregistreDecoupe(request.iPasse, request.sFichier, iNumPiece, cuts.W, cuts.H,
                                      0, cuts.W, 0, cuts.H, bitmapName);
            copied(i);
        } else {
            failingStep_ = cut.kind == PieceKind::Block ? kStepBlock : kStepWholeBand;
            copied(i);
            host_.yield();
            record_.EnregistreDecoupe(request.iPasse, request.sFichier, iNumPiece, cuts.W, cuts.H,
                                      cut.left, cut.right, cut.top, cut.bottom, bitmapName);
            ++iNumPiece;
        }
        placeEncodedPiece(pipeline, page.pieces[i], bitmapName, pieceName(QStringLiteral(".jpg")));
        panels_.add(request.iPasse, pagePath, cuts.W, cuts.H, switches.rotation, cut,
                    pieceName(QStringLiteral(".jpg")));
        ++lNumDiapo;
        host_.yield();
    }
    if (cuts.decisions.failure) {
        failingStep_ = kStepDecide;
        throw *cuts.decisions.failure;
    }

    failingStep_ = kStepLog;
    if (cuts.decisions.noPanelFound &&
        !appendTextLines(sFichierLog,
                         {noPanelLine(request.sFichier.isEmpty() ? pagePath : request.sFichier)}))
        raiseError(kErrPathAccess);
    // A page whose line cannot reach the log is not reported as cut.
    if (!appendTextLines(sFichierLog, {QStringLiteral("%1 images (%2-%3) ont étés créées pour la "
                                                      "page ")
                                           .arg(lNumDiapo - start)
                                           .arg(start)
                                           .arg(lNumDiapo) +
                                       request.sFichier}))
        raiseError(kErrPathAccess);
}

void CuttingJob::placeEncodedPiece(CutPipeline& pipeline, PieceSlot& slot,
                                   const QString& bitmapPath, const QString& jpegPath) {
    // The settings are read for every piece, so that a change made during the job applies from
    // the next piece on.
    JpegSettings settings;
    try {
        settings = currentJpegSettings();
    } catch (...) {
        const QImage picture = slot.asPicture();
        pipeline.discard(slot);
        keepAsBitmap(picture, bitmapPath);
        throw;
    }
    pipeline.setJpegSettings(settings);
    const EncodedPiece encoded = pipeline.takeEncoded(slot);
    if (!sameJpegSettings(settings, encoded.settings)) {
        // The settings changed after the piece was encoded ahead: it is encoded again now.
        if (!encoded.temporary.isEmpty())
            QFile::remove(encoded.temporary);
        savePiece(slot, bitmapPath, jpegPath);
        return;
    }
    if (encoded.error) {
        keepAsBitmap(slot.asPicture(), bitmapPath);
        std::rethrow_exception(encoded.error);
    }
    if (const int error =
            placeTemporaryFile(encoded.temporary, jpegPath, ExistingTarget::Replace)) {
        keepAsBitmap(slot.asPicture(), bitmapPath);
        raiseFileError(error);
    }
}

void CuttingJob::saveJPG(const QString& FileName, const QString& sFichierSortie) {
    const QImage picture = loadPicture(FileName);
    writeJpegReplacing(picture, currentJpegSettings(), sFichierSortie);
    // The source picture goes only once its JPEG file is written.
    removeFileForcibly(FileName);
}

void CuttingJob::savePiece(const PieceSlot& slot, const QString& bitmapPath,
                           const QString& jpegPath) {
    try {
        if (slot.buffer)
            writeJpegReplacing(*slot.buffer, currentJpegSettings(), jpegPath);
        else
            writeJpegReplacing(slot.picture, currentJpegSettings(), jpegPath);
    } catch (...) {
        keepAsBitmap(slot.asPicture(), bitmapPath);
        throw;
    }
}

void CuttingJob::keepAsBitmap(const QImage& piece, const QString& bitmapPath) {
    // A piece that could not be encoded stays in the output folder as a bitmap, when the folder
    // takes it; the encoder's failure is what the caller hears of.
    try {
        savePictureAtomically(piece, bitmapPath, "BMP");
    } catch (const AppError&) {
    }
}

void CuttingJob::failPage(const QString& sFichier, const QString& sNomSortie,
                          const QString& description, int number) {
    // The page itself goes to the output folder, so that the user finds what failed; a pipe or a
    // device would never end its copy.
    if (!sFichier.isEmpty() && isRegularFile(sFichier)) {
        const QString copy = sRepSortie + sNomSortie + QStringLiteral(".bmp");
        if (QFile::exists(copy)) {
            QFile existing(copy);
            existing.setPermissions(existing.permissions() | QFileDevice::WriteOwner);
        }
        // A copy the folder refuses leaves the page where it was: it is only a convenience.
        (void)copyFileAtomically(sFichier, copy);
    }
    // The page counts as an error whether or not the log takes its lines.
    (void)appendTextLines(sFichierLog,
                          pageFailureLines(sFichier, failingStep_, description, number));
    ++lNbErreurs;
}

} // namespace vantola
