#pragma once

// Pixel-level helpers shared by the cImage operations: reading and writing one pixel of a row
// at any depth, the colour of a pixel value, grey levels and the nearest colour-table entry.
//
// A "pixel value" is what a pixel stores: the colour-table index at 1, 4 and 8 bits, and the
// colour 0xRRGGBB (the QRgb layout without alpha) at 24 bits.

#include "image/cimage.h"

#include <QRgb>
#include <memory>
#include <vector>

namespace vantola::cimage_pixels {

// The bits of a pixel value at a depth.
constexpr quint32 valueMask(qint16 bitCount) {
    return bitCount == 24 ? 0xFFFFFFu : (1u << bitCount) - 1u;
}

// Number of colour-table entries a buffer of that depth uses (0 at 24 bits).
constexpr int tableSize(qint16 bitCount) {
    return bitCount == 24 ? 0 : 1 << bitCount;
}

// Pixel x of a row; 1-bit pixels fill a byte from its high bit, 4-bit pixels from its high
// nibble, 24-bit pixels are stored blue, green, red.
inline quint32 readPixel(const quint8* row, qint32 x, qint16 bitCount) {
    switch (bitCount) {
    case 1:
        return (row[x >> 3] >> (7 - (x & 7))) & 1u;
    case 4:
        return (x & 1) ? (row[x >> 1] & 0x0Fu) : (row[x >> 1] >> 4);
    case 8:
        return row[x];
    default: {
        const quint8* p = row + 3 * static_cast<size_t>(x);
        return p[0] | (quint32(p[1]) << 8) | (quint32(p[2]) << 16);
    }
    }
}

inline void writePixel(quint8* row, qint32 x, qint16 bitCount, quint32 value) {
    switch (bitCount) {
    case 1: {
        const quint8 bit = quint8(0x80u >> (x & 7));
        row[x >> 3] = (value & 1u) ? (row[x >> 3] | bit) : (row[x >> 3] & ~bit);
        break;
    }
    case 4: {
        quint8& byte = row[x >> 1];
        byte = (x & 1) ? quint8((byte & 0xF0u) | (value & 0x0Fu))
                       : quint8((byte & 0x0Fu) | ((value & 0x0Fu) << 4));
        break;
    }
    case 8:
        row[x] = quint8(value);
        break;
    default: {
        quint8* p = row + 3 * static_cast<size_t>(x);
        p[0] = quint8(value);
        p[1] = quint8(value >> 8);
        p[2] = quint8(value >> 16);
        break;
    }
    }
}

inline QRgb entryColour(const ColourEntry& entry) {
    return qRgb(entry.red, entry.green, entry.blue);
}

inline ColourEntry colourEntry(QRgb colour) {
    return ColourEntry{quint8(qBlue(colour)), quint8(qGreen(colour)), quint8(qRed(colour)), 0};
}

// The colour (opaque QRgb) of a pixel value of a buffer.
inline QRgb colourOf(const cImage& image, quint32 value) {
    if (image.BitCount() == 24) {
        return 0xFF000000u | value;
    }
    return entryColour(image.colourTable()[value & 0xFFu]);
}

// Grey level of a colour: the luma 0.299 R + 0.587 G + 0.114 B rounded to the nearest
// integer (halves to even).
quint8 lumaOf(QRgb colour);

// Index of the grey-ramp entry of a depth nearest to a grey level. The ramp's levels are
// i * 255 / (2^bits - 1), and no level lies exactly halfway between two of them.
inline quint32 rampIndexOf(quint8 grey, qint16 bitCount) {
    const quint32 top = valueMask(bitCount);
    return (grey * top + 127u) / 255u;
}

// Finds the colour-table entry nearest to a colour (smallest squared distance in RGB, the lower
// index on a tie) among the first `count` entries of a table. Recent answers are kept in a
// fixed-size cache, so that a photograph's millions of colours cost no more memory than a
// drawing's few.
class NearestEntry {
public:
    NearestEntry(const std::array<ColourEntry, 256>& table, int count);
    quint32 operator()(QRgb colour);

private:
    static constexpr int kCacheBits = 16;
    static constexpr quint32 kNoColour = 0xFFFFFFFFu; // no 0xRRGGBB key has a top byte

    quint32 search(quint32 rgb) const;

    std::array<ColourEntry, 256> table_;
    int count_;
    std::vector<quint32> cachedColour_;
    std::vector<quint8> cachedEntry_;
};

// Turns pixel values of a source buffer into pixel values of a destination buffer. At the same
// depth the values pass unchanged; between depths they go through their colours: the colour
// itself at 24 bits, else the nearest entry of the destination's colour table.
class PixelConverter {
public:
    PixelConverter(const cImage& source, const cImage& destination);
    quint32 operator()(quint32 sourceValue);

private:
    const cImage& source_;
    bool same_;
    bool toRgb_;
    bool fromIndexed_;
    std::array<quint32, 256> byIndex_{};
    std::unique_ptr<NearestEntry> nearest_;
};

// A new empty buffer of a size at the depth of `model`, with model's colour table when it is
// indexed; nullptr when it cannot be created.
std::unique_ptr<cImage> newBufferLike(const cImage& model, qint32 lWidth, qint32 lHeight);

} // namespace vantola::cimage_pixels
