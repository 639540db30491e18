// The encoder's scalar paths and its AVX2 kernels give the same bits: whole files for every
// sampling, odd sizes and every quality, and the kernels over the edges of their ranges.
#include "image/cjpeg.h"
#include "image/jpeg_colour_sampling.h"
#include "image/vector_paths.h"
#include "settings/app_error.h"
#include "support/djpeg.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

using namespace vantola;
using namespace vantola::jpeg;
using namespace vantola::test;

// Runs `work` on the scalar paths, then on the vector paths, and restores the choice.
template <class Work>
auto onBothPaths(Work work) {
    const bool before = useVectorPaths();
    chooseVectorPaths(false);
    auto scalar = work();
    chooseVectorPaths(true);
    auto vector = work();
    chooseVectorPaths(before);
    return std::make_pair(scalar, vector);
}

class JpegVectorPaths : public ::testing::Test {
protected:
    void SetUp() override {
        if (!__builtin_cpu_supports("avx2"))
            GTEST_SKIP() << "no AVX2 on this processor";
    }
};

QByteArray encoded(const QImage& picture, const EncoderSettings& settings) {
    cJpeg encoder;
    applyEncoderSettings(encoder, settings);
    EXPECT_TRUE(samplePicture(encoder, picture));
    return encoder.FileBytes();
}

TEST_F(JpegVectorPaths, EverySamplingSizeAndQualityGivesTheSameFile) {
    std::vector<std::pair<QSize, EncoderSettings>> cases;
    for (const QSize size :
         {QSize(1, 1), QSize(2, 3), QSize(7, 5), QSize(17, 9), QSize(33, 31), QSize(3, 67),
          QSize(66, 42), QSize(19, 301), QSize(4098, 4), QSize(4099, 3)}) {
        cases.push_back({size, {75, 1, 1, true}});
        for (int h = 1; h <= 4; ++h)
            for (int v = 1; v <= 4; ++v)
                cases.push_back({size, {75, h, v, false}});
    }
    for (int quality = 1; quality <= 100; ++quality)
        cases.push_back({QSize(37, 29), {quality, 2, 2, false}});
    for (const auto& [size, settings] : cases) {
        SCOPED_TRACE(::testing::Message()
                     << size.width() << "x" << size.height() << " q" << settings.quality << " "
                     << settings.h << "x" << settings.v << (settings.grey ? " grey" : ""));
        const QImage picture = photoLikePicture(size.width(), size.height());
        const auto [scalar, vector] = onBothPaths([&] { return encoded(picture, settings); });
        EXPECT_EQ(scalar, vector);
    }
}

// Every blue, green, red triple, for the three components.
TEST_F(JpegVectorPaths, ColourConversionOfEveryPixel) {
    std::vector<std::uint8_t> row(3 * 65536);
    for (const ColourWeights& weights : kComponentWeights) {
        const SampleConverter converter(weights);
        for (int blue = 0; blue < 256; ++blue) {
            for (int i = 0; i < 65536; ++i) {
                row[3 * i] = static_cast<std::uint8_t>(blue);
                row[3 * i + 1] = static_cast<std::uint8_t>(i >> 8);
                row[3 * i + 2] = static_cast<std::uint8_t>(i);
            }
            const auto [scalar, vector] = onBothPaths([&] {
                std::vector<float> samples(65536);
                converter.convert(row.data(), 65536, samples.data());
                return samples;
            });
            ASSERT_EQ(scalar, vector) << "blue " << blue;
        }
    }
}

// Products at the rounding halves and at the ends of the 16-bit range, in a block whose
// multipliers are all 1 (FScale is used as it is).
TEST_F(JpegVectorPaths, QuantizationAtHalvesAndRangeEnds) {
    QuantTable ones;
    ones.FScale.fill(1.0f);
    const struct {
        float value;
        bool overflows;
    } cases[] = {{0.5f, false},    {1.5f, false},      {-0.5f, false},     {-2.5f, false},
                 {256.0f, false},  {-300.0f, false},   {32767.0f, false},  {32767.4f, false},
                 {32767.5f, true}, {-32768.0f, false}, {-32768.5f, false}, {-32769.0f, true},
                 {1.0e9f, true},   {0.0f, false}};
    for (const auto& c : cases) {
        for (int k = 0; k < 64; k += 9) {
            SCOPED_TRACE(::testing::Message() << c.value << " at " << k);
            std::vector<float> block(64, 0.0f);
            block[k] = c.value;
            block[63 - k] = -1.0f;
            const auto [scalar, vector] = onBothPaths([&] {
                std::vector<std::int16_t> out(1 + AcStore::kMaxBlockWords, 99);
                const int error = errorNumber(
                    [&] { quantizeStrip(block.data(), 8, ones, out.data(), out.data() + 1); });
                return std::make_pair(error, out);
            });
            EXPECT_EQ(scalar.first, c.overflows ? kErrOverflow : 0);
            EXPECT_EQ(scalar, vector);
        }
    }
}

} // namespace
