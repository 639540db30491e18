#include "cutting/cut_record.h"

#include "settings/app_error.h"
#include "settings/cls_initreg.h"
#include "settings/text_characters.h"

namespace vantola {

namespace {

constexpr int kErrInvalidArgument = 5;

} // namespace

QString recordedPiecePath(const QString& sFichierSortie) {
    if (characterCount(sFichierSortie) < 3)
        throw AppError(kErrInvalidArgument, QStringLiteral("Invalid procedure call or argument"));
    return withoutLastCharacters(sFichierSortie, 3) + QStringLiteral("jpg");
}

void EnregistreDecoupe(qint16 iPasse, const QString& sFichier, qint16 iNbDecoupe, qint32 iWidth,
                       qint32 iHeight, qint32 lColonne1, qint32 lColonne2, qint32 lLigne1,
                       qint32 lLigne2, const QString& sFichierSortie,
                       const QString& sFichierDecoupage) {
    Q_UNUSED(iPasse);
    Cls_InitREG ini;
    const QString n = QString::number(iNbDecoupe);
    const auto write = [&](const QString& key, const QString& value) {
        ini.IniEcrire(sFichier, key, value, sFichierDecoupage);
    };
    write(QStringLiteral("COLONNE_1_") + n, QString::number(lColonne1));
    write(QStringLiteral("COLONNE_2_") + n, QString::number(lColonne2));
    write(QStringLiteral("LIGNE_1_") + n, QString::number(lLigne1));
    write(QStringLiteral("LIGNE_2_") + n, QString::number(lLigne2));
    write(QStringLiteral("WIDTH"), QString::number(iWidth));
    write(QStringLiteral("HEIGHT"), QString::number(iHeight));
    write(QStringLiteral("FICHIER_") + n, recordedPiecePath(sFichierSortie));
}

} // namespace vantola
