#pragma once

#include "cutting/job_host.h"
#include "cutting/page_report.h"

#include <atomic>
#include <functional>

namespace vantola {

// Writes a captured page's picture as its JPEG file (or leaves the bitmap and raises).
using CapturedPageWriter =
    std::function<void(const QImage& page, const QString& bitmapPath, const QString& jpegPath)>;

// A page's report as it happens, on the thread that runs the job: progress, yields and pauses go
// to the job's host, the failing step, the footer row and the log's path to the job's own
// variables.
class HostPageReport : public PageReport {
public:
    // pauseFlag, when given, is raised while the host holds the job on its pause switch, so that
    // the threads working ahead hold too.
    HostPageReport(JobHost& host, int& failingStep, qint32& footerRow, QString& logPath,
                   CapturedPageWriter writer, std::atomic<bool>* pauseFlag = nullptr)
        : host_(host), failingStep_(failingStep), footerRow_(footerRow), logPath_(logPath),
          writer_(std::move(writer)), pauseFlag_(pauseFlag) {}

    void step(int step) override { failingStep_ = step; }
    void progress(int value) override { host_.pageProgress(value, QString()); }
    void service() override { host_.yield(); }
    void holdWhilePaused() override;
    void shown(const QString& path, const QImage& page) override { host_.pageShown(path, page); }
    void footerRow(qint32 row) override { footerRow_ = row; }
    void logFile(const QString& path) override { logPath_ = path; }
    void captured(const QImage& page, const QString& bitmapPath, const QString& jpegPath) override {
        writer_(page, bitmapPath, jpegPath);
    }

private:
    JobHost& host_;
    int& failingStep_;
    qint32& footerRow_;
    QString& logPath_;
    CapturedPageWriter writer_;
    std::atomic<bool>* pauseFlag_;
};

} // namespace vantola
