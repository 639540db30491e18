#pragma once

#include <QString>

namespace vantola {

// `vantola [--home DIR]`: the main window on the program folder (DIR, else VANTOLA_HOME, else
// the executable's folder when writable, else the user's configuration folder). Returns the
// exit status once the window has ended the program; 2 when there is no display to show it on.
int runMainWindow(int argc, char** argv, const QString& home);

} // namespace vantola
