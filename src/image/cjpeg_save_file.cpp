#include "image/cjpeg.h"
#include "image/jpeg_scan_coding.h"
#include "image/jpeg_segments.h"
#include "settings/app_error.h"
#include "settings/atomic_file.h"

#include <cerrno>
#include <cmath>

namespace vantola {

using namespace jpeg;

const QString cJpeg::kIdentification =
    QStringLiteral("JPEG Encoder Class\r\n"
                   "Written by the Vantola developers\r\n"
                   "Source code published with the Vantola program");

namespace {

// Builds the optimal table for the counts and returns the bits that coding them takes: each
// symbol's code plus `extraBits(symbol)` bits that follow it.
template <class ExtraBits>
std::uint64_t buildTable(SymbolCounts counts, int largestSymbol, HuffmanTable& table,
                         ExtraBits extraBits) {
    const SymbolCounts kept = counts;
    buildHuffmanCodeLengths(counts, table);
    expandHuffmanTable(table, largestSymbol);
    std::uint64_t bits = 0;
    for (int symbol = 0; symbol < 256; ++symbol)
        if (kept[symbol] != 0)
            bits += kept[symbol] * std::uint64_t(table.codeLength(symbol) + extraBits(symbol));
    return bits;
}

} // namespace

void cJpeg::buildHuffmanTables(const std::vector<ScanGroup>& scans, const McuGrid& grid,
                               std::uint64_t& estimatedBits) {
    const ScanStatistics statistics = gatherScanStatistics(scans, Components, grid);
    const int largestDcSymbol = P == 12 ? 15 : 11;
    estimatedBits = 0;
    for (int t = 0; t < 4; ++t) {
        SymbolCounts dc{};
        SymbolCounts ac{};
        bool used = false;
        for (std::size_t c = 0; c < Components.size(); ++c) {
            if (tableSelector(static_cast<int>(c)) != t)
                continue;
            used = true;
            for (int symbol = 0; symbol < 256; ++symbol) {
                dc[symbol] += statistics.dcCounts[c][symbol];
                ac[symbol] += Components[c].acCounts[symbol];
            }
            // A dummy block of an interleaved scan codes an end of block too: counting it
            // gives the table a code for it even when no real block ends in a run of zeros.
            ac[kEndOfBlock] += statistics.dummyBlocks[c];
        }
        if (!used)
            continue;
        estimatedBits +=
            buildTable(dc, largestDcSymbol, DCTables[t], [](int symbol) { return symbol; });
        estimatedBits += buildTable(ac, 255, ACTables[t], [](int symbol) { return symbol % 16; });
    }
}

void cJpeg::assembleFile(JpegOutputBuffer& out, const std::vector<ScanGroup>& scans,
                         const McuGrid& grid) const {
    writeStartOfImage(out);
    writeJfifHeader(out);
    writeComment(out, CommentText);
    writeComment(out, kIdentification);
    writeQuantTable(out, 0, QTables[0], P);
    if (Nf > 1)
        writeQuantTable(out, 1, QTables[1], P);
    std::vector<FrameComponent> frame;
    for (const Component& component : Components)
        frame.push_back({component.C, component.H, component.V, component.Tq});
    writeFrameHeader(out, P, Y, X, frame);
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
    std::uint64_t estimatedBits = 0;
    buildHuffmanTables(scans, grid, estimatedBits);

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
