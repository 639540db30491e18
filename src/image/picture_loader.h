#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <functional>

namespace vantola {

class cImage;

// Pictures whose header announces more pixels than this are refused before decoding.
inline constexpr qint64 kDefaultMaxPicturePixels = 300'000'000;

// Decodes a picture file (BMP, JPEG, GIF, PNG...): JPEG files with libjpeg, the others with Qt's
// readers. Raises the invalid-picture error (481) for a file that cannot be decoded, that is no
// regular file (a pipe or a device is never read), whose header announces more than maxPixels
// pixels (a hostile header never makes the program run out of memory), or whose data the decoder
// finds damaged or cut short (with the decoder's words). beforeDecoding sees the announced size
// before the pixels are allocated, and may raise to refuse it or wait.
QImage loadPicture(const QString& path, qint64 maxPixels = kDefaultMaxPicturePixels,
                   const std::function<void(QSize)>& beforeDecoding = {});

// loadPicture into a picture buffer, with the pixels that cImage::CopyStdPicture copies from
// loadPicture's picture (at the picture's own depth). JPEG files, binary PPM and PGM files and
// plain 8-bit PNG files are decoded straight into the buffer, the others through a QImage.
// Raises as loadPicture does, and the out-of-memory error when the buffer cannot be had.
void loadPictureBuffer(const QString& path, cImage& buffer,
                       qint64 maxPixels = kDefaultMaxPicturePixels,
                       const std::function<void(QSize)>& beforeDecoding = {});

} // namespace vantola
