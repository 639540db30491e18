// The picture buffer's layout and the copies between buffers.

#include "cimage_test_support.h"
#include "settings/app_error.h"

#include <gtest/gtest.h>

namespace vantola {
namespace {

using cimage_pixels::writePixel;
using test::bufferOf;
using test::pixelAt;

template <typename Action>
void expectOverflow(Action action) {
    try {
        action();
        ADD_FAILURE() << "no overflow error";
    } catch (const AppError& error) {
        EXPECT_EQ(error.number(), kErrOverflow);
    }
}

TEST(cImageLayout, StridesRowsAndZeroedMemory) {
    struct Case {
        qint32 width;
        qint16 bits;
        qint32 stride;
    };
    for (const Case& c :
         {Case{1, 24, 4}, Case{5, 24, 16}, Case{1, 1, 4}, Case{32, 1, 4}, Case{33, 1, 8},
          Case{8, 4, 4}, Case{9, 4, 8}, Case{4, 8, 4}, Case{5, 8, 8}, Case{0, 1, 4}, Case{0, 4, 4}})
        EXPECT_EQ(cImage::strideFor(c.width, c.bits), c.stride) << c.width << "@" << c.bits;
    cImage image;
    EXPECT_EQ(image.hDC(), nullptr);
    ASSERT_TRUE(image.Create(5, 3, 24));
    EXPECT_EQ(image.hDC(), &image);
    EXPECT_EQ(image.BytesPerScanLine(), 16);
    EXPECT_EQ(image.topDownRow(0), image.DIBitsPtr() + 2 * 16); // bottom-up rows
    EXPECT_EQ(image.topDownRow(2), image.DIBitsPtr());
    EXPECT_EQ(image.topDownRow(3), nullptr);
    EXPECT_EQ(image.topDownRow(-1), nullptr);
    EXPECT_TRUE(
        std::all_of(image.DIBitsPtr(), image.DIBitsPtr() + 48, [](quint8 b) { return b == 0; }));
}

TEST(cImageLayout, GreyRampsKeepReservedBytes) {
    cImage image;
    image.colourTable()[1].reserved = 7;
    ASSERT_TRUE(image.Create(3, 2, 1));
    EXPECT_EQ(image.colourTable()[0].red, 0);
    EXPECT_EQ(image.colourTable()[1].green, 255);
    EXPECT_EQ(image.colourTable()[1].reserved, 7);
    ASSERT_TRUE(image.Create(3, 2, 4));
    for (int i = 0; i < 16; ++i) {
        const ColourEntry& entry = image.colourTable()[i];
        EXPECT_TRUE(entry.blue == i * 17 && entry.green == i * 17 && entry.red == i * 17) << i;
    }
    ASSERT_TRUE(image.Create(3, 2, 8));
    EXPECT_EQ(image.colourTable()[200].blue, 200);
    EXPECT_EQ(image.colourTable()[1].reserved, 7);
}

TEST(cImageLayout, RefusedSizesDepthsAndOverflowsLeaveNoPixels) {
    cImage image;
    for (qint16 bits : {0, 2, 16, 32}) {
        ASSERT_TRUE(image.Create(4, 4, 8));
        EXPECT_FALSE(image.Create(4, 4, bits));
        EXPECT_EQ(image.hDC(), nullptr);
        EXPECT_EQ(image.DIBitsPtr(), nullptr);
    }
    EXPECT_FALSE(image.Create(0, 4, 8));
    EXPECT_FALSE(image.Create(4, -1, 24));
    // Sizes past 32 bits are an error, never a wrap.
    EXPECT_EQ(cImage::strideFor(0x7FFFFFFC, 8), 0x7FFFFFFC);
    expectOverflow([] { cImage::strideFor(0x7FFFFFFF, 8); });
    expectOverflow([] { cImage::strideFor(0x2AAAAAAA, 24); }); // 3 W + 3 passes 2^31 - 1
    ASSERT_TRUE(image.Create(2, 2, 8));
    expectOverflow([&] { image.Create(65536, 32768, 8); }); // 2^31 bytes
    EXPECT_EQ(image.hDC(), nullptr);
}

// Gives a buffer a colour table and pixels that differ from entry to entry and pixel to pixel.
void fillIndexed(cImage& image) {
    for (int i = 0; i < cimage_pixels::tableSize(image.BitCount()); ++i)
        image.colourTable()[i] = ColourEntry{quint8(i), quint8(255 - i), quint8(3 * i), 0};
    const quint32 mask = cimage_pixels::valueMask(image.BitCount());
    for (qint32 y = 0; y < image.Height(); ++y)
        for (qint32 x = 0; x < image.Width(); ++x)
            writePixel(image.topDownRow(y), x, image.BitCount(), (x * 5 + y * 3 + 1) & mask);
}

TEST(cImageCopy, CopyHDCTakesTheSourceDepthTableAndRectangle) {
    for (qint16 bits : {1, 4, 8, 24}) {
        cImage source;
        ASSERT_TRUE(source.Create(9, 5, bits));
        fillIndexed(source);
        cImage copy;
        qint16 depth = 0;
        ASSERT_TRUE(copy.CopyHDC(source.hDC(), 4, 3, &depth, 6, 3));
        EXPECT_EQ(depth, bits);
        EXPECT_EQ(copy.BitCount(), bits);
        if (bits != 24) {
            EXPECT_EQ(copy.colourTable()[1].green, 254);
        }
        for (qint32 y = 0; y < 3; ++y) // pixels past the source's right and bottom edges stay 0
            for (qint32 x = 0; x < 4; ++x)
                EXPECT_EQ(pixelAt(copy, x, y),
                          6 + x < 9 && 3 + y < 5 ? pixelAt(source, 6 + x, 3 + y) : 0)
                    << bits << ": " << x << "," << y;
    }
}

TEST(cImageCopy, CopyHDCConvertsBetweenDepthsAndFromItself) {
    const auto owner = bufferOf(8, {{10, 250}});
    cImage& grey = *owner;
    cImage colour;
    qint16 depth = 24;
    ASSERT_TRUE(colour.CopyHDC(grey.hDC(), 2, 1, &depth));
    EXPECT_EQ(pixelAt(colour, 1, 0), 0xFAFAFAu);
    cImage bits;
    depth = 1;
    ASSERT_TRUE(bits.CopyHDC(grey.hDC(), 2, 1, &depth)); // the grey table's first two entries
    EXPECT_EQ(pixelAt(bits, 0, 0), 1u);                  // 10 is nearer grey 1 than grey 0
    ASSERT_TRUE(grey.CopyHDC(grey.hDC(), 1, 1, nullptr, 1, 0));
    EXPECT_EQ(grey.Width(), 1);
    EXPECT_EQ(pixelAt(grey, 0, 0), 250u);
    cImage empty;
    EXPECT_FALSE(bits.CopyHDC(empty.hDC(), 2, 1));
}

TEST(cImageCopy, CopyPalletHDCTakesWhatBothDepthsHold) {
    cImage source, target, colour;
    ASSERT_TRUE(source.Create(1, 1, 8));
    fillIndexed(source);
    ASSERT_TRUE(target.Create(1, 1, 4));
    ASSERT_TRUE(colour.Create(1, 1, 24));
    EXPECT_TRUE(target.CopyPalletHDC(source.hDC()));
    EXPECT_EQ(target.colourTable()[15].red, 45);
    EXPECT_EQ(target.colourTable()[16].red, 0); // nothing past 2^4 entries
    EXPECT_FALSE(colour.CopyPalletHDC(source.hDC()));
    EXPECT_FALSE(target.CopyPalletHDC(colour.hDC()));
    EXPECT_FALSE(target.CopyPalletHDC(nullptr));
}

// With source bits 11001100 and destination bits 10101010, each raster op's result is the
// third byte of its code.
TEST(cImagePaint, RasterOpsCombineBitsAtEveryDepth) {
    for (RasterOp op :
         {RasterOp::SrcCopy, RasterOp::SrcPaint, RasterOp::SrcAnd, RasterOp::SrcInvert,
          RasterOp::SrcErase, RasterOp::NotSrcCopy, RasterOp::NotSrcErase, RasterOp::DstInvert,
          RasterOp::Blackness, RasterOp::Whiteness}) {
        const quint8 expected = quint8(quint32(op) >> 16);
        for (qint16 bits : {1, 4, 8, 24}) {
            const qint32 width = 24 / bits; // three bytes of pixels
            cImage source, destination;
            ASSERT_TRUE(source.Create(width, 1, bits));
            ASSERT_TRUE(destination.Create(width, 1, bits));
            std::fill_n(source.topDownRow(0), 3, quint8(0xCC));
            std::fill_n(destination.topDownRow(0), 3, quint8(0xAA));
            source.PaintHDC(&destination, 0, 0, op);
            for (int i = 0; i < 3; ++i)
                EXPECT_EQ(destination.topDownRow(0)[i], expected) << quint32(op) << "@" << bits;
        }
    }
}

TEST(cImagePaint, ClipsToTheDestinationAndConvertsDepths) {
    cImage source, destination;
    ASSERT_TRUE(source.Create(3, 3, 8));
    std::fill_n(source.DIBitsPtr(), 12, quint8(0xFF));
    ASSERT_TRUE(destination.Create(4, 4, 24));
    source.PaintHDC(&destination, -1, 2);
    for (qint32 y = 0; y < 4; ++y)
        for (qint32 x = 0; x < 4; ++x)
            EXPECT_EQ(pixelAt(destination, x, y), x < 2 && y >= 2 ? 0xFFFFFFu : 0u)
                << x << "," << y;
    source.PaintHDC(&destination, std::numeric_limits<qint32>::min(), 0x7FFFFFFF);
    source.PaintHDC(&destination, 0x7FFFFFFF, std::numeric_limits<qint32>::min());
    EXPECT_EQ(pixelAt(destination, 3, 0), 0u);

    // Colours onto an indexed buffer take the nearest entry of its table.
    const auto greys = bufferOf(8, {{0}});
    bufferOf(24, {{0xFF0000}})->PaintHDC(greys.get());
    EXPECT_EQ(pixelAt(*greys, 0, 0), 85u); // (255, 0, 0) is nearest (85, 85, 85)
}

} // namespace
} // namespace vantola
