#pragma once
// The one seam through which the link talks to the operating system. Every call retries
// EINTR; tests replace the table to inject failures.
#include <poll.h>
#include <sys/types.h>

#include <chrono>

namespace kvr::sysio {

using Clock = std::chrono::steady_clock;

struct Calls {
    ssize_t (*read)(int fd, void* buffer, size_t count);
    ssize_t (*write)(int fd, const void* buffer, size_t count);
    int (*poll)(pollfd* fds, nfds_t count, int timeoutMs);
    // Device controls whose argument is an int (modem lines).
    int (*ioctlInt)(int fd, unsigned long request, int* argument);
};

// The table in use. Tests may overwrite entries and must restore them (see ScopedCalls).
Calls& Current();
const Calls& System();

class ScopedCalls {
public:
    explicit ScopedCalls(const Calls& calls) : saved_(Current()) { Current() = calls; }
    ~ScopedCalls() { Current() = saved_; }
    ScopedCalls(const ScopedCalls&) = delete;
    ScopedCalls& operator=(const ScopedCalls&) = delete;

private:
    Calls saved_;
};

ssize_t Read(int fd, void* buffer, size_t count);
ssize_t Write(int fd, const void* buffer, size_t count);
// Waits for events on one descriptor until the deadline (no deadline: std::nullopt-like
// Clock::time_point::max()). Returns the revents, 0 when the deadline passed, -1 on error.
// An interrupted wait resumes with the time that is left.
int PollUntil(int fd, short events, Clock::time_point deadline);
int IoctlInt(int fd, unsigned long request, int* argument);

}  // namespace kvr::sysio
