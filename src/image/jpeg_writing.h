#pragma once

#include "settings/atomic_file.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <optional>

namespace vantola {

class cImage;
namespace jpeg {
class BgrRows;
}

// The sampling text used when param.ini has none: the JPEG settings dialog's own default choice.
inline const QString kDefaultJpegSample = QStringLiteral("2:2  [Default]");

// The JPEG settings as param.ini stores them (texts; converted when a picture is encoded).
struct JpegSettings {
    QString quality = QStringLiteral("75");  // JPG_QUALITY
    QString greyscale = QStringLiteral("0"); // JPG_GREYSCALE
    QString sample = kDefaultJpegSample;     // JPG_SAMPLE: character 1 is H, character 3 is V

    // True when JPG_GREYSCALE, read as a number, is not 0. A text that is no number raises the
    // type-mismatch error.
    bool isGreyscale() const;
};

// Settings that replace those of param.ini for one run (the command line's options); an empty
// value means "take param.ini's".
struct JpegOverrides {
    std::optional<QString> quality;
    std::optional<QString> sample;
    std::optional<QString> greyscale;
};

// The JPEG keys of section PARAM of a param.ini, read at the moment of the call, with the
// overrides on top.
JpegSettings readJpegSettings(const QString& paramFile, const JpegOverrides& overrides = {});

// The JPEG file of the picture, encoded with our encoder and the settings. Raises AppError: type
// mismatch or overflow for settings that are no whole number, the encoder's error for a sampling
// it refuses.
QByteArray encodeJpeg(const QImage& picture, const JpegSettings& settings);

// Encodes the picture into `target`, replacing it (even when it is read-only) in one piece (see
// atomic_file.h): a failure leaves it as it was. Raises as encodeJpeg does, and the permission
// or path access error when the file cannot be written.
void writeJpegReplacing(const QImage& picture, const JpegSettings& settings, const QString& target);

// The same for a picture already in a buffer (at the depth it has).
QByteArray encodeJpeg(const cImage& buffer, const JpegSettings& settings);
void writeJpegReplacing(const cImage& buffer, const JpegSettings& settings, const QString& target);

// The same for a picture's rows as they are read (see sliding_rows.h): the picture is never held
// whole.
QByteArray encodeJpeg(jpeg::BgrRows& rows, const JpegSettings& settings);
void writeJpegReplacing(jpeg::BgrRows& rows, const JpegSettings& settings, const QString& target);

} // namespace vantola
