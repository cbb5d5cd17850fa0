#pragma once
// A disk that is all but full, for one test: while it lives, no file this process writes may
// grow beyond `bytes` (the write fails with EFBIG, as on a full disk with ENOSPC).

#include <sys/resource.h>
#include <csignal>

namespace qm::test {

class FullDisk {
public:
    explicit FullDisk(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &old_);
        oldSignal_ = std::signal(SIGXFSZ, SIG_IGN);  // a failed write, not a killed process
        rlimit lim = old_;
        lim.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &lim);
    }
    ~FullDisk() {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldSignal_);
    }
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

private:
    rlimit old_{};
    void (*oldSignal_)(int) = nullptr;
};

}  // namespace qm::test
