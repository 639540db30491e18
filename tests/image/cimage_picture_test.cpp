// Copying decoded pictures into the buffer.

#include "cimage_test_support.h"

#include <QImage>
#include <array>
#include <gtest/gtest.h>

namespace vantola {
namespace {

using test::pixelAt;

QRgb entryAt(const cImage& image, int index) {
    return cimage_pixels::entryColour(image.colourTable()[index]);
}

// 7 x 3 (an odd width that leaves a tail after whole groups of pixels), every pixel its own
// colour, so that flips, row order and channel swaps all show.
QImage asymmetricPicture() {
    QImage picture(7, 3, QImage::Format_RGB32);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 7; ++x)
            picture.setPixel(x, y, qRgb(30 * x + 5, 80 * y + 1, 250 - 10 * x - y));
    return picture;
}

void expectSameColours(const cImage& image, const QImage& picture) {
    ASSERT_EQ(image.BitCount(), 24);
    ASSERT_EQ(image.Width(), picture.width());
    ASSERT_EQ(image.Height(), picture.height());
    for (int y = 0; y < picture.height(); ++y) {
        // Rows bottom-up, pixels blue, green, red.
        const quint8* row =
            image.DIBitsPtr() + (picture.height() - 1 - y) * image.BytesPerScanLine();
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb colour = picture.pixel(x, y);
            EXPECT_EQ(qRgb(row[3 * x + 2], row[3 * x + 1], row[3 * x]), colour) << x << "," << y;
        }
    }
}

TEST(cImagePicture, ColourLayoutsBecome24Bits) {
    for (QImage::Format format :
         {QImage::Format_RGB32, QImage::Format_ARGB32, QImage::Format_ARGB32_Premultiplied,
          QImage::Format_RGB888, QImage::Format_BGR888, QImage::Format_RGBX8888,
          QImage::Format_RGBA8888, QImage::Format_RGBA8888_Premultiplied, QImage::Format_RGBA64,
          QImage::Format_RGB16, QImage::Format_RGB555, QImage::Format_RGB444}) {
        const QImage picture = asymmetricPicture().convertToFormat(format);
        cImage image;
        qint16 depth = 0;
        ASSERT_TRUE(image.CopyStdPicture(picture, &depth)) << format;
        EXPECT_EQ(depth, 24);
        expectSameColours(image, picture);
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
    for (const QImage& picture : {mono, mono.convertToFormat(QImage::Format_MonoLSB)}) {
        cImage image;
        qint16 depth = 0;
        ASSERT_TRUE(image.CopyStdPicture(picture, &depth));
        EXPECT_EQ(depth, 1);
        EXPECT_EQ(entryAt(image, 0), qRgb(255, 0, 0));
        EXPECT_EQ(entryAt(image, 1), qRgb(0, 0, 255));
        // Top row last in memory, leftmost pixel in the high bit.
        EXPECT_EQ(image.DIBitsPtr()[image.BytesPerScanLine()], 0x80);
        EXPECT_EQ(image.DIBitsPtr()[image.BytesPerScanLine() + 1] & 0xC0, 0x40);
        EXPECT_EQ(image.DIBitsPtr()[0], 0x40);
    }
    // The bits past the last pixel are padding, kept 0 whatever the picture held there.
    QImage ones(3, 1, QImage::Format_Mono);
    ones.fill(1);
    for (const QImage& picture : {ones, ones.convertToFormat(QImage::Format_MonoLSB)}) {
        cImage image;
        ASSERT_TRUE(image.CopyStdPicture(picture));
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
        qint16 depth = 0;
        ASSERT_TRUE(image.CopyStdPicture(picture, &depth));
        EXPECT_EQ(depth, colours <= 16 ? 4 : 8);
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
    qint16 depth = 0;
    ASSERT_TRUE(image.CopyStdPicture(grey, &depth));
    EXPECT_EQ(depth, 8);
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
        qint16 depth = bits;
        ASSERT_TRUE(image.CopyStdPicture(picture, &depth));
        EXPECT_EQ(depth, bits);
        for (qint32 x = 0; x < 3; ++x)
            EXPECT_EQ(pixelAt(image, x, 0), expected[x]) << bits << ": " << x;
    }
    QImage mono(2, 1, QImage::Format_Mono);
    mono.setColorTable({qRgb(1, 2, 3), qRgb(4, 5, 6)});
    mono.setPixel(1, 0, 1);
    cImage image;
    qint16 depth = 24;
    ASSERT_TRUE(image.CopyStdPicture(mono, &depth));
    EXPECT_EQ(pixelAt(image, 1, 0), 0x040506u);
}

TEST(cImagePicture, NothingToCopyLeavesAnEmptyBuffer) {
    cImage image;
    ASSERT_TRUE(image.CopyStdPicture(asymmetricPicture()));
    qint16 depth = 0;
    EXPECT_FALSE(image.CopyStdPicture(QImage(), &depth));
    EXPECT_EQ(image.hDC(), nullptr);
    depth = 16;
    EXPECT_FALSE(image.CopyStdPicture(asymmetricPicture(), &depth));
    EXPECT_EQ(image.hDC(), nullptr);
}

} // namespace
} // namespace vantola
