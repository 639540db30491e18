// Reading a picture buffer's rectangle at every depth, and area averaging.
#include "image/cimage.h"
#include "image/cjpeg.h"
#include "image/jpeg_colour_sampling.h"

#include <gtest/gtest.h>

namespace {

using namespace vantola;
using namespace vantola::jpeg;

std::vector<int> rowOf(BgrRows& rows, int y) {
    const std::uint8_t* row = rows.row(y);
    return std::vector<int>(row, row + 3 * rows.width());
}

TEST(JpegSampling, IndexedPixelsGoThroughTheColourTable) {
    cImage oneBit;
    ASSERT_TRUE(oneBit.Create(10, 1, 1));
    oneBit.topDownRow(0)[0] = 0b10100000; // the first pixel is the top bit
    oneBit.topDownRow(0)[1] = 0b01000000;
    PictureRows bits(oneBit, 0, 0, 10, 1);
    const std::vector<int> row = rowOf(bits, 0);
    EXPECT_EQ(std::vector<int>(row.begin(), row.begin() + 12),
              (std::vector<int>{255, 255, 255, 0, 0, 0, 255, 255, 255, 0, 0, 0}));
    EXPECT_EQ(row[27], 255); // pixel 9: second byte, second bit

    cImage fourBit;
    ASSERT_TRUE(fourBit.Create(3, 1, 4));
    fourBit.colourTable()[2] = {10, 20, 30, 0};
    fourBit.topDownRow(0)[0] = 0x2F; // the first pixel is the high nibble
    fourBit.topDownRow(0)[1] = 0x10;
    PictureRows nibbles(fourBit, 0, 0, 3, 1);
    EXPECT_EQ(rowOf(nibbles, 0), (std::vector<int>{10, 20, 30, 255, 255, 255, 17, 17, 17}));
}

TEST(JpegSampling, RectangleOutsideThePictureReadsBlack) {
    cImage picture;
    ASSERT_TRUE(picture.Create(2, 2, 24));
    std::fill_n(picture.topDownRow(0), 6, 200);
    std::fill_n(picture.topDownRow(1), 6, 100);
    PictureRows rows(picture, 1, 1, 2, 2); // from the bottom-right pixel outwards
    EXPECT_EQ(rowOf(rows, 0), (std::vector<int>{100, 100, 100, 0, 0, 0}));
    EXPECT_EQ(rowOf(rows, 1), (std::vector<int>{0, 0, 0, 0, 0, 0}));
}

TEST(JpegSampling, AreaAveragingWeighsCoveredParts) {
    BgrPlane source(3, 2);
    const std::uint8_t top[9] = {0, 0, 0, 30, 60, 90, 90, 0, 255};
    const std::uint8_t bottom[9] = {0, 0, 0, 31, 60, 90, 90, 0, 255};
    std::copy_n(top, 9, source.mutableRow(0));
    std::copy_n(bottom, 9, source.mutableRow(1));
    BgrPlane target(2, 1);
    areaAverage(source, target);
    // Target pixel 0 covers source 0 whole and half of source 1: (2 x p0 + p1) / 3 over both
    // rows, rounded halves up; pixel 1 likewise from the other side.
    EXPECT_EQ(rowOf(target, 0), (std::vector<int>{10, 20, 30, 70, 20, 200}));

    BgrPlane same(3, 2);
    areaAverage(source, same);
    EXPECT_EQ(rowOf(same, 1), std::vector<int>(bottom, bottom + 9));
}

TEST(JpegSampling, SamplingARectangleEqualsSamplingItsCopy) {
    cImage picture;
    ASSERT_TRUE(picture.Create(40, 30, 24));
    for (int y = 0; y < 30; ++y)
        for (int i = 0; i < 120; ++i)
            picture.topDownRow(y)[i] = static_cast<quint8>(i * 7 + y * 13);
    cImage copy;
    ASSERT_TRUE(copy.Create(21, 17, 24));
    for (int y = 0; y < 17; ++y)
        std::copy_n(picture.topDownRow(y + 5) + 3 * 11, 3 * 21, copy.topDownRow(y));
    cJpeg fromRectangle;
    cJpeg fromCopy;
    ASSERT_EQ(fromRectangle.SampleHDC(picture.hDC(), 21, 17, 11, 5), 0);
    ASSERT_EQ(fromCopy.SampleHDC(copy.hDC(), 21, 17, 0, 0), 0);
    EXPECT_EQ(fromRectangle.FileBytes(), fromCopy.FileBytes());
}

} // namespace
