#pragma once

#include <QStringList>

namespace vantola {

// vantola clipboard OUTDIR [options]: cuts the picture on the clipboard of the desktop session
// (X11 or Wayland). The picture is saved in OUTDIR as BD000.jpg, the pieces go to
// OUTDIR/VANTOLA/; an empty clipboard, or one without a picture, fails the page. Creates the
// application (a GUI one: the clipboard belongs to the display) from argc and argv. Returns the
// exit status: 0 the page was cut, 1 it failed, 2 usage error, no display or no job started.
int runClipboardCommandLine(int argc, char** argv, const QStringList& arguments);

} // namespace vantola
