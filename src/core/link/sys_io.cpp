#include "core/link/sys_io.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

namespace kvr::sysio {

namespace {

ssize_t SystemRead(int fd, void* buffer, size_t count) { return ::read(fd, buffer, count); }
ssize_t SystemWrite(int fd, const void* buffer, size_t count) {
    return ::write(fd, buffer, count);
}
int SystemPoll(pollfd* fds, nfds_t count, int timeoutMs) { return ::poll(fds, count, timeoutMs); }
int SystemIoctlInt(int fd, unsigned long request, int* argument) {
    return ::ioctl(fd, request, argument);
}

constexpr Calls kSystem{SystemRead, SystemWrite, SystemPoll, SystemIoctlInt};

int RemainingMs(Clock::time_point deadline) {
    if (deadline == Clock::time_point::max()) return -1;
    const auto left = deadline - Clock::now();
    if (left <= Clock::duration::zero()) return 0;
    // Round up so that a wait never ends before its deadline.
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
    return ms > INT_MAX ? INT_MAX : static_cast<int>(ms);
}

}  // namespace

Calls& Current() {
    static Calls calls = kSystem;
    return calls;
}

const Calls& System() { return kSystem; }

ssize_t Read(int fd, void* buffer, size_t count) {
    for (;;) {
        const ssize_t n = Current().read(fd, buffer, count);
        if (n >= 0 || errno != EINTR) return n;
    }
}

ssize_t Write(int fd, const void* buffer, size_t count) {
    for (;;) {
        const ssize_t n = Current().write(fd, buffer, count);
        if (n >= 0 || errno != EINTR) return n;
    }
}

int IoctlInt(int fd, unsigned long request, int* argument) {
    for (;;) {
        const int n = Current().ioctlInt(fd, request, argument);
        if (n >= 0 || errno != EINTR) return n;
    }
}

int PollUntil(int fd, short events, Clock::time_point deadline) {
    for (;;) {
        pollfd entry{fd, events, 0};
        const int timeout = RemainingMs(deadline);
        const int n = Current().poll(&entry, 1, timeout);
        if (n > 0) return entry.revents;
        if (n == 0) {
            // poll's millisecond rounding can wake us a hair early.
            if (RemainingMs(deadline) == 0) return 0;
            continue;
        }
        if (errno != EINTR) return -1;
    }
}

}  // namespace kvr::sysio
