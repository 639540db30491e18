#include "image/jpeg_decoding.h"

#include "settings/app_error.h"

#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>
// After jpeglib.h, which it needs.
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
    std::vector<JSAMPLE> scratchRow; // rows of a picture that Qt's reader will decode
    ~Decoding() {
        if (created)
            jpeg_destroy_decompress(&info);
    }
};

// The output that matches Qt's reader: grey stays grey; YCbCr and RGB become 0xffRRGGBB words.
bool chooseOutput(jpeg_decompress_struct& info, QImage::Format& format) {
    if (info.num_components == 1) {
        info.out_color_space = JCS_GRAYSCALE;
        format = QImage::Format_Grayscale8;
        return true;
    }
    if (info.num_components == 3) {
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
        info.out_color_space = JCS_EXT_BGRX;
#else
        info.out_color_space = JCS_EXT_XRGB;
#endif
        format = QImage::Format_RGB32;
        return true;
    }
    return false;
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
    const bool ours = chooseOutput(d.info, format);
    jpeg_calc_output_dimensions(&d.info);
    if (beforeDecoding)
        beforeDecoding(QSize(int(d.info.output_width), int(d.info.output_height)));
    jpeg_start_decompress(&d.info);
    if (ours) {
        d.picture = QImage(int(d.info.output_width), int(d.info.output_height), format);
        if (d.picture.isNull())
            raiseError(kErrOutOfMemory);
    } else {
        d.scratchRow.resize(std::size_t(d.info.output_width) *
                            std::size_t(d.info.output_components));
    }
    while (d.info.output_scanline < d.info.output_height) {
        JSAMPROW row = ours ? d.picture.scanLine(int(d.info.output_scanline)) : d.scratchRow.data();
        jpeg_read_scanlines(&d.info, &row, 1);
    }
    jpeg_finish_decompress(&d.info);
    return true;
}

} // namespace

QString damagedPictureDescription(const QString& words) {
    return standardErrorDescription(kErrInvalidPicture) + QStringLiteral(": ") + words;
}

QImage decodeJpeg(const QByteArray& bytes, const std::function<void(QSize)>& beforeDecoding) {
    Decoding d;
    d.info.err = jpeg_std_error(&d.errors.manager);
    d.errors.manager.error_exit = stopDecoding;
    d.errors.manager.emit_message = stopOnDamage;
    if (!runDecoder(d, bytes, beforeDecoding))
        throw AppError(kErrInvalidPicture,
                       damagedPictureDescription(QString::fromLocal8Bit(d.errors.words)));
    return d.picture;
}

} // namespace vantola
