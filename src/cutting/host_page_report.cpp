#include "cutting/host_page_report.h"

namespace vantola {

namespace {

// Lowers the pause flag however the wait ends (the host may stop the job from its yield).
class PauseFlagGuard {
public:
    explicit PauseFlagGuard(std::atomic<bool>* flag) : flag_(flag) {}
    ~PauseFlagGuard() {
        if (flag_)
            flag_->store(false);
    }
    void raise() {
        if (flag_)
            flag_->store(true);
    }
    PauseFlagGuard(const PauseFlagGuard&) = delete;
    PauseFlagGuard& operator=(const PauseFlagGuard&) = delete;

private:
    std::atomic<bool>* flag_;
};

} // namespace

void HostPageReport::holdWhilePaused() {
    PauseFlagGuard guard(pauseFlag_);
    while (host_.pauseRequested()) {
        guard.raise();
        host_.yield();
    }
}

} // namespace vantola
