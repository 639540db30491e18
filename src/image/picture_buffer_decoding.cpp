// Binary PPM/PGM headers and plain PNG files decoded into a picture buffer without going through
// a QImage: the loader reads the pixels of a PPM into the buffer's rows itself, and libpng (the
// library behind Qt's PNG reader) writes a PNG's rows there in the buffer's byte order.
#include "image/picture_buffer_decoding.h"

#include "settings/app_error.h"

#include <algorithm>
#include <bit>
#include <cctype>
#include <csetjmp>
#include <cstring>
#include <png.h>

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
    QByteArray bytes;
    MoreBytes more;
    qsizetype position = 8; // past the signature, checked before reading
};

void readPngBytes(png_structp png, png_bytep out, png_size_t length) {
    auto* source = static_cast<PngSource*>(png_get_io_ptr(png));
    const std::size_t fromHead =
        std::min(length, std::size_t(source->bytes.size() - source->position));
    std::memcpy(out, source->bytes.constData() + source->position, fromHead);
    source->position += qsizetype(fromHead);
    const auto rest = qint64(length - fromHead);
    if (rest > 0 &&
        (!source->more || source->more(reinterpret_cast<char*>(out + fromHead), rest) != rest))
        png_error(png, "Read Error");
}

[[noreturn]] void stopPng(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

void ignorePngWarning(png_structp, png_const_charp) {}

enum class PngOutcome { Decoded, Other, Damaged };

} // namespace

// Everything libpng touches lives here, so that nothing is left to a jump.
struct PngRowDecoder::State {
    PngSource source;
    png_structp png = nullptr;
    png_infop info = nullptr;
    png_infop endInfo = nullptr;
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    png_uint_32 rowsRead = 0;
    bool colour = false;
    ~State() {
        if (png != nullptr)
            png_destroy_read_struct(&png, &info, &endInfo);
    }
};

namespace {

// Only plain values live in the frames of these two functions, so a jump back into them skips no
// destructor.
PngOutcome runPngHeader(PngRowDecoder::State& d) {
    if (setjmp(png_jmpbuf(d.png)) != 0)
        return PngOutcome::Damaged;
    png_set_read_fn(d.png, &d.source, readPngBytes);
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
    d.width = png_get_image_width(d.png, d.info);
    d.height = png_get_image_height(d.png, d.info);
    if (d.width > 0x7FFFFFFFu || d.height > 0x7FFFFFFFu)
        return PngOutcome::Other;
    d.colour = colourType == PNG_COLOR_TYPE_RGB;
    if (d.colour)
        png_set_bgr(d.png);
    png_read_update_info(d.png, d.info);
    return PngOutcome::Decoded;
}

bool runPngRow(PngRowDecoder::State& d, png_bytep out) {
    if (setjmp(png_jmpbuf(d.png)) != 0)
        return false;
    png_read_row(d.png, out, nullptr);
    if (++d.rowsRead == d.height)
        png_read_end(d.png, d.endInfo);
    return true;
}

} // namespace

PngRowDecoder::PngRowDecoder(QByteArray bytes, MoreBytes more)
    : state_(std::make_unique<State>(State{{std::move(bytes), std::move(more)}})) {}

PngRowDecoder::~PngRowDecoder() = default;

bool PngRowDecoder::start(const std::function<void(QSize)>& beforeDecoding) {
    State& d = *state_;
    const auto* data = reinterpret_cast<const png_byte*>(d.source.bytes.constData());
    if (d.source.bytes.size() < 8 || png_sig_cmp(data, 0, 8) != 0)
        return false;
    d.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, stopPng, ignorePngWarning);
    if (d.png == nullptr)
        raiseError(kErrOutOfMemory);
    d.info = png_create_info_struct(d.png);
    d.endInfo = png_create_info_struct(d.png);
    if (d.info == nullptr || d.endInfo == nullptr)
        raiseError(kErrOutOfMemory);
    const PngOutcome outcome = runPngHeader(d);
    if (outcome == PngOutcome::Damaged)
        raiseError(kErrInvalidPicture);
    if (outcome == PngOutcome::Other)
        return false;
    if (beforeDecoding)
        beforeDecoding(size());
    return true;
}

QSize PngRowDecoder::size() const {
    return QSize(int(state_->width), int(state_->height));
}

bool PngRowDecoder::colour() const {
    return state_->colour;
}

void PngRowDecoder::readRow(quint8* out) {
    if (state_->rowsRead >= state_->height || !runPngRow(*state_, out))
        raiseError(kErrInvalidPicture);
}

} // namespace vantola
