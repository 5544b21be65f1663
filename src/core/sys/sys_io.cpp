#include "core/sys/sys_io.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>

namespace kvr::sysio {

namespace {

ssize_t SystemRead(int fd, void* buffer, size_t count) { return ::read(fd, buffer, count); }
ssize_t SystemWrite(int fd, const void* buffer, size_t count) { return ::write(fd, buffer, count); }
int SystemPoll(pollfd* fds, nfds_t count, int timeoutMs) { return ::poll(fds, count, timeoutMs); }
int SystemIoctlInt(int fd, unsigned long request, int* argument) {
    return ::ioctl(fd, request, argument);
}
int SystemOpen(const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); }
ssize_t SystemPwrite(int fd, const void* buffer, size_t count, off_t offset) {
    return ::pwrite(fd, buffer, count, offset);
}
int SystemFsync(int fd) { return ::fsync(fd); }
int SystemFdatasync(int fd) { return ::fdatasync(fd); }
int SystemFtruncate(int fd, off_t length) { return ::ftruncate(fd, length); }
int SystemRename(const char* from, const char* to) { return std::rename(from, to); }
int SystemMsync(void* address, size_t length, int flags) { return ::msync(address, length, flags); }
int SystemFallocate(int fd, off_t offset, off_t length) {
    const int error = ::posix_fallocate(fd, offset, length);
    if (error == 0) return 0;
    errno = error;
    return -1;
}

constexpr Calls kSystem{SystemRead,      SystemWrite,  SystemPoll,  SystemIoctlInt,
                        SystemOpen,      SystemPwrite, SystemFsync, SystemFdatasync,
                        SystemFtruncate, SystemRename, SystemMsync, SystemFallocate};

int RemainingMs(Clock::time_point deadline) {
    if (deadline == Clock::time_point::max()) return -1;
    const auto left = deadline - Clock::now();
    if (left <= Clock::duration::zero()) return 0;
    // Round up so that a wait never ends before its deadline.
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
    return ms > INT_MAX ? INT_MAX : static_cast<int>(ms);
}

// Repeats an interrupted call.
template <typename Call>
auto Retrying(Call call) {
    for (;;) {
        const auto result = call();
        if (result >= 0 || errno != EINTR) return result;
    }
}

// Writes until every byte is out; a write that makes no progress means a full disk.
template <typename WriteSome>
bool WriteEvery(const void* data, std::size_t size, WriteSome writeSome) {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    for (std::size_t done = 0; done < size;) {
        const ssize_t n = writeSome(bytes + done, size - done, done);
        if (n < 0) return false;
        if (n == 0) {
            errno = ENOSPC;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

Calls& Current() {
    static Calls calls = kSystem;
    return calls;
}

const Calls& System() { return kSystem; }

ssize_t Read(int fd, void* buffer, size_t count) {
    return Retrying([&] { return Current().read(fd, buffer, count); });
}

ssize_t Write(int fd, const void* buffer, size_t count) {
    return Retrying([&] { return Current().write(fd, buffer, count); });
}

int IoctlInt(int fd, unsigned long request, int* argument) {
    return Retrying([&] { return Current().ioctlInt(fd, request, argument); });
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

int Open(const char* path, int flags, mode_t mode) {
    return Retrying([&] { return Current().open(path, flags | O_CLOEXEC, mode); });
}

bool WriteAll(int fd, const void* data, std::size_t size) {
    return WriteEvery(data, size, [&](const std::uint8_t* bytes, std::size_t count, std::size_t) {
        return Write(fd, bytes, count);
    });
}

bool WriteAllAt(int fd, const void* data, std::size_t size, std::uint64_t offset) {
    return WriteEvery(data, size,
                      [&](const std::uint8_t* bytes, std::size_t count, std::size_t done) {
                          const auto at = static_cast<off_t>(offset + done);
                          return Retrying([&] { return Current().pwrite(fd, bytes, count, at); });
                      });
}

bool Fsync(int fd) {
    return Retrying([&] { return Current().fsync(fd); }) == 0;
}

bool Fdatasync(int fd) {
    return Retrying([&] { return Current().fdatasync(fd); }) == 0;
}

bool Truncate(int fd, std::uint64_t length) {
    return Retrying([&] { return Current().ftruncate(fd, static_cast<off_t>(length)); }) == 0;
}

bool Rename(const char* from, const char* to) { return Current().rename(from, to) == 0; }

bool Reserve(int fd, std::uint64_t length) {
    if (length == 0) return true;
    return Retrying([&] { return Current().fallocate(fd, 0, static_cast<off_t>(length)); }) == 0;
}

bool IsSameFile(const std::string& a, const std::string& b) {
    struct stat first {
    }, second{};
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

bool IsDirectory(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool SyncMappedRange(std::uint8_t* mapping, std::size_t mappedSize, std::size_t offset,
                     std::size_t size) {
    if (!mapping || offset >= mappedSize || size == 0) return true;
    static const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    const std::size_t begin = offset / page * page;
    std::size_t end = offset + size;
    if (end > mappedSize) end = mappedSize;
    return Retrying([&] { return Current().msync(mapping + begin, end - begin, MS_SYNC); }) == 0;
}

void ReleaseMappedRange(std::uint8_t* mapping, std::size_t mappedSize, std::size_t offset,
                        std::size_t size) {
    if (!mapping || offset >= mappedSize) return;
    static const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    const std::size_t begin = (offset + page - 1) / page * page;
    const std::size_t end = std::min(offset + size, mappedSize) / page * page;
    if (begin < end) (void)::madvise(mapping + begin, end - begin, MADV_DONTNEED);
}

}  // namespace kvr::sysio
