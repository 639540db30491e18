#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <functional>

namespace vantola {

class cImage;

// Decodes a JPEG file held in memory with libjpeg, the library that Qt's own JPEG reader uses,
// into the picture Qt would give: grey pages as Format_Grayscale8, colour pages as
// Format_RGB32, the same pixels. beforeDecoding sees the size that the header announces before
// any pixel is allocated, and may raise to refuse it.
//
// Unlike Qt's reader, which pads a damaged or cut-short scan with grey and only prints a warning,
// the decoding stops at the decoder's first warning about the data: such a file raises the
// invalid-picture error (481) with the decoder's own words. Bytes after the end of the picture
// are no damage. A picture of another colour model (CMYK) is checked the same way and then
// returned null, for Qt's reader to decode.
QImage decodeJpeg(const QByteArray& bytes, const std::function<void(QSize)>& beforeDecoding);

// decodeJpeg straight into a picture buffer: grey pages at 8 bits on the grey ramp, colour pages
// at 24 bits, the pixels that cImage::CopyStdPicture would copy from decodeJpeg's picture. False
// (the buffer empty) for a picture of another colour model; raises as decodeJpeg does.
bool decodeJpegInto(const QByteArray& bytes, cImage& buffer,
                    const std::function<void(QSize)>& beforeDecoding);

// The description of a picture file that is damaged or cut short, with the words saying why.
QString damagedPictureDescription(const QString& words);

} // namespace vantola
