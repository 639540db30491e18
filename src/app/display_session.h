#pragma once

#include <QString>

namespace vantola {

// Qt ends the program with an abort when the display it tries cannot be reached (a DISPLAY
// naming no running server, a refused connection). Before the application is created, this
// lets Qt fall back on its offscreen platform instead, so that the program can say what is
// wrong. Returns why there is no display to try at all, or an empty text.
QString prepareDisplayConnection();

// After the application is created: why the display could not be reached, or an empty text
// when it was (or when the platform was chosen through QT_QPA_PLATFORM).
QString displayConnectionProblem();

} // namespace vantola
