#pragma once

#include "cutting/job_host.h"

#include <QString>
#include <cstdio>
#include <functional>

namespace vantola {

// Shows a job's progress on a terminal as one line that is redrawn in place: the job's bar and
// percentage, the page's percentage and the job bar's label. Draws nothing when quiet or when
// the stream is not a terminal.
class TerminalJobHost : public JobHost {
public:
    TerminalJobHost(std::FILE* stream, bool quiet);
    ~TerminalJobHost() override;

    void jobProgress(int value, const QString& text) override;
    void pageProgress(int value, const QString& text) override;
    void showMessage(const QString& title, const QString& text) override;
    QImage clipboardPicture() override;

    // Where a clipboard page comes from: the clipboard command gives the display's clipboard.
    // Without a reader there is no clipboard, and a clipboard page fails.
    void setClipboardReader(std::function<QImage()> reader) {
        clipboardReader_ = std::move(reader);
    }

    // Clears the progress line so that ordinary output can follow.
    void finishLine();

private:
    void redraw();

    std::FILE* stream_;
    bool enabled_;
    int jobValue_ = 0;
    int pageValue_ = 0;
    QString jobText_;
    QString lastLine_;
    std::function<QImage()> clipboardReader_;
};

} // namespace vantola
