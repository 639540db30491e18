#include "app/display_session.h"

#include <QGuiApplication>

namespace vantola {

namespace {

// Set when the offscreen platform stands behind the desktop platforms as the last choice.
bool offscreenFallback = false;

} // namespace

QString prepareDisplayConnection() {
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return {}; // the platform was chosen: Qt's own
    const bool wayland = !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    const bool x11 = !qEnvironmentVariableIsEmpty("DISPLAY");
    if (!wayland && !x11)
        return QStringLiteral("neither DISPLAY nor WAYLAND_DISPLAY is set");
    // Qt tries the platforms of the list in order and ends the program only when none starts.
    QByteArray platforms = wayland ? "wayland;" : "";
    if (x11)
        platforms += "xcb;";
    qputenv("QT_QPA_PLATFORM", platforms + "offscreen");
    offscreenFallback = true;
    return {};
}

QString displayConnectionProblem() {
    if (!offscreenFallback || QGuiApplication::platformName() != QLatin1String("offscreen"))
        return {};
    QStringList displays;
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
        if (!qEnvironmentVariableIsEmpty(name))
            displays << QLatin1String(name) + QLatin1Char('=') + qEnvironmentVariable(name);
    }
    return QStringLiteral("the display %1 cannot be reached")
        .arg(displays.join(QStringLiteral(" or ")));
}

} // namespace vantola
