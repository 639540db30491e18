#pragma once

#include <QString>

namespace vantola {

// A lock that a running job holds on a folder: an advisory lock (flock) on a small hidden file,
// which the system releases when the process ends, however it ends. The file holds a line that
// names the job holding it, for the message of a job that finds it taken.
class JobLock {
public:
    enum class Outcome {
        Taken,      // this job holds the lock
        Busy,       // another job holds it; otherJob() names it
        Unavailable // no lock file can be made there
    };

    JobLock() = default;
    ~JobLock();
    JobLock(const JobLock&) = delete;
    JobLock& operator=(const JobLock&) = delete;

    // Takes the lock of the file `path` (made when missing, never through a link) and writes
    // `job` into it.
    Outcome take(const QString& path, const QString& job);
    // The line that the job holding the lock wrote, as found when take() met it.
    const QString& otherJob() const { return otherJob_; }

private:
    int fd_ = -1;
    QString otherJob_;
};

} // namespace vantola
