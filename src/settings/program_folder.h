#pragma once

#include <QString>

namespace vantola {

// Where param.ini and decoupage.ini live. In order of precedence: an explicit folder (the
// --home option), the VANTOLA_HOME environment variable, the executable's own folder when it is
// writable (a portable install or a build tree), else $XDG_CONFIG_HOME/vantola.
// The returned path ends with a separator; the folder is created when it does not exist yet.
QString resolveProgramFolder(const QString& explicitFolder, const QString& executableFolder);

// Makes sure a folder path ends with the platform separator.
QString withTrailingSeparator(const QString& folder);

} // namespace vantola
