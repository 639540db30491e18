#pragma once

#include "image/cimage.h"
#include "image/jpeg_colour_sampling.h"
#include "image/jpeg_dct_quantization.h"
#include "image/jpeg_huffman.h"
#include "image/jpeg_output.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <array>
#include <vector>

namespace vantola {

namespace jpeg {
struct SamplingGroup;
}

// The program's baseline JPEG encoder (ITU-T T.81 sequential DCT, Huffman coding, 8-bit
// samples, JFIF 1.01): one grey component or three (Y, Cb, Cr) with sampling factors 1 ... 4,
// the scaled floating-point AAN DCT, quantization tables scaled from the Annex K examples by a
// quality of 1 ... 100, and Huffman tables fitted to each picture.
//
// Calling order: setQuality and SetSamplingFrequencies, then SampleHDC (which quantizes with the
// tables of that moment), then SaveFile (which writes the tables of its own moment), as often
// as wanted. The encoder's own errors raise AppError number kErrEncoder.
class cJpeg {
public:
    // Statuses of SaveFile.
    static constexpr qint32 kSaved = 0;
    static constexpr qint32 kEmptyName = 1;
    static constexpr qint32 kFileExists = 2;

    // The identification text written in a comment segment of every file.
    static const QString kIdentification;

    // Three components sampled 2x2, 1x1, 1x1, quality 75, no comment, no picture.
    cJpeg();

    // The encoder's interface: the quality, the sampling, sampling a picture, the comment and
    // writing the file.

    // The last accepted quality.
    qint32 Quality() const { return QualityValue; }
    // Accepts 1 ... 100 and recomputes quantization tables 0 and 1; ignores any other value.
    void setQuality(qint32 vData);

    // Luminance H1 x V1 and chrominance H2 x V2, H3 x V3, each 1 ... 4 (checked in the order
    // H1, V1, H2, H3, V2, V3; "Invalid Sampling Value"). H2 = V2 = H3 = V3 = 0 selects one grey
    // component sampled 1x1 whatever H1 and V1. A refused call changes nothing; an accepted one
    // discards the coefficients.
    void SetSamplingFrequencies(qint32 H1, qint32 V1, qint32 H2, qint32 V2, qint32 H3, qint32 V3);

    // Reads the rectangle (lSrcLeft, lSrcTop, lWidth, lHeight) of a picture buffer (pixels
    // outside the buffer read as black), converts it to the components, transforms and
    // quantizes every block. Returns 0, or 1 (coefficients unchanged) when there is no picture,
    // the size is not positive or the working memory cannot be had.
    qint32 SampleHDC(cImage::Surface lHDC, qint32 lWidth, qint32 lHeight, qint32 lSrcLeft = 0,
                     qint32 lSrcTop = 0);

    const QString& Comment() const { return CommentText; }
    // At most 65533 characters ("Illegal Comment Length"; the previous comment stays).
    void setComment(const QString& Value);

    // SampleHDC for a whole picture given by its rows, which are asked for once each, from top to
    // bottom, looking back over a few rows only (see BgrRows::keepRows): a picture read from
    // its file as it is sampled is never held whole. The rows' own errors pass through.
    qint32 SampleRows(jpeg::BgrRows& rows);

    // Writes the sampled picture as a JFIF file: 0 written, 1 empty name, 2 something already
    // bears the name (nothing is written, nothing replaced). The file appears in one piece or
    // not at all.
    qint32 SaveFile(const QString& FileName);

    // The JFIF file that SaveFile writes, built in memory (the piece writer replaces its target
    // with it). Raises the encoder's errors as SaveFile does.
    QByteArray FileBytes();

private:
    // Samples every component from the picture's rows, read once from top to bottom.
    std::vector<jpeg::Component> sampleComponents(jpeg::BgrRows& source);
    // Samples the next strip (8 rows) of the components of `group`, all of one size, into
    // `sampled`.
    void sampleGroup(jpeg::SamplingGroup& group, std::vector<jpeg::Component>& sampled);
    bool sampled() const;
    void assembleFile(jpeg::JpegOutputBuffer& out, const std::vector<jpeg::ScanGroup>& scans,
                      const jpeg::McuGrid& grid) const;

    qint32 Y = 0;
    qint32 X = 0;
    qint32 Nf = 3;
    qint32 Hmax = 1;
    qint32 Vmax = 1;
    std::array<jpeg::QuantTable, 4> QTables{};
    std::array<jpeg::HuffmanTable, 4> DCTables{};
    std::array<jpeg::HuffmanTable, 4> ACTables{};
    std::vector<jpeg::Component> Components;
    qint32 QualityValue = 0;
    QString CommentText;

    // Working memory of SampleHDC, kept between pictures.
    std::vector<float> strip_;
    std::vector<float> coefficients_;
};

} // namespace vantola
