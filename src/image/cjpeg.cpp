// The encoder object: its settings and their checks, SampleHDC, which runs the colour,
// sampling, DCT and quantization stages over a picture, and SaveFile, which runs the Huffman,
// marker and output stages over the stored coefficients.
#include "image/cjpeg.h"

#include "image/jpeg_markers.h"
#include "settings/app_error.h"
#include "settings/atomic_file.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <memory>
#include <new>

namespace vantola {

using namespace jpeg;

const QString cJpeg::kIdentification =
    QStringLiteral("JPEG Encoder Class\r\n"
                   "Written by the Vantola developers\r\n"
                   "Source code published with the Vantola program");

namespace {

constexpr qint32 kMaxCommentLength = 65533; // a COM segment's length field counts itself

[[noreturn]] void invalidSamplingValue() {
    throw AppError(kErrEncoder, QStringLiteral("Invalid Sampling Value"));
}

void checkSamplingValue(qint32 value) {
    if (value < 1 || value > 4)
        invalidSamplingValue();
}

std::int64_t roundUpToBlock(std::int64_t samples) {
    return (samples + 7) / 8 * 8;
}

std::int64_t ceilDivide(std::int64_t numerator, std::int64_t denominator) {
    return (numerator + denominator - 1) / denominator;
}

} // namespace

cJpeg::cJpeg() {
    SetSamplingFrequencies(2, 2, 1, 1, 1, 1);
    setQuality(75);
}

void cJpeg::setQuality(qint32 vData) {
    if (vData < 1 || vData > 100)
        return;
    QualityValue = vData;
    const std::int32_t scale = qualityScale(vData);
    scaleQuantTable(kLumBase, scale, QTables[0]);
    scaleQuantTable(kChrBase, scale, QTables[1]);
    prepareMultipliers(QTables[0]);
    prepareMultipliers(QTables[1]);
}

void cJpeg::SetSamplingFrequencies(qint32 H1, qint32 V1, qint32 H2, qint32 V2, qint32 H3,
                                   qint32 V3) {
    checkSamplingValue(H1);
    checkSamplingValue(V1);
    const bool grey = H2 == 0 && V2 == 0 && H3 == 0 && V3 == 0;
    if (!grey) {
        checkSamplingValue(H2);
        checkSamplingValue(H3);
        checkSamplingValue(V2);
        checkSamplingValue(V3);
    }
    Components.clear();
    if (grey) {
        Nf = 1;
        Components.resize(1);
        Components[0].C = 1;
        Components[0].H = 1;
        Components[0].V = 1;
        Components[0].Tq = 0;
    } else {
        Nf = 3;
        Components.resize(3);
        const qint32 factors[3][2] = {{H1, V1}, {H2, V2}, {H3, V3}};
        for (int c = 0; c < 3; ++c) {
            Components[c].C = c + 1;
            Components[c].H = factors[c][0];
            Components[c].V = factors[c][1];
            Components[c].Tq = c == 0 ? 0 : 1;
        }
    }
    Hmax = 1;
    Vmax = 1;
    for (const Component& component : Components) {
        Hmax = std::max(Hmax, component.H);
        Vmax = std::max(Vmax, component.V);
    }
}

void cJpeg::setComment(const QString& Value) {
    if (Value.size() > kMaxCommentLength)
        throw AppError(kErrEncoder, QStringLiteral("Illegal Comment Length"));
    CommentText = Value;
}

qint32 cJpeg::SampleHDC(cImage::Surface lHDC, qint32 lWidth, qint32 lHeight, qint32 lSrcLeft,
                        qint32 lSrcTop) {
    if (lHDC == nullptr || lHDC->hDC() == nullptr || lWidth <= 0 || lHeight <= 0)
        return 1;

    try {
        std::vector<Component> sampled =
            sampleComponents(*lHDC, lWidth, lHeight, lSrcLeft, lSrcTop);
        Components = std::move(sampled);
    } catch (const std::bad_alloc&) {
        return 1;
    }
    Y = lHeight;
    X = lWidth;
    return 0;
}

std::vector<Component> cJpeg::sampleComponents(const cImage& source, qint32 lWidth, qint32 lHeight,
                                               qint32 lSrcLeft, qint32 lSrcTop) {
    // The components' sizes (T.81 A.1.1) and their planes padded to whole blocks.
    std::vector<Component> sampled(Components.size());
    std::size_t widestPlane = 0;
    for (std::size_t c = 0; c < sampled.size(); ++c) {
        Component& component = sampled[c];
        component.C = static_cast<std::int32_t>(c) + 1;
        component.H = Components[c].H;
        component.V = Components[c].V;
        component.Tq = Components[c].Tq;
        const std::int64_t width = ceilDivide(std::int64_t(component.H) * lWidth, Hmax);
        const std::int64_t height = ceilDivide(std::int64_t(component.V) * lHeight, Vmax);
        component.width = static_cast<std::int32_t>(width);
        component.height = static_cast<std::int32_t>(height);
        component.blocksAcross = static_cast<std::int32_t>(roundUpToBlock(width) / 8);
        component.blocksDown = static_cast<std::int32_t>(roundUpToBlock(height) / 8);
        component.dc.resize(std::size_t(component.blocksAcross) *
                            std::size_t(component.blocksDown));
        widestPlane = std::max(widestPlane, std::size_t(roundUpToBlock(width)));
    }
    coefficients_.resize(widestPlane * 8);

    // Components of one size read the same rows (the picture's, or those averaged onto their
    // size): they are sampled together, each row read or averaged once for all of them.
    PictureRows picture(source, lSrcLeft, lSrcTop, lWidth, lHeight);
    std::vector<bool> done(sampled.size(), false);
    for (std::size_t c = 0; c < sampled.size(); ++c) {
        if (done[c])
            continue;
        std::vector<std::size_t> group;
        for (std::size_t other = c; other < sampled.size(); ++other) {
            if (!done[other] && sampled[other].width == sampled[c].width &&
                sampled[other].height == sampled[c].height) {
                group.push_back(other);
                done[other] = true;
            }
        }
        if (sampled[c].width == lWidth && sampled[c].height == lHeight) {
            sampleGroup(picture, group, sampled);
        } else {
            AveragedRows averaged(picture, sampled[c].width, sampled[c].height);
            sampleGroup(averaged, group, sampled);
        }
    }
    return sampled;
}

void cJpeg::sampleGroup(BgrRows& rows, const std::vector<std::size_t>& group,
                        std::vector<Component>& sampled) {
    const Component& first = sampled[group.front()];
    const std::size_t blocks = std::size_t(first.blocksAcross);
    const std::size_t paddedWidth = blocks * 8;
    const std::size_t stripSize = paddedWidth * 8;
    strip_.resize(stripSize * group.size());
    std::vector<SampleConverter> converters;
    std::vector<std::int16_t*> dc;
    for (const std::size_t c : group) {
        converters.emplace_back(kComponentWeights[c]);
        dc.push_back(sampled[c].dc.data());
    }
    for (std::int32_t blockRow = 0; blockRow < first.blocksDown; ++blockRow) {
        for (std::int32_t r = 0; r < 8; ++r) {
            // Rows below the plane repeat its last row, columns beyond it its last column.
            const std::int32_t y = std::min(8 * blockRow + r, first.height - 1);
            const std::uint8_t* pixels = rows.row(y);
            for (std::size_t i = 0; i < group.size(); ++i) {
                float* samples = strip_.data() + i * stripSize + std::size_t(r) * paddedWidth;
                converters[i].convert(pixels, first.width, samples);
                std::fill(samples + first.width, samples + paddedWidth, samples[first.width - 1]);
            }
        }
        for (std::size_t i = 0; i < group.size(); ++i) {
            Component& component = sampled[group[i]];
            forwardDctStrip(strip_.data() + i * stripSize, coefficients_.data(), paddedWidth);
            std::int16_t* ac = component.ac.beginStrip(blocks);
            std::int16_t* end =
                quantizeStrip(coefficients_.data(), paddedWidth, QTables[component.Tq], dc[i], ac);
            component.ac.endStrip(end);
            countAcSymbols(ac, blocks, component.acCounts);
            dc[i] += blocks;
        }
    }
}

bool cJpeg::sampled() const {
    return !Components.empty() &&
           std::all_of(Components.begin(), Components.end(),
                       [](const Component& component) { return !component.dc.empty(); });
}

void cJpeg::assembleFile(JpegOutputBuffer& out, const std::vector<ScanGroup>& scans,
                         const McuGrid& grid) const {
    writeStartOfImage(out);
    writeJfifHeader(out);
    writeComment(out, CommentText);
    writeComment(out, kIdentification);
    writeQuantTable(out, 0, QTables[0]);
    if (Nf > 1)
        writeQuantTable(out, 1, QTables[1]);
    std::vector<FrameComponent> frame;
    for (const Component& component : Components)
        frame.push_back({component.C, component.H, component.V, component.Tq});
    writeFrameHeader(out, Y, X, frame);
    writeHuffmanTable(out, 0, 0, DCTables[0]);
    writeHuffmanTable(out, 1, 0, ACTables[0]);
    if (Nf > 1) {
        writeHuffmanTable(out, 0, 1, DCTables[1]);
        writeHuffmanTable(out, 1, 1, ACTables[1]);
    }
    for (const ScanGroup& scan : scans)
        writeScan(out, scan, Components, grid, DCTables, ACTables);
    writeEndOfImage(out);
}

qint32 cJpeg::SaveFile(const QString& FileName) {
    if (FileName.isEmpty())
        return kEmptyName;
    if (pathExists(FileName))
        return kFileExists;
    const QByteArray bytes = FileBytes();
    const int error = writeFileWhole(FileName, bytes.constData(), std::size_t(bytes.size()),
                                     ExistingTarget::Keep);
    if (error == EEXIST)
        return kFileExists;
    if (error != 0)
        raiseFileError(error);
    return kSaved;
}

QByteArray cJpeg::FileBytes() {
    // Coding needs the coefficients of every component: without them (no SampleHDC since the
    // last SetSamplingFrequencies) the scans would index blocks that do not exist.
    if (!sampled())
        raiseError(kErrSubscript);

    const std::vector<ScanGroup> scans = groupComponentsIntoScans(Components);
    const McuGrid grid = mcuGrid(X, Y, Hmax, Vmax);
    const std::uint64_t estimatedBits =
        buildHuffmanTables(scans, Components, grid, DCTables, ACTables);

    // The coded data's estimate plus room for the headers; stuffed bytes can exceed it, and the
    // buffer then grows.
    const std::uint64_t estimatedBytes = (estimatedBits + 7) / 8;
    const double size =
        std::nearbyint(double(estimatedBytes) * 1.3 + 1000.0 + double(CommentText.size()));
    JpegOutputBuffer out(static_cast<std::size_t>(size) + 1);
    assembleFile(out, scans, grid);
    return QByteArray(reinterpret_cast<const char*>(out.data()), qsizetype(out.position()));
}

} // namespace vantola
