// The encoder's settings as the written file shows them: quality tables, sampling validation, the
// comment limit, and what SampleHDC keeps.
#include "image/cimage.h"
#include "image/cjpeg.h"
#include "settings/app_error.h"
#include "support/djpeg.h"

#include <gtest/gtest.h>

namespace {

using namespace vantola;
using namespace vantola::test;

// The file the encoder writes for a picture of one colour.
QByteArray written(cJpeg& encoder, int width = 16, int height = 16, QRgb colour = qRgb(0, 0, 0)) {
    cImage picture;
    qint16 depth = 0;
    EXPECT_TRUE(picture.CopyStdPicture(flatPicture(width, height, colour), &depth));
    EXPECT_EQ(encoder.SampleHDC(picture.hDC(), width, height, 0, 0), 0);
    return encoder.FileBytes();
}

// The payloads of the segments with that marker.
std::vector<QByteArray> payloads(const QByteArray& file, int marker) {
    std::vector<QByteArray> found;
    for (const JpegSegment& segment : parseJpeg(file).segments)
        if (segment.marker == marker)
            found.push_back(segment.payload);
    return found;
}

// The encoder error's number, or 0 when the call succeeds.
template <class Call>
int errorNumber(Call&& call) {
    try {
        call();
    } catch (const AppError& error) {
        return error.number();
    }
    return 0;
}

// Quality 3: 5000 / 3 = 1666.7 gives scale 1667; 16 x 1667 + 50 = 26722 clamps to 255, base 10
// gives 167.2. (The tables of qualities 1, 50, 75 and 100 are locked by the golden files.)
TEST(CJpegSettings, QualityScalesTheAnnexKTablesAndIgnoresRefusedValues) {
    cJpeg encoder;
    EXPECT_EQ(encoder.Quality(), 75);
    encoder.setQuality(3);
    const QByteArray atThree = written(encoder);
    EXPECT_EQ(payloads(atThree, 0xDB).at(0).mid(1, 6), QByteArray("\xFF\xB8\xC9\xEA\xC9\xA7", 6));
    for (const qint32 refused : {0, 101, -5}) {
        encoder.setQuality(refused);
        EXPECT_EQ(encoder.Quality(), 3);
        EXPECT_EQ(written(encoder), atThree);
    }
}

// A refused sampling keeps the settings and the coefficients: the same file comes out without
// sampling again. An accepted one discards the coefficients.
TEST(CJpegSettings, SamplingIsCheckedBeforeAnythingChanges) {
    cJpeg encoder;
    encoder.SetSamplingFrequencies(3, 3, 0, 0, 0, 0); // grey: one component sampled 1x1
    const QByteArray grey = written(encoder);
    for (const auto& f : {std::array{2, 0, 1, 1, 1, 1}, std::array{5, 1, 0, 0, 0, 0},
                          std::array{2, 2, 0, 1, 1, 1}, std::array{2, 2, 1, 1, 1, 5}}) {
        EXPECT_EQ(errorNumber(
                      [&] { encoder.SetSamplingFrequencies(f[0], f[1], f[2], f[3], f[4], f[5]); }),
                  kErrEncoder);
        EXPECT_EQ(encoder.FileBytes(), grey);
    }
    encoder.SetSamplingFrequencies(4, 3, 1, 1, 1, 1);
    EXPECT_EQ(errorNumber([&] { encoder.FileBytes(); }), kErrSubscript);
    EXPECT_EQ(payloads(written(encoder), 0xC0).at(0).mid(5),
              QByteArray("\x03\x01\x43\x00\x02\x11\x01\x03\x11\x01", 10));
}

TEST(CJpegSettings, CommentLimit) {
    cJpeg encoder;
    const QString longest(65533, QLatin1Char('a'));
    encoder.setComment(longest);
    EXPECT_EQ(errorNumber([&] { encoder.setComment(longest + QLatin1Char('b')); }), kErrEncoder);
    EXPECT_EQ(encoder.Comment(), longest);
}

// Nothing to sample: 1, and the coefficients of the last picture stay.
TEST(CJpegSettings, NothingToSampleKeepsTheCoefficients) {
    cJpeg encoder;
    const QByteArray first = written(encoder, 17, 9, qRgb(200, 30, 90));
    cImage picture;
    ASSERT_TRUE(picture.Create(17, 9, 24));
    EXPECT_EQ(encoder.SampleHDC(nullptr, 17, 9, 0, 0), 1);
    EXPECT_EQ(encoder.SampleHDC(picture.hDC(), 0, 9, 0, 0), 1);
    EXPECT_EQ(encoder.FileBytes(), first);
}

// A single red pixel is repeated over its whole 2x2 unit: its scans are those of a red 16 x 16
// picture.
TEST(CJpegSettings, EdgePaddingRepeatsTheLastPixel) {
    cJpeg encoder;
    const QByteArray pixel = written(encoder, 1, 1, qRgb(255, 0, 0));
    const QByteArray unit = written(encoder, 16, 16, qRgb(255, 0, 0));
    EXPECT_EQ(pixel.mid(pixel.indexOf("\xFF\xDA")), unit.mid(unit.indexOf("\xFF\xDA")));
}

} // namespace
