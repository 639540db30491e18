#pragma once

// Markers, the frame of the file: the segments that surround and describe the coded scans
// (SOI, JFIF APP0, comments, quantization and Huffman tables, frame and scan headers, EOI).

#include "image/jpeg_dct_quantization.h"
#include "image/jpeg_huffman.h"
#include "image/jpeg_output.h"

#include <QString>
#include <cstdint>
#include <vector>

namespace vantola::jpeg {

// Writers of the marker segments of a baseline JFIF file. Every 16-bit field is big-endian and
// a segment's length counts itself and what follows, not the marker.

void writeStartOfImage(JpegOutputBuffer& out); // FF D8
void writeEndOfImage(JpegOutputBuffer& out);   // FF D9

// APP0 "JFIF" 1.01, no density units, density 1 x 1, no thumbnail.
void writeJfifHeader(JpegOutputBuffer& out);

// COM with the text in the Windows-1252 code page; nothing for an empty text. A character
// without a one-byte code raises the overflow error.
void writeComment(JpegOutputBuffer& out, const QString& text);

// DQT holding one table Tq of 8-bit values.
void writeQuantTable(JpegOutputBuffer& out, int tq, const QuantTable& table);

struct FrameComponent {
    int C;
    int H;
    int V;
    int Tq;
};

// SOF0 (baseline, 8-bit samples). A height or width above 65535 raises the overflow error.
void writeFrameHeader(JpegOutputBuffer& out, std::int64_t height, std::int64_t width,
                      const std::vector<FrameComponent>& components);

// DHT holding one table: class 0 for DC, 1 for AC.
void writeHuffmanTable(JpegOutputBuffer& out, int tableClass, int th, const HuffmanTable& table);

struct ScanComponent {
    int C;
    int Td;
    int Ta;
};

// SOS for a sequential scan (Ss 0, Se 63, Ah/Al 0).
void writeScanHeader(JpegOutputBuffer& out, const std::vector<ScanComponent>& components);

} // namespace vantola::jpeg
