// Every file our encoder writes must decode cleanly with an independent decoder, for every
// sampling of the settings dialog, grey, a sweep of qualities and awkward sizes.
#include "image/cjpeg.h"
#include "support/djpeg.h"
#include "support/temp_folder.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

using namespace vantola::test;

// The sixteen luminance samplings of the JPEG settings dialog, then grey.
std::vector<EncoderSettings> everySampling() {
    static const int factors[16][2] = {{1, 1}, {1, 2}, {2, 1}, {2, 2}, {1, 3}, {3, 1},
                                       {2, 3}, {3, 2}, {3, 3}, {1, 4}, {4, 1}, {2, 4},
                                       {4, 2}, {3, 4}, {4, 3}, {4, 4}};
    std::vector<EncoderSettings> settings;
    for (const auto& hv : factors)
        settings.push_back({75, hv[0], hv[1], false});
    settings.push_back({75, 1, 1, true});
    return settings;
}

QString describe(const EncoderSettings& s, const QImage& picture) {
    return QStringLiteral("%1 q%2 %3x%4")
        .arg(s.grey ? QStringLiteral("grey") : QStringLiteral("%1:%2").arg(s.h).arg(s.v))
        .arg(s.quality)
        .arg(picture.width())
        .arg(picture.height());
}

// Encodes, decodes with djpeg and checks a clean decode of the right size and kind.
QImage encodeAndDecode(const QImage& picture, const EncoderSettings& settings,
                       const QString& path) {
    QFile::remove(path);
    const QString what = describe(settings, picture);
    EXPECT_EQ(encodeWithOurEncoder(picture, settings, path), vantola::cJpeg::kSaved)
        << qPrintable(what);
    const DecodedJpeg decoded = decodeWithDjpeg(path);
    EXPECT_EQ(decoded.status, 0) << qPrintable(what);
    EXPECT_TRUE(decoded.errors.isEmpty())
        << qPrintable(what + QStringLiteral(": ") + decoded.errors);
    EXPECT_EQ(decoded.picture.size(), picture.size()) << qPrintable(what);
    EXPECT_EQ(decoded.picture.format() == QImage::Format_Grayscale8, settings.grey)
        << qPrintable(what);
    return decoded.picture;
}

// Probes well inside each region of the red-on-blue picture: a flip, a turn, a channel swap or a
// shifted plane puts the wrong colour there.
void expectColoursInPlace(const QImage& decoded, const QImage& picture, const QString& what) {
    for (const QPoint probe :
         {QPoint(40, 30), QPoint(100, 150), QPoint(180, 30), QPoint(250, 100)}) {
        const QColor expected = picture.pixelColor(probe);
        const QColor actual = decoded.pixelColor(probe);
        EXPECT_NEAR(actual.red(), expected.red(), 40)
            << qPrintable(what) << " at " << probe.x() << "," << probe.y();
        EXPECT_NEAR(actual.green(), expected.green(), 40) << qPrintable(what);
        EXPECT_NEAR(actual.blue(), expected.blue(), 40) << qPrintable(what);
    }
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
                if (size.width() == 256 && quality >= 50 && !settings.grey) {
                    expectColoursInPlace(decoded, picture, describe(settings, picture));
                }
                if (quality == 1 || quality == 100) {
                    encodeAndDecode(checkerboard(size.width(), size.height()), settings, path);
                    const QImage flat = flatPicture(size.width(), size.height(), qRgb(90, 160, 40));
                    const QImage decodedFlat = encodeAndDecode(flat, settings, path);
                    if (quality == 100 && !settings.grey) {
                        EXPECT_LE(maxSampleDifference(decodedFlat, flat), 3)
                            << qPrintable(describe(settings, flat));
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

// The scans of a written file as a jpegtran scan script; also tells whether the chroma
// components share one scan (or there is no chroma).
QByteArray jpegtranScanScript(const QString& path, bool& chromaInOneScan) {
    QByteArray script;
    int scans = 0;
    chromaInOneScan = true;
    for (const JpegSegment& segment : parseJpeg(readFileBytes(path)).segments) {
        if (segment.marker != 0xDA)
            continue;
        QByteArrayList components; // identifiers 1, 2, 3 are indexes 0, 1, 2
        for (int i = 0; i < segment.payload.at(0); ++i)
            components += QByteArray::number(segment.payload.at(1 + 2 * i) - 1);
        if (++scans == 2)
            chromaInOneScan = components.first() == "1";
        script += components.join(' ') + ": 0 63 0 0;\n";
    }
    return script;
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
    const QImage pictures[] = {photoLikePicture(123, 77), checkerboard(40, 24)};
    for (const QImage& picture : pictures) {
        for (EncoderSettings settings : everySampling()) {
            for (const int quality : {1, 75, 100}) {
                settings.quality = quality;
                const QString what = describe(settings, picture);
                QFile::remove(optimized);
                const QImage decoded = encodeAndDecode(picture, settings, ours);
                bool chromaInOneScan = true;
                const QByteArray script = jpegtranScanScript(ours, chromaInOneScan);
                ASSERT_TRUE(writeFileBytes(scans, script));
                const ToolResult run = runTool(
                    QStringLiteral("jpegtran"),
                    {QStringLiteral("-copy"), QStringLiteral("none"), QStringLiteral("-optimize"),
                     QStringLiteral("-scans"), scans, QStringLiteral("-outfile"), optimized, ours});
                ASSERT_EQ(run.status, 0) << qPrintable(what + QStringLiteral(": ") + run.err);
                EXPECT_EQ(decodeWithDjpeg(optimized).picture, decoded) << qPrintable(what);
                if (chromaInOneScan) {
                    EXPECT_LE(parseJpeg(readFileBytes(ours)).scanDataBytes,
                              parseJpeg(readFileBytes(optimized)).scanDataBytes)
                        << qPrintable(what);
                }
            }
        }
    }
}

} // namespace
