#pragma once

#include "image/jpeg_writing.h"

#include <QByteArray>
#include <QString>

namespace vantola {

namespace jpeg {
class BgrRows;
}

// encodeJpeg and writeJpegReplacing for a picture given by its rows, which are read once, from
// top to bottom (a picture decoded from its file as it is encoded). Raise as those do, and
// whatever reading the rows raises; the target is then left as it was.
QByteArray encodeJpegRows(jpeg::BgrRows& rows, const JpegSettings& settings);
void writeJpegRowsReplacing(jpeg::BgrRows& rows, const JpegSettings& settings,
                            const QString& target);

} // namespace vantola
