#pragma once

#include <QImage>
#include <QString>

namespace vantola {

// Saves a picture with Qt's writers (format "BMP", "PNG"...) through a temporary file in the
// target's folder renamed into place, replacing the target. Raises the path-access error when
// it cannot be written.
void savePictureAtomically(const QImage& picture, const QString& path, const char* format);

} // namespace vantola
