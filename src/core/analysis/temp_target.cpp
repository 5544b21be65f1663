#include "core/analysis/temp_target.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <utility>

namespace kvr {

TempTarget::TempTarget(std::string target) : target_(std::move(target)) {}

TempTarget::~TempTarget() { Discard(); }

int TempTarget::Create() {
    // Hidden beside the target: same file system, so the rename cannot fail halfway.
    const std::size_t slash = target_.rfind('/');
    const std::size_t nameAt = slash == std::string::npos ? 0 : slash + 1;
    std::string pattern = target_.substr(0, nameAt) + "." + target_.substr(nameAt) + ".XXXXXX";
    const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0) return -1;
    // mkstemp makes the file private; the result is an ordinary document.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    temporary_ = pattern;
    pending_ = true;
    return fd;
}

bool TempTarget::Commit() {
    if (!pending_) return false;
    if (std::rename(temporary_.c_str(), target_.c_str()) != 0) {
        Discard();
        return false;
    }
    pending_ = false;
    return true;
}

void TempTarget::Discard() {
    if (!pending_) return;
    ::unlink(temporary_.c_str());
    pending_ = false;
}

}  // namespace kvr
