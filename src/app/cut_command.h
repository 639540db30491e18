#pragma once

#include <QStringList>

namespace vantola {

// vantola cut PATH... [options]: one job per path (a picture, a folder and every .jpg in it, or a
// comic-book archive, whose pictures are extracted into a new folder beside it and cut).
// Returns the exit status: 0 every page cut, 1 some page failed, 2 usage error or no job started.
int runCutCommand(const QStringList& arguments);

} // namespace vantola
