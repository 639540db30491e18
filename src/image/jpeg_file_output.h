#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>

namespace vantola::jpeg {

// True when anything (file, folder, link, even a dangling one) already bears the name.
bool pathExists(const QString& path);

// Writes a new file in one piece without ever replacing anything: the bytes go to a temporary
// file in the same folder, which is then renamed to `path` only if that name is still free, so
// no half-written file ever bears the final name. Returns false, leaving nothing behind, when
// the name is taken. A file that cannot be created or written raises the permission error
// (70) or the path/file access error (75).
bool writeNewFile(const QString& path, const std::uint8_t* data, std::size_t size);

} // namespace vantola::jpeg
