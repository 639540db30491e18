#include "app/zone_measurement.h"

#include <QCoreApplication>
#include <cmath>
#include <cstdlib>

namespace vantola {

namespace {

qint64 roundedQuotient(double numerator, double denominator) {
    return static_cast<qint64>(std::nearbyint(numerator / denominator));
}

} // namespace

qint32 packedColourAt(const QImage& page, int x, int y) {
    if (x < 0 || y < 0 || x >= page.width() || y >= page.height())
        return -1;
    const QRgb rgb = page.pixel(x, y);
    return qint32(qRed(rgb)) + 256 * qint32(qGreen(rgb)) + 65536 * qint32(qBlue(rgb));
}

ZoneMeasurement measureZone(const QImage& page, QPoint press, QPoint release) {
    ZoneMeasurement zone;
    zone.press = press;
    zone.release = release;
    zone.c1 = roundedQuotient(packedColourAt(page, release.x(), release.y()), 10000.0);
    zone.c0 = roundedQuotient(packedColourAt(page, press.x(), press.y()), 10000.0);

    const int stepY = release.y() > press.y() ? 1 : -1;
    const int stepX = release.x() > press.x() ? 1 : -1;
    qint64 sum = 0;
    for (int y = press.y();; y += stepY) {
        for (int x = press.x();; x += stepX) {
            // Outside the page the colour is -1, which rounds to 0.
            sum += roundedQuotient(packedColourAt(page, x, y), 1000000.0);
            if (x == release.x())
                break;
        }
        if (y == release.y())
            break;
    }

    double level = double(sum) * 100.0;
    if (release.y() != press.y())
        level = double(roundedQuotient(level, double(std::abs(release.y() - press.y()) + 1)));
    if (release.x() != press.x())
        level = double(roundedQuotient(level, double(std::abs(release.x() - press.x()) + 1)));
    zone.level = static_cast<qint64>(level);
    return zone;
}

QString measurementText(const ZoneMeasurement& zone) {
    const QString crlf = QStringLiteral("\r\n");
    return QCoreApplication::translate("vantola::PageViewer",
                                       "Vous avez cliquer du point de couleur :") +
           QString::number(zone.c0) + crlf + QStringLiteral("X:") +
           QString::number(zone.press.x()) + QStringLiteral(" /Y:") +
           QString::number(zone.press.y()) + crlf +
           QCoreApplication::translate("vantola::PageViewer", "jusqu'au point de couleur ") +
           QString::number(zone.c1) + crlf + QStringLiteral("X:") +
           QString::number(zone.release.x()) + QStringLiteral(" /Y:") +
           QString::number(zone.release.y()) + crlf + crlf +
           QCoreApplication::translate("vantola::PageViewer", "Niveau de blanc de la zone:") +
           QString::number(zone.level);
}

} // namespace vantola
