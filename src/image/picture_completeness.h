#pragma once

#include <QByteArray>
#include <QString>

namespace vantola {

// Qt's BMP and GIF readers decode a file cut short without a word: the rows past the end read as
// black, the frame stops where the data does. These checks read the file's own structure to
// tell whether its picture data is all there. Each returns why it is not (empty when it is, or
// when the file is of a kind it does not know).

// A BMP file: the header's pixel offset, size and depth (or the size of its compressed data)
// give the bytes that the pixels take.
QString missingBmpData(const QByteArray& bytes);

// A GIF file: its blocks, walked from the header, must lead to the trailer.
QString missingGifData(const QByteArray& bytes);

} // namespace vantola
