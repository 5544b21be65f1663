#pragma once
// The one seam through which the serial link and the data files talk to the operating
// system. Every call retries EINTR; tests replace the table to inject failures (a full
// disk, an I/O error, a short write, a hung-up line).
#include <poll.h>
#include <sys/types.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

namespace kvr::sysio {

using Clock = std::chrono::steady_clock;

struct Calls {
    ssize_t (*read)(int fd, void* buffer, size_t count);
    ssize_t (*write)(int fd, const void* buffer, size_t count);
    int (*poll)(pollfd* fds, nfds_t count, int timeoutMs);
    // Device controls whose argument is an int (modem lines).
    int (*ioctlInt)(int fd, unsigned long request, int* argument);
    int (*open)(const char* path, int flags, mode_t mode);
    ssize_t (*pwrite)(int fd, const void* buffer, size_t count, off_t offset);
    int (*fsync)(int fd);
    int (*fdatasync)(int fd);
    int (*ftruncate)(int fd, off_t length);
    int (*rename)(const char* from, const char* to);
    int (*msync)(void* address, size_t length, int flags);
    // posix_fallocate, with the error in errno and -1 like the others.
    int (*fallocate)(int fd, off_t offset, off_t length);
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

// File calls. Descriptors are opened close-on-exec.
int Open(const char* path, int flags, mode_t mode = 0);
// True when every byte was written; a write that stops short (a full disk) is an error
// with errno set, never a partial success.
bool WriteAll(int fd, const void* data, std::size_t size);
bool WriteAllAt(int fd, const void* data, std::size_t size, std::uint64_t offset);
bool Fsync(int fd);
bool Fdatasync(int fd);
bool Truncate(int fd, std::uint64_t length);
bool Rename(const char* from, const char* to);
// Gives the file its blocks up to length (growing it when shorter). A page of a shared
// mapping may only be written when its block exists: a store into a hole on a full disk
// kills the process with SIGBUS instead of failing.
bool Reserve(int fd, std::uint64_t length);
// Flushes the pages that hold [offset, offset + size) of a shared mapping of mappedSize
// bytes to the file; true when they reached it (or the range lies outside the mapping).
bool SyncMappedRange(std::uint8_t* mapping, std::size_t mappedSize, std::size_t offset,
                     std::size_t size);
// Takes the pages wholly inside [offset, offset + size) of a shared file mapping out of
// the process's resident memory. The page cache keeps them and the next access maps them
// again, so nothing read or written through the mapping changes; only advice, never fails.
void ReleaseMappedRange(std::uint8_t* mapping, std::size_t mappedSize, std::size_t offset,
                        std::size_t size);

// True when both paths name one existing file (the same device and inode), however they
// are spelt: links, "./" and symbolic links included.
bool IsSameFile(const std::string& a, const std::string& b);
// True when path names an existing folder (through symbolic links).
bool IsDirectory(const std::string& path);

}  // namespace kvr::sysio
