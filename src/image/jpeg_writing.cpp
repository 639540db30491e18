#include "image/jpeg_writing.h"

#include "image/cimage.h"
#include "image/cjpeg.h"
#include "settings/app_error.h"
#include "settings/cls_initreg.h"
#include "settings/number_text.h"

namespace vantola {

namespace {

// A setting that must be a whole number: a text that is no number is a type mismatch, one too
// large for 32 bits an overflow.
qint32 wholeNumber(const QString& text) {
    const NumberTextResult<qint32> result = convertNumberText<qint32>(text);
    if (result.status == NumberTextStatus::NotANumber)
        raiseError(kErrTypeMismatch);
    if (result.status == NumberTextStatus::Overflow)
        raiseError(kErrOverflow);
    return result.value;
}

// Replaces the target by the bytes in one piece.
void writeJpegBytes(const QByteArray& bytes, const QString& target) {
    if (const int error = writeFileWhole(target, bytes.constData(), std::size_t(bytes.size()),
                                         ExistingTarget::Replace))
        raiseFileError(error);
}

} // namespace

bool JpegSettings::isGreyscale() const {
    return wholeNumber(greyscale) != 0;
}

JpegSettings readJpegSettings(const QString& paramFile, const JpegOverrides& overrides) {
    Cls_InitREG ini;
    const QString section = kParamSection;
    JpegSettings settings;
    settings.quality = overrides.quality.value_or(
        ini.IniLire(section, QStringLiteral("JPG_QUALITY"), settings.quality, paramFile));
    settings.greyscale = overrides.greyscale.value_or(
        ini.IniLire(section, QStringLiteral("JPG_GREYSCALE"), settings.greyscale, paramFile));
    settings.sample = overrides.sample.value_or(
        ini.IniLire(section, QStringLiteral("JPG_SAMPLE"), settings.sample, paramFile));
    return settings;
}

QByteArray encodeJpeg(const QImage& picture, const JpegSettings& settings) {
    cImage buffer;
    qint16 bitCount = 0;
    if (!buffer.CopyStdPicture(picture, &bitCount))
        raiseError(kErrOutOfMemory);
    return encodeJpeg(buffer, settings);
}

QByteArray encodeJpeg(const cImage& buffer, const JpegSettings& settings) {
    cJpeg encoder;
    encoder.setQuality(wholeNumber(settings.quality));
    if (settings.isGreyscale())
        encoder.SetSamplingFrequencies(1, 1, 0, 0, 0, 0);
    else
        encoder.SetSamplingFrequencies(characterDigitValue(settings.sample, 1),
                                       characterDigitValue(settings.sample, 3), 1, 1, 1, 1);
    if (encoder.SampleHDC(buffer.hDC(), buffer.Width(), buffer.Height(), 0, 0) != 0)
        raiseError(kErrOutOfMemory);
    return encoder.FileBytes();
}

void writeJpegReplacing(const QImage& picture, const JpegSettings& settings,
                        const QString& target) {
    writeJpegBytes(encodeJpeg(picture, settings), target);
}

void writeJpegReplacing(const cImage& buffer, const JpegSettings& settings, const QString& target) {
    writeJpegBytes(encodeJpeg(buffer, settings), target);
}

} // namespace vantola
