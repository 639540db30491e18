#include "app/app_icon.h"

#include <QString>

namespace vantola {

QIcon vantolaIcon() {
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/vantola-%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace vantola
