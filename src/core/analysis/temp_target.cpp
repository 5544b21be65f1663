#include "core/analysis/temp_target.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <pthread.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <utility>

namespace kvr {

namespace {

// The paths a signal handler removes. A slot is claimed (kFilling), written, then published
// (kPending); the handler reads only published slots, with nothing but atomics and unlink.
constexpr int kSlots = 8;
enum SlotState { kFree, kFilling, kPending };
struct Slot {
    std::atomic<int> state{kFree};
    char path[PATH_MAX] = {};
};
Slot slots[kSlots];
static_assert(std::atomic<int>::is_always_lock_free);

int Register(const std::string& path) {
    if (path.size() >= PATH_MAX) return -1;
    for (int i = 0; i < kSlots; ++i) {
        int expected = kFree;
        if (!slots[i].state.compare_exchange_strong(expected, kFilling)) continue;
        std::memcpy(slots[i].path, path.c_str(), path.size() + 1);
        slots[i].state.store(kPending, std::memory_order_release);
        return i;
    }
    return -1;  // more exports at once than slots: this one is not removed on a signal
}

void Unregister(int slot) {
    if (slot >= 0) slots[slot].state.store(kFree, std::memory_order_release);
}

constexpr std::size_t kUniqueLength = 6;  // the XXXXXX of mkostemp

// Holds back the ending signals from the moment a file is made until its name is
// registered, so that a signal in between cannot leave it behind.
class EndingSignalsHeld {
public:
    EndingSignalsHeld() {
        sigset_t held;
        sigemptyset(&held);
        for (const int signal : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&held, signal);
        ::pthread_sigmask(SIG_BLOCK, &held, &previous_);
    }
    ~EndingSignalsHeld() { ::pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }
    EndingSignalsHeld(const EndingSignalsHeld&) = delete;
    EndingSignalsHeld& operator=(const EndingSignalsHeld&) = delete;

private:
    sigset_t previous_{};
};

}  // namespace

TempTarget::TempTarget(std::string target) : target_(std::move(target)) {}

TempTarget::~TempTarget() { Discard(); }

void TempTarget::RemoveStale() const {
    const std::size_t slash = target_.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : target_.substr(0, slash + 1);
    const std::string prefix =
        "." + (slash == std::string::npos ? target_ : target_.substr(slash + 1)) + ".";
    DIR* listing = ::opendir(folder.c_str());
    if (listing == nullptr) return;
    while (const dirent* entry = ::readdir(listing)) {
        const std::string name = entry->d_name;
        if (name.size() != prefix.size() + kUniqueLength || name.compare(0, prefix.size(), prefix))
            continue;
        const std::string path = (slash == std::string::npos ? "" : folder) + name;
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
        if (fd < 0) continue;
        struct stat info {};
        // A writer that is still running holds its lock: only an abandoned file goes.
        if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlink(path.c_str());
        ::close(fd);
    }
    ::closedir(listing);
}

int TempTarget::Create() {
    Discard();
    RemoveStale();
    // Hidden beside the target: same file system, so the rename cannot fail halfway.
    const std::size_t slash = target_.rfind('/');
    const std::size_t nameAt = slash == std::string::npos ? 0 : slash + 1;
    const EndingSignalsHeld held;
    for (int attempt = 0; attempt < 3; ++attempt) {
        std::string pattern = target_.substr(0, nameAt) + "." + target_.substr(nameAt) + ".XXXXXX";
        const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
        if (fd < 0) return -1;
        // Another writer's clean-up may have taken the new file for an abandoned one in the
        // moment before it was locked; then it is gone, and we try a new name.
        struct stat info {};
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::fstat(fd, &info) != 0 || info.st_nlink == 0) {
            ::close(fd);
            continue;
        }
        lock_ = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
        if (lock_ < 0) {
            ::unlink(pattern.c_str());
            ::close(fd);
            return -1;
        }
        // mkstemp makes the file private; the result is an ordinary document.
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
        temporary_ = pattern;
        pending_ = true;
        slot_ = Register(temporary_);
        return fd;
    }
    return -1;
}

bool TempTarget::Commit() {
    if (!pending_) return false;
    if (std::rename(temporary_.c_str(), target_.c_str()) != 0) {
        Discard();
        return false;
    }
    pending_ = false;
    Release();
    return true;
}

void TempTarget::Discard() {
    if (!pending_) return;
    ::unlink(temporary_.c_str());
    pending_ = false;
    Release();
}

void TempTarget::Release() {
    Unregister(slot_);
    slot_ = -1;
    if (lock_ >= 0) ::close(lock_);
    lock_ = -1;
}

void TempTarget::RemovePendingFiles() noexcept {
    for (Slot& slot : slots) {
        if (slot.state.load(std::memory_order_acquire) == kPending) ::unlink(slot.path);
    }
}

}  // namespace kvr
