#include "app/window_job_host.h"

#include "app/page_viewer.h"
#include "app/progress_panel.h"

#include <QAction>
#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QWidget>
#include <algorithm>

namespace vantola {

namespace {

qint16 percentValue(int value) {
    return qint16(std::clamp(value, -32768, 32767));
}

} // namespace

WindowJobHost::WindowJobHost(Targets targets) : targets_(std::move(targets)) {}

void WindowJobHost::jobProgress(int value, const QString& text) {
    targets_.jobBar->DrawPanel(percentValue(value), text);
}

void WindowJobHost::pageProgress(int value, const QString& text) {
    targets_.pageBar->DrawPanel(percentValue(value), text);
}

void WindowJobHost::setPageProgressColour(quint32 colour) {
    targets_.pageBar->setProgressColor(colourFromPacked(colour));
}

void WindowJobHost::setPageFrameVisible(bool visible) {
    // The job starts with the vertical bar hidden; the pages it shows bring it back when they
    // need it.
    if (visible)
        targets_.viewer->hideVerticalScrollBar();
    targets_.viewer->setFrameVisible(visible);
}

void WindowJobHost::pageShown(const QString& path, const QImage& page) {
    targets_.viewer->showJobPage(path, page);
}

void WindowJobHost::setCaption(const QString& caption) {
    caption_ = caption;
    showPauseState();
}

void WindowJobHost::showPauseState() {
    const bool paused = targets_.pause->isChecked();
    targets_.window->setWindowTitle(
        paused ? caption_ + QCoreApplication::translate("vantola::WindowJobHost", " (en pause)")
               : caption_);
    if (targets_.pauseLabel)
        targets_.pauseLabel->setVisible(paused);
}

void WindowJobHost::yield() {
    if (stopRequested_)
        throw JobStopped{};
    // While the pause is on, wait for the next event (the click that releases it) instead of
    // spinning.
    const bool paused = targets_.pause->isChecked();
    QCoreApplication::processEvents(paused ? QEventLoop::WaitForMoreEvents : QEventLoop::AllEvents);
    if (stopRequested_)
        throw JobStopped{};
}

bool WindowJobHost::pauseRequested() {
    return !stopRequested_ && targets_.pause->isChecked();
}

void WindowJobHost::showMessage(const QString& title, const QString& text) {
    targets_.showMessage(title, text);
}

QImage WindowJobHost::clipboardPicture() {
    return QGuiApplication::clipboard()->image();
}

} // namespace vantola
