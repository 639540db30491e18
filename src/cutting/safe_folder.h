#pragma once

#include <QString>
#include <QStringList>

namespace vantola {

// Folder operations that never reach anything through a symbolic link nor across a mount: each
// works on the entries of an opened folder, a link is handled as the link itself, and a folder
// that lies on another file system (a mount point, a bind mount) is never entered.

// What is found under a name of a folder, without following a link.
enum class EntryKind { Missing, Folder, MountedFolder, Link, Other };
EntryKind entryKind(const QString& parent, const QString& name);

// Removes parent/name with everything in it. Links in it are removed as links; a folder mounted
// from elsewhere is left in place, and the removal then reports failure. True when the entry is
// gone (or was never there).
[[nodiscard]] bool removeFolderSafely(const QString& parent, const QString& name);

// Renames parent/from to parent/to, only when `to` does not exist and `from` is a folder of the
// same file system as parent. False otherwise, with nothing changed.
[[nodiscard]] bool renameFolderSafely(const QString& parent, const QString& from,
                                      const QString& to);

// Moves every entry of the folder parent/from into the folder parent/to, replacing entries of the
// same names. True when all moved.
[[nodiscard]] bool moveEntries(const QString& parent, const QString& from, const QString& to);

// Removes the named entries of the folder parent/folder (links as links). True when none is left.
[[nodiscard]] bool removeEntries(const QString& parent, const QString& folder,
                                 const QStringList& names);

// The program's own words for the last failed system call (errno).
QString systemErrorText(int error);

} // namespace vantola
