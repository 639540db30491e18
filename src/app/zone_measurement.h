#pragma once

#include <QImage>
#include <QPoint>
#include <QString>

namespace vantola {

// The packed colour R + 256*G + 65536*B of a pixel of the shown page, -1 outside the page.
qint32 packedColourAt(const QImage& page, int x, int y);

// The white level of the zone between a press point and a release point, on the scale where a
// pure white zone gives 1700, with the colours of its two corners on the scale of the white
// level (pure white 1678).
struct ZoneMeasurement {
    QPoint press;
    QPoint release;
    qint64 c0 = 0;    // colour at the press point / 10000
    qint64 c1 = 0;    // colour at the release point / 10000
    qint64 level = 0; // mean of colour / 1000000 over the zone, times 100
};

// Measures the zone, both corners included, whichever way it was dragged; pixels outside the
// page add nothing. Every division rounds to the nearest integer, halves to even.
ZoneMeasurement measureZone(const QImage& page, QPoint press, QPoint release);

// "Vous avez cliquer du point de couleur :"... : the text of the measurement's message box,
// lines separated by CR LF.
QString measurementText(const ZoneMeasurement& zone);

} // namespace vantola
