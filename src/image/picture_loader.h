#pragma once

#include <QImage>
#include <QString>

namespace vantola {

// Pictures whose header announces more pixels than this are refused before decoding.
inline constexpr qint64 kDefaultMaxPicturePixels = 300'000'000;

// Decodes a picture file (BMP, JPEG, GIF, PNG...) with Qt's readers. A file that cannot be
// decoded, or whose header announces more than maxPixels pixels, raises the invalid-picture
// error (481): a hostile header never makes the program run out of memory.
QImage loadPicture(const QString& path, qint64 maxPixels = kDefaultMaxPicturePixels);

} // namespace vantola
