// The JPEG settings of param.ini applied to the encoder, which then samples a picture's rows as
// they are read.
#include "image/jpeg_row_encoding.h"

#include "image/cjpeg.h"
#include "settings/app_error.h"
#include "settings/atomic_file.h"
#include "settings/number_text.h"

namespace vantola {

namespace {

// The quality as encodeJpeg reads it: a text that is no number is a type mismatch, one too
// large for 32 bits an overflow.
qint32 qualityNumber(const QString& text) {
    const NumberTextResult<qint32> result = convertNumberText<qint32>(text);
    if (result.status == NumberTextStatus::NotANumber)
        raiseError(kErrTypeMismatch);
    if (result.status == NumberTextStatus::Overflow)
        raiseError(kErrOverflow);
    return result.value;
}

} // namespace

QByteArray encodeJpegRows(jpeg::BgrRows& rows, const JpegSettings& settings) {
    cJpeg encoder;
    encoder.setQuality(qualityNumber(settings.quality));
    if (settings.isGreyscale())
        encoder.SetSamplingFrequencies(1, 1, 0, 0, 0, 0);
    else
        encoder.SetSamplingFrequencies(characterDigitValue(settings.sample, 1),
                                       characterDigitValue(settings.sample, 3), 1, 1, 1, 1);
    if (encoder.SampleRows(rows) != 0)
        raiseError(kErrOutOfMemory);
    return encoder.FileBytes();
}

void writeJpegRowsReplacing(jpeg::BgrRows& rows, const JpegSettings& settings,
                            const QString& target) {
    const QByteArray bytes = encodeJpegRows(rows, settings);
    if (const int error = writeFileWhole(target, bytes.constData(), std::size_t(bytes.size()),
                                         ExistingTarget::Replace))
        raiseFileError(error);
}

} // namespace vantola
