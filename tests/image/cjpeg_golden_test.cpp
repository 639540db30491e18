// For grey and 1:1 sampling the output is fully defined, so the bytes are locked: by hand for
// uniform blocks, by hash for small pictures with some detail.
#include "image/cjpeg.h"
#include "support/djpeg.h"
#include "support/temp_folder.h"

#include <QCryptographicHash>
#include <gtest/gtest.h>

namespace {

using namespace vantola;
using namespace vantola::test;

QByteArray encode(const QImage& picture, const EncoderSettings& settings, TempFolder& folder) {
    static int count = 0;
    const QString path = folder.file(QStringLiteral("golden-%1.jpg").arg(++count));
    EXPECT_EQ(encodeWithOurEncoder(picture, settings, path), cJpeg::kSaved);
    return readFileBytes(path);
}

QImage greyBlocks(const std::vector<int>& levels) {
    QImage picture(8 * int(levels.size()), 8, QImage::Format_RGB888);
    for (int b = 0; b < int(levels.size()); ++b)
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                picture.setPixel(8 * b + x, y, qRgb(levels[b], levels[b], levels[b]));
    return picture;
}

// Edges, ramps and texture from integer arithmetic only, the same on every machine.
QImage integerPattern(int width, int height) {
    QImage picture(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.setPixel(x, y,
                             qRgb((x * 7 + y * 3) % 256, x < width / 3 ? 240 : (x * y * 5) % 256,
                                  (x * x + y * y * 2) % 200 + (y > height / 2 ? 40 : 0)));
    return picture;
}

// The coded data of the file's only scan.
QByteArray scanData(const QByteArray& file) {
    const qsizetype sos = file.indexOf(QByteArray("\xFF\xDA", 2));
    const int length = quint8(file[sos + 2]) * 256 + quint8(file[sos + 3]);
    const qsizetype start = sos + 2 + length;
    return file.mid(start, file.size() - 2 - start);
}

TEST(CJpegGolden, UniformBlocksCodeAsComputedByHand) {
    TempFolder folder;
    const EncoderSettings grey{75, 1, 1, true};
    // Level 128 is 0 after the level shift: every coefficient 0, tables of the single symbol 0
    // with a 1-bit code 0: two bits per block, padded with 1-bits.
    EXPECT_EQ(scanData(encode(greyBlocks({128}), grey, folder)), QByteArray("\x3F", 1));
    EXPECT_EQ(scanData(encode(greyBlocks({128, 128, 128, 128}), grey, folder)),
              QByteArray("\x00", 1));
    // Level 138: DC 64 x 10 x FScale(0) = 64 x 10 / (8 x 8) = 10 at quality 75. Differences 10
    // and -10 are both size 4, the only DC symbol (code 0): 0 1010 0 | 0 0101 0 | 1111.
    EXPECT_EQ(scanData(encode(greyBlocks({138, 128}), grey, folder)), QByteArray("\x50\xAF", 2));
    // 1:1 colour of grey levels: Cb and Cr quantize to 0, so their tables hold the single DC
    // symbol 0 and the end of block, and each MCU codes Y as above then 00 for Cb and for Cr:
    // 010100 00 00 | 001010 00 00 | 1111.
    EXPECT_EQ(scanData(encode(greyBlocks({138, 128}), {75, 1, 1, false}, folder)),
              QByteArray("\x50\x0A\x0F", 3));
}

TEST(CJpegGolden, SmallPicturesKeepTheirBytes) {
    TempFolder folder;
    const QImage picture = integerPattern(37, 23);
    const struct {
        EncoderSettings settings;
        const char* sha256;
    } cases[] = {
        {{75, 1, 1, true}, "f9000b3fae61554d1ec0d3e25a09c11e9b0a990f09d7ea62326a8863e3d18f6e"},
        {{50, 1, 1, true}, "c59fd5f5371e40fe1fc71e41f74444abbe78617ef5df8f39f74abba6c4fa7daa"},
        {{75, 1, 1, false}, "0a26ec7c0d213f051947b4725124eeedadabd812424b2e9da384f3d5ef217abb"},
        {{1, 1, 1, false}, "7b3a0ac9a8795f30cffe910594c485d35db06998266008c18f2a8129cfc849f3"},
        {{100, 1, 1, false}, "898752d505aada439ed7d2c6cf6387d4484f64509de3b8b12b81dc4a04b45861"},
    };
    for (const auto& c : cases) {
        const QByteArray bytes = encode(picture, c.settings, folder);
        EXPECT_EQ(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex().toStdString(),
                  c.sha256)
            << "q" << c.settings.quality << (c.settings.grey ? " grey" : " 1:1");
    }
}

} // namespace
