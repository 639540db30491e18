#include "cutting/safe_folder.h"

#include <QFile>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace vantola {

namespace {

// A file descriptor closed with its owner.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(Descriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }

private:
    int fd_;
};

// What an entry is and the file system it lies on: its device and, where the kernel tells, its
// mount (a bind mount shares the device of what it shows).
struct Place {
    bool found = false;
    mode_t mode = 0;
    dev_t device = 0;
    std::uint64_t mount = 0;

    bool sameFileSystem(const Place& other) const {
        return device == other.device && mount == other.mount;
    }
};

// The entry `name` of an opened folder, a link taken as itself; "" is the folder itself.
Place placeOf(int folderFd, const char* name) {
    struct statx info {};
    Place place;
    const int flags = AT_SYMLINK_NOFOLLOW | (name[0] == '\0' ? AT_EMPTY_PATH : 0);
    if (::statx(folderFd, name, flags, STATX_TYPE | STATX_MNT_ID, &info) != 0)
        return place;
    place.found = true;
    place.mode = info.stx_mode;
    place.device = makedev(info.stx_dev_major, info.stx_dev_minor);
    place.mount = (info.stx_mask & STATX_MNT_ID) != 0 ? info.stx_mnt_id : 0;
    return place;
}

Descriptor openFolder(const QString& path) {
    return Descriptor(
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
}

// Opens the sub-folder `name` only when it is a folder itself (no link) on the file system of
// `home`; otherwise the descriptor is invalid.
Descriptor openSubfolder(int parentFd, const char* name, const Place& home) {
    Descriptor folder(::openat(parentFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (folder.valid() && !placeOf(folder.get(), "").sameFileSystem(home)) {
        errno = EXDEV;
        return Descriptor(-1);
    }
    return folder;
}

std::vector<std::string> entryNames(int folderFd) {
    std::vector<std::string> names;
    DIR* listing = ::fdopendir(::dup(folderFd));
    if (!listing)
        return names;
    ::rewinddir(listing);
    while (const dirent* entry = ::readdir(listing)) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            names.emplace_back(entry->d_name);
    }
    ::closedir(listing);
    return names;
}

bool removeTree(int parentFd, const char* name, const Place& home) {
    const Place place = placeOf(parentFd, name);
    if (!place.found)
        return errno == ENOENT;
    if (!S_ISDIR(place.mode))
        return ::unlinkat(parentFd, name, 0) == 0 || errno == ENOENT;
    const Descriptor folder = openSubfolder(parentFd, name, home);
    if (!folder.valid())
        return false;
    bool emptied = true;
    for (const std::string& entry : entryNames(folder.get()))
        emptied = removeTree(folder.get(), entry.c_str(), home) && emptied;
    return emptied && (::unlinkat(parentFd, name, AT_REMOVEDIR) == 0 || errno == ENOENT);
}

QByteArray nameBytes(const QString& name) {
    return QFile::encodeName(name);
}

} // namespace

EntryKind entryKind(const QString& parent, const QString& name) {
    const Descriptor folder = openFolder(parent);
    if (!folder.valid())
        return EntryKind::Missing;
    const Place place = placeOf(folder.get(), nameBytes(name).constData());
    if (!place.found)
        return EntryKind::Missing;
    if (S_ISLNK(place.mode))
        return EntryKind::Link;
    if (!S_ISDIR(place.mode))
        return EntryKind::Other;
    return place.sameFileSystem(placeOf(folder.get(), "")) ? EntryKind::Folder
                                                           : EntryKind::MountedFolder;
}

bool removeFolderSafely(const QString& parent, const QString& name) {
    const Descriptor folder = openFolder(parent);
    return folder.valid() &&
           removeTree(folder.get(), nameBytes(name).constData(), placeOf(folder.get(), ""));
}

bool renameFolderSafely(const QString& parent, const QString& from, const QString& to) {
    if (entryKind(parent, from) != EntryKind::Folder)
        return false;
    const Descriptor folder = openFolder(parent);
    const QByteArray fromName = nameBytes(from);
    const QByteArray toName = nameBytes(to);
    if (::renameat2(folder.get(), fromName.constData(), folder.get(), toName.constData(),
                    RENAME_NOREPLACE) == 0)
        return true;
    // A file system that cannot refuse an existing target itself: look first.
    if (errno != EINVAL || placeOf(folder.get(), toName.constData()).found)
        return false;
    return ::renameat(folder.get(), fromName.constData(), folder.get(), toName.constData()) == 0;
}

bool moveEntries(const QString& parent, const QString& from, const QString& to) {
    const Descriptor folder = openFolder(parent);
    if (!folder.valid())
        return false;
    const Place home = placeOf(folder.get(), "");
    const Descriptor source = openSubfolder(folder.get(), nameBytes(from).constData(), home);
    const Descriptor target = openSubfolder(folder.get(), nameBytes(to).constData(), home);
    if (!source.valid() || !target.valid())
        return false;
    bool moved = true;
    for (const std::string& entry : entryNames(source.get()))
        moved = ::renameat(source.get(), entry.c_str(), target.get(), entry.c_str()) == 0 && moved;
    return moved;
}

bool removeEntries(const QString& parent, const QString& folderName, const QStringList& names) {
    const Descriptor folder = openFolder(parent);
    if (!folder.valid())
        return false;
    const Descriptor entries =
        openSubfolder(folder.get(), nameBytes(folderName).constData(), placeOf(folder.get(), ""));
    if (!entries.valid())
        return false;
    bool removed = true;
    for (const QString& name : names)
        removed =
            (::unlinkat(entries.get(), nameBytes(name).constData(), 0) == 0 || errno == ENOENT) &&
            removed;
    return removed;
}

QString systemErrorText(int error) {
    switch (error) {
    case EACCES:
    case EPERM:
        return QStringLiteral("accès refusé");
    case EROFS:
        return QStringLiteral("système de fichiers en lecture seule");
    case ENOSPC:
        return QStringLiteral("disque plein");
    case EDQUOT:
        return QStringLiteral("quota disque dépassé");
    case ENOENT:
        return QStringLiteral("dossier introuvable");
    case ENOTDIR:
        return QStringLiteral("un élément du chemin n'est pas un dossier");
    case EEXIST:
        return QStringLiteral("un fichier porte déjà ce nom");
    default:
        return QString::fromLocal8Bit(std::strerror(error));
    }
}

} // namespace vantola
