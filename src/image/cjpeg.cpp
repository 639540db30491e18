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
    PictureRows picture(*lHDC, lSrcLeft, lSrcTop, lWidth, lHeight);
    return SampleRows(picture);
}

qint32 cJpeg::SampleRows(BgrRows& rows) {
    if (rows.width() <= 0 || rows.height() <= 0)
        return 1;
    try {
        std::vector<Component> sampled = sampleComponents(rows);
        Components = std::move(sampled);
    } catch (const std::bad_alloc&) {
        return 1;
    }
    Y = rows.height();
    X = rows.width();
    return 0;
}

namespace jpeg {

// Components of one size, which read the same rows (the picture's, or those averaged onto their
// size), each row read or averaged once for all of them; sampled strip by strip.
struct SamplingGroup {
    std::vector<std::size_t> members;
    std::unique_ptr<AveragedRows> averaged; // none at the picture's own size
    BgrRows* rows = nullptr;
    std::int32_t sourceHeight = 0;
    std::vector<SampleConverter> converters;
    std::vector<std::int16_t*> dc;
    std::int32_t strip = 0; // the next strip
    std::int32_t strips = 0;

    // The first and the last picture row that strip `s` reads: a row of the plane covers the
    // picture rows that overlap it, rows below the plane repeat its last row.
    std::int64_t firstSourceRow(std::int32_t s) const {
        return std::int64_t(8) * s * sourceHeight / rows->height();
    }
    std::int64_t lastSourceRow(std::int32_t s) const {
        const std::int64_t end = std::min<std::int64_t>(std::int64_t(8) * s + 8, rows->height());
        return ceilDivide(end * sourceHeight, rows->height()) - 1;
    }
};

} // namespace jpeg

std::vector<Component> cJpeg::sampleComponents(BgrRows& source) {
    // The components' sizes (T.81 A.1.1) and their planes padded to whole blocks.
    std::vector<Component> sampled(Components.size());
    std::size_t widestPlane = 0;
    for (std::size_t c = 0; c < sampled.size(); ++c) {
        Component& component = sampled[c];
        component.C = static_cast<std::int32_t>(c) + 1;
        component.H = Components[c].H;
        component.V = Components[c].V;
        component.Tq = Components[c].Tq;
        const std::int64_t width = ceilDivide(std::int64_t(component.H) * source.width(), Hmax);
        const std::int64_t height = ceilDivide(std::int64_t(component.V) * source.height(), Vmax);
        component.width = static_cast<std::int32_t>(width);
        component.height = static_cast<std::int32_t>(height);
        component.blocksAcross = static_cast<std::int32_t>(roundUpToBlock(width) / 8);
        component.blocksDown = static_cast<std::int32_t>(roundUpToBlock(height) / 8);
        component.dc.resize(std::size_t(component.blocksAcross) *
                            std::size_t(component.blocksDown));
        widestPlane = std::max(widestPlane, std::size_t(roundUpToBlock(width)));
    }
    coefficients_.resize(widestPlane * 8);

    std::vector<SamplingGroup> groups;
    std::vector<bool> done(sampled.size(), false);
    std::size_t stripFloats = 0;
    std::int64_t window = 1;
    for (std::size_t c = 0; c < sampled.size(); ++c) {
        if (done[c])
            continue;
        SamplingGroup& group = groups.emplace_back();
        const Component& first = sampled[c];
        for (std::size_t other = c; other < sampled.size(); ++other) {
            if (!done[other] && sampled[other].width == first.width &&
                sampled[other].height == first.height) {
                group.members.push_back(other);
                group.converters.emplace_back(kComponentWeights[other]);
                group.dc.push_back(sampled[other].dc.data());
                done[other] = true;
            }
        }
        group.rows = &source;
        if (first.width != source.width() || first.height != source.height()) {
            group.averaged = std::make_unique<AveragedRows>(source, first.width, first.height);
            group.rows = group.averaged.get();
        }
        group.sourceHeight = source.height();
        group.strips = first.blocksDown;
        stripFloats =
            std::max(stripFloats, std::size_t(first.blocksAcross) * 64 * group.members.size());
        for (std::int32_t s = 0; s < group.strips; ++s)
            window = std::max(window, group.lastSourceRow(s) - group.firstSourceRow(s) + 1);
    }
    strip_.resize(stripFloats);

    // One pass over the picture: the strip computed next is always the one whose last picture
    // row comes first, so the picture rows are asked for in increasing order and no strip looks
    // back over more than the rows of the largest one.
    source.keepRows(static_cast<std::int32_t>(window));
    for (;;) {
        SamplingGroup* next = nullptr;
        for (SamplingGroup& group : groups)
            if (group.strip < group.strips &&
                (next == nullptr ||
                 group.lastSourceRow(group.strip) < next->lastSourceRow(next->strip)))
                next = &group;
        if (next == nullptr)
            break;
        sampleGroup(*next, sampled);
    }
    return sampled;
}

void cJpeg::sampleGroup(SamplingGroup& group, std::vector<Component>& sampled) {
    const Component& first = sampled[group.members.front()];
    const std::size_t blocks = std::size_t(first.blocksAcross);
    const std::size_t paddedWidth = blocks * 8;
    const std::size_t stripSize = paddedWidth * 8;
    const std::int32_t blockRow = group.strip++;
    for (std::int32_t r = 0; r < 8; ++r) {
        // Rows below the plane repeat its last row, columns beyond it its last column.
        const std::int32_t y = std::min(8 * blockRow + r, first.height - 1);
        const std::uint8_t* pixels = group.rows->row(y);
        for (std::size_t i = 0; i < group.members.size(); ++i) {
            float* samples = strip_.data() + i * stripSize + std::size_t(r) * paddedWidth;
            group.converters[i].convert(pixels, first.width, samples);
            std::fill(samples + first.width, samples + paddedWidth, samples[first.width - 1]);
        }
    }
    for (std::size_t i = 0; i < group.members.size(); ++i) {
        Component& component = sampled[group.members[i]];
        forwardDctStrip(strip_.data() + i * stripSize, coefficients_.data(), paddedWidth);
        std::int16_t* ac = component.ac.beginStrip(blocks);
        std::int16_t* end = quantizeStrip(coefficients_.data(), paddedWidth, QTables[component.Tq],
                                          group.dc[i], ac);
        component.ac.endStrip(end);
        countAcSymbols(ac, blocks, component.acCounts);
        group.dc[i] += blocks;
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
