#include "settings/ini_file_cache.h"

#include "settings/file_names.h"
#include "settings/text_file.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantola {

namespace {

// Files kept parsed at once; the least recently used one is dropped beyond that.
constexpr std::size_t kMaxCachedFiles = 16;

// What identifies one state of a file on disk.
struct FileStamp {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    timespec changed{};

    static FileStamp of(const struct stat& info) {
        return {info.st_dev, info.st_ino, info.st_size, info.st_mtim, info.st_ctim};
    }
    bool operator==(const FileStamp& other) const {
        const auto same = [](const timespec& a, const timespec& b) {
            return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
        };
        return device == other.device && inode == other.inode && size == other.size &&
               same(modified, other.modified) && same(changed, other.changed);
    }
};

bool isMissing(int error) {
    return error == ENOENT || error == ENOTDIR;
}

// The canonical path of the file, or of its folder followed by its name when the file does not
// exist yet. Empty when the path names no file or its folder does not exist.
QString canonicalKey(const QString& path) {
    if (path.isEmpty())
        return {};
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    if (!canonical.isEmpty())
        return canonical;
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    if (folder.isEmpty() || info.fileName().isEmpty())
        return {};
    return folder == QLatin1String("/") ? folder + info.fileName()
                                        : folder + QLatin1Char('/') + info.fileName();
}

// Reads the whole regular file. False when it cannot be opened or read, or is not a regular file.
bool readWholeFile(const QByteArray& localPath, QByteArray& bytes, FileStamp& stamp) {
    struct stat info {};
    const int fd = openRegularFile(localPath, &info);
    if (fd < 0)
        return false;
    stamp = FileStamp::of(info);
    bytes.clear();
    bytes.reserve(static_cast<qsizetype>(info.st_size));
    char buffer[1 << 16];
    bool ok = true;
    for (;;) {
        const ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0) {
            ok = count == 0;
            break;
        }
        bytes.append(buffer, count);
    }
    ::close(fd);
    return ok;
}

// Appends the bytes to the file, creating it when missing. On a failed or short write the file
// is cut back to its former length.
bool appendToFile(const QByteArray& localPath, const QByteArray& bytes) {
    const int fd = ::open(localPath.constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    struct stat info {};
    bool ok = ::fstat(fd, &info) == 0;
    const off_t formerSize = info.st_size;
    qsizetype written = 0;
    while (ok && written < bytes.size()) {
        const ssize_t count =
            ::write(fd, bytes.constData() + written, static_cast<size_t>(bytes.size() - written));
        if (count < 0 && errno == EINTR)
            continue;
        ok = count > 0;
        if (ok)
            written += count;
    }
    if (!ok && written > 0 && ::ftruncate(fd, formerSize) != 0)
        ok = false; // nothing more can be done; the cache forgets the file either way
    return ::close(fd) == 0 && ok;
}

} // namespace

struct IniFileCache::Entry {
    QString key;
    QByteArray localPath;
    bool exists = false; // false: the file is missing and the document empty
    FileStamp stamp;
    IniDocument document;
    quint64 lastUse = 0;
};

IniFileCache::IniFileCache() = default;
IniFileCache::~IniFileCache() = default;

IniFileCache& IniFileCache::instance() {
    static IniFileCache cache;
    return cache;
}

void IniFileCache::clear() {
    const std::lock_guard lock(mutex_);
    entries_.clear();
}

void IniFileCache::forget(const QString& key) {
    std::erase_if(entries_, [&](const std::unique_ptr<Entry>& entry) { return entry->key == key; });
}

IniFileCache::Entry* IniFileCache::validEntry(const QString& key, bool forWriting,
                                              ReadStatus& status) {
    const QByteArray localPath = QFile::encodeName(key);
    const auto found = std::find_if(entries_.begin(), entries_.end(),
                                    [&](const auto& entry) { return entry->key == key; });
    Entry* entry = found == entries_.end() ? nullptr : found->get();

    struct stat info {};
    if (::stat(localPath.constData(), &info) != 0) {
        if (!isMissing(errno)) {
            status = ReadStatus::Failed;
            return nullptr;
        }
        status = ReadStatus::Missing;
        if (entry != nullptr && !entry->exists) {
            entry->lastUse = ++useCounter_;
            return entry;
        }
        forget(key);
        if (!forWriting)
            return nullptr;
        entry = nullptr;
    } else if (!S_ISREG(info.st_mode)) {
        status = ReadStatus::Failed;
        return nullptr;
    } else if (entry != nullptr && entry->exists && entry->stamp == FileStamp::of(info)) {
        status = ReadStatus::Read;
        entry->lastUse = ++useCounter_;
        return entry;
    } else {
        forget(key);
        entry = nullptr;
        status = ReadStatus::Read;
    }

    auto fresh = std::make_unique<Entry>();
    fresh->key = key;
    fresh->localPath = localPath;
    if (status == ReadStatus::Read) {
        QByteArray bytes;
        if (!readWholeFile(localPath, bytes, fresh->stamp)) {
            status = ReadStatus::Failed;
            return nullptr;
        }
        fresh->exists = true;
        fresh->document = IniDocument::parse(bytes);
    }
    fresh->lastUse = ++useCounter_;
    if (entries_.size() >= kMaxCachedFiles) {
        const auto oldest =
            std::min_element(entries_.begin(), entries_.end(),
                             [](const auto& a, const auto& b) { return a->lastUse < b->lastUse; });
        entries_.erase(oldest);
    }
    entries_.push_back(std::move(fresh));
    return entries_.back().get();
}

IniFileCache::ReadStatus IniFileCache::read(const QString& path,
                                            const std::function<void(const IniDocument&)>& reader) {
    const std::lock_guard lock(mutex_);
    const QString key = canonicalKey(path);
    ReadStatus status = ReadStatus::Missing;
    const Entry* entry = key.isEmpty() ? nullptr : validEntry(key, false, status);
    if (status == ReadStatus::Failed)
        return status;
    if (entry != nullptr) {
        reader(entry->document);
    } else {
        const IniDocument empty;
        reader(empty);
    }
    return status;
}

bool IniFileCache::write(const QString& path, const std::function<IniChange(IniDocument&)>& edit) {
    const std::lock_guard lock(mutex_);
    const QString key = canonicalKey(path);
    if (key.isEmpty())
        return false;
    ReadStatus status = ReadStatus::Missing;
    Entry* entry = validEntry(key, true, status);
    if (entry == nullptr)
        return false;

    IniChange change;
    try {
        change = edit(entry->document);
    } catch (...) {
        forget(key); // the edit may have left the document half changed
        throw;
    }
    bool ok = false;
    switch (change.kind) {
    case IniChange::Kind::Refused:
        return false;
    case IniChange::Kind::None:
        return true;
    case IniChange::Kind::Append:
        ok = appendToFile(entry->localPath, change.appended);
        break;
    case IniChange::Kind::Rewrite:
        ok = writeFileAtomically(key, entry->document.serialize());
        break;
    }
    struct stat info {};
    if (!ok || ::stat(entry->localPath.constData(), &info) != 0) {
        forget(key); // the document no longer matches the file: read it again next time
        return false;
    }
    entry->exists = true;
    entry->stamp = FileStamp::of(info);
    return true;
}

} // namespace vantola
