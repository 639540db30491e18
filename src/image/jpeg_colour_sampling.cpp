// Reading a picture buffer's rows and averaging them onto a component's size.
#include "image/jpeg_colour_sampling.h"

#include "image/cimage_pixels.h"
#include "image/jpeg_vector_kernels.h"
#include "image/vector_paths.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>
#include <numeric>
#include <type_traits>
#include <vector>

namespace vantola::jpeg {

PictureRows::PictureRows(const cImage& picture, std::int32_t left, std::int32_t top,
                         std::int32_t width, std::int32_t height)
    : BgrRows(width, height), picture_(picture), left_(left), top_(top) {
    inPlace_ = picture.BitCount() == 24 && left >= 0 && top >= 0 &&
               std::int64_t(left) + width <= picture.Width() &&
               std::int64_t(top) + height <= picture.Height();
    if (!inPlace_)
        scratch_.resize(std::size_t(width) * 3);
}

const std::uint8_t* PictureRows::row(std::int32_t y) {
    const std::int64_t sourceY = top_ + y;
    if (inPlace_)
        return picture_.topDownRow(static_cast<std::int32_t>(sourceY)) + 3 * left_;

    std::fill(scratch_.begin(), scratch_.end(), std::uint8_t{0});
    if (sourceY < 0 || sourceY >= picture_.Height())
        return scratch_.data();
    // Columns of the rectangle that lie inside the picture.
    const std::int64_t firstX = std::max<std::int64_t>(0, -left_);
    const std::int64_t endX = std::min<std::int64_t>(width_, picture_.Width() - left_);
    const std::uint8_t* source = picture_.topDownRow(static_cast<std::int32_t>(sourceY));
    std::uint8_t* out = scratch_.data();
    const int bitCount = picture_.BitCount();
    if (bitCount == 24) {
        if (endX > firstX)
            std::memcpy(out + 3 * firstX, source + 3 * (left_ + firstX),
                        std::size_t(endX - firstX) * 3);
        return out;
    }
    const auto& colours = picture_.colourTable();
    for (std::int64_t x = firstX; x < endX; ++x) {
        const ColourEntry& colour =
            colours[cimage_pixels::readPixel(source, qint32(left_ + x), qint16(bitCount))];
        out[3 * x] = colour.blue;
        out[3 * x + 1] = colour.green;
        out[3 * x + 2] = colour.red;
    }
    return out;
}

void SampleConverter::convert(const std::uint8_t* bgr, std::int64_t count, float* samples) const {
    if (useVectorPaths()) {
        convertSamplesAvx2(bgr, count, weights_.data(), samples);
        return;
    }
    for (std::int64_t x = 0; x < count; ++x, bgr += 3)
        samples[x] = static_cast<float>(red_[bgr[2]] + green_[bgr[1]] + blue_[bgr[0]]);
}

namespace {

// How the pixels of one axis of length `sourceLength` fall onto `targetLength` pixels. In units
// where a source pixel is targetLength long and a target pixel sourceLength long, the weight of
// a source pixel in a target pixel is the length they share, divided by the common factor of
// all those lengths. Every target pixel's weights add up to `total`.
struct AxisWeights {
    std::vector<std::int64_t> first;    // first source pixel of each target pixel
    std::vector<std::size_t> start;     // start of each target pixel's weights (one more entry)
    std::vector<std::uint32_t> weights; // weights of the source pixels first, first + 1, ...
    std::uint64_t total = 0;

    AxisWeights(std::int64_t sourceLength, std::int64_t targetLength) {
        const std::int64_t common = std::gcd(sourceLength, targetLength);
        total = static_cast<std::uint64_t>(sourceLength / common);
        first.resize(static_cast<std::size_t>(targetLength));
        start.resize(static_cast<std::size_t>(targetLength) + 1);
        for (std::int64_t j = 0; j < targetLength; ++j) {
            const std::int64_t begin = j * sourceLength;
            const std::int64_t end = begin + sourceLength;
            first[j] = begin / targetLength;
            start[j] = weights.size();
            for (std::int64_t i = first[j]; i * targetLength < end; ++i) {
                const std::int64_t shared =
                    std::min((i + 1) * targetLength, end) - std::max(i * targetLength, begin);
                weights.push_back(static_cast<std::uint32_t>(shared / common));
            }
        }
        start[static_cast<std::size_t>(targetLength)] = weights.size();
    }

    std::size_t count(std::size_t j) const { return start[j + 1] - start[j]; }

    // A whole-number ratio: every target pixel covers `run` whole source pixels (weights 1).
    std::size_t wholeRun() const {
        const std::size_t run = count(0);
        const bool whole = weights.size() == run * first.size() &&
                           std::all_of(weights.begin(), weights.end(),
                                       [](std::uint32_t weight) { return weight == 1; });
        return whole ? run : 0;
    }
};

// The rounded quotient (n + d / 2) / d without a division per sample. The numerators are
// weighted sums of 8-bit samples, n < 256 d. For the small divisors of everyday scales
// (d < 2^12) a multiplication by ceil(2^40 / d) and a shift give the exact quotient; divisors
// below 2^32 (numerators below 2^40) take a 128-bit multiplication by m = ceil(2^(40 + l) / d),
// l = ceil(log2 d), and a shift by 40 + l, exact for every numerator below 2^40 since
// m d - 2^(40 + l) < 2^l; larger divisors go through a floating-point reciprocal and a
// correction step.
class RoundedDivider {
public:
    explicit RoundedDivider(std::uint64_t divisor)
        : divisor_(divisor), half_(divisor / 2), small_(divisor < (1u << 12)),
          wide_(!small_ && divisor < (std::uint64_t{1} << 32)),
          shift_(kNumeratorBits + std::bit_width(divisor - 1)),
          multiplier_(small_  ? ((std::uint64_t{1} << 40) + divisor - 1) / divisor
                      : wide_ ? std::uint64_t(((Wide{1} << shift_) + divisor - 1) / divisor)
                              : 0),
          reciprocal_(1.0 / double(divisor)) {}

    std::uint8_t operator()(std::uint64_t numerator) const {
        const std::uint64_t n = numerator + half_;
        if (small_)
            return static_cast<std::uint8_t>((n * multiplier_) >> 40);
        if (wide_)
            return static_cast<std::uint8_t>((Wide(n) * multiplier_) >> shift_);
        auto q = static_cast<std::uint64_t>(double(n) * reciprocal_);
        if (q * divisor_ > n)
            --q;
        else if ((q + 1) * divisor_ <= n)
            ++q;
        return static_cast<std::uint8_t>(q);
    }

private:
    using Wide = unsigned __int128;
    static constexpr int kNumeratorBits = 40;

    std::uint64_t divisor_;
    std::uint64_t half_;
    bool small_;
    bool wide_;
    int shift_;
    std::uint64_t multiplier_;
    double reciprocal_;
};

// Adds weight x row to sums (or, for the first row, stores it there), `count` values, in blocks
// of a fixed length that vectorise (a weight of 1, the common case, without the
// multiplications).
template <class Sum>
void addWeightedRow(const std::uint8_t* __restrict row, Sum weight, std::size_t count,
                    Sum* __restrict sums, bool first) {
    constexpr std::size_t kBlock = 16;
    std::size_t i = 0;
    if (first) {
        for (; i + kBlock <= count; i += kBlock)
            for (std::size_t j = 0; j < kBlock; ++j)
                sums[i + j] = Sum(weight * row[i + j]);
        for (; i < count; ++i)
            sums[i] = Sum(weight * row[i]);
        return;
    }
    if (weight == 1) {
        for (; i + kBlock <= count; i += kBlock)
            for (std::size_t j = 0; j < kBlock; ++j)
                sums[i + j] = Sum(sums[i + j] + row[i + j]);
    } else {
        for (; i + kBlock <= count; i += kBlock)
            for (std::size_t j = 0; j < kBlock; ++j)
                sums[i + j] = Sum(sums[i + j] + weight * row[i + j]);
    }
    for (; i < count; ++i)
        sums[i] = Sum(sums[i] + weight * row[i]);
}

// The renderer of one target row. First down: the weighted source rows of the target row are
// added up over their whole width; then across: each target pixel gathers the sums of its
// source pixels. ColumnSum holds 255 times the total down, Sum 255 times the product of both
// axes' totals.
template <class ColumnSum, class Sum>
class RowAverager final : public AveragedRows::Renderer {
public:
    RowAverager(BgrRows& source, std::int32_t width, std::int32_t height)
        : source_(source), across_(source.width(), width), down_(source.height(), height),
          divide_(across_.total * down_.total), wholeRun_(across_.wholeRun()),
          columnSums_(std::size_t(source.width()) * 3) {
        // Halving across with 16-bit sums and a divisor of 2^k: the AVX2 kernel's case.
        divisor_ = across_.total * down_.total;
        if (useVectorPaths() && wholeRun_ == 2 && std::is_same_v<ColumnSum, std::uint16_t> &&
            std::has_single_bit(divisor_) && divisor_ * 255 + divisor_ / 2 <= 0xFFFF)
            halvingShift_ = std::countr_zero(divisor_);
    }

    void render(std::int32_t y, std::uint8_t* out) override {
        // Every target row covers at least one source row, whose sums replace the last ones.
        for (std::size_t k = 0; k < down_.count(y); ++k) {
            const auto sourceY = static_cast<std::int32_t>(down_.first[y] + std::int64_t(k));
            const std::uint8_t* row = source_.row(sourceY);
            const auto weight = ColumnSum(down_.weights[down_.start[y] + k]);
            if constexpr (!std::is_same_v<ColumnSum, std::uint64_t>) {
                if (useVectorPaths()) {
                    addWeightedRowAvx2(row, weight, columnSums_.size(), columnSums_.data(), k == 0);
                    continue;
                }
            }
            addWeightedRow(row, weight, columnSums_.size(), columnSums_.data(), k == 0);
        }
        const auto width = static_cast<std::int32_t>(across_.first.size());
        if constexpr (std::is_same_v<ColumnSum, std::uint16_t>) {
            if (halvingShift_ >= 0) {
                halvePairsAvx2(columnSums_.data(), std::size_t(width), unsigned(divisor_ / 2),
                               halvingShift_, out);
                return;
            }
        }
        if (wholeRun_ == 2) { // halving across: pairs of neighbours
            for (std::int32_t x = 0; x < width; ++x, out += 3) {
                const ColumnSum* sums = columnSums_.data() + 6 * std::size_t(x);
                out[0] = divide_(Sum(sums[0]) + sums[3]);
                out[1] = divide_(Sum(sums[1]) + sums[4]);
                out[2] = divide_(Sum(sums[2]) + sums[5]);
            }
            return;
        }
        for (std::int32_t x = 0; x < width; ++x, out += 3) {
            Sum blue = 0;
            Sum green = 0;
            Sum red = 0;
            const ColumnSum* sums = columnSums_.data() + 3 * across_.first[x];
            const std::uint32_t* weight = &across_.weights[across_.start[x]];
            const std::size_t count = across_.count(x);
            for (std::size_t i = 0; i < count; ++i, sums += 3) {
                blue += Sum(weight[i]) * sums[0];
                green += Sum(weight[i]) * sums[1];
                red += Sum(weight[i]) * sums[2];
            }
            out[0] = divide_(blue);
            out[1] = divide_(green);
            out[2] = divide_(red);
        }
    }

private:
    BgrRows& source_;
    AxisWeights across_;
    AxisWeights down_;
    RoundedDivider divide_;
    std::size_t wholeRun_;
    std::vector<ColumnSum> columnSums_;
    std::uint64_t divisor_ = 0;
    int halvingShift_ = -1; // the shift of the AVX2 kernel, -1 where it does not apply
};

} // namespace

AveragedRows::AveragedRows(BgrRows& source, std::int32_t width, std::int32_t height)
    : BgrRows(width, height), row_(std::size_t(width) * 3) {
    // The totals are at most the picture's width and height, whose product fits 32 bits.
    const std::uint64_t totalAcross =
        std::uint64_t(source.width() / std::gcd(source.width(), width));
    const std::uint64_t totalDown =
        std::uint64_t(source.height() / std::gcd(source.height(), height));
    const bool narrowColumns = totalDown * 255u <= std::numeric_limits<std::uint16_t>::max();
    const bool narrowSums =
        totalAcross * totalDown * 255u <= std::numeric_limits<std::uint32_t>::max();
    if (narrowColumns && narrowSums)
        renderer_ =
            std::make_unique<RowAverager<std::uint16_t, std::uint32_t>>(source, width, height);
    else if (narrowSums)
        renderer_ =
            std::make_unique<RowAverager<std::uint32_t, std::uint32_t>>(source, width, height);
    else
        renderer_ =
            std::make_unique<RowAverager<std::uint64_t, std::uint64_t>>(source, width, height);
}

AveragedRows::~AveragedRows() = default;

const std::uint8_t* AveragedRows::row(std::int32_t y) {
    if (y != current_) {
        renderer_->render(y, row_.data());
        current_ = y;
    }
    return row_.data();
}

void areaAverage(BgrRows& source, BgrPlane& target) {
    if (target.width() == source.width() && target.height() == source.height()) {
        for (std::int32_t y = 0; y < target.height(); ++y)
            std::memcpy(target.mutableRow(y), source.row(y), std::size_t(target.width()) * 3);
        return;
    }
    AveragedRows averaged(source, target.width(), target.height());
    for (std::int32_t y = 0; y < target.height(); ++y)
        averaged.render(y, target.mutableRow(y));
}

} // namespace vantola::jpeg
