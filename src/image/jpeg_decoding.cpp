#include "image/jpeg_decoding.h"

#include "image/cimage.h"
#include "settings/app_error.h"

#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>
// After jpeglib.h, which it needs.
#include <algorithm>
#include <jerror.h>
#include <vector>

namespace vantola {

namespace {

// libjpeg reports errors by calling back and never returning; the callbacks below jump back to
// the decoding with the decoder's words.
struct DecoderErrors {
    jpeg_error_mgr manager; // first, so that the library's pointer to it leads back here
    std::jmp_buf stop;
    char words[JMSG_LENGTH_MAX] = {};
};

[[noreturn]] void stopDecoding(j_common_ptr info) {
    auto* errors = reinterpret_cast<DecoderErrors*>(info->err);
    info->err->format_message(info, errors->words);
    std::longjmp(errors->stop, 1);
}

// Warnings (level -1) are about the data: damaged scan data, missing bytes. An unknown JFIF
// revision only concerns the header and decodes as usual. Trace messages (level >= 0) are no
// warnings.
void stopOnDamage(j_common_ptr info, int level) {
    if (level < 0 && info->err->msg_code != JWRN_JFIF_MAJOR)
        stopDecoding(info);
}

// One decoding; everything the library touches lives here, so that nothing is left to a jump.
struct Decoding {
    jpeg_decompress_struct info{};
    DecoderErrors errors;
    bool created = false;
    QImage picture;
    cImage* buffer = nullptr;        // decode into this buffer instead of a QImage
    std::vector<JSAMPLE> scratchRow; // rows of a picture that Qt's reader will decode
    ~Decoding() {
        if (created)
            jpeg_destroy_decompress(&info);
    }
};

// The output that matches Qt's reader: grey stays grey; YCbCr and RGB become 0xffRRGGBB words,
// or blue, green, red bytes in a picture buffer (the same colours: only the layout differs).
bool chooseOutput(jpeg_decompress_struct& info, bool toBuffer, QImage::Format& format) {
    if (info.num_components == 1) {
        info.out_color_space = JCS_GRAYSCALE;
        format = QImage::Format_Grayscale8;
        return true;
    }
    if (info.num_components == 3) {
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
        info.out_color_space = toBuffer ? JCS_EXT_BGR : JCS_EXT_BGRX;
#else
        info.out_color_space = toBuffer ? JCS_EXT_BGR : JCS_EXT_XRGB;
#endif
        format = QImage::Format_RGB32;
        return true;
    }
    return false;
}

// Makes the picture (or buffer) the decoder writes into; false when there is no memory for it.
bool makeOutput(Decoding& d, QImage::Format format) {
    const int width = int(d.info.output_width);
    const int height = int(d.info.output_height);
    if (d.buffer != nullptr)
        return d.buffer->Allocate(width, height, format == QImage::Format_Grayscale8 ? 8 : 24);
    d.picture = cImage::uninitialisedQImage(width, height, format);
    return !d.picture.isNull();
}

JSAMPROW outputRow(Decoding& d, JDIMENSION y) {
    if (d.buffer != nullptr)
        return d.buffer->topDownRow(qint32(y));
    return d.picture.scanLine(int(y));
}

// Runs the decoder; false when it stopped on an error or damage (its words in d.errors.words).
// Only plain values live in this frame, so a jump back into it skips no destructor.
bool runDecoder(Decoding& d, const QByteArray& bytes,
                const std::function<void(QSize)>& beforeDecoding) {
    if (setjmp(d.errors.stop) != 0)
        return false;
    jpeg_create_decompress(&d.info);
    d.created = true;
    jpeg_mem_src(&d.info, reinterpret_cast<const unsigned char*>(bytes.constData()),
                 static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&d.info, TRUE);
    QImage::Format format = QImage::Format_Invalid;
    const bool ours = chooseOutput(d.info, d.buffer != nullptr, format);
    jpeg_calc_output_dimensions(&d.info);
    if (beforeDecoding)
        beforeDecoding(QSize(int(d.info.output_width), int(d.info.output_height)));
    jpeg_start_decompress(&d.info);
    if (ours) {
        if (!makeOutput(d, format))
            raiseError(kErrOutOfMemory);
    } else {
        d.scratchRow.resize(std::size_t(d.info.output_width) *
                            std::size_t(d.info.output_components));
    }
    // The decoder's own group of rows at a time, which spares it copying them through its
    // buffer.
    constexpr int kRowsAtOnce = 4;
    while (d.info.output_scanline < d.info.output_height) {
        JSAMPROW rows[kRowsAtOnce];
        const JDIMENSION first = d.info.output_scanline;
        const int count =
            int(std::min<JDIMENSION>(JDIMENSION(kRowsAtOnce), d.info.output_height - first));
        for (int i = 0; i < count; ++i)
            rows[i] = ours ? outputRow(d, first + JDIMENSION(i)) : d.scratchRow.data();
        jpeg_read_scanlines(&d.info, rows, JDIMENSION(ours ? count : 1));
    }
    jpeg_finish_decompress(&d.info);
    return true;
}

} // namespace

QString damagedPictureDescription(const QString& words) {
    return standardErrorDescription(kErrInvalidPicture) + QStringLiteral(": ") + words;
}

namespace {

void decode(Decoding& d, const QByteArray& bytes,
            const std::function<void(QSize)>& beforeDecoding) {
    d.info.err = jpeg_std_error(&d.errors.manager);
    d.errors.manager.error_exit = stopDecoding;
    d.errors.manager.emit_message = stopOnDamage;
    if (!runDecoder(d, bytes, beforeDecoding))
        throw AppError(kErrInvalidPicture,
                       damagedPictureDescription(QString::fromLocal8Bit(d.errors.words)));
}

} // namespace

QImage decodeJpeg(const QByteArray& bytes, const std::function<void(QSize)>& beforeDecoding) {
    Decoding d;
    decode(d, bytes, beforeDecoding);
    return d.picture;
}

bool decodeJpegInto(const QByteArray& bytes, cImage& buffer,
                    const std::function<void(QSize)>& beforeDecoding) {
    Decoding d;
    d.buffer = &buffer;
    decode(d, bytes, beforeDecoding);
    return buffer.hDC() != nullptr;
}

} // namespace vantola
