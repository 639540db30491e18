#pragma once

// Decoding the two plain layouts of PPM/PGM and PNG files row by row, with the pixels that Qt's
// readers followed by cImage::CopyStdPicture give. Anything else is left to Qt's readers: these
// functions say so instead of decoding.

#include <QByteArray>
#include <QSize>
#include <functional>
#include <memory>
#include <optional>

namespace vantola {

// The header of a binary PPM (P6) or PGM (P5) file with a maximum of 255: whitespace between
// the fields, no comment, one whitespace byte before the pixels. Sizes that Qt's reader refuses
// (above 32767) and every other header give nothing.
struct PnmHeader {
    bool colour = true; // P6: red, green, blue bytes; P5: grey bytes
    qint32 width = 0;
    qint32 height = 0;
    qsizetype pixelOffset = 0; // where the pixel bytes start
};
std::optional<PnmHeader> plainPnmHeader(const char* bytes, qsizetype size);

// Turns a row of red, green, blue bytes into blue, green, red ones, in place.
void swapRedAndBlue(quint8* row, qint32 width);

// Reads the file's next `length` bytes into out; the count read (fewer at its end), -1 on error.
using MoreBytes = std::function<qint64(char* out, qint64 length)>;

// A non-interlaced 8-bit RGB or grey PNG without transparency, decoded row by row, top to
// bottom. The file's bytes are `bytes`, then what `more` reads (none when it is empty).
class PngRowDecoder {
public:
    PngRowDecoder(QByteArray bytes, MoreBytes more);
    ~PngRowDecoder();
    PngRowDecoder(const PngRowDecoder&) = delete;
    PngRowDecoder& operator=(const PngRowDecoder&) = delete;

    // Reads the header: false (nothing decoded) for another PNG or for no PNG; a damaged one
    // raises the invalid-picture error (481). beforeDecoding sees the size.
    bool start(const std::function<void(QSize)>& beforeDecoding);
    QSize size() const;
    bool colour() const; // blue, green, red bytes, else grey ones
    // Decodes the next row into `out`; after the last one, reads the chunks that follow the
    // pixels (Qt's reader fails on a file cut short there). A file that the decoder finds
    // damaged or cut short raises the invalid-picture error (481).
    void readRow(quint8* out);

    struct State; // libpng's structures and the reading's progress

private:
    std::unique_ptr<State> state_;
};

} // namespace vantola
