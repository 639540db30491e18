#include "cutting/cut_pipeline.h"

#include "cutting/memory_budget.h"
#include "cutting/piece_picture.h"
#include "settings/app_error.h"
#include "settings/path_parts.h"

#include <QFile>
#include <algorithm>
#include <chrono>
#include <set>

namespace vantola {

namespace {

qint64 gridBytes(qint32 columns, qint32 rows) {
    return qint64(columns) * qint64(rows) * qint64(sizeof(qint32));
}

// The report of a page prepared on the calling thread: it goes straight to the host's report,
// and a captured page's picture is kept aside first, to be put in place as a piece is.
class LiveReport : public PageReport {
public:
    LiveReport(PageReport& target, std::function<void(const QImage&, const QString&)> onCaptured)
        : target_(target), onCaptured_(std::move(onCaptured)) {}

    void step(int step) override { target_.step(step); }
    void progress(int value) override { target_.progress(value); }
    void service() override { target_.service(); }
    void holdWhilePaused() override { target_.holdWhilePaused(); }
    void shown(const QString& path, const QImage& page) override { target_.shown(path, page); }
    void footerRow(qint32 row) override { target_.footerRow(row); }
    void logFile(const QString& path) override { target_.logFile(path); }
    void captured(const QImage& page, const QString& bitmapPath, const QString& jpegPath) override {
        onCaptured_(page, bitmapPath);
        target_.captured(page, bitmapPath, jpegPath);
    }

private:
    PageReport& target_;
    std::function<void(const QImage&, const QString&)> onCaptured_;
};

void dropSlot(PieceSlot& slot) {
    if (slot.state == PieceSlot::State::Encoded && !slot.encoded.temporary.isEmpty())
        QFile::remove(slot.encoded.temporary);
    slot.state = PieceSlot::State::Dropped;
    slot.picture = QImage();
    slot.buffer.reset();
}

} // namespace

QImage PieceSlot::asPicture() const {
    return buffer ? pictureOfBuffer(*buffer) : picture;
}

CutPipeline::CutPipeline(Setup setup)
    : requests_(std::move(setup.pages)), outputFolder_(std::move(setup.outputFolder)),
      // The page being put in place and one page ahead per thread keep every thread busy; more
      // pages ahead would only hold memory.
      lookahead_(std::size_t(std::max(setup.threads, 0)) + 1), pages_(requests_.size()),
      memoryBudget_(setup.memoryBudget), options_(setup.options), footer_(setup.footerRow),
      jpeg_(std::move(setup.jpeg)) {
    std::set<QString> folders{outputFolder_};
    for (const PageRequest& request : requests_) {
        if (request.sFichier.isEmpty())
            folders.insert(ExtraireDossier(request.sNomSortie));
    }
    for (const QString& folder : folders)
        removeStaleTemporaryFiles(folder);
    const int threads = std::max(setup.threads, 0);
    workers_.reserve(std::size_t(threads));
    for (int i = 0; i < threads; ++i)
        workers_.emplace_back([this] { work(); });
}

CutPipeline::~CutPipeline() {
    {
        const std::lock_guard lock(mutex_);
        cancelled_ = true;
    }
    changed_.notify_all();
    for (std::thread& worker : workers_)
        worker.join();
    for (const std::shared_ptr<PreparedPage>& page : pages_) {
        if (page)
            dropSlots(*page);
    }
}

bool CutPipeline::readerMayStart() const {
    // With the footer switch on, each page needs the footer row of the page before it.
    const bool chained = options_.switches.footerEnabled;
    return nextPage_ < requests_.size() && nextPage_ < released_ + lookahead_ &&
           (preparing_ == 0 || !chained);
}

PieceSlot* CutPipeline::nextWaitingSlot(std::shared_ptr<PreparedPage>& owner) {
    for (std::size_t i = released_; i < nextPage_; ++i) {
        const std::shared_ptr<PreparedPage>& page = pages_[i];
        if (!page)
            continue;
        owner = page;
        if (page->captured && page->captured->state == PieceSlot::State::Waiting)
            return &*page->captured;
        for (PieceSlot& slot : page->pieces) {
            if (slot.state == PieceSlot::State::Waiting)
                return &slot;
        }
    }
    owner.reset();
    return nullptr;
}

void CutPipeline::work() {
    std::unique_lock lock(mutex_);
    while (!cancelled_) {
        if (readerMayStart()) {
            const std::size_t index = nextPage_++;
            const quint64 generation = generation_;
            auto page = std::make_shared<PreparedPage>();
            page->request = requests_[index];
            page->options = options_;
            page->footerBefore = footer_;
            pages_[index] = page;
            ++preparing_;
            lock.unlock();
            prepare(page, index, generation, nullptr);
            lock.lock();
            --preparing_;
            page->memoryTaken = true;
            if (generation == generation_) {
                footer_ = page->footerAfter;
                page->ready = true;
            } else {
                giveMemoryBack(*page);
            }
            changed_.notify_all();
            continue;
        }
        std::shared_ptr<PreparedPage> owner;
        if (PieceSlot* slot = nextWaitingSlot(owner)) {
            slot->state = PieceSlot::State::Encoding;
            // Copies (shared, not deep) so that the slot may be dropped meanwhile.
            const QImage picture = slot->picture;
            const std::shared_ptr<const cImage> buffer = slot->buffer;
            const QString folder = slot->folder;
            const JpegSettings settings = jpeg_;
            lock.unlock();
            EncodedPiece encoded = encode(picture, buffer.get(), folder, settings);
            lock.lock();
            if (slot->state == PieceSlot::State::Dropped) {
                if (!encoded.temporary.isEmpty())
                    QFile::remove(encoded.temporary);
            } else {
                slot->encoded = std::move(encoded);
                slot->state = PieceSlot::State::Encoded;
            }
            changed_.notify_all();
            continue;
        }
        changed_.wait(lock);
    }
}

void CutPipeline::holdWhilePaused(const std::function<bool()>& stop) const {
    while (pause_ && !stop())
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

void CutPipeline::prepare(const std::shared_ptr<PreparedPage>& page, std::size_t index,
                          quint64 generation, PageReport* live) {
    PreparedPage& prepared = *page;
    const auto onCaptured = [this, &prepared, generation](const QImage& picture,
                                                          const QString& bitmapPath) {
        addPiece(prepared, generation, picture, nullptr, ExtraireDossier(bitmapPath), true);
    };
    std::optional<LiveReport> liveReport;
    if (live) {
        liveReport.emplace(*live, onCaptured);
    } else {
        const auto abandoned = [this, generation] {
            return cancelled_ || generation_ != generation;
        };
        prepared.report = std::make_unique<RecordedPageReport>(
            [this, abandoned] { holdWhilePaused(abandoned); }, abandoned, onCaptured);
    }
    PageReport& report = live ? static_cast<PageReport&>(*liveReport) : *prepared.report;
    if (prepared.request.capture) {
        prepared.request.capture = [this, capture = std::move(prepared.request.capture)] {
            const std::lock_guard lock(captureMutex_);
            return capture();
        };
    }
    qint32 footer = prepared.footerBefore;
    PageGrid grid;
    prepared.request.reserveMemory = [&, index, generation](QSize size) {
        takeMemory(prepared, index, generation, size, grid);
    };
    try {
        prepared.cuts = preparePage(prepared.request, prepared.options, footer, grid, report);
        for (const CutPiece& cut : prepared.cuts.decisions.pieces) {
            std::shared_ptr<const cImage> buffer;
            try {
                if (cut.kind != PieceKind::WholePage)
                    buffer = pieceBuffer(grid, cut, prepared.cuts.W);
            } catch (...) {
                prepared.pieceFailure = std::current_exception();
                break;
            }
            addPiece(prepared, generation, buffer ? QImage() : prepared.cuts.page,
                     std::move(buffer), outputFolder_, false);
        }
    } catch (const PreparationAbandoned&) {
    } catch (...) {
        prepared.failure = std::current_exception();
    }
    prepared.request.reserveMemory = nullptr;
    prepared.footerAfter = footer;
    const std::lock_guard lock(mutex_);
    if (grid.columnCount() > 0) {
        memoryUsed_ += gridBytes(grid.columnCount(), grid.rowCount());
        spareGrids_.push_back(std::move(grid));
    }
}

bool CutPipeline::earlierPagesTookMemory(std::size_t index) const {
    for (std::size_t i = released_; i < index; ++i) {
        if (!pages_[i] || !pages_[i]->memoryTaken)
            return false;
    }
    return true;
}

void CutPipeline::takeMemory(PreparedPage& page, std::size_t index, quint64 generation, QSize size,
                             PageGrid& grid) {
    refuseBeyondBudget(size, memoryBudget_);
    const qint64 bytes = pageMemoryEstimate(size);
    std::unique_lock lock(mutex_);
    // Pages take their shares in page order: a later page holding memory that an earlier one
    // waits for would never give it back, as the pages are put in place in order.
    changed_.wait(lock, [&] {
        if (cancelled_ || generation != generation_)
            return true;
        if (!earlierPagesTookMemory(index))
            return false;
        if (memoryUsed_ + bytes > memoryBudget_) {
            for (const PageGrid& spare : spareGrids_)
                memoryUsed_ -= gridBytes(spare.columnCount(), spare.rowCount());
            spareGrids_.clear();
        }
        return memoryUsed_ + bytes <= memoryBudget_;
    });
    if (cancelled_ || generation != generation_)
        throw PreparationAbandoned{};
    memoryUsed_ += bytes;
    page.memory = bytes;
    page.memoryTaken = true;
    // A spare grid of the page's size is cleared instead of mapped anew; it is the page's now.
    const auto spare = std::find_if(spareGrids_.begin(), spareGrids_.end(), [&](const PageGrid& g) {
        return g.columnCount() == size.width() + 1 && g.rowCount() == size.height() + 1;
    });
    if (spare != spareGrids_.end()) {
        memoryUsed_ -= gridBytes(spare->columnCount(), spare->rowCount());
        grid = std::move(*spare);
        spareGrids_.erase(spare);
    }
    changed_.notify_all();
}

void CutPipeline::giveMemoryBack(PreparedPage& page) {
    memoryUsed_ -= page.memory;
    page.memory = 0;
}

void CutPipeline::addPiece(PreparedPage& page, quint64 generation, const QImage& picture,
                           std::shared_ptr<const cImage> buffer, const QString& folder,
                           bool captured) {
    {
        const std::lock_guard lock(mutex_);
        if (generation != generation_ || cancelled_)
            throw PreparationAbandoned{};
        PieceSlot& slot = captured ? page.captured.emplace() : page.pieces.emplace_back();
        slot.picture = picture;
        slot.buffer = std::move(buffer);
        slot.folder = folder;
    }
    changed_.notify_all();
}

EncodedPiece CutPipeline::encode(const QImage& picture, const cImage* buffer, const QString& folder,
                                 const JpegSettings& settings) {
    holdWhilePaused([this] { return cancelled_.load(); });
    EncodedPiece encoded;
    encoded.settings = settings;
    if (cancelled_)
        return encoded;
    try {
        const QByteArray bytes =
            buffer ? encodeJpeg(*buffer, settings) : encodeJpeg(picture, settings);
        if (const int error = writeTemporaryFile(folder, bytes.constData(),
                                                 std::size_t(bytes.size()), encoded.temporary))
            raiseFileError(error);
    } catch (...) {
        encoded.error = std::current_exception();
    }
    return encoded;
}

PreparedPage& CutPipeline::page(std::size_t index, const PageOptions& options, qint32 footerRow,
                                PageReport& live) {
    std::unique_lock lock(mutex_);
    if (workers_.empty()) {
        auto page = std::make_shared<PreparedPage>();
        page->request = requests_[index];
        page->options = options;
        page->footerBefore = footerRow;
        pages_[index] = page;
        nextPage_ = index + 1;
        const quint64 generation = generation_;
        lock.unlock();
        prepare(page, index, generation, &live);
        page->memoryTaken = true;
        page->ready = true;
        return *page;
    }
    // Pages not yet begun take the settings of the moment.
    options_ = options;
    if (nextPage_ == index && !pages_[index])
        footer_ = footerRow;
    for (;;) {
        const std::shared_ptr<PreparedPage>& page = pages_[index];
        if (page && page->ready) {
            // Without the footer switch a page does not depend on the row it started from.
            if (page->options == options &&
                (!options.switches.footerEnabled || page->footerBefore == footerRow))
                return *page;
            restartFrom(index, options, footerRow);
        }
        changed_.wait(lock);
    }
}

void CutPipeline::restartFrom(std::size_t index, const PageOptions& options, qint32 footerRow) {
    ++generation_;
    for (std::size_t i = index; i < pages_.size(); ++i) {
        if (pages_[i]) {
            // A page still being prepared gives its share back when its preparation stops.
            if (pages_[i]->ready)
                giveMemoryBack(*pages_[i]);
            dropSlots(*pages_[i]);
            pages_[i].reset();
        }
    }
    nextPage_ = index;
    options_ = options;
    footer_ = footerRow;
    changed_.notify_all();
}

void CutPipeline::dropSlots(PreparedPage& page) {
    if (page.captured)
        dropSlot(*page.captured);
    for (PieceSlot& slot : page.pieces)
        dropSlot(slot);
}

PieceSlot& CutPipeline::capturedPiece(std::size_t index) {
    const std::lock_guard lock(mutex_);
    return *pages_[index]->captured;
}

void CutPipeline::discard(PieceSlot& slot) {
    const std::lock_guard lock(mutex_);
    dropSlot(slot);
}

EncodedPiece CutPipeline::takeEncoded(PieceSlot& slot) {
    std::unique_lock lock(mutex_);
    if (workers_.empty() && slot.state == PieceSlot::State::Waiting) {
        slot.state = PieceSlot::State::Encoding;
        const JpegSettings settings = jpeg_;
        lock.unlock();
        EncodedPiece encoded = encode(slot.picture, slot.buffer.get(), slot.folder, settings);
        lock.lock();
        slot.encoded = std::move(encoded);
        slot.state = PieceSlot::State::Encoded;
    }
    changed_.wait(lock, [&] { return slot.state == PieceSlot::State::Encoded; });
    slot.state = PieceSlot::State::Taken;
    return std::move(slot.encoded);
}

void CutPipeline::setJpegSettings(const JpegSettings& settings) {
    const std::lock_guard lock(mutex_);
    jpeg_ = settings;
}

void CutPipeline::release(std::size_t index) {
    {
        const std::lock_guard lock(mutex_);
        if (pages_[index]) {
            giveMemoryBack(*pages_[index]);
            dropSlots(*pages_[index]);
            pages_[index].reset();
        }
        released_ = std::max(released_, index + 1);
    }
    changed_.notify_all();
}

} // namespace vantola
