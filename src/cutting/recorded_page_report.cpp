#include "cutting/recorded_page_report.h"

namespace vantola {

RecordedPageReport::RecordedPageReport(
    std::function<void()> hold, std::function<bool()> abandoned,
    std::function<void(const QImage& page, const QString& bitmapPath)> onCaptured)
    : hold_(std::move(hold)), abandoned_(std::move(abandoned)), onCaptured_(std::move(onCaptured)) {
    // A page of a few thousand rows makes some tens of thousands of calls.
    events_.reserve(16384);
}

void RecordedPageReport::checkAbandoned() const {
    if (abandoned_())
        throw PreparationAbandoned{};
}

void RecordedPageReport::step(int step) {
    currentStep_ = step;
    events_.push_back({Kind::Step, step});
}

void RecordedPageReport::progress(int value) {
    checkAbandoned();
    events_.push_back({Kind::Progress, value});
}

void RecordedPageReport::service() {
    events_.push_back({Kind::Service, 0});
}

void RecordedPageReport::holdWhilePaused() {
    events_.push_back({Kind::Hold, 0});
    hold_();
    checkAbandoned();
}

void RecordedPageReport::shown(const QString& path, const QImage& page) {
    events_.push_back({Kind::Shown, 0});
    shownPath_ = path;
    shownPage_ = page;
}

void RecordedPageReport::footerRow(qint32 row) {
    events_.push_back({Kind::FooterRow, row});
}

void RecordedPageReport::logFile(const QString& path) {
    events_.push_back({Kind::LogFile, 0});
    logPath_ = path;
}

void RecordedPageReport::captured(const QImage& page, const QString& bitmapPath,
                                  const QString& jpegPath) {
    events_.push_back({Kind::Captured, 0});
    capturedPage_ = page;
    capturedBitmap_ = bitmapPath;
    capturedJpeg_ = jpegPath;
    onCaptured_(page, bitmapPath);
}

void RecordedPageReport::replay(PageReport& target) const {
    for (const Event& event : events_) {
        switch (event.kind) {
        case Kind::Step:
            target.step(event.value);
            break;
        case Kind::Progress:
            target.progress(event.value);
            break;
        case Kind::Service:
            target.service();
            break;
        case Kind::Hold:
            target.holdWhilePaused();
            break;
        case Kind::Shown:
            target.shown(shownPath_, shownPage_);
            break;
        case Kind::FooterRow:
            target.footerRow(event.value);
            break;
        case Kind::LogFile:
            target.logFile(logPath_);
            break;
        case Kind::Captured:
            target.captured(capturedPage_, capturedBitmap_, capturedJpeg_);
            break;
        }
    }
}

} // namespace vantola
