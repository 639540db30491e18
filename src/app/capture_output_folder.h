#pragma once

#include <QString>

namespace vantola {

// The output folder of a clipboard or PDF job on the command line: the captured pages are saved
// in it and the pieces go to its VANTOLA folder. Creates the folder when it does not exist yet.
// Returns its absolute path ending with a separator, or "" with error set when the path names
// something that is not a folder or the folder cannot be created.
QString prepareCaptureFolder(const QString& path, QString& error);

} // namespace vantola
