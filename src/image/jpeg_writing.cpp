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

// The file's bytes from an encoder set up with the settings, whose pixels `sample` gives it
// (0 when it could, as cJpeg's sampling calls say).
template <class Sample>
QByteArray encodeWith(const JpegSettings& settings, Sample sample) {
    cJpeg encoder;
    encoder.setQuality(wholeNumber(settings.quality));
    if (settings.isGreyscale())
        encoder.SetSamplingFrequencies(1, 1, 0, 0, 0, 0);
    else
        encoder.SetSamplingFrequencies(characterDigitValue(settings.sample, 1),
                                       characterDigitValue(settings.sample, 3), 1, 1, 1, 1);
    if (sample(encoder) != 0)
        raiseError(kErrOutOfMemory);
    return encoder.FileBytes();
}

QByteArray encodeJpeg(const cImage& buffer, const JpegSettings& settings) {
    return encodeWith(settings, [&](cJpeg& encoder) {
        return encoder.SampleHDC(buffer.hDC(), buffer.Width(), buffer.Height(), 0, 0);
    });
}

QByteArray encodeJpeg(jpeg::BgrRows& rows, const JpegSettings& settings) {
    return encodeWith(settings, [&](cJpeg& encoder) { return encoder.SampleRows(rows); });
}

void writeJpegReplacing(const QImage& picture, const JpegSettings& settings,
                        const QString& target) {
    writeJpegBytes(encodeJpeg(picture, settings), target);
}

void writeJpegReplacing(const cImage& buffer, const JpegSettings& settings, const QString& target) {
    writeJpegBytes(encodeJpeg(buffer, settings), target);
}

void writeJpegReplacing(jpeg::BgrRows& rows, const JpegSettings& settings, const QString& target) {
    writeJpegBytes(encodeJpeg(rows, settings), target);
}

} // namespace vantola
