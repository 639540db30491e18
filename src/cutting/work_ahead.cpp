// Cutting the pages of a pass with worker threads working ahead: the calling thread takes each
// prepared page in order, replays what its preparation reported to the host, and puts its
// pieces in place (cut record, then the JPEG file renamed from its temporary name), exactly as
// the page would have been cut on the calling thread alone.
#include "cutting/cut_pipeline.h"
#include "cutting/cutting_job.h"
#include "cutting/host_page_report.h"
#include "cutting/memory_budget.h"
#include "cutting/page_steps.h"
#include "cutting/piece_supply.h"
#include "settings/app_error.h"

#include <QFile>

namespace vantola {

namespace {

bool sameJpegSettings(const JpegSettings& a, const JpegSettings& b) {
    return a.quality == b.quality && a.greyscale == b.greyscale && a.sample == b.sample;
}

// The pieces that the workers copied and are encoding for a prepared page.
class PiecesFromPipeline : public PieceSupply {
public:
    using Place = std::function<void(PieceSlot&, const QImage&, const QString&, const QString&)>;
    PiecesFromPipeline(PreparedPage& page, Place place) : page_(page), place_(std::move(place)) {}

    QImage picture(std::size_t index) override {
        if (index >= page_.pieces.size())
            std::rethrow_exception(page_.pieceFailure);
        return page_.pieces[index].picture;
    }
    void write(std::size_t index, const QImage& picture, const QString& bitmapPath,
               const QString& jpegPath) override {
        place_(page_.pieces[index], picture, bitmapPath, jpegPath);
    }

private:
    PreparedPage& page_;
    Place place_;
};

} // namespace

void CuttingJob::cutPages(std::vector<PageRequest> pages, bool mayWorkAhead,
                          const std::function<void(std::size_t)>& beforePage,
                          const std::function<void(std::size_t)>& afterPage) {
    jobMemory_ =
        memoryMebibytes ? *memoryMebibytes * kMebibyte : jobMemorySetting(state_.sFichierParam);
    std::unique_ptr<CutPipeline> pipeline;
    if (mayWorkAhead && jobThreads_ > 1 && !pages.empty()) {
        CutPipeline::Setup setup;
        setup.threads = jobThreads_;
        setup.pages = pages;
        setup.options = currentPageOptions();
        setup.footerRow = lLignePied;
        try {
            setup.jpeg = currentJpegSettings();
        } catch (const AppError&) {
            // Each piece reads the settings again when it is put in place, and fails there.
        }
        setup.outputFolder = sRepSortie;
        setup.memoryBudget = jobMemory_;
        pipeline = std::make_unique<CutPipeline>(std::move(setup));
    }
    for (std::size_t i = 0; i < pages.size(); ++i) {
        beforePage(i);
        if (pipeline) {
            cutPreparedPage(*pipeline, i);
        } else {
            PageRequest& page = pages[i];
            DecouperPage(page.sFichier, page.lSeuilPixel, page.sNomSortie, page.iPasse);
        }
        if (afterPage)
            afterPage(i);
    }
}

void CuttingJob::cutPreparedPage(CutPipeline& pipeline, std::size_t index) {
    PreparedPage& page = pipeline.page(index, currentPageOptions(), lLignePied);
    int step = kStepStart;
    cutGuarded(page.request.sFichier, page.request.sNomSortie, step, [&] {
        const auto placeCaptured = [&](const QImage& picture, const QString& bitmapPath,
                                       const QString& jpegPath) {
            placeEncodedPiece(pipeline, *page.captured, picture, bitmapPath, jpegPath);
        };
        HostPageReport report(host_, step, lLignePied, sFichierLog, placeCaptured,
                              &pipeline.pauseFlag());
        page.report->replay(report);
        if (page.failure) {
            step = page.report->currentStep();
            std::rethrow_exception(page.failure);
        }
        PiecesFromPipeline pieces(page, [&](PieceSlot& slot, const QImage& picture,
                                            const QString& bitmapPath, const QString& jpegPath) {
            placeEncodedPiece(pipeline, slot, picture, bitmapPath, jpegPath);
        });
        writePieces(page.request, page.cuts, pieces, step);
    });
    pipeline.release(index);
}

void CuttingJob::placeEncodedPiece(CutPipeline& pipeline, PieceSlot& slot, const QImage& picture,
                                   const QString& bitmapPath, const QString& jpegPath) {
    // The settings are read for every piece, as when it is encoded on the spot.
    JpegSettings settings;
    try {
        settings = currentJpegSettings();
    } catch (...) {
        QFile::remove(pipeline.takeEncoded(slot).temporary);
        keepAsBitmap(picture, bitmapPath);
        throw;
    }
    const EncodedPiece encoded = pipeline.takeEncoded(slot);
    if (!sameJpegSettings(settings, encoded.settings)) {
        // The settings changed after the piece was encoded ahead: the later pieces take the new
        // ones, and this one is encoded again now.
        if (!encoded.temporary.isEmpty())
            QFile::remove(encoded.temporary);
        pipeline.setJpegSettings(settings);
        savePiece(picture, bitmapPath, jpegPath);
        return;
    }
    if (encoded.error) {
        keepAsBitmap(picture, bitmapPath);
        std::rethrow_exception(encoded.error);
    }
    if (placeTemporaryFile(encoded.temporary, jpegPath, ExistingTarget::Replace) != 0) {
        keepAsBitmap(picture, bitmapPath);
        raiseError(kErrPathAccess);
    }
}

} // namespace vantola
