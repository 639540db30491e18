#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <functional>
#include <memory>

namespace vantola {

class cImage;
namespace jpeg {
class BgrRows;
}

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

// The rows of a picture file that loadPictureBuffer decodes itself without a JPEG decoder (a
// binary PPM or PGM, a plain 8-bit PNG), as the encoder reads them from that buffer: blue,
// green, red bytes, a grey level three times. They are decoded from the file as they are asked
// for, once each from top to bottom, and only those that the reader looks back over are kept
// (see BgrRows::keepRows): the picture is never held whole. Nothing for another picture (which
// loadPictureBuffer reads). Raises as loadPictureBuffer does: here for a refused file or
// header, from the rows for a file cut short or damaged.
std::unique_ptr<jpeg::BgrRows> openPictureRows(const QString& path,
                                               qint64 maxPixels = kDefaultMaxPicturePixels);

} // namespace vantola
