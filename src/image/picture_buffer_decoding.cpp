// Binary PPM/PGM headers and plain PNG files decoded into a picture buffer without going through
// a QImage: the loader reads the pixels of a PPM into the buffer's rows itself, and libpng (the
// library behind Qt's PNG reader) writes a PNG's rows there in the buffer's byte order.
#include "image/picture_buffer_decoding.h"

#include "image/cimage.h"
#include "settings/app_error.h"

#include <algorithm>
#include <bit>
#include <cctype>
#include <csetjmp>
#include <cstring>
#include <png.h>
#include <vector>

namespace vantola {

namespace {

bool isSpace(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

// A decimal field after optional whitespace; position moves past its digits.
std::optional<qint64> field(const char* bytes, qsizetype size, qsizetype& position) {
    while (position < size && isSpace(bytes[position]))
        ++position;
    const qsizetype start = position;
    qint64 value = 0;
    while (position < size && bytes[position] >= '0' && bytes[position] <= '9' &&
           position - start < 9)
        value = value * 10 + (bytes[position++] - '0');
    if (position == start || position >= size || !isSpace(bytes[position]))
        return std::nullopt;
    return value;
}

} // namespace

std::optional<PnmHeader> plainPnmHeader(const char* bytes, qsizetype size) {
    if (size < 3 || bytes[0] != 'P' || (bytes[1] != '5' && bytes[1] != '6') || !isSpace(bytes[2]))
        return std::nullopt;
    qsizetype position = 2;
    const auto width = field(bytes, size, position);
    const auto height = width ? field(bytes, size, position) : std::nullopt;
    const auto maximum = height ? field(bytes, size, position) : std::nullopt;
    if (!maximum || *maximum != 255 || *width <= 0 || *width > 32767 || *height <= 0 ||
        *height > 32767)
        return std::nullopt;
    return PnmHeader{bytes[1] == '6', qint32(*width), qint32(*height), position + 1};
}

void swapRedAndBlue(quint8* row, qint32 width) {
    qint32 x = 0;
    if constexpr (std::endian::native == std::endian::little) {
        // Four pixels as three words: R0 G0 B0 R1 | G1 B1 R2 G2 | B2 R3 G3 B3.
        for (; x + 4 <= width; x += 4, row += 12) {
            quint32 a, b, c;
            std::memcpy(&a, row, 4);
            std::memcpy(&b, row + 4, 4);
            std::memcpy(&c, row + 8, 4);
            const quint32 outA = ((a >> 16) & 0xFFu) | (a & 0xFF00u) | ((a & 0xFFu) << 16) |
                                 (((b >> 8) & 0xFFu) << 24);
            const quint32 outB =
                (b & 0xFFu) | ((a >> 24) << 8) | ((c & 0xFFu) << 16) | (b & 0xFF000000u);
            const quint32 outC = ((b >> 16) & 0xFFu) | ((c >> 24) << 8) | (c & 0xFF0000u) |
                                 (((c >> 8) & 0xFFu) << 24);
            std::memcpy(row, &outA, 4);
            std::memcpy(row + 4, &outB, 4);
            std::memcpy(row + 8, &outC, 4);
        }
    }
    for (; x < width; ++x, row += 3)
        std::swap(row[0], row[2]);
}

namespace {

struct PngSource {
    const png_byte* bytes;
    std::size_t size;
    const MoreBytes& more;
    std::size_t position = 8; // past the signature, checked before reading
};

void readPngBytes(png_structp png, png_bytep out, png_size_t length) {
    auto* source = static_cast<PngSource*>(png_get_io_ptr(png));
    const std::size_t fromHead = std::min(length, source->size - source->position);
    std::memcpy(out, source->bytes + source->position, fromHead);
    source->position += fromHead;
    const auto rest = qint64(length - fromHead);
    if (rest > 0 &&
        (!source->more || source->more(reinterpret_cast<char*>(out + fromHead), rest) != rest))
        png_error(png, "Read Error");
}

[[noreturn]] void stopPng(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

void ignorePngWarning(png_structp, png_const_charp) {}

// Everything libpng touches lives here, so that nothing is left to a jump.
struct PngDecoding {
    png_structp png = nullptr;
    png_infop info = nullptr;
    png_infop endInfo = nullptr;
    std::vector<png_bytep> rows;
    ~PngDecoding() {
        if (png != nullptr)
            png_destroy_read_struct(&png, &info, &endInfo);
    }
};

enum class PngOutcome { Decoded, Other, Damaged };

// Only plain values live in this frame, so a jump back into it skips no destructor.
PngOutcome runPngDecoder(PngDecoding& d, PngSource& source, cImage& buffer,
                         const std::function<void(QSize)>& beforeDecoding) {
    if (setjmp(png_jmpbuf(d.png)) != 0)
        return PngOutcome::Damaged;
    png_set_read_fn(d.png, &source, readPngBytes);
    png_set_sig_bytes(d.png, 8);
#if defined(PNG_SET_OPTION_SUPPORTED) && defined(PNG_MAXIMUM_INFLATE_WINDOW)
    // As Qt's reader does, for files written with a wrong window size.
    png_set_option(d.png, PNG_MAXIMUM_INFLATE_WINDOW, PNG_OPTION_ON);
#endif
    png_read_info(d.png, d.info);
    const int colourType = png_get_color_type(d.png, d.info);
    if (png_get_bit_depth(d.png, d.info) != 8 ||
        (colourType != PNG_COLOR_TYPE_RGB && colourType != PNG_COLOR_TYPE_GRAY) ||
        png_get_interlace_type(d.png, d.info) != PNG_INTERLACE_NONE ||
        png_get_valid(d.png, d.info, PNG_INFO_tRNS) != 0)
        return PngOutcome::Other;
    const png_uint_32 width = png_get_image_width(d.png, d.info);
    const png_uint_32 height = png_get_image_height(d.png, d.info);
    if (width > 0x7FFFFFFFu || height > 0x7FFFFFFFu)
        return PngOutcome::Other;
    if (beforeDecoding)
        beforeDecoding(QSize(int(width), int(height)));
    if (colourType == PNG_COLOR_TYPE_RGB)
        png_set_bgr(d.png);
    png_read_update_info(d.png, d.info);
    if (!buffer.Allocate(qint32(width), qint32(height), colourType == PNG_COLOR_TYPE_RGB ? 24 : 8))
        raiseError(kErrOutOfMemory);
    d.rows.resize(height);
    for (png_uint_32 y = 0; y < height; ++y)
        d.rows[y] = buffer.topDownRow(qint32(y));
    png_read_image(d.png, d.rows.data());
    // Qt's reader reads the chunks after the pixels too, and fails on a file cut short there.
    png_read_end(d.png, d.endInfo);
    return PngOutcome::Decoded;
}

} // namespace

bool decodePngInto(const QByteArray& bytes, const MoreBytes& more, cImage& buffer,
                   const std::function<void(QSize)>& beforeDecoding) {
    const auto* data = reinterpret_cast<const png_byte*>(bytes.constData());
    if (bytes.size() < 8 || png_sig_cmp(data, 0, 8) != 0)
        return false;
    PngDecoding d;
    d.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, stopPng, ignorePngWarning);
    if (d.png == nullptr)
        raiseError(kErrOutOfMemory);
    d.info = png_create_info_struct(d.png);
    d.endInfo = png_create_info_struct(d.png);
    if (d.info == nullptr || d.endInfo == nullptr)
        raiseError(kErrOutOfMemory);
    PngSource source{data, std::size_t(bytes.size()), more};
    const PngOutcome outcome = runPngDecoder(d, source, buffer, beforeDecoding);
    if (outcome == PngOutcome::Damaged)
        raiseError(kErrInvalidPicture);
    return outcome == PngOutcome::Decoded;
}

} // namespace vantola
