#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <functional>

namespace vantola {

// A picture file decoded at the size it is shown at, for the review window's page and
// thumbnails: only the shown pixels are kept, so large pages and pieces stay cheap to show.
struct PicturePreview {
    QImage image;      // null when the picture could not be shown
    QSize naturalSize; // the picture's own size in pixels, when its header could be read
    QString problem;   // why the picture is not shown ("" when it is)

    bool shown() const { return !image.isNull(); }
};

// Reads the picture's size, asks `shownSize` for the size to show it at (given the natural
// size), and decodes it to that size, stretched. A missing file is not opened; a file that
// cannot be decoded, an empty picture, or a header announcing more pixels than the program
// accepts gives a null image and the reason in `problem`.
PicturePreview loadPreview(const QString& path, const std::function<QSize(QSize)>& shownSize);

} // namespace vantola
