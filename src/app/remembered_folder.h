#pragma once

#include <QString>

namespace vantola {

// The folder where the user last went in a file dialog (or dropped something), kept in
// param.ini under DERNIER_DOSSIER so that the next dialog, in this run or the next, opens there.

// The remembered folder when it still exists, else "".
QString rememberedFolder(const QString& sFichierParam);

// Remembers the folder; a folder that no longer exists, a name longer than an INI value holds, or
// a settings file that cannot be written are left out: the dialogs then open where they would.
void rememberFolder(const QString& sFichierParam, const QString& folder);

} // namespace vantola
