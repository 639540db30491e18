#include "cutting/cut_pipeline.h"

#include "cutting/memory_budget.h"
#include "cutting/piece_picture.h"
#include "settings/app_error.h"
#include "settings/path_parts.h"

#include <QFile>
#include <algorithm>
#include <chrono>
#if defined(__GLIBC__)
#include <malloc.h>
#endif
#include <set>

namespace vantola {

namespace {

// Pages and pieces are allocated on the workers and freed on the calling thread. With the C
// library's default of one memory arena per thread, each freed page returns to the arena of the
// thread that made it, and over hundreds of pages the arenas fragment and the process keeps
// growing. One shared arena keeps a long job's memory flat; the allocations are few and large, so
// the threads hardly ever wait for each other on it (jobs measured slightly faster with it).
void shareOneMemoryArena() {
#if defined(__GLIBC__)
    mallopt(M_ARENA_MAX, 1);
#endif
}

qint64 gridBytes(qint32 columns, qint32 rows) {
    return qint64(columns) * qint64(rows) * qint64(sizeof(qint32));
}

} // namespace

CutPipeline::CutPipeline(Setup setup)
    : requests_(std::move(setup.pages)), outputFolder_(std::move(setup.outputFolder)),
      // The page being put in place and one page ahead per thread keep every thread busy; more
      // pages ahead would only hold memory.
      lookahead_(std::size_t(std::max(setup.threads, 1)) + 1), pages_(requests_.size()),
      memoryBudget_(setup.memoryBudget), options_(setup.options), footer_(setup.footerRow),
      jpeg_(std::move(setup.jpeg)) {
    std::set<QString> folders{outputFolder_};
    for (const PageRequest& request : requests_) {
        if (request.sFichier.isEmpty())
            folders.insert(ExtraireDossier(request.sNomSortie));
    }
    for (const QString& folder : folders)
        removeStaleTemporaryFiles(folder);
    const int threads = std::max(setup.threads, 1);
    shareOneMemoryArena();
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
            prepare(page, index, generation);
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
            const QString folder = slot->folder;
            const JpegSettings settings = jpeg_;
            lock.unlock();
            EncodedPiece encoded = encode(picture, folder, settings);
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

void CutPipeline::holdWhilePaused() const {
    while (pause_ && !cancelled_)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

void CutPipeline::prepare(const std::shared_ptr<PreparedPage>& page, std::size_t index,
                          quint64 generation) {
    PreparedPage& prepared = *page;
    prepared.report = std::make_unique<RecordedPageReport>(
        pause_, [this, generation] { return cancelled_ || generation_ != generation; },
        [this, &prepared, generation](const QImage& picture, const QString& bitmapPath) {
            addPiece(prepared, generation, picture, ExtraireDossier(bitmapPath), true);
        });
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
        prepared.cuts =
            preparePage(prepared.request, prepared.options, footer, grid, *prepared.report);
        for (const CutPiece& cut : prepared.cuts.decisions.pieces) {
            QImage picture;
            try {
                picture = piecePicture(grid, prepared.cuts.page, cut, prepared.cuts.W);
            } catch (...) {
                prepared.pieceFailure = std::current_exception();
                break;
            }
            addPiece(prepared, generation, picture, outputFolder_, false);
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
                           const QString& folder, bool captured) {
    {
        const std::lock_guard lock(mutex_);
        if (generation != generation_ || cancelled_)
            throw PreparationAbandoned{};
        PieceSlot& slot = captured ? page.captured.emplace() : page.pieces.emplace_back();
        slot.picture = picture;
        slot.folder = folder;
    }
    changed_.notify_all();
}

EncodedPiece CutPipeline::encode(const QImage& picture, const QString& folder,
                                 const JpegSettings& settings) {
    holdWhilePaused();
    EncodedPiece encoded;
    encoded.settings = settings;
    if (cancelled_)
        return encoded;
    try {
        const QByteArray bytes = encodeJpeg(picture, settings);
        if (const int error = writeTemporaryFile(folder, bytes.constData(),
                                                 std::size_t(bytes.size()), encoded.temporary))
            raiseFileError(error);
    } catch (...) {
        encoded.error = std::current_exception();
    }
    return encoded;
}

PreparedPage& CutPipeline::page(std::size_t index, const PageOptions& options, qint32 footerRow) {
    std::unique_lock lock(mutex_);
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
    const auto drop = [](PieceSlot& slot) {
        if (slot.state == PieceSlot::State::Encoded && !slot.encoded.temporary.isEmpty())
            QFile::remove(slot.encoded.temporary);
        slot.state = PieceSlot::State::Dropped;
        slot.picture = QImage();
    };
    if (page.captured)
        drop(*page.captured);
    for (PieceSlot& slot : page.pieces)
        drop(slot);
}

EncodedPiece CutPipeline::takeEncoded(PieceSlot& slot) {
    std::unique_lock lock(mutex_);
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
