// Pictures decoded straight into a buffer (loadPictureBuffer) hold what loadPicture's picture
// copied by CopyStdPicture holds, for the layouts decoded directly (JPEG, binary PPM/PGM, plain
// PNG) and for those left to Qt's readers; damaged and refused files fail the same way.

#include "image/cimage.h"
#include "image/jpeg_colour_sampling.h"
#include "image/jpeg_writing.h"
#include "image/picture_loader.h"
#include "support/djpeg.h"
#include "support/temp_folder.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QImageWriter>
#include <gtest/gtest.h>

namespace vantola {
namespace {

using test::errorNumber;

// A picture whose every pixel differs from its neighbours in each channel.
QImage pattern(int width, int height, QImage::Format format) {
    QImage picture(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.setPixel(x, y,
                             qRgba(x * 37 + y * 11, x * 5 + y * 71, x * 13 ^ y * 29, 128 + x));
    return picture.convertToFormat(format);
}

QByteArray encoded(const QImage& picture, const char* format) {
    QByteArray bytes;
    QBuffer device(&bytes);
    device.open(QIODevice::WriteOnly);
    QImageWriter(&device, format).write(picture);
    return bytes;
}

TEST(PictureBuffer, HoldsTheCopyOfTheDecodedPictureOrRefusesWhatLoadPictureRefuses) {
    const QImage colour = pattern(9, 5, QImage::Format_RGB32);
    const QImage grey = pattern(7, 3, QImage::Format_Grayscale8);
    const QImage large = pattern(40, 30, QImage::Format_RGB32);
    const QByteArray ppm = encoded(large, "ppm");
    const QByteArray png = encoded(large, "png");
    const QByteArray jpeg = encoded(large, "jpg");
    struct Case {
        const char* name;
        QByteArray bytes;
        bool refused = false;
        qint64 maxPixels = kDefaultMaxPicturePixels;
    };
    std::vector<Case> cases = {
        {"colour.ppm", encoded(colour, "ppm")},
        {"grey.pgm", encoded(grey, "pgm")},
        {"odd.ppm", encoded(pattern(1, 1, QImage::Format_RGB32), "ppm")},
        {"colour.png", encoded(colour, "png")},
        {"grey.png", encoded(grey, "png")},
        {"grey.jpg", encoded(grey, "jpg")},
        // Left to Qt: transparency, an indexed PNG, a comment, a maximum other than 255, a BMP.
        {"alpha.png", encoded(pattern(6, 4, QImage::Format_ARGB32), "png")},
        {"indexed.png", encoded(colour.convertToFormat(QImage::Format_Indexed8), "png")},
        {"comment.ppm", QByteArray("P6\n# made by hand\n2 1\n255\n\x01\x02\x03\x04\x05\x06", 32)},
        {"fifteen.pgm", QByteArray("P5 2 2 15\n\x01\x05\x0a\x0f", 14)},
        {"colour.bmp", encoded(colour, "bmp")},
        {"short.ppm", ppm.left(ppm.size() - 1), true},
        {"short.png", png.left(png.size() / 2), true},
        {"no end.png", png.left(png.size() - 12), true},
        {"short.jpg", jpeg.left(jpeg.size() / 2), true},
        {"large.ppm", ppm, true, 40 * 30 - 1},
        {"large.png", png, true, 40 * 30 - 1},
        {"empty.ppm", QByteArray(), true},
    };
    const QDir examples(QStringLiteral(VANTOLA_SOURCE_DIR "/examples"));
    for (const QString& name : examples.entryList({QStringLiteral("*.jpg")}))
        cases.push_back({"example.jpg", test::readFileBytes(examples.filePath(name))});
    const test::TempFolder folder;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = folder.file(QString::fromLatin1(c.name));
        ASSERT_TRUE(test::writeFileBytes(path, c.bytes));
        cImage actual;
        if (c.refused) {
            EXPECT_EQ(481, errorNumber([&] { loadPicture(path, c.maxPixels); }));
            EXPECT_EQ(481, errorNumber([&] { loadPictureBuffer(path, actual, c.maxPixels); }));
            continue;
        }
        cImage expected;
        ASSERT_TRUE(expected.CopyStdPicture(loadPicture(path)));
        loadPictureBuffer(path, actual);
        ASSERT_EQ(expected.Width(), actual.Width());
        ASSERT_EQ(expected.Height(), actual.Height());
        ASSERT_EQ(expected.BitCount(), actual.BitCount());
        const qsizetype bytes = qsizetype(expected.BytesPerScanLine()) * expected.Height();
        EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(expected.DIBitsPtr()), bytes),
                  QByteArray(reinterpret_cast<const char*>(actual.DIBitsPtr()), bytes));
        for (int i = 0; i < 256; ++i) {
            const ColourEntry a = expected.colourTable()[i];
            const ColourEntry b = actual.colourTable()[i];
            EXPECT_TRUE(a.red == b.red && a.green == b.green && a.blue == b.blue) << "entry " << i;
        }
    }
    // The announced size is seen before the pixels, and may refuse them.
    const QString path = folder.file(QStringLiteral("seen.ppm"));
    ASSERT_TRUE(test::writeFileBytes(path, ppm));
    QSize seen;
    cImage buffer;
    EXPECT_EQ(7, errorNumber([&] {
                  loadPictureBuffer(path, buffer, kDefaultMaxPicturePixels, [&](QSize size) {
                      seen = size;
                      raiseError(kErrOutOfMemory);
                  });
              }));
    EXPECT_EQ(QSize(40, 30), seen);
}

// A PPM, PGM or PNG encoded as its rows are read from the file gives the bytes of the picture
// loaded whole first, for every sampling and sizes whose strips end anywhere; a file cut short
// fails from its rows and writes nothing; other pictures are left to the buffer.
TEST(PictureRows, EncodingAFileAsItIsReadGivesTheBytesOfItsBuffer) {
    const test::TempFolder folder;
    const QImage large = pattern(40, 30, QImage::Format_RGB32);
    const QByteArray ppm = encoded(large, "ppm");
    const QByteArray png = encoded(large, "png");
    const std::pair<const char*, QByteArray> files[] = {
        {"odd.ppm", encoded(pattern(37, 29, QImage::Format_RGB32), "ppm")},
        {"tall.ppm", encoded(pattern(19, 301, QImage::Format_RGB32), "ppm")},
        {"grey.pgm", encoded(pattern(5, 67, QImage::Format_Grayscale8), "pgm")},
        {"wide.png", encoded(pattern(67, 13, QImage::Format_RGB32), "png")},
        {"dot.png", encoded(pattern(1, 1, QImage::Format_Grayscale8), "png")},
    };
    std::vector<JpegSettings> settings(1);
    settings.front().greyscale = QStringLiteral("1");
    for (int h = 1; h <= 4; ++h)
        for (int v = 1; v <= 4; ++v)
            settings.push_back(
                {QStringLiteral("75"), QStringLiteral("0"), QStringLiteral("%1:%2").arg(h).arg(v)});
    for (const auto& [name, bytes] : files) {
        const QString path = folder.file(QString::fromLatin1(name));
        ASSERT_TRUE(test::writeFileBytes(path, bytes));
        cImage buffer;
        loadPictureBuffer(path, buffer);
        for (const JpegSettings& setting : settings) {
            SCOPED_TRACE(::testing::Message() << name << " " << qPrintable(setting.sample)
                                              << " grey " << qPrintable(setting.greyscale));
            const auto rows = openPictureRows(path);
            ASSERT_TRUE(rows);
            EXPECT_EQ(encodeJpeg(buffer, setting), encodeJpeg(*rows, setting));
        }
    }
    const std::pair<const char*, QByteArray> cutShort[] = {
        {"short.ppm", ppm.left(ppm.size() - 1)},
        {"short.png", png.left(png.size() / 2)},
        {"no end.png", png.left(png.size() - 12)},
    };
    const QString target = folder.file(QStringLiteral("out.jpg"));
    for (const auto& [name, bytes] : cutShort) {
        SCOPED_TRACE(name);
        const QString path = folder.file(QString::fromLatin1(name));
        ASSERT_TRUE(test::writeFileBytes(path, bytes));
        const auto rows = openPictureRows(path);
        ASSERT_TRUE(rows);
        EXPECT_EQ(481, errorNumber([&] { writeJpegReplacing(*rows, settings[1], target); }));
        EXPECT_EQ(QDir(folder.path())
                      .entryList({QStringLiteral("*.jpg"), QStringLiteral(".*")},
                                 QDir::Files | QDir::Hidden),
                  QStringList());
    }
    for (const auto& [name, bytes] :
         {std::pair{"alpha.png", encoded(pattern(6, 4, QImage::Format_ARGB32), "png")},
          std::pair{"photo.jpg", encoded(large, "jpg")}}) {
        const QString path = folder.file(QString::fromLatin1(name));
        ASSERT_TRUE(test::writeFileBytes(path, bytes));
        EXPECT_EQ(nullptr, openPictureRows(path)) << name;
    }
}

} // namespace
} // namespace vantola
