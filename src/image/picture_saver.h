#pragma once

#include <QImage>
#include <QString>

namespace vantola {

// Saves a picture with Qt's writers (format "BMP", "PNG"...) in one piece (see atomic_file.h),
// replacing the target even when it is read-only. Raises the permission or path access error
// when it cannot be written.
void savePictureAtomically(const QImage& picture, const QString& path, const char* format);

} // namespace vantola
