// The encoder's settings: quality tables with their double rounding, sampling validation, the
// comment limit, and what SampleHDC stores.
#include "image/cimage.h"
#include "image/cjpeg.h"
#include "image/jpeg_dct_quantization.h"
#include "settings/app_error.h"

#include <gtest/gtest.h>

namespace {

using namespace vantola;

std::vector<int> firstValues(const jpeg::QuantTable& table, int count) {
    return std::vector<int>(table.Qk.begin(), table.Qk.begin() + count);
}

// The encoder error's description, or "" when the call succeeds.
template <class Call>
QString encoderError(Call&& call) {
    try {
        call();
    } catch (const AppError& error) {
        EXPECT_EQ(error.number(), kErrEncoder);
        return error.description();
    }
    return {};
}

TEST(CJpegSettings, QualityScalesTheAnnexKTablesWithDoubleRounding) {
    cJpeg encoder;
    EXPECT_EQ(encoder.Quality(), 75);
    EXPECT_EQ(firstValues(encoder.quantTable(0), 16),
              (std::vector<int>{8, 6, 6, 8, 6, 6, 8, 8, 7, 8, 10, 9, 8, 10, 12, 20}));
    // Both tables' multipliers: s(u) s(v) / q in single precision, zig-zag order.
    EXPECT_EQ(encoder.quantTable(0).FScale[0], float(0.353553390593273 * 0.353553390593273 / 8));
    EXPECT_EQ(encoder.quantTable(1).FScale[jpeg::kZigZag[7][7]],
              float(1.28145772387074 * 1.28145772387074 / 50));

    encoder.setQuality(50); // odd base values come out one higher
    EXPECT_EQ(firstValues(encoder.quantTable(0), 12),
              (std::vector<int>{16, 12, 12, 14, 12, 10, 16, 14, 14, 14, 18, 18}));
    EXPECT_EQ(firstValues(encoder.quantTable(1), 6), (std::vector<int>{18, 18, 18, 24, 22, 24}));

    for (const qint32 refused : {0, 101, -5}) {
        encoder.setQuality(refused);
        EXPECT_EQ(encoder.Quality(), 50);
        EXPECT_EQ(encoder.quantTable(0).Qk[0], 16);
    }
    for (const auto& [quality, everywhere] : {std::pair{1, 255}, std::pair{100, 1}}) {
        encoder.setQuality(quality);
        for (int t = 0; t < 2; ++t)
            for (const int value : encoder.quantTable(t).Qk)
                EXPECT_EQ(value, everywhere) << "quality " << quality;
    }
    encoder.setQuality(3); // 5000 / 3 = 1666.7 gives scale 1667: 16 x 1667 + 50 = 26722
    EXPECT_EQ(encoder.quantTable(0).Qk[0], 255);
    EXPECT_EQ(encoder.quantTable(0).Qk[5], 167); // base 10: 16720 / 100 = 167.2
}

TEST(CJpegSettings, SamplingIsCheckedBeforeAnythingChanges) {
    cJpeg encoder;
    EXPECT_EQ(encoder.components().size(), 3u);
    EXPECT_EQ(encoder.hmax(), 2);

    encoder.SetSamplingFrequencies(3, 3, 0, 0, 0, 0); // grey: one component sampled 1x1
    ASSERT_EQ(encoder.components().size(), 1u);
    EXPECT_EQ(encoder.components()[0].H, 1);
    EXPECT_EQ(encoder.components()[0].V, 1);
    EXPECT_EQ(encoder.hmax(), 1);

    const QString invalid = QStringLiteral("Invalid Sampling Value");
    EXPECT_EQ(encoderError([&] { encoder.SetSamplingFrequencies(2, 0, 1, 1, 1, 1); }), invalid);
    EXPECT_EQ(encoderError([&] { encoder.SetSamplingFrequencies(5, 1, 0, 0, 0, 0); }), invalid);
    EXPECT_EQ(encoderError([&] { encoder.SetSamplingFrequencies(2, 2, 0, 1, 1, 1); }), invalid);
    EXPECT_EQ(encoderError([&] { encoder.SetSamplingFrequencies(2, 2, 1, 1, 1, 5); }), invalid);
    EXPECT_EQ(encoder.components().size(), 1u); // the refused calls changed nothing

    encoder.SetSamplingFrequencies(4, 3, 1, 1, 1, 1);
    ASSERT_EQ(encoder.components().size(), 3u);
    EXPECT_EQ(encoder.components()[0].Tq, 0);
    EXPECT_EQ(encoder.components()[2].Tq, 1);
    EXPECT_EQ(encoder.hmax(), 4);
    EXPECT_EQ(encoder.vmax(), 3);
}

TEST(CJpegSettings, CommentLimit) {
    cJpeg encoder;
    const QString longest(65533, QLatin1Char('a'));
    encoder.setComment(longest);
    EXPECT_EQ(encoderError([&] { encoder.setComment(QString(65534, QLatin1Char('b'))); }),
              QStringLiteral("Illegal Comment Length"));
    EXPECT_EQ(encoder.Comment(), longest);
}

TEST(CJpegSettings, SampleHdcStoresPaddedComponents) {
    cImage picture;
    ASSERT_TRUE(picture.Create(17, 9, 24));
    cJpeg encoder;
    ASSERT_EQ(encoder.SampleHDC(picture.hDC(), 17, 9, 0, 0), 0);
    // 17 x 9 at 2x2: Y 17 x 9 padded to 24 x 16, Cb and Cr 9 x 5 padded to 16 x 8.
    const auto& components = encoder.components();
    EXPECT_EQ(components[0].blocksAcross * components[0].blocksDown, 6);
    EXPECT_EQ(components[0].Data.size(), 24u * 16u);
    EXPECT_EQ(components[1].width, 9);
    EXPECT_EQ(components[1].height, 5);
    EXPECT_EQ(components[2].Data.size(), 16u * 8u);

    // Nothing to sample: 1 and the coefficients stay.
    EXPECT_EQ(encoder.SampleHDC(nullptr, 17, 9, 0, 0), 1);
    EXPECT_EQ(encoder.SampleHDC(picture.hDC(), 0, 9, 0, 0), 1);
    EXPECT_EQ(encoder.components()[0].Data.size(), 24u * 16u);

    // A new sampling discards them.
    encoder.SetSamplingFrequencies(1, 1, 1, 1, 1, 1);
    EXPECT_TRUE(encoder.components()[0].Data.empty());
}

// A single red pixel is repeated over its whole block: every AC coefficient is 0.
TEST(CJpegSettings, EdgePaddingRepeatsTheLastPixel) {
    cImage picture;
    ASSERT_TRUE(picture.Create(1, 1, 24));
    picture.topDownRow(0)[2] = 255; // blue, green, red
    cJpeg encoder;
    ASSERT_EQ(encoder.SampleHDC(picture.hDC(), 1, 1, 0, 0), 0);
    for (const auto& component : encoder.components()) {
        ASSERT_EQ(component.blockCount(), 1u);
        EXPECT_NE(component.Data[0], 0);
        for (int k = 1; k < 64; ++k)
            EXPECT_EQ(component.Data[k], 0);
    }
}

} // namespace
