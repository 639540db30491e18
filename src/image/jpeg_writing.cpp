#include "image/jpeg_writing.h"

#include "image/cimage.h"
#include "image/cjpeg.h"
#include "settings/app_error.h"
#include "settings/cls_initreg.h"
#include "settings/number_text.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <unistd.h>

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

// A hidden name beside `target` for the file before it replaces the target.
QString temporaryNameBeside(const QString& target, int attempt) {
    const QFileInfo info(target);
    return info.absolutePath() + QStringLiteral("/.%1.vantola-%2-%3.jpg")
                                     .arg(info.fileName())
                                     .arg(::getpid())
                                     .arg(attempt);
}

} // namespace

void removeStaleTemporaryFiles(const QString& folder) {
    // ".vantola-PID-N.tmp" (the encoder's file), ".NAME.vantola-PID-N.jpg" (a JPEG before it
    // replaces its target) and ".vantola-PID-N.part" (a piece before it is put in place).
    static const QRegularExpression pattern(
        QStringLiteral("^\\.(?:.+\\.)?vantola-(\\d+)-\\d+\\.(?:tmp|jpg|part)$"));
    const QDir dir(folder);
    for (const QString& name :
         dir.entryList({QStringLiteral(".*vantola-*")}, QDir::Files | QDir::Hidden)) {
        const QRegularExpressionMatch match = pattern.match(name);
        if (!match.hasMatch())
            continue;
        const pid_t owner = pid_t(match.captured(1).toLongLong());
        if (owner == ::getpid() || ::kill(owner, 0) == 0 || errno != ESRCH)
            continue; // still being written by a living process
        QFile::remove(dir.filePath(name));
    }
}

bool JpegSettings::isGreyscale() const {
    return wholeNumber(greyscale) != 0;
}

JpegSettings readJpegSettings(const QString& paramFile, const JpegOverrides& overrides) {
    Cls_InitREG ini;
    const QString section = QStringLiteral("PARAM");
    JpegSettings settings;
    settings.quality = overrides.quality.value_or(
        ini.IniLire(section, QStringLiteral("JPG_QUALITY"), settings.quality, paramFile));
    settings.greyscale = overrides.greyscale.value_or(
        ini.IniLire(section, QStringLiteral("JPG_GREYSCALE"), settings.greyscale, paramFile));
    settings.sample = overrides.sample.value_or(
        ini.IniLire(section, QStringLiteral("JPG_SAMPLE"), settings.sample, paramFile));
    return settings;
}

void writeJpegReplacing(const QImage& picture, const JpegSettings& settings,
                        const QString& target) {
    cImage buffer;
    qint16 bitCount = 0;
    if (!buffer.CopyStdPicture(picture, &bitCount))
        raiseError(kErrOutOfMemory);

    cJpeg encoder;
    encoder.setQuality(wholeNumber(settings.quality));
    if (settings.isGreyscale())
        encoder.SetSamplingFrequencies(1, 1, 0, 0, 0, 0);
    else
        encoder.SetSamplingFrequencies(characterDigitValue(settings.sample, 1),
                                       characterDigitValue(settings.sample, 3), 1, 1, 1, 1);
    if (encoder.SampleHDC(buffer.hDC(), buffer.Width(), buffer.Height(), 0, 0) != 0)
        raiseError(kErrOutOfMemory);

    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString temporary = temporaryNameBeside(target, attempt);
        if (encoder.SaveFile(temporary) != cJpeg::kSaved)
            continue; // the name is taken
        if (std::rename(QFile::encodeName(temporary).constData(),
                        QFile::encodeName(target).constData()) != 0) {
            QFile::remove(temporary);
            raiseError(kErrPathAccess);
        }
        return;
    }
    raiseError(kErrPathAccess);
}

} // namespace vantola
