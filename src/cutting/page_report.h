#pragma once

#include <QImage>
#include <QString>

namespace vantola {

// What the preparation of a page (loading it, reading its rows into the grid, deciding its cuts)
// reports as it goes, in order. On the calling thread the report goes straight to the job's host;
// on a worker thread it is recorded and replayed later on the calling thread, so that the host
// sees the same calls in the same order either way.
class PageReport {
public:
    virtual ~PageReport() = default;

    // The page's failing step from now on (the number after "Ligne " if the page fails).
    virtual void step(int step) = 0;
    // The page's progress bar, with the empty text.
    virtual void progress(int value) = 0;
    // Lets the user interface breathe.
    virtual void service() = 0;
    // Between two rows: holds while the pause switch is on.
    virtual void holdWhilePaused() = 0;
    // The page has been loaded: its path ("" for a captured page) and picture.
    virtual void shown(const QString& path, const QImage& page) = 0;
    // The job's footer row (lLignePied) takes this value.
    virtual void footerRow(qint32 row) = 0;
    // A captured page writes its log into its own folder from here on.
    virtual void logFile(const QString& path) = 0;
    // A captured page is kept as a JPEG file beside its log (left as the bitmap and raised when
    // it cannot be encoded).
    virtual void captured(const QImage& page, const QString& bitmapPath,
                          const QString& jpegPath) = 0;
};

} // namespace vantola
