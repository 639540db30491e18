#pragma once

#include "cutting/page_preparation.h"

#include <QImage>
#include <QString>
#include <functional>
#include <vector>

namespace vantola {

// Thrown inside a page's preparation on a worker thread when its work is no longer wanted (the
// job stops, or the page must be prepared again with other settings).
struct PreparationAbandoned {};

// A page's report recorded on a worker thread, to be replayed in order on the calling thread.
class RecordedPageReport : public PageReport {
public:
    // hold: holds the worker between rows while the calling thread holds the job on its pause
    // switch. abandoned: true when the preparation is to stop (checked at every progress step
    // and pause). onCaptured: told of a captured page as soon as it is taken, so that its JPEG
    // file can be written ahead.
    RecordedPageReport(
        std::function<void()> hold, std::function<bool()> abandoned,
        std::function<void(const QImage& page, const QString& bitmapPath)> onCaptured);

    void step(int step) override;
    void progress(int value) override;
    void service() override;
    void holdWhilePaused() override;
    void shown(const QString& path, const QImage& page) override;
    void footerRow(qint32 row) override;
    void logFile(const QString& path) override;
    void captured(const QImage& page, const QString& bitmapPath, const QString& jpegPath) override;

    // The failing step at the point reached.
    int currentStep() const { return currentStep_; }

    // Makes the recorded calls again, in order, on target.
    void replay(PageReport& target) const;

private:
    enum class Kind : quint8 { Step, Progress, Service, Hold, Shown, FooterRow, LogFile, Captured };
    struct Event {
        Kind kind;
        int value;
    };
    void checkAbandoned() const;

    std::function<void()> hold_;
    std::function<bool()> abandoned_;
    std::function<void(const QImage&, const QString&)> onCaptured_;
    std::vector<Event> events_;
    int currentStep_ = 0;
    // A page is shown once, and a captured page taken once: their arguments are kept aside.
    QString shownPath_;
    QImage shownPage_;
    QString logPath_;
    QImage capturedPage_;
    QString capturedBitmap_;
    QString capturedJpeg_;
};

} // namespace vantola
