#include "image/jpeg_file_output.h"

#include "settings/app_error.h"

#include <QFile>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantola::jpeg {

namespace {

[[noreturn]] void raiseFileError(int error) {
    const bool denied = error == EACCES || error == EPERM || error == EROFS;
    raiseError(denied ? kErrPermissionDenied : kErrPathAccess);
}

// Removes the temporary file whatever happens, unless it was renamed into place.
class TemporaryFile {
public:
    explicit TemporaryFile(const QByteArray& folder) {
        static std::atomic<unsigned> counter{0};
        for (int attempt = 0; attempt < 100; ++attempt) {
            path_ = folder + ".vantola-" + QByteArray::number(::getpid()) + '-' +
                    QByteArray::number(counter++) + ".tmp";
            descriptor_ = ::open(path_.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (descriptor_ >= 0)
                return;
            if (errno != EEXIST)
                raiseFileError(errno);
        }
        raiseFileError(EEXIST);
    }
    ~TemporaryFile() {
        if (descriptor_ >= 0)
            ::close(descriptor_);
        if (!path_.isEmpty())
            ::unlink(path_.constData());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    void write(const std::uint8_t* data, std::size_t size) {
        while (size > 0) {
            const ssize_t written = ::write(descriptor_, data, size);
            if (written < 0) {
                if (errno == EINTR)
                    continue;
                raiseFileError(errno);
            }
            data += written;
            size -= static_cast<std::size_t>(written);
        }
        const int closed = ::close(descriptor_);
        descriptor_ = -1;
        if (closed != 0)
            raiseFileError(errno);
    }

    // Gives the file the final name unless that name is taken; false when it is.
    bool moveTo(const QByteArray& target) {
        if (::renameat2(AT_FDCWD, path_.constData(), AT_FDCWD, target.constData(),
                        RENAME_NOREPLACE) == 0) {
            path_.clear();
            return true;
        }
        if (errno == EEXIST)
            return false;
        if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
            raiseFileError(errno);
        // A file system without that rename: a hard link refuses an existing name as well.
        if (::link(path_.constData(), target.constData()) == 0)
            return true; // the destructor removes the temporary name
        if (errno == EEXIST)
            return false;
        if (errno != EPERM && errno != EOPNOTSUPP)
            raiseFileError(errno);
        // Nor hard links: check, then rename.
        struct stat status;
        if (::lstat(target.constData(), &status) == 0)
            return false;
        if (::rename(path_.constData(), target.constData()) != 0)
            raiseFileError(errno);
        path_.clear();
        return true;
    }

private:
    QByteArray path_;
    int descriptor_ = -1;
};

} // namespace

bool pathExists(const QString& path) {
    struct stat status;
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0;
}

bool writeNewFile(const QString& path, const std::uint8_t* data, std::size_t size) {
    const QByteArray target = QFile::encodeName(path);
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray() : target.left(slash + 1);
    TemporaryFile temporary(folder);
    temporary.write(data, size);
    return temporary.moveTo(target);
}

} // namespace vantola::jpeg
