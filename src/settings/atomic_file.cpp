#include "settings/atomic_file.h"

#include "settings/file_names.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantola {

namespace {

// The folder part of a path, up to and including its last separator ("" for a bare name).
QByteArray folderOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? QByteArray() : path.left(slash + 1);
}

QByteArray withSeparator(const QString& folder) {
    QByteArray bytes = QFile::encodeName(folder);
    if (!bytes.isEmpty() && !bytes.endsWith('/'))
        bytes += '/';
    return bytes;
}

// Whether the existing target may be replaced; for ReplaceWritable, the permissions it has.
int checkExisting(const QByteArray& target, ExistingTarget existing, mode_t& keptMode) {
    keptMode = 0;
    if (existing == ExistingTarget::Replace)
        return 0;
    struct stat status;
    if (::lstat(target.constData(), &status) != 0)
        return 0;
    if (existing == ExistingTarget::Keep)
        return EEXIST;
    if (S_ISREG(status.st_mode)) {
        // The owner's write permission is the user's mark, whoever runs the program.
        if ((status.st_mode & S_IWUSR) == 0)
            return EACCES;
        keptMode = status.st_mode & 07777;
    }
    return 0;
}

// Renames without replacing: false with EEXIST when the name is taken.
int renameKeeping(const QByteArray& from, const QByteArray& to) {
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
        return errno;
    // A file system without that rename: a hard link refuses an existing name as well.
    if (::link(from.constData(), to.constData()) == 0) {
        ::unlink(from.constData());
        return 0;
    }
    if (errno != EPERM && errno != EOPNOTSUPP)
        return errno;
    // Nor hard links: check, then rename.
    struct stat status;
    if (::lstat(to.constData(), &status) == 0)
        return EEXIST;
    return ::rename(from.constData(), to.constData()) == 0 ? 0 : errno;
}

// A hidden file of ours in a folder, removed when it goes out of scope unless it was put in
// place or released.
class TemporaryFile {
public:
    ~TemporaryFile() {
        if (descriptor_ >= 0)
            ::close(descriptor_);
        if (!path_.isEmpty())
            ::unlink(path_.constData());
    }

    int create(const QByteArray& folder) {
        static std::atomic<unsigned> counter{0};
        for (int attempt = 0; attempt < 100; ++attempt) {
            path_ = folder + ".vantola-" + QByteArray::number(::getpid()) + '-' +
                    QByteArray::number(counter++) + ".tmp";
            descriptor_ = ::open(path_.constData(),
                                 O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
            if (descriptor_ >= 0)
                return 0;
            const int error = errno;
            path_.clear();
            if (error != EEXIST)
                return error;
        }
        return EEXIST;
    }

    int adopt(const QByteArray& path) {
        path_ = path;
        descriptor_ = ::open(path_.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
        return descriptor_ >= 0 ? 0 : errno;
    }

    int write(const char* data, std::size_t size) {
        while (size > 0) {
            const ssize_t written = ::write(descriptor_, data, size);
            if (written < 0) {
                if (errno == EINTR)
                    continue;
                return errno;
            }
            data += written;
            size -= std::size_t(written);
        }
        return 0;
    }

    int copyFrom(int source) {
        char buffer[1 << 16];
        for (;;) {
            const ssize_t count = ::read(source, buffer, sizeof buffer);
            if (count < 0 && errno == EINTR)
                continue;
            if (count < 0)
                return errno;
            if (count == 0)
                return 0;
            if (const int error = write(buffer, std::size_t(count)))
                return error;
        }
    }

    // Closes the file, first flushing its bytes to the disk when asked.
    int close(bool toDisk) {
        int error = !toDisk || ::fsync(descriptor_) == 0 || errno == EINVAL ? 0 : errno;
        if (::close(descriptor_) != 0 && error == 0)
            error = errno;
        descriptor_ = -1;
        return error;
    }

    int place(const QByteArray& target, ExistingTarget existing) {
        mode_t keptMode = 0;
        if (const int error = checkExisting(target, existing, keptMode))
            return error;
        if (keptMode != 0 && ::fchmod(descriptor_, keptMode) != 0)
            return errno;
        if (const int error = close(existing == ExistingTarget::ReplaceWritable))
            return error;
        const int error = existing == ExistingTarget::Keep
                              ? renameKeeping(path_, target)
                              : (::rename(path_.constData(), target.constData()) == 0 ? 0 : errno);
        if (error == 0)
            path_.clear();
        return error;
    }

    QString release() {
        const QString path = QFile::decodeName(path_);
        path_.clear();
        return path;
    }

private:
    QByteArray path_;
    int descriptor_ = -1;
};

} // namespace

int writeFileWhole(const QString& target, const char* data, std::size_t size,
                   ExistingTarget existing) {
    const QByteArray name = QFile::encodeName(target);
    mode_t keptMode = 0;
    if (const int error = checkExisting(name, existing, keptMode))
        return error;
    TemporaryFile file;
    if (const int error = file.create(folderOf(name)))
        return error;
    if (const int error = file.write(data, size))
        return error;
    return file.place(name, existing);
}

int copyFileWhole(const QString& source, const QString& target, ExistingTarget existing) {
    const QByteArray name = QFile::encodeName(target);
    mode_t keptMode = 0;
    if (const int error = checkExisting(name, existing, keptMode))
        return error;
    // Only a regular file is copied: a FIFO would hang the copy, a device never end it.
    const int input = openRegularFile(pathBytes(source));
    if (input < 0)
        return errno;
    TemporaryFile file;
    int error = file.create(folderOf(name));
    if (error == 0)
        error = file.copyFrom(input);
    ::close(input);
    return error != 0 ? error : file.place(name, existing);
}

int writeTemporaryFile(const QString& folder, const char* data, std::size_t size,
                       QString& temporary) {
    TemporaryFile file;
    int error = file.create(withSeparator(folder));
    if (error == 0)
        error = file.write(data, size);
    if (error == 0)
        error = file.close(false);
    if (error == 0)
        temporary = file.release();
    return error;
}

int placeTemporaryFile(const QString& temporary, const QString& target, ExistingTarget existing) {
    TemporaryFile file;
    if (const int error = file.adopt(QFile::encodeName(temporary)))
        return error;
    return file.place(QFile::encodeName(target), existing);
}

bool pathExists(const QString& path) {
    struct stat status;
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0;
}

void removeStaleTemporaryFiles(const QString& folder) {
    static const QRegularExpression pattern(QStringLiteral("^\\.vantola-(\\d+)-\\d+\\.tmp$"));
    const QDir dir(folder);
    for (const QString& name :
         dir.entryList({QStringLiteral(".vantola-*.tmp")}, QDir::Files | QDir::Hidden)) {
        const QRegularExpressionMatch match = pattern.match(name);
        if (!match.hasMatch())
            continue;
        const auto owner = pid_t(match.captured(1).toLongLong());
        if (owner == ::getpid() || ::kill(owner, 0) == 0 || errno != ESRCH)
            continue; // still being written by a living process
        ::unlink(QFile::encodeName(dir.filePath(name)).constData());
    }
}

} // namespace vantola
