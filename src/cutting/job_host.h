#pragma once

#include <QImage>
#include <QString>

namespace vantola {

// Colours given to the progress bars, as packed R + 256*G + 65536*B values.
inline constexpr quint32 kColourBlue = 16711680;
inline constexpr quint32 kColourBlack = 0;
inline constexpr quint32 kColourRed = 255;

// The one way to stop a running job: the host throws it from yield() (the window is being closed
// or the program quit). The core's handlers catch only the page failures they know (AppError,
// std::bad_alloc), so it unwinds the whole job to whoever started it; a worker that captured it
// hands it on unchanged to the calling thread, and the pieces written ahead are removed on the
// way.
struct JobStopped {};

// Everything a cutting job shows or asks of whoever runs it: the main window implements it with
// widgets, the command line with a terminal progress line. The core never opens a window.
// Every method has a do-nothing default so that a host implements only what it shows.
class JobHost {
public:
    virtual ~JobHost() = default;

    // The job's progress bar (value in percent, label at its left).
    virtual void jobProgress(int value, const QString& text) {
        Q_UNUSED(value);
        Q_UNUSED(text);
    }
    // The current page's progress bar.
    virtual void pageProgress(int value, const QString& text) {
        Q_UNUSED(value);
        Q_UNUSED(text);
    }
    virtual void setPageProgressColour(quint32 colour) { Q_UNUSED(colour); }

    // The page view's frame is shown while a job runs and hidden at its end.
    virtual void setPageFrameVisible(bool visible) { Q_UNUSED(visible); }
    // A page has been loaded and is being cut: path ("" for a clipboard or PDF page), its picture.
    virtual void pageShown(const QString& path, const QImage& page) {
        Q_UNUSED(path);
        Q_UNUSED(page);
    }
    // The main window's caption.
    virtual void setCaption(const QString& caption) { Q_UNUSED(caption); }

    // Lets the user interface breathe (repaint, menus) between rows, columns and pieces. May
    // throw JobStopped.
    virtual void yield() {}
    // True while the user holds the job with the pause switch; the cutter waits between rows.
    virtual bool pauseRequested() { return false; }

    // An information message box.
    virtual void showMessage(const QString& title, const QString& text) {
        Q_UNUSED(title);
        Q_UNUSED(text);
    }

    // The picture on the clipboard, for a clipboard page (a null image when there is none).
    virtual QImage clipboardPicture() { return {}; }
};

} // namespace vantola
