#pragma once

#include "cutting/page_preparation.h"
#include "cutting/recorded_page_report.h"
#include "image/cimage.h"
#include "image/jpeg_writing.h"

#include <QImage>
#include <QString>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace vantola {

// A piece's JPEG file written ahead under a hidden temporary name, or why it could not be.
struct EncodedPiece {
    QString temporary;        // empty when the encoding failed
    JpegSettings settings;    // the settings it was encoded with
    std::exception_ptr error; // the failure of the encoding
};

// A picture to be written as a JPEG file, and what became of it.
struct PieceSlot {
    enum class State { Waiting, Encoding, Encoded, Taken, Dropped };
    QImage picture; // the whole page or a captured page
    // A block or band, as the buffer the encoder reads (then `picture` is null).
    std::shared_ptr<const cImage> buffer;
    QString folder; // where its temporary file goes: the folder of its final name
    State state = State::Waiting;
    EncodedPiece encoded;

    // The piece as a picture, for a piece kept as a bitmap.
    QImage asPicture() const;
};

// A page prepared: what its preparation reported, its cuts, and its pieces' pictures, which the
// workers encode while the calling thread is busy with other pages.
struct PreparedPage {
    PageRequest request;     // sNomSortie already replaced for a captured page
    PageOptions options;     // the settings it was prepared with
    qint32 footerBefore = 0; // the job's footer row it was prepared from (footer switch on)
    qint32 footerAfter = 0;  // the footer row it left
    // What a worker's preparation reported, to be replayed; null for a page prepared on the
    // calling thread, whose report went straight to the host.
    std::unique_ptr<RecordedPageReport> report;
    PreparedCuts cuts;
    std::exception_ptr failure;        // what stopped its preparation, at report->currentStep()
    std::deque<PieceSlot> pieces;      // the pieces' pictures in order, up to the first failure
    std::exception_ptr pieceFailure;   // why piece number pieces.size() could not be copied
    std::optional<PieceSlot> captured; // a captured page's own picture
    bool ready = false;
    qint64 memory = 0;        // bytes of the memory budget it holds
    bool memoryTaken = false; // it holds its share, or will never ask for one
};

// Cuts the pages of one pass. Without worker threads the calling thread prepares each page when
// it takes it, reporting as it goes, and encodes each piece when it puts it in place. With worker
// threads the work runs ahead of the calling thread: the workers prepare
// the next pages (load, grid, cuts, piece pictures) and encode the pieces of the pages already
// prepared into hidden temporary files. The calling thread takes the pages in order, replays
// what each page reported to its host and puts the pieces in place. Pages are independent of
// each other, but with the footer switch on a page starts from the footer row that the page
// before it left: the pages are then prepared one after the other. Pages are prepared at most a
// few ahead of the one being taken, and they share one memory budget: each page takes its share
// before its pixels are decoded, in page order, and waits for the pages before it to give theirs
// back when the budget is spent. Destroying the pipeline stops the workers and removes every
// temporary file left.
class CutPipeline {
public:
    struct Setup {
        int threads = 0; // worker threads; 0: everything on the calling thread
        std::vector<PageRequest> pages;
        PageOptions options;
        qint32 footerRow = 0;    // the job's lLignePied before the first page
        JpegSettings jpeg;       // the settings the pieces are encoded with until told otherwise
        QString outputFolder;    // where the pieces go (sRepSortie)
        qint64 memoryBudget = 0; // bytes that the pages in flight may take together
    };

    explicit CutPipeline(Setup setup);
    ~CutPipeline();
    CutPipeline(const CutPipeline&) = delete;
    CutPipeline& operator=(const CutPipeline&) = delete;

    // Raised by the calling thread while its host holds the job on the pause switch: the workers
    // hold between rows and before each piece.
    std::atomic<bool>& pauseFlag() { return pause_; }

    // Waits for page `index`, which must be prepared from these settings and this footer row;
    // when it was prepared from others (they changed meanwhile), it and the pages after it are
    // prepared again. The later pages use these settings too. Pages are taken in order. Without
    // workers the page is prepared here, reporting to `live` as it goes.
    PreparedPage& page(std::size_t index, const PageOptions& options, qint32 footerRow,
                       PageReport& live);

    // The captured picture of page `index`, once its preparation has taken it.
    PieceSlot& capturedPiece(std::size_t index);

    // Waits until the piece's JPEG file has been written (or has failed) and hands it over; the
    // temporary file is then the caller's. Without workers the piece is encoded here.
    EncodedPiece takeEncoded(PieceSlot& slot);

    // The piece will not be put in place: its temporary file goes, now or once written.
    void discard(PieceSlot& slot);

    // The settings for the pieces not yet encoded.
    void setJpegSettings(const JpegSettings& settings);

    // The calling thread is done with page `index`: its temporary files not taken are removed,
    // its memory freed, and the workers may prepare further.
    void release(std::size_t index);

private:
    void work();
    // live: the report of a page prepared on the calling thread; null on a worker, whose report
    // is recorded.
    void prepare(const std::shared_ptr<PreparedPage>& page, std::size_t index, quint64 generation,
                 PageReport* live);
    void takeMemory(PreparedPage& page, std::size_t index, quint64 generation, QSize size,
                    PageGrid& grid);
    void giveMemoryBack(PreparedPage& page);
    bool earlierPagesTookMemory(std::size_t index) const;
    EncodedPiece encode(const QImage& picture, const cImage* buffer, const QString& folder,
                        const JpegSettings& settings);
    bool readerMayStart() const;
    PieceSlot* nextWaitingSlot(std::shared_ptr<PreparedPage>& owner);
    void addPiece(PreparedPage& page, quint64 generation, const QImage& picture,
                  std::shared_ptr<const cImage> buffer, const QString& folder, bool captured);
    void restartFrom(std::size_t index, const PageOptions& options, qint32 footerRow);
    void dropSlots(PreparedPage& page);
    // Where the workers hold while the pause flag is raised, until `stop` says their work is no
    // longer wanted.
    void holdWhilePaused(const std::function<bool()>& stop) const;

    const std::vector<PageRequest> requests_;
    const QString outputFolder_;
    const std::size_t lookahead_;

    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::shared_ptr<PreparedPage>> pages_; // null: not prepared, or released
    std::size_t nextPage_ = 0;                         // the next page to begin preparing
    std::size_t released_ = 0;                         // pages the calling thread is done with
    int preparing_ = 0;                                // pages being prepared
    std::mutex captureMutex_;                          // a PDF document renders one page at a time
    std::vector<PageGrid> spareGrids_; // grids of pages done with, kept to spare new mappings
    const qint64 memoryBudget_;
    qint64 memoryUsed_ = 0; // by the pages that hold a share, and by the spare grids
    PageOptions options_;
    qint32 footer_ = 0;
    JpegSettings jpeg_;
    std::atomic<quint64> generation_{0}; // changes when prepared pages are thrown away
    std::atomic<bool> cancelled_{false};
    std::atomic<bool> pause_{false};
    std::vector<std::thread> workers_;
};

} // namespace vantola
