#pragma once

#include <QString>

namespace vantola {

// Throws a piece file away: into the desktop's wastebasket where there is one (the user can
// still get it back), removed where there is none. A piece that is a symbolic link loses the
// link itself, never the file it points to; a piece folder that is itself a link is not
// reached through. Returns "" once the piece is gone (also when it was already), otherwise
// why it could not be thrown away.
QString throwPieceAway(const QString& path);

} // namespace vantola
