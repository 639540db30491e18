#include "settings/path_parts.h"

namespace vantola {

QString ExtraireDossier(const QString& path) {
    const qsizetype separator = path.lastIndexOf(QLatin1Char('/'));
    return separator < 0 ? QString() : path.left(separator + 1);
}

QString ExtraireNomFichier(const QString& path) {
    const qsizetype separator = path.lastIndexOf(QLatin1Char('/'));
    return separator < 0 ? path : path.mid(separator + 1);
}

} // namespace vantola
