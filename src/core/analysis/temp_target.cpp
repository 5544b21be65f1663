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
    std::string pattern = target_ + ".XXXXXX";
    const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0) return -1;
    // mkstemp makes the file private; an export is an ordinary document.
    ::fchmod(fd, 0644);
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
