#include "cutting/job_log.h"

#include "settings/app_error.h"

#include <QDateTime>
#include <QLocale>

namespace vantola {

namespace {

// The locale's long time format without its time-zone part ("HH:mm:ss t" becomes "HH:mm:ss").
QString timeOfDayFormat(const QLocale& locale) {
    QString format = locale.timeFormat(QLocale::LongFormat);
    format.remove(QLatin1Char('t'));
    return format.trimmed();
}

} // namespace

QString logDateTime() {
    const QLocale locale = QLocale::system();
    const QDateTime now = QDateTime::currentDateTime();
    return locale.toString(now.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
           locale.toString(now.time(), timeOfDayFormat(locale));
}

QString localeNumberText(double value) {
    return QLocale::system().toString(value, 'g', 15);
}

QStringList pageFailureLines(const QString& pagePath, int failingStep, const QString& description,
                             int errorNumber) {
    const QString dashes(70, QLatin1Char('-'));
    QStringList lines{dashes, QStringLiteral("ERREUR DE TRAITEMENT DU FICHIER: ") + pagePath,
                      QStringLiteral("Ligne ") + QString::number(failingStep),
                      description + QStringLiteral(" (") + QString::number(errorNumber) +
                          QLatin1Char(')')};
    if (errorNumber == kErrInvalidPicture) {
        lines << QStringLiteral("Votre image est déffectueuse, vous devez la réenregistrer dans "
                                "un logiciel")
              << QStringLiteral(" de traitement d'image afin qu'elle puisse être lue correctement "
                                "dans celui-ci.");
    }
    lines << dashes;
    return lines;
}

QString noPanelLine(const QString& pagePath) {
    return QStringLiteral("Aucune case trouvée, la page est gardée entière : ") + pagePath;
}

} // namespace vantola
