#include "app/terminal_job_host.h"

#include <algorithm>
#include <unistd.h>

namespace vantola {

namespace {

constexpr int kBarWidth = 30;
constexpr int kLineWidth = 100;

int clampPercent(int value) {
    return std::clamp(value, 0, 100);
}

} // namespace

TerminalJobHost::TerminalJobHost(std::FILE* stream, bool quiet)
    : stream_(stream), enabled_(!quiet && isatty(fileno(stream))) {}

TerminalJobHost::~TerminalJobHost() {
    finishLine();
}

void TerminalJobHost::jobProgress(int value, const QString& text) {
    jobValue_ = value;
    if (!text.isEmpty())
        jobText_ = text;
    redraw();
}

void TerminalJobHost::pageProgress(int value, const QString& text) {
    Q_UNUSED(text);
    pageValue_ = value;
    redraw();
}

void TerminalJobHost::showMessage(const QString& title, const QString& text) {
    finishLine();
    std::fprintf(stream_, "%s: %s\n", title.toLocal8Bit().constData(),
                 text.toLocal8Bit().constData());
}

QImage TerminalJobHost::clipboardPicture() {
    return clipboardReader_ ? clipboardReader_() : QImage();
}

void TerminalJobHost::redraw() {
    if (!enabled_)
        return;
    const int job = clampPercent(jobValue_);
    const int filled = job * kBarWidth / 100;
    QString line = QStringLiteral("[%1%2] %3%  page %4%  %5")
                       .arg(QString(filled, QLatin1Char('#')))
                       .arg(QString(kBarWidth - filled, QLatin1Char(' ')))
                       .arg(job, 3)
                       .arg(clampPercent(pageValue_), 3)
                       .arg(jobText_);
    line.truncate(kLineWidth);
    if (line == lastLine_)
        return;
    lastLine_ = line;
    std::fprintf(stream_, "\r%-*s", kLineWidth, line.toLocal8Bit().constData());
    std::fflush(stream_);
}

void TerminalJobHost::finishLine() {
    if (!enabled_ || lastLine_.isEmpty())
        return;
    std::fprintf(stream_, "\r%*s\r", kLineWidth, "");
    std::fflush(stream_);
    lastLine_.clear();
}

} // namespace vantola
