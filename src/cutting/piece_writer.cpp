// Writing pictures as JPEG files with the settings of param.ini: saveJPG (a picture file turned
// into a JPEG file, the picture file deleted afterwards) and savePiece (a piece held in memory).
#include "cutting/cutting_job.h"
#include "image/cimage.h"
#include "image/cjpeg.h"
#include "image/picture_loader.h"
#include "image/picture_saver.h"
#include "settings/app_error.h"
#include "settings/cls_initreg.h"
#include "settings/number_text.h"
#include "settings/text_file.h"

#include <QFile>
#include <QFileInfo>
#include <cstdio>

namespace vantola {

namespace {

const QString kParamSection = QStringLiteral("PARAM");

// Sampling text used when param.ini has none: the JPEG settings dialog's own default choice.
const QString kDefaultSample = QStringLiteral("2:2  [Default]");

// A setting that must be a whole number: a text that is not a number is a type mismatch, one
// too large for 32 bits an overflow.
qint32 settingNumber(const QString& text) {
    const NumberTextResult<qint32> result = convertNumberText<qint32>(text);
    if (result.status == NumberTextStatus::NotANumber)
        raiseError(kErrTypeMismatch);
    if (result.status == NumberTextStatus::Overflow)
        raiseError(kErrOverflow);
    return result.value;
}

// Removes a file even when it is read-only; raises when it exists and cannot be removed.
void removeFileForcibly(const QString& path) {
    if (!QFileInfo::exists(path))
        return;
    QFile file(path);
    file.setPermissions(file.permissions() | QFileDevice::WriteOwner | QFileDevice::ReadOwner);
    if (!file.remove())
        raiseError(kErrPathAccess);
}

// Encodes the picture with our encoder into a temporary file beside the target, then renames it
// over the target (replacing a read-only one): the target never exists half-written.
void encodeJpegFile(const QImage& picture, const QString& quality, bool greyscale,
                    const QString& sample, const QString& target) {
    cImage buffer;
    qint16 bitCount = 0;
    if (!buffer.CopyStdPicture(picture, &bitCount))
        raiseError(kErrOutOfMemory);

    cJpeg encoder;
    encoder.setQuality(settingNumber(quality));
    if (greyscale)
        encoder.SetSamplingFrequencies(1, 1, 0, 0, 0, 0);
    else
        encoder.SetSamplingFrequencies(characterDigitValue(sample, 1),
                                       characterDigitValue(sample, 3), 1, 1, 1, 1);
    if (encoder.SampleHDC(buffer.hDC(), buffer.Width(), buffer.Height(), 0, 0) != 0)
        raiseError(kErrOutOfMemory);

    const QString temporary = target + QStringLiteral(".partiel");
    removeFileForcibly(temporary);
    if (encoder.SaveFile(temporary) != 0)
        raiseError(kErrPathAccess);
    if (std::rename(QFile::encodeName(temporary).constData(),
                    QFile::encodeName(target).constData()) != 0) {
        QFile::remove(temporary);
        raiseError(kErrPathAccess);
    }
}

} // namespace

CuttingJob::JpegSettings CuttingJob::readJpegSettings() const {
    Cls_InitREG ini;
    const QString& file = state_.sFichierParam;
    JpegSettings settings;
    settings.quality = jpegOverrides.quality.value_or(
        ini.IniLire(kParamSection, QStringLiteral("JPG_QUALITY"), QStringLiteral("75"), file));
    settings.greyscale = jpegOverrides.greyscale.value_or(
        ini.IniLire(kParamSection, QStringLiteral("JPG_GREYSCALE"), QStringLiteral("0"), file));
    settings.sample = jpegOverrides.sample.value_or(
        ini.IniLire(kParamSection, QStringLiteral("JPG_SAMPLE"), kDefaultSample, file));
    return settings;
}

bool CuttingJob::isGreyscale(const JpegSettings& settings) {
    return settingNumber(settings.greyscale) != 0;
}

void CuttingJob::saveJPG(const QString& FileName, const QString& sFichierSortie) {
    const QImage picture = loadPicture(FileName);
    const JpegSettings settings = readJpegSettings();
    encodeJpegFile(picture, settings.quality, isGreyscale(settings), settings.sample,
                   sFichierSortie);
    // The source picture goes only once its JPEG file is written.
    removeFileForcibly(FileName);
}

void CuttingJob::savePiece(const QImage& piece, const QString& bitmapPath,
                           const QString& jpegPath) {
    try {
        const JpegSettings settings = readJpegSettings();
        encodeJpegFile(piece, settings.quality, isGreyscale(settings), settings.sample, jpegPath);
    } catch (...) {
        // A piece that could not be encoded stays in the output folder as a bitmap, when the
        // folder takes it; the encoder's failure is what the caller hears of.
        try {
            savePictureAtomically(piece, bitmapPath, "BMP");
        } catch (const AppError&) {
        }
        throw;
    }
}

} // namespace vantola
