#pragma once

#include <QString>

namespace vantola {

// A path up to and including its last separator ("" when it has none).
QString ExtraireDossier(const QString& path);

// The part of a path after its last separator (the whole path when it has none).
QString ExtraireNomFichier(const QString& path);

} // namespace vantola
