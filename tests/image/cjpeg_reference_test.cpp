// Our files against libjpeg-turbo's tools: every file must decode cleanly with djpeg, for every
// sampling of the settings dialog, grey, a sweep of qualities and awkward sizes; jpegtran must
// find no shorter codes; and next to cjpeg they must hold their size and PSNR.
#include "image/cjpeg.h"
#include "image/jpeg_dct_quantization.h"
#include "support/djpeg.h"
#include "support/temp_folder.h"

#include <QFile>
#include <gtest/gtest.h>

#ifndef VANTOLA_SHARED_PAGES
#define VANTOLA_SHARED_PAGES ""
#endif

namespace {

using namespace vantola;
using namespace vantola::test;

// The sixteen luminance samplings of the JPEG settings dialog (H and V from 1 to 4), then grey.
std::vector<EncoderSettings> everySampling() {
    std::vector<EncoderSettings> settings;
    for (int h = 1; h <= 4; ++h)
        for (int v = 1; v <= 4; ++v)
            settings.push_back({75, h, v, false});
    settings.push_back({75, 1, 1, true});
    return settings;
}

std::string describe(const EncoderSettings& s, const QImage& picture) {
    return QString::asprintf("%d:%d%s q%d %dx%d", s.h, s.v, s.grey ? " grey" : "", s.quality,
                             picture.width(), picture.height())
        .toStdString();
}

// Encodes, decodes with djpeg and checks a clean decode of the right size and kind.
QImage encodeAndDecode(const QImage& picture, const EncoderSettings& settings,
                       const QString& path) {
    SCOPED_TRACE(describe(settings, picture));
    QFile::remove(path);
    EXPECT_EQ(encodeWithOurEncoder(picture, settings, path), cJpeg::kSaved);
    const DecodedJpeg decoded = decodeWithDjpeg(path);
    EXPECT_EQ(decoded.status, 0);
    EXPECT_EQ(decoded.errors.toStdString(), "");
    EXPECT_EQ(decoded.picture.size(), picture.size());
    EXPECT_EQ(decoded.picture.format() == QImage::Format_Grayscale8, settings.grey);
    return decoded.picture;
}

TEST(CJpegDecode, EverySamplingQualityAndSizeDecodesCleanlyWithColoursInPlace) {
    TempFolder folder;
    const QString path = folder.file(QStringLiteral("sweep.jpg"));
    const QSize sizes[] = {{1, 1}, {6, 5}, {17, 9}, {8, 8}, {1, 4000}, {4000, 1}, {256, 192}};
    for (EncoderSettings settings : everySampling()) {
        for (const int quality : {1, 2, 50, 75, 95, 100}) {
            settings.quality = quality;
            for (const QSize size : sizes) {
                const QImage picture = redOnBlue(size.width(), size.height());
                const QImage decoded = encodeAndDecode(picture, settings, path);
                SCOPED_TRACE(describe(settings, picture));
                // Probes well inside each region of the red-on-blue picture: a flip, a turn, a
                // channel swap or a shifted plane puts the wrong colour there.
                for (const QPoint probe :
                     {QPoint(40, 30), QPoint(100, 150), QPoint(180, 30), QPoint(250, 100)}) {
                    const QRect pixel(probe, QSize(1, 1));
                    if (size.width() == 256 && quality >= 50 && !settings.grey) {
                        EXPECT_LE(maxSampleDifference(decoded.copy(pixel), picture.copy(pixel)), 40)
                            << probe.x() << "," << probe.y();
                    }
                }
                if (quality == 1 || quality == 100) {
                    encodeAndDecode(checkerboard(size.width(), size.height()), settings, path);
                    const QImage flat = flatPicture(size.width(), size.height(), qRgb(90, 160, 40));
                    const QImage decodedFlat = encodeAndDecode(flat, settings, path);
                    if (quality == 100 && !settings.grey) {
                        EXPECT_LE(maxSampleDifference(decodedFlat, flat), 3);
                    }
                }
            }
        }
    }
}

TEST(CJpegDecode, LargePagesDecodeCleanly) {
    TempFolder folder;
    const QString path = folder.file(QStringLiteral("page.jpg"));
    const QImage page = photoLikePicture(3000, 4000);
    EXPECT_GT(psnr(encodeAndDecode(page, {75, 2, 2, false}, path), page), 30.0);
    encodeAndDecode(page, {75, 1, 1, true}, path);
    encodeAndDecode(page, {1, 4, 4, false}, path);
}

// jpegtran, given the same scans, rebuilds optimal Huffman tables for our coefficients: the
// pixels must not change and its scan data must not be smaller than ours. (jpegtran fits its
// tables scan by scan; where our one chroma table serves two scans, as with 3:3 whose scans
// are {Y, Cb} and {Cr}, it can do better, so only the pixels are compared there.)
TEST(CJpegDecode, JpegtranFindsNoShorterCodes) {
    TempFolder folder;
    const QString ours = folder.file(QStringLiteral("ours.jpg"));
    const QString optimized = folder.file(QStringLiteral("optimized.jpg"));
    const QString scans = folder.file(QStringLiteral("scans.txt"));
    for (const QImage& picture : {photoLikePicture(123, 77), checkerboard(40, 24)}) {
        for (EncoderSettings settings : everySampling()) {
            for (const int quality : {1, 75, 100}) {
                settings.quality = quality;
                SCOPED_TRACE(describe(settings, picture));
                QFile::remove(optimized);
                const QImage decoded = encodeAndDecode(picture, settings, ours);
                // Our scans as a jpegtran scan script (component identifiers 1, 2, 3 are its
                // indexes 0, 1, 2); the chroma share one scan unless the second starts with Cb.
                QByteArray script;
                int scanCount = 0;
                bool chromaInOneScan = true;
                for (const JpegSegment& segment : parseJpeg(readFileBytes(ours)).segments) {
                    if (segment.marker != 0xDA)
                        continue;
                    QByteArrayList components;
                    for (int i = 0; i < segment.payload.at(0); ++i)
                        components += QByteArray::number(segment.payload.at(1 + 2 * i) - 1);
                    if (++scanCount == 2)
                        chromaInOneScan = components.first() == "1";
                    script += components.join(' ') + ": 0 63 0 0;\n";
                }
                ASSERT_TRUE(writeFileBytes(scans, script));
                const ToolResult run = runTool(
                    QStringLiteral("jpegtran"),
                    {QStringLiteral("-copy"), QStringLiteral("none"), QStringLiteral("-optimize"),
                     QStringLiteral("-scans"), scans, QStringLiteral("-outfile"), optimized, ours});
                ASSERT_EQ(run.status, 0) << run.err.toStdString();
                EXPECT_EQ(decodeWithDjpeg(optimized).picture, decoded);
                if (chromaInOneScan) {
                    EXPECT_LE(parseJpeg(readFileBytes(ours)).scanDataBytes,
                              parseJpeg(readFileBytes(optimized)).scanDataBytes);
                }
            }
        }
    }
}

// Our design is libjpeg's float DCT with optimized tables, so at 2:2 and quality 75 our files
// stay close to cjpeg's in size and PSNR (the benchmark holds the tight bounds on full pages).
// Against cjpeg given our own quantization tables, they must be closer still.
void compareWithCjpeg(const QImage& picture) {
    TempFolder folder;
    const QString pnm = folder.file(QStringLiteral("picture.ppm"));
    const QString tables = folder.file(QStringLiteral("tables.txt"));
    const QString ours = folder.file(QStringLiteral("ours.jpg"));
    ASSERT_TRUE(writePnm(picture, pnm));
    QByteArray ourTables; // at quality 75, as a cjpeg -qtables file (natural order)
    for (const auto* base : {&jpeg::kLumBase, &jpeg::kChrBase}) {
        jpeg::QuantTable table;
        jpeg::scaleQuantTable(*base, jpeg::qualityScale(75), table);
        for (int natural = 0; natural < 64; ++natural)
            ourTables += QByteArray::number(table.Qk[jpeg::kZigZag[natural % 8][natural / 8]]) +
                         (natural % 8 == 7 ? "\n" : " ");
    }
    ASSERT_TRUE(writeFileBytes(tables, ourTables));
    ASSERT_EQ(encodeWithOurEncoder(picture, {75, 2, 2, false}, ours), cJpeg::kSaved);
    const double ourSize = QFile(ours).size();
    const double ourPsnr = psnr(decodeWithDjpeg(ours).picture, picture);
    const QString design = QStringLiteral(" -dct float -optimize -baseline -sample 2x2");
    const struct {
        QString options;
        double sizeTolerance;
        double psnrTolerance;
    } references[] = {
        {QStringLiteral("-quality 75") + design, 0.05, 0.3},
        {QStringLiteral("-quality 50 -qslots 0,1,1 -qtables ") + tables + design, 0.015, 0.1},
    };
    for (const auto& reference : references) {
        SCOPED_TRACE(reference.options.toStdString());
        const QString theirs = folder.file(QStringLiteral("theirs.jpg"));
        QFile::remove(theirs);
        ASSERT_EQ(encodeWithCjpeg(pnm, reference.options.split(' '), theirs).status, 0);
        EXPECT_NEAR(ourSize / QFile(theirs).size(), 1.0, reference.sizeTolerance);
        EXPECT_NEAR(ourPsnr, psnr(decodeWithDjpeg(theirs).picture, picture),
                    reference.psnrTolerance);
    }
}

TEST(CJpegCompare, CloseToCjpegOnADrawnPictureAndARealPage) {
    compareWithCjpeg(photoLikePicture(640, 480));
    const QImage page(QStringLiteral(VANTOLA_SHARED_PAGES "/peppercarrot-ep02/p001.jpg"));
    if (page.isNull())
        GTEST_SKIP() << "the shared pages are not here";
    compareWithCjpeg(page.convertToFormat(QImage::Format_RGB888));
}

} // namespace
