// Writing pictures as JPEG files with the settings of param.ini, read at every call so that a
// change made in the JPEG settings dialog applies from the next piece on: saveJPG (a picture file
// turned into a JPEG file, the picture file deleted afterwards) and savePiece (a piece held in
// memory, left as a bitmap when it cannot be encoded).
#include "cutting/cutting_job.h"
#include "image/jpeg_writing.h"
#include "image/picture_loader.h"
#include "image/picture_saver.h"
#include "settings/app_error.h"

#include <QFile>
#include <QFileInfo>

namespace vantola {

namespace {

// Removes a file even when it is read-only; raises when it exists and cannot be removed.
void removeFileForcibly(const QString& path) {
    if (!QFileInfo::exists(path))
        return;
    QFile file(path);
    file.setPermissions(file.permissions() | QFileDevice::WriteOwner | QFileDevice::ReadOwner);
    if (!file.remove())
        raiseError(kErrPathAccess);
}

} // namespace

JpegSettings CuttingJob::currentJpegSettings() const {
    return readJpegSettings(state_.sFichierParam, jpegOverrides);
}

void CuttingJob::saveJPG(const QString& FileName, const QString& sFichierSortie) {
    const QImage picture = loadPicture(FileName);
    writeJpegReplacing(picture, currentJpegSettings(), sFichierSortie);
    // The source picture goes only once its JPEG file is written.
    removeFileForcibly(FileName);
}

void CuttingJob::savePiece(const QImage& piece, const QString& bitmapPath,
                           const QString& jpegPath) {
    try {
        writeJpegReplacing(piece, currentJpegSettings(), jpegPath);
    } catch (...) {
        keepAsBitmap(piece, bitmapPath);
        throw;
    }
}

void CuttingJob::keepAsBitmap(const QImage& piece, const QString& bitmapPath) {
    // A piece that could not be encoded stays in the output folder as a bitmap, when the folder
    // takes it; the encoder's failure is what the caller hears of.
    try {
        savePictureAtomically(piece, bitmapPath, "BMP");
    } catch (const AppError&) {
    }
}

} // namespace vantola
