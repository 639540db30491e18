#pragma once

#include "image/uninitialised_allocator.h"

#include <QImage>
#include <QtGlobal>
#include <array>
#include <memory>
#include <new>
#include <utility>
#include <vector>

namespace vantola {

// One entry of a colour table, in the byte order of a device-independent bitmap.
struct ColourEntry {
    quint8 blue = 0;
    quint8 green = 0;
    quint8 red = 0;
    quint8 reserved = 0;
};

// Raster operations of PaintHDC (the usual ternary codes).
enum class RasterOp : quint32 {
    SrcCopy = 0x00CC0020,
    SrcPaint = 0x00EE0086,  // dest | src
    SrcAnd = 0x008800C6,    // dest & src
    SrcInvert = 0x00660046, // dest ^ src
    SrcErase = 0x00440328,  // src & ~dest
    NotSrcCopy = 0x00330008,
    NotSrcErase = 0x001100A6, // ~(dest | src)
    DstInvert = 0x00550009,
    Blackness = 0x00000042,
    Whiteness = 0x00FF0062,
};

// An in-memory picture of 1, 4, 8 or 24 bits per pixel, laid out as a device-independent
// bitmap: rows bottom-up, each row padded to a multiple of 4 bytes, 24-bit pixels stored
// blue, green, red, and a colour table of 256 entries for the indexed depths.
//
// The buffer is its own drawing surface: hDC() returns this buffer while it holds pixels and
// nullptr otherwise, and the operations that take a surface take another buffer.
class cImage {
public:
    using Surface = const cImage*;

    cImage() = default;
    cImage(const cImage&) = delete;
    cImage& operator=(const cImage&) = delete;

    // The picture buffer's interface: creating it, copying pictures and surfaces in, drawing it
    // out, the derived buffers and the read-only properties. (cimage.cpp holds the buffer,
    // cimage_paint.cpp the copies and drawing, cimage_transform.cpp the derived buffers.)

    // Builds an empty picture (all pixel bytes 0) of the given size and depth, releasing what
    // the buffer held. Depths other than 1, 4, 8, 24 and non-positive sizes are refused
    // (false, buffer empty). A stride or image size that does not fit 32 bits raises the
    // overflow error (AppError kErrOverflow).
    bool Create(qint32 lWidth, qint32 lHeight, qint16 iBitCount);

    // Create without clearing the pixels: their bytes are left undefined, for a caller that
    // writes every row at once (a decoder). The padding at the end of each row is still 0.
    bool Allocate(qint32 lWidth, qint32 lHeight, qint16 iBitCount);

    // Copies a decoded picture. With *iBitCount == 0 (or iBitCount null) the depth is the
    // picture's own: 1-bit, indexed 4/8-bit with its palette, 16 and 32 bits become 24; the
    // chosen depth is written back through iBitCount when it is given.
    // Details: Mono/MonoLSB -> 1 bit, Indexed8 -> 4 bits when its colour table has at most 16
    // entries else 8 bits (the table copied, entries past it keep the grey ramp),
    // Grayscale8 -> 8 bits on the grey ramp, every other format -> 24 bits. Alpha is ignored:
    // the colour of each pixel is taken as it is (premultiplied colours are first restored),
    // never blended onto a background. An explicit depth of 24 takes the colours the same way;
    // an explicit depth of 1, 4 or 8 keeps the grey ramp and stores the nearest grey of each
    // colour, by its luma as Greyscale does.
    bool CopyStdPicture(const QImage& TheStdPicture, qint16* iBitCount = nullptr);

    // Copies the rectangle (lSrcLeft, lSrcTop, lWidth, lHeight) of another buffer into a new
    // picture of size lWidth x lHeight. With *iBitCount == 0 (or null) the depth is the
    // source's; the source's colour table is copied first (as far as the new depth holds it).
    // Between depths the pixels go through their colours (nearest colour-table entry for an
    // indexed buffer). Parts of the rectangle outside the source stay 0.
    bool CopyHDC(Surface lHDC, qint32 lWidth, qint32 lHeight, qint16* iBitCount = nullptr,
                 qint32 lSrcLeft = 0, qint32 lSrcTop = 0);

    // Takes up to 2^BitCount colour-table entries of another buffer.
    bool CopyPalletHDC(Surface lHDC);

    // Draws the whole buffer onto another buffer at (lDestLeft, lDestTop) with a raster op,
    // clipped to that buffer. The pixels are first made the destination's pixel values (the
    // same at equal depths, through their colours between depths); the op then combines bits:
    // per channel at 24 bits, on the colour-table index at 1, 4 and 8 bits. Blackness and
    // Whiteness set all bits to 0 and to 1.
    void PaintHDC(cImage* lHDC, qint32 lDestLeft = 0, qint32 lDestTop = 0,
                  RasterOp eRop = RasterOp::SrcCopy) const;

    // The operations below return a new buffer (nullptr when this one is empty or the new one
    // cannot be created) and leave this one untouched.

    // An 8-bit buffer on the grey ramp; each colour becomes its luma
    // 0.299 R + 0.587 G + 0.114 B rounded to the nearest level.
    std::unique_ptr<cImage> Greyscale() const;
    // Same depth and colour table; pixels copied at the same size, else area-averaged (the
    // mean colour rounded, then the nearest colour-table entry at indexed depths).
    std::unique_ptr<cImage> Resample(qint32 lWidth, qint32 lHeight) const;
    std::unique_ptr<cImage> Mirror(bool Vertical) const;
    // 90 turns a quarter counter-clockwise, 270 clockwise; angles count modulo 360.
    std::unique_ptr<cImage> Rotate(qint32 Degrees) const; // nullptr for unsupported angles

    qint32 Width() const { return width_; }
    qint32 Height() const { return height_; }
    qint16 BitCount() const { return bitCount_; }
    Surface hDC() const { return pixels_.empty() ? nullptr : this; }
    quint8* DIBitsPtr() { return pixels_.empty() ? nullptr : pixels_.data(); }
    const quint8* DIBitsPtr() const { return pixels_.empty() ? nullptr : pixels_.data(); }
    qint32 BytesPerScanLine() const { return stride_; }

    // Direct access to the colour table and the rows, for the encoder and the pixel helpers.
    const std::array<ColourEntry, 256>& colourTable() const { return colours_; }
    std::array<ColourEntry, 256>& colourTable() { return colours_; }

    // Start of picture row y counted from the top (row 0 is the last row in memory); nullptr
    // when y is outside the picture.
    const quint8* topDownRow(qint32 y) const;
    quint8* topDownRow(qint32 y);

    // Row stride of the layout rule for a width and depth; raises the overflow error when it
    // does not fit 32 bits.
    static qint32 strideFor(qint32 lWidth, qint16 iBitCount);

    // Pixel memory: large buffers are mapped on their own in huge pages where the system gives
    // them (a page is then a few hundred page faults less), small ones come from the heap.
    static void* allocatePixels(std::size_t bytes);
    static void freePixels(void* pixels, std::size_t bytes) noexcept;

    // A QImage of the size and format whose pixels (undefined) live in such memory; null when
    // there is no memory for it.
    static QImage uninitialisedQImage(qint32 lWidth, qint32 lHeight, QImage::Format format);

private:
    // Pixel memory as an allocator of allocatePixels. The bytes it adds are left undefined
    // (UninitialisedAllocator): Create clears them itself, and Allocate's callers overwrite them,
    // so a page is not written twice.
    template <class T>
    struct PixelMemory {
        using value_type = T;
        PixelMemory() = default;
        template <class U>
        PixelMemory(const PixelMemory<U>&) noexcept {}
        T* allocate(std::size_t count) {
            return static_cast<T*>(allocatePixels(count * sizeof(T)));
        }
        void deallocate(T* pointer, std::size_t count) noexcept {
            freePixels(pointer, count * sizeof(T));
        }
        template <class U>
        bool operator==(const PixelMemory<U>&) const noexcept {
            return true;
        }
    };

    bool make(qint32 lWidth, qint32 lHeight, qint16 iBitCount, bool cleared);
    void release();

    qint32 width_ = 0;
    qint32 height_ = 0;
    qint16 bitCount_ = 0;
    qint32 stride_ = 0;
    std::array<ColourEntry, 256> colours_{};
    std::vector<quint8, UninitialisedAllocator<quint8, PixelMemory>> pixels_;
};

} // namespace vantola
