// Buffers derived from a buffer: mirror, rotation, resampling, grey.

#include "cimage_test_support.h"

#include <functional>
#include <gtest/gtest.h>

namespace vantola {
namespace {

using test::bufferOf;
using test::pixelAt;

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

using SourceOf = std::function<std::pair<qint32, qint32>(qint32, qint32)>;

void expectMapped(const cImage* result, qint32 width, qint32 height, qint16 bits,
                  const SourceOf& sourceOf) {
    ASSERT_NE(result, nullptr);
    ASSERT_EQ(result->Width(), width);
    ASSERT_EQ(result->Height(), height);
    ASSERT_EQ(result->BitCount(), bits);
    if (bits != 24) {
        EXPECT_EQ(result->colourTable()[1].red, 3);
    }
    for (qint32 y = 0; y < height; ++y) {
        for (qint32 x = 0; x < width; ++x) {
            const auto [sx, sy] = sourceOf(x, y);
            EXPECT_EQ(pixelAt(*result, x, y), pattern(sx, sy, bits))
                << bits << ": " << x << "," << y;
        }
    }
}

TEST(cImageTransform, MirrorAndRotateMapEveryPixel) {
    for (qint16 bits : {1, 4, 8, 24}) {
        const auto image = asymmetric(bits);
        expectMapped(image->Mirror(false).get(), 5, 3, bits, [](qint32 x, qint32 y) {
            return std::pair{4 - x, y};
        });
        expectMapped(image->Mirror(true).get(), 5, 3, bits, [](qint32 x, qint32 y) {
            return std::pair{x, 2 - y};
        });
        // 90: counter-clockwise, the top-right corner comes to the top left.
        expectMapped(image->Rotate(90).get(), 3, 5, bits, [](qint32 x, qint32 y) {
            return std::pair{4 - y, x};
        });
        expectMapped(image->Rotate(180).get(), 5, 3, bits, [](qint32 x, qint32 y) {
            return std::pair{4 - x, 2 - y};
        });
        expectMapped(image->Rotate(270).get(), 3, 5, bits, [](qint32 x, qint32 y) {
            return std::pair{y, 2 - x};
        });
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
