#pragma once

#include "cutting/job_host.h"

#include <functional>
#include <utility>

class QAction;
class QLabel;
class QWidget;

namespace vantola {

class PageViewer;
class Pgb2Panel;

// The main window's side of a cutting job: the two status-bar progress bars, the window's
// caption, the page view, the pause switch (the check mark of "&Pause") and message boxes. The
// job runs on the interface thread; yield() lets the event loop run between rows, and sleeps in
// it while the pause is on, and throws JobStopped once the window has asked the job to stop.
class WindowJobHost : public JobHost {
public:
    struct Targets {
        QWidget* window = nullptr;
        Pgb2Panel* jobBar = nullptr;  // pgbTraitement
        Pgb2Panel* pageBar = nullptr; // pgbPage
        PageViewer* viewer = nullptr;
        QAction* pause = nullptr; // mnu_pause
        std::function<void(const QString& title, const QString& text)> showMessage;
        QLabel* pauseLabel = nullptr; // shown in the status bar while the pause is on
    };

    WindowJobHost() = default;
    explicit WindowJobHost(Targets targets);
    // The window creates its job before the widgets that show it.
    void setTargets(Targets targets) { targets_ = std::move(targets); }

    void jobProgress(int value, const QString& text) override;
    void pageProgress(int value, const QString& text) override;
    void setPageProgressColour(quint32 colour) override;
    void setPageFrameVisible(bool visible) override;
    void pageShown(const QString& path, const QImage& page) override;
    void setCaption(const QString& caption) override;
    void yield() override;
    bool pauseRequested() override;
    void showMessage(const QString& title, const QString& text) override;
    QImage clipboardPicture() override;

    // Shows whether the pause is on: the caption ends with " (en pause)" and the status bar
    // says so, until the pause is released. The caption set by the job stays underneath.
    void showPauseState();

    // Asks the running job to stop at its next yield (and releases the pause).
    void requestStop() { stopRequested_ = true; }
    bool stopRequested() const { return stopRequested_; }
    void clearStop() { stopRequested_ = false; }

private:
    Targets targets_;
    QString caption_; // the caption without the pause mark
    bool stopRequested_ = false;
};

} // namespace vantola
