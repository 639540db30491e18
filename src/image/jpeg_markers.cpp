// The writers of the marker segments that frame the coded scans.
#include "image/jpeg_markers.h"

#include "settings/app_error.h"
#include "settings/ini_text_codec.h"

namespace vantola::jpeg {

namespace {

void writeMarker(JpegOutputBuffer& out, std::uint8_t code) {
    out.putByte(0xFF);
    out.putByte(code);
}

// Writes the marker and a placeholder length; returns where the length goes.
std::size_t beginSegment(JpegOutputBuffer& out, std::uint8_t code) {
    writeMarker(out, code);
    const std::size_t lengthAt = out.position();
    out.putWord(0);
    return lengthAt;
}

void endSegment(JpegOutputBuffer& out, std::size_t lengthAt) {
    out.patchWord(lengthAt, static_cast<std::uint16_t>(out.position() - lengthAt));
}

// Text in the Windows-1252 code page, one byte per character; the overflow error for a
// character that has no code there.
QByteArray toWindows1252(const QString& text) {
    QByteArray bytes = encodeWindows1252(text);
    if (decodeWindows1252(bytes) != text)
        raiseError(kErrOverflow); // a character the code page cannot hold
    return bytes;
}

} // namespace

void writeStartOfImage(JpegOutputBuffer& out) {
    writeMarker(out, 0xD8);
}

void writeEndOfImage(JpegOutputBuffer& out) {
    writeMarker(out, 0xD9);
}

void writeJfifHeader(JpegOutputBuffer& out) {
    static constexpr std::uint8_t kApp0[18] = {0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F', 0,
                                               1,    1,    0, 0,  1,   0,   1,   0,   0};
    out.putBytes(kApp0, sizeof kApp0);
}

void writeComment(JpegOutputBuffer& out, const QString& text) {
    if (text.isEmpty())
        return;
    const QByteArray bytes = toWindows1252(text);
    writeMarker(out, 0xFE);
    out.putWord(static_cast<std::uint16_t>(2 + bytes.size()));
    out.putBytes(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                 static_cast<std::size_t>(bytes.size()));
}

void writeQuantTable(JpegOutputBuffer& out, int tq, const QuantTable& table) {
    // The quality scaling keeps every value within 1 ... 255, one byte each.
    const std::size_t lengthAt = beginSegment(out, 0xDB);
    out.putByte(static_cast<std::uint8_t>(tq));
    for (const std::uint16_t value : table.Qk)
        out.putByte(static_cast<std::uint8_t>(value));
    endSegment(out, lengthAt);
}

void writeFrameHeader(JpegOutputBuffer& out, std::int64_t height, std::int64_t width,
                      const std::vector<FrameComponent>& components) {
    constexpr std::uint8_t kSamplePrecision = 8;
    if (height > 65535 || width > 65535)
        raiseError(kErrOverflow);
    const std::size_t lengthAt = beginSegment(out, 0xC0);
    out.putByte(kSamplePrecision);
    out.putWord(static_cast<std::uint16_t>(height));
    out.putWord(static_cast<std::uint16_t>(width));
    out.putByte(static_cast<std::uint8_t>(components.size()));
    for (const FrameComponent& component : components) {
        out.putByte(static_cast<std::uint8_t>(component.C));
        out.putByte(static_cast<std::uint8_t>(16 * component.H + component.V));
        out.putByte(static_cast<std::uint8_t>(component.Tq));
    }
    endSegment(out, lengthAt);
}

void writeHuffmanTable(JpegOutputBuffer& out, int tableClass, int th, const HuffmanTable& table) {
    const std::size_t lengthAt = beginSegment(out, 0xC4);
    out.putByte(static_cast<std::uint8_t>(16 * tableClass + th));
    out.putBytes(table.BITS.data(), table.BITS.size());
    out.putBytes(table.HUFFVAL.data(), static_cast<std::size_t>(table.symbolCount()));
    endSegment(out, lengthAt);
}

void writeScanHeader(JpegOutputBuffer& out, const std::vector<ScanComponent>& components) {
    const std::size_t lengthAt = beginSegment(out, 0xDA);
    out.putByte(static_cast<std::uint8_t>(components.size()));
    for (const ScanComponent& component : components) {
        out.putByte(static_cast<std::uint8_t>(component.C));
        out.putByte(static_cast<std::uint8_t>(16 * component.Td + component.Ta));
    }
    out.putByte(0);  // Ss
    out.putByte(63); // Se
    out.putByte(0);  // Ah, Al
    endSegment(out, lengthAt);
}

} // namespace vantola::jpeg
