#pragma once

#include "settings/ini_document.h"

#include <QString>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace vantola {

// Shared access to INI files that keeps each file parsed in memory between calls, so that a
// read costs a hash look-up and most writes cost a single append, however large the file grows.
//
// Files are keyed by their canonical path. Before every use the cached copy is checked against
// the file's size, modification and change times, device and inode: a file that someone else
// rewrote, truncated, replaced or removed is read again. (Like every such check it cannot see a
// change that keeps the size and lands within the file system's timestamp resolution of our own
// last write.)
//
// Every write is in the file, handed to the operating system, when write() returns, so a crash of
// the program loses nothing written before it. New keys at the end of the file are appended; any
// other change writes the whole file to a temporary file in the same folder and renames it into
// place, so the file is never seen half-written.
//
// One lock guards the cache and the file operations: any thread may call.
class IniFileCache {
public:
    enum class ReadStatus {
        Read,    // the file was read
        Missing, // no such file (or no such folder): the reader saw an empty document
        Failed,  // the file exists but cannot be read: a folder, no permission, an I/O error
    };

    static IniFileCache& instance();

    // Runs the reader on the file's document under the cache lock.
    ReadStatus read(const QString& path, const std::function<void(const IniDocument&)>& reader);

    // Runs the edit on the file's document (an empty one for a missing file) and puts its change
    // on disk. False when the edit was refused, or the file could not be read or written; the
    // file is then left as it was and the cache forgets it.
    bool write(const QString& path, const std::function<IniChange(IniDocument&)>& edit);

    // Forgets every cached file.
    void clear();

private:
    struct Entry;

    IniFileCache();
    ~IniFileCache();
    Entry* validEntry(const QString& key, bool forWriting, ReadStatus& status);
    void forget(const QString& key);

    std::mutex mutex_;
    std::vector<std::unique_ptr<Entry>> entries_;
    quint64 useCounter_ = 0;
};

} // namespace vantola
