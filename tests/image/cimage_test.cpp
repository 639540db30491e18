// The picture buffer: its layout, the copies between buffers and from decoded pictures, painting,
// and the buffers derived from it (mirror, rotation, resampling, grey).

#include "image/cimage.h"
#include "image/cimage_pixels.h"
#include "support/djpeg.h"

#include <QImage>
#include <array>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace vantola {
namespace {

using cimage_pixels::writePixel;
using test::errorNumber;

quint32 pixelAt(const cImage& image, qint32 x, qint32 y) {
    return cimage_pixels::readPixel(image.topDownRow(y), x, image.BitCount());
}

QRgb entryAt(const cImage& image, int index) {
    return cimage_pixels::entryColour(image.colourTable()[index]);
}

// Copies a picture at the depth asked (0: the picture's own); the depth copied, or -1 on failure.
qint16 copyPicture(cImage& image, const QImage& picture, qint16 asked = 0) {
    qint16 depth = asked;
    return image.CopyStdPicture(picture, &depth) ? depth : -1;
}

// A buffer of the given depth holding the given pixel values, top row first.
std::unique_ptr<cImage> bufferOf(qint16 bits, const std::vector<std::vector<quint32>>& rows) {
    auto image = std::make_unique<cImage>();
    if (!image->Create(qint32(rows.front().size()), qint32(rows.size()), bits))
        return nullptr;
    for (qint32 y = 0; y < image->Height(); ++y)
        for (qint32 x = 0; x < image->Width(); ++x)
            writePixel(image->topDownRow(y), x, bits, rows[y][x]);
    return image;
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
    for (qint16 bits : {1, 4, 8}) {
        ASSERT_TRUE(image.Create(3, 2, bits));
        const int top = (1 << bits) - 1;
        for (int i = 0; i <= top; ++i)
            EXPECT_EQ(entryAt(image, i), qRgb(i * 255 / top, i * 255 / top, i * 255 / top)) << i;
        EXPECT_EQ(image.colourTable()[1].reserved, 7) << bits;
    }
}

TEST(cImageLayout, RefusedSizesDepthsPicturesAndOverflowsLeaveNoPixels) {
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
    EXPECT_EQ(errorNumber([] { cImage::strideFor(0x7FFFFFFF, 8); }), kErrOverflow);
    EXPECT_EQ(errorNumber([] { cImage::strideFor(0x2AAAAAAA, 24); }), kErrOverflow); // 3 W + 3
    ASSERT_TRUE(image.Create(2, 2, 8));
    EXPECT_EQ(errorNumber([&] { image.Create(65536, 32768, 8); }), kErrOverflow); // 2^31 bytes
    EXPECT_EQ(image.hDC(), nullptr);
    // A picture with nothing to copy, or a depth the buffer has not, empties it too.
    for (const auto& [picture, bits] :
         {std::pair{QImage(), qint16(0)},
          std::pair{QImage(2, 2, QImage::Format_RGB32), qint16(16)}}) {
        ASSERT_TRUE(image.Create(2, 2, 8));
        EXPECT_EQ(copyPicture(image, picture, bits), -1);
        EXPECT_EQ(image.hDC(), nullptr);
    }
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

TEST(cImagePicture, ColourLayoutsBecome24Bits) {
    // 7 x 3 (an odd width that leaves a tail after whole groups of pixels), every pixel its own
    // colour, so that flips, row order and channel swaps all show.
    QImage asymmetric(7, 3, QImage::Format_RGB32);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 7; ++x)
            asymmetric.setPixel(x, y, qRgb(30 * x + 5, 80 * y + 1, 250 - 10 * x - y));
    for (QImage::Format format :
         {QImage::Format_RGB32, QImage::Format_ARGB32, QImage::Format_ARGB32_Premultiplied,
          QImage::Format_RGB888, QImage::Format_BGR888, QImage::Format_RGBX8888,
          QImage::Format_RGBA8888, QImage::Format_RGBA8888_Premultiplied, QImage::Format_RGBA64,
          QImage::Format_RGB16, QImage::Format_RGB555, QImage::Format_RGB444}) {
        const QImage picture = asymmetric.convertToFormat(format);
        cImage image;
        ASSERT_EQ(copyPicture(image, picture), 24) << format;
        ASSERT_EQ(QSize(image.Width(), image.Height()), QSize(7, 3));
        // The buffer's own bytes, not the pixel helpers: rows bottom-up, blue, green, red.
        for (int y = 0; y < 3; ++y) {
            const quint8* row = image.DIBitsPtr() + (2 - y) * image.BytesPerScanLine();
            for (int x = 0; x < 7; ++x)
                EXPECT_EQ(qRgb(row[3 * x + 2], row[3 * x + 1], row[3 * x]), picture.pixel(x, y))
                    << format << ": " << x << "," << y;
        }
    }
}

TEST(cImagePicture, AlphaIsIgnoredNotComposited) {
    QImage picture(3, 1, QImage::Format_ARGB32);
    picture.setPixel(0, 0, qRgba(200, 100, 50, 0));
    picture.setPixel(1, 0, qRgba(10, 20, 30, 128));
    picture.setPixel(2, 0, qRgba(1, 2, 3, 255));
    cImage image;
    ASSERT_TRUE(image.CopyStdPicture(picture));
    EXPECT_EQ(
        std::vector<quint32>({pixelAt(image, 0, 0), pixelAt(image, 1, 0), pixelAt(image, 2, 0)}),
        std::vector<quint32>({0xC86432u, 0x0A141Eu, 0x010203u}));
    // Premultiplied colours are restored (to within the precision that alpha leaves).
    ASSERT_TRUE(image.CopyStdPicture(picture.convertToFormat(QImage::Format_ARGB32_Premultiplied)));
    const QRgb half = 0xFF000000u | pixelAt(image, 1, 0);
    EXPECT_NEAR(qRed(half), 10, 1);
    EXPECT_NEAR(qBlue(half), 30, 1);
}

TEST(cImagePicture, TwoColourPicturesKeepBitsAndPalette) {
    QImage mono(10, 2, QImage::Format_Mono);
    mono.setColorTable({qRgb(255, 0, 0), qRgb(0, 0, 255)});
    mono.fill(0);
    mono.setPixel(0, 0, 1);
    mono.setPixel(9, 0, 1);
    mono.setPixel(1, 1, 1);
    QImage ones(3, 1, QImage::Format_Mono);
    ones.fill(1);
    for (const QImage::Format format : {QImage::Format_Mono, QImage::Format_MonoLSB}) {
        cImage image;
        ASSERT_EQ(copyPicture(image, mono.convertToFormat(format)), 1);
        EXPECT_EQ(entryAt(image, 0), qRgb(255, 0, 0));
        EXPECT_EQ(entryAt(image, 1), qRgb(0, 0, 255));
        // Top row last in memory, leftmost pixel in the high bit.
        EXPECT_EQ(image.DIBitsPtr()[image.BytesPerScanLine()], 0x80);
        EXPECT_EQ(image.DIBitsPtr()[image.BytesPerScanLine() + 1] & 0xC0, 0x40);
        EXPECT_EQ(image.DIBitsPtr()[0], 0x40);
        // The bits past the last pixel are padding, kept 0 whatever the picture held there.
        ASSERT_TRUE(image.CopyStdPicture(ones.convertToFormat(format)));
        EXPECT_EQ(image.DIBitsPtr()[0], 0xE0);
    }
}

TEST(cImagePicture, IndexedAndGreyPicturesKeepTheirIndices) {
    for (int colours : {2, 16, 17, 256}) {
        QImage picture(5, 2, QImage::Format_Indexed8);
        QList<QRgb> table;
        for (int i = 0; i < colours; ++i)
            table.append(qRgb(i, 255 - i, 7));
        picture.setColorTable(table);
        for (int i = 0; i < 10; ++i)
            picture.setPixel(i % 5, i / 5, uint((i * 7) % colours));
        cImage image;
        ASSERT_EQ(copyPicture(image, picture), colours <= 16 ? 4 : 8);
        EXPECT_EQ(entryAt(image, colours - 1), table.last());
        if (colours == 17) {
            EXPECT_EQ(entryAt(image, 200), qRgb(200, 200, 200)); // past the table: the ramp
            for (int i = 0; i < 10; ++i)
                EXPECT_EQ(pixelAt(image, i % 5, i / 5), uint((i * 7) % colours)) << colours;
        }
    }
    QImage grey(3, 1, QImage::Format_Grayscale8);
    grey.fill(qRgb(200, 200, 200));
    cImage image;
    ASSERT_EQ(copyPicture(image, grey), 8);
    EXPECT_EQ(entryAt(image, 123), qRgb(123, 123, 123));
    EXPECT_EQ(pixelAt(image, 2, 0), 200u);
}

TEST(cImagePicture, AnExplicitDepthConverts) {
    QImage picture(3, 1, QImage::Format_RGB32);
    picture.setPixel(0, 0, qRgb(255, 0, 0)); // luma 76.245
    picture.setPixel(1, 0, qRgb(0, 255, 0)); // luma 149.685
    picture.setPixel(2, 0, qRgb(255, 255, 255));
    // The nearest grey of each ramp: 76 is nearest 68 = 4 x 17, 150 nearest 153 = 9 x 17.
    for (const auto& [bits, expected] :
         {std::pair<qint16, std::array<quint32, 3>>{8, {76, 150, 255}},
          {4, {4, 9, 15}},
          {1, {0, 1, 1}}}) {
        cImage image;
        ASSERT_EQ(copyPicture(image, picture, bits), bits);
        for (qint32 x = 0; x < 3; ++x)
            EXPECT_EQ(pixelAt(image, x, 0), expected[x]) << bits << ": " << x;
    }
    QImage mono(2, 1, QImage::Format_Mono);
    mono.setColorTable({qRgb(1, 2, 3), qRgb(4, 5, 6)});
    mono.setPixel(1, 0, 1);
    cImage image;
    ASSERT_EQ(copyPicture(image, mono, 24), 24);
    EXPECT_EQ(pixelAt(image, 1, 0), 0x040506u);
}

// Scrambled values: no mirror or turn of the 5 x 3 picture maps it onto itself, even at 1 bit.
quint32 pattern(qint32 x, qint32 y, qint16 bits) {
    const quint32 mixed = quint32((x + 1) * 73 + (y + 1) * 151 + x * y * 37) * 2654435761u;
    return (mixed >> 13) & cimage_pixels::valueMask(bits);
}

// 5 x 3, no symmetry, with a non-grey colour table entry to follow into the new buffer.
std::unique_ptr<cImage> asymmetric(qint16 bits) {
    std::vector<std::vector<quint32>> rows(3, std::vector<quint32>(5));
    for (qint32 y = 0; y < 3; ++y)
        for (qint32 x = 0; x < 5; ++x)
            rows[y][x] = pattern(x, y, bits);
    auto image = bufferOf(bits, rows);
    image->colourTable()[1] = ColourEntry{1, 2, 3, 0};
    return image;
}

TEST(cImageTransform, MirrorAndRotateMapEveryPixel) {
    for (qint16 bits : {1, 4, 8, 24}) {
        const auto image = asymmetric(bits);
        // 90: counter-clockwise, the top-right corner comes to the top left.
        const struct {
            std::unique_ptr<cImage> result;
            QSize size;
            std::function<QPoint(int, int)> sourceOf;
        } cases[] = {
            {image->Mirror(false), {5, 3}, [](int x, int y) { return QPoint(4 - x, y); }},
            {image->Mirror(true), {5, 3}, [](int x, int y) { return QPoint(x, 2 - y); }},
            {image->Rotate(90), {3, 5}, [](int x, int y) { return QPoint(4 - y, x); }},
            {image->Rotate(180), {5, 3}, [](int x, int y) { return QPoint(4 - x, 2 - y); }},
            {image->Rotate(270), {3, 5}, [](int x, int y) { return QPoint(y, 2 - x); }},
        };
        for (const auto& c : cases) {
            const auto& result = c.result;
            ASSERT_NE(result, nullptr);
            ASSERT_EQ(QSize(result->Width(), result->Height()), c.size);
            ASSERT_EQ(result->BitCount(), bits);
            if (bits != 24) {
                EXPECT_EQ(result->colourTable()[1].red, 3);
            }
            for (qint32 y = 0; y < c.size.height(); ++y) {
                for (qint32 x = 0; x < c.size.width(); ++x) {
                    const QPoint source = c.sourceOf(x, y);
                    EXPECT_EQ(pixelAt(*result, x, y), pattern(source.x(), source.y(), bits))
                        << bits << ": " << x << "," << y << " of case " << (&c - cases);
                }
            }
        }
    }
}

TEST(cImageTransform, RotationAnglesCountModulo360) {
    const auto image = asymmetric(24);
    const auto bytes = [](const std::unique_ptr<cImage>& turned) {
        return std::vector<quint8>(turned->DIBitsPtr(),
                                   turned->DIBitsPtr() +
                                       turned->Height() * turned->BytesPerScanLine());
    };
    EXPECT_EQ(bytes(image->Rotate(-90)), bytes(image->Rotate(270)));
    EXPECT_EQ(bytes(image->Rotate(450)), bytes(image->Rotate(90)));
    EXPECT_EQ(bytes(image->Rotate(-180)), bytes(image->Rotate(180)));
    for (qint32 angle : {0, 45, 360, -360, 91, std::numeric_limits<qint32>::min()})
        EXPECT_EQ(image->Rotate(angle), nullptr) << angle;
    EXPECT_EQ(cImage().Rotate(90), nullptr);
}

TEST(cImageTransform, ResampleCopiesOrAveragesAreas) {
    for (qint16 bits : {1, 4, 8, 24}) {
        const auto image = asymmetric(bits);
        const auto same = image->Resample(5, 3);
        ASSERT_NE(same, nullptr);
        EXPECT_TRUE(std::equal(image->DIBitsPtr(),
                               image->DIBitsPtr() + 3 * image->BytesPerScanLine(),
                               same->DIBitsPtr()));
    }
    // 4 x 2 to 2 x 1: each new pixel is the rounded mean of a 2 x 2 block.
    const auto half = bufferOf(24, {{0x000000, 0x0A0B01, 0xFF0000, 0xFF0000},
                                    {0x020300, 0x000000, 0x00FF00, 0x000001}})
                          ->Resample(2, 1);
    ASSERT_NE(half, nullptr);
    EXPECT_EQ(pixelAt(*half, 0, 0), 0x030400u); // (10 + 2) / 4, (11 + 3) / 4 = 3.5 up, 1 / 4
    EXPECT_EQ(pixelAt(*half, 1, 0), 0x804000u); // 510 / 4 = 127.5 up, 255 / 4, 1 / 4
    // 3 to 2 across: the middle pixel counts half in each new pixel.
    const auto grey = bufferOf(8, {{0, 90, 240}});
    const auto narrow = grey->Resample(2, 1);
    ASSERT_NE(narrow, nullptr);
    EXPECT_EQ(pixelAt(*narrow, 0, 0), 30u);  // (2 x 0 + 1 x 90) / 3
    EXPECT_EQ(pixelAt(*narrow, 1, 0), 190u); // (1 x 90 + 2 x 240) / 3
    const auto wide = grey->Resample(6, 2);
    ASSERT_NE(wide, nullptr);
    EXPECT_EQ(pixelAt(*wide, 3, 1), 90u);
}

TEST(cImageTransform, GreyscaleTakesTheRoundedLuma) {
    const auto grey = bufferOf(24, {{0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF}})->Greyscale();
    ASSERT_NE(grey, nullptr);
    EXPECT_EQ(grey->BitCount(), 8);
    EXPECT_EQ(grey->colourTable()[77].red, 77);
    for (const auto& [x, luma] : {std::pair{0, 76u}, {1, 150u}, {2, 29u}, {3, 255u}})
        EXPECT_EQ(pixelAt(*grey, x, 0), luma) << x;
    const auto fromIndexed = asymmetric(4)->Greyscale(); // entry 1 is (3, 2, 1): luma 2.185
    ASSERT_NE(fromIndexed, nullptr);
    EXPECT_EQ(pixelAt(*fromIndexed, 1, 0), 2u);      // pattern 1
    EXPECT_EQ(pixelAt(*fromIndexed, 0, 0), 3u * 17); // pattern 3: entry 3 of the ramp
}

} // namespace
} // namespace vantola
