#pragma once

#include <QString>
#include <QStringList>

namespace vantola {

// `vantola [--home DIR] [PATH...]`: the main window on the program folder (DIR, else
// VANTOLA_HOME, else the executable's folder when writable, else the user's configuration
// folder), which then opens the paths as dropped ones. Returns the exit status once the window
// has ended the program; 2 when there is no display to show it on.
int runMainWindow(int argc, char** argv, const QString& home, const QStringList& paths);

} // namespace vantola
