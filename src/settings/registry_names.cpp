#include "settings/registry_names.h"

#include <array>

namespace vantola {

quint32 rootKeyHandle(const QString& name) {
    static const std::array<QLatin1String, 7> kRootNames = {
        QLatin1String("HKEY_CLASSES_ROOT"),     QLatin1String("HKEY_CURRENT_USER"),
        QLatin1String("HKEY_LOCAL_MACHINE"),    QLatin1String("HKEY_USERS"),
        QLatin1String("HKEY_PERFORMANCE_DATA"), QLatin1String("HKEY_CURRENT_CONFIG"),
        QLatin1String("HKEY_DYN_DATA")};
    for (std::size_t i = 0; i < kRootNames.size(); ++i) {
        if (name == kRootNames[i])
            return 0x80000000u + static_cast<quint32>(i);
    }
    return 0;
}

QString registryErrorMessage(qint32 code) {
    switch (code) {
    case 2:
    case 1010:
        return QStringLiteral("Mauvais nom de cle");
    case 4:
    case 1012:
        return QStringLiteral("Ne peut lire la cle");
    case 5:
        return QStringLiteral("L'access a cette cle ne peut se faire");
    case 8:
    case 14:
        return QStringLiteral("Pas assez de memoire");
    case 87:
        return QStringLiteral("Parametre Invalide");
    case 234:
        return QStringLiteral("Il y a plus de donnees que le buffer ne peut en supporter.");
    case 1009:
    case 1015:
        return QStringLiteral("La base de Registre est corrompu!");
    case 1011:
        return QStringLiteral("Ne peut ouvrir la cle");
    case 1013:
        return QStringLiteral("Ne peut ecrire la cle");
    default:
        return QStringLiteral("Code d'Erreur indefini:  ") +
               (code >= 0 ? QStringLiteral(" ") : QString()) + QString::number(code);
    }
}

} // namespace vantola
