#include "cutting/job_lock.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace vantola {

JobLock::~JobLock() {
    if (fd_ >= 0)
        ::close(fd_); // closing the last descriptor releases the lock
}

JobLock::Outcome JobLock::take(const QString& path, const QString& job) {
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0)
        return Outcome::Unavailable;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const bool busy = errno == EWOULDBLOCK;
        char text[512];
        const ssize_t length = ::pread(fd, text, sizeof text, 0);
        otherJob_ = QString::fromUtf8(text, length > 0 ? length : 0).trimmed();
        ::close(fd);
        return busy ? Outcome::Busy : Outcome::Unavailable;
    }
    // Without its description the lock holds all the same; a job that meets it names no one.
    const QByteArray line = job.toUtf8() + '\n';
    [[maybe_unused]] const bool described =
        ::ftruncate(fd, 0) == 0 && ::pwrite(fd, line.constData(), line.size(), 0) == line.size();
    fd_ = fd;
    return Outcome::Taken;
}

} // namespace vantola
