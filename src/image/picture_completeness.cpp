#include "image/picture_completeness.h"

#include <QtEndian>
#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace vantola {

namespace {

// The first bytes of a BMP file (its file header and the start of its info header), zero past
// the end of a shorter file.
using BmpHeader = std::array<uchar, 38>;

BmpHeader bmpHeader(const QByteArray& bytes) {
    BmpHeader header{};
    std::memcpy(header.data(), bytes.constData(),
                std::min(std::size_t(bytes.size()), header.size()));
    return header;
}

quint32 little32(const BmpHeader& header, std::size_t at) {
    return qFromLittleEndian<quint32>(header.data() + at);
}
quint16 little16(const BmpHeader& header, std::size_t at) {
    return qFromLittleEndian<quint16>(header.data() + at);
}

QString cutShort(const char* format, qint64 size, qint64 needed) {
    return QStringLiteral("fichier %1 incomplet (%2 octets sur %3)")
        .arg(QLatin1String(format))
        .arg(size)
        .arg(needed);
}

// The bytes after the colour table of a GIF header or image descriptor whose flags are given.
qsizetype colourTableSize(quint8 flags) {
    return (flags & 0x80) != 0 ? qsizetype(3) << ((flags & 7) + 1) : 0;
}

} // namespace

QString missingBmpData(const QByteArray& bytes) {
    constexpr qsizetype kFileHeader = 14;
    if (bytes.size() < kFileHeader + 16)
        return cutShort("BMP", bytes.size(), kFileHeader + 16);
    const BmpHeader header = bmpHeader(bytes);
    const qint64 pixelOffset = little32(header, 10);
    const quint32 infoSize = little32(header, kFileHeader);
    qint64 width = 0;
    qint64 height = 0;
    qint64 depth = 0;
    quint32 compression = 0;
    qint64 compressedSize = 0;
    if (infoSize == 12) { // the OS/2 header: 16-bit sizes, never compressed
        width = little16(header, 18);
        height = little16(header, 20);
        depth = little16(header, 24);
    } else {
        if (bytes.size() < kFileHeader + 24)
            return cutShort("BMP", bytes.size(), kFileHeader + 24);
        width = qint32(little32(header, 18));
        height = std::abs(qint64(qint32(little32(header, 22)))); // negative: rows top to bottom
        depth = little16(header, 28);
        compression = little32(header, 30);
        compressedSize = little32(header, 34);
    }
    constexpr quint32 kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3, kAlphaBitFields = 6;
    qint64 pixelBytes = 0;
    if (compression == kRgb || compression == kBitFields || compression == kAlphaBitFields) {
        const qint64 rowBytes = (width * depth + 31) / 32 * 4; // rows padded to 4 bytes
        if (__builtin_mul_overflow(rowBytes, height, &pixelBytes))
            pixelBytes = std::numeric_limits<qint64>::max() - pixelOffset;
    } else if (compression == kRle8 || compression == kRle4) {
        pixelBytes = compressedSize;
    }
    const qint64 needed = pixelOffset + pixelBytes;
    if (width <= 0 || pixelBytes <= 0 || bytes.size() >= needed)
        return {};
    return cutShort("BMP", bytes.size(), needed);
}

QString missingGifData(const QByteArray& bytes) {
    const auto at = [&](qsizetype i) { return quint8(bytes.at(i)); };
    constexpr qsizetype kScreenDescriptorEnd = 13;
    if (bytes.size() < kScreenDescriptorEnd)
        return cutShort("GIF", bytes.size(), kScreenDescriptorEnd);
    qsizetype i = kScreenDescriptorEnd + colourTableSize(at(10));
    // Sub-blocks: a length byte, that many bytes, until a length of 0.
    const auto skipSubBlocks = [&] {
        while (i < bytes.size() && at(i) != 0)
            i += 1 + at(i);
        ++i;
    };
    constexpr quint8 kExtension = 0x21, kImage = 0x2C, kTrailer = 0x3B;
    while (i < bytes.size()) {
        const quint8 block = at(i++);
        if (block == kTrailer)
            return {};
        if (block == kExtension) {
            ++i; // the extension's label
            skipSubBlocks();
        } else if (block == kImage) {
            if (i + 9 > bytes.size())
                break;
            i += 9 + colourTableSize(at(i + 8)) + 1; // descriptor, colour table, LZW code size
            skipSubBlocks();
        } else {
            return QStringLiteral("fichier GIF endommagé (bloc inconnu 0x%1 à l'octet %2)")
                .arg(block, 2, 16, QLatin1Char('0'))
                .arg(i - 1);
        }
    }
    return QStringLiteral("fichier GIF incomplet (%1 octets, sans sa fin)").arg(bytes.size());
}

} // namespace vantola
