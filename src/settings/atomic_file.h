#pragma once

#include <QString>
#include <cstddef>

namespace vantola {

// Every file that the program writes for the user (pieces, page copies, the log copy, INI files,
// captured pages) appears whole or not at all. Its bytes go to a hidden temporary file created
// afresh in the target's folder (never through a link), and the temporary file is then renamed
// to the target's name, so that no program ever sees it half-written. The temporary name is short
// (".vantola-PID-N.tmp") so that it fits the file system's name limit whatever the target's
// name. A link bearing the target's name is replaced by the file, never written through.
//
// The functions return 0 when done, else the errno value of the failure; a failure leaves
// nothing behind and the target as it was.

// What becomes of a file that already bears the target's name.
enum class ExistingTarget {
    Replace,         // replaced, even a read-only one (the folder entry is what changes)
    ReplaceWritable, // replaced, keeping its permissions, unless it is marked read-only (EACCES);
                     // for the settings and the cut record, whose bytes also reach the disk
                     // before the rename, so that a power cut leaves the old or the new file
    Keep,            // left alone: the write fails with EEXIST
};

[[nodiscard]] int writeFileWhole(const QString& target, const char* data, std::size_t size,
                                 ExistingTarget existing);

// Copies a file's bytes into the target.
[[nodiscard]] int copyFileWhole(const QString& source, const QString& target,
                                ExistingTarget existing);

// The two halves of writeFileWhole, for a file written ahead and put in place later:
// writeTemporaryFile writes the bytes into a new temporary file in `folder` and sets `temporary`
// to its path; placeTemporaryFile renames it to the target (it may have been appended to since),
// removing it when that fails.
[[nodiscard]] int writeTemporaryFile(const QString& folder, const char* data, std::size_t size,
                                     QString& temporary);
[[nodiscard]] int placeTemporaryFile(const QString& temporary, const QString& target,
                                     ExistingTarget existing);

// True when anything (file, folder, link, even a dangling one) bears the name.
bool pathExists(const QString& path);

// Removes the temporary files that a run killed while writing left in a folder: those whose
// process is gone. Running the job again then leaves the folder as an uninterrupted run would.
void removeStaleTemporaryFiles(const QString& folder);

} // namespace vantola
