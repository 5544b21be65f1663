#include "core/publish/message_journal.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "core/sys/sys_io.h"

namespace kvr {

MessageJournal::~MessageJournal() {
    if (fd_ >= 0) ::close(fd_);
}

std::string MessageJournal::Open(const std::string& path, const Replay& replay) {
    path_ = path;
    fd_ = sysio::Open(path.c_str(), O_RDWR | O_CREAT, 0644);
    if (fd_ < 0) return path + ": " + std::strerror(errno);
    std::string text;
    char buffer[65536];
    for (ssize_t n; (n = sysio::Read(fd_, buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<std::size_t>(n));
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = text.find('\n', at);
        if (end == std::string::npos) break;
        const std::string head = text.substr(at, end - at);
        const std::size_t space = head.rfind(' ');
        if (space == std::string::npos) break;
        char* stop = nullptr;
        const unsigned long long length = std::strtoull(head.c_str() + space + 1, &stop, 10);
        if (*stop != '\0' || end + 1 + length + 1 > text.size() || text[end + 1 + length] != '\n')
            break;
        replay(head.substr(0, space), text.substr(end + 1, length));
        at = end + 1 + length + 1;
    }
    // Whatever follows the last whole entry was being written when the process died.
    if (at < text.size() && (!sysio::Truncate(fd_, at) || ::lseek(fd_, 0, SEEK_END) < 0))
        return path + ": " + std::strerror(errno);
    return {};
}

bool MessageJournal::Append(const std::string& topic, const std::string& payload) {
    const std::string entry = topic + " " + std::to_string(payload.size()) + "\n" + payload + "\n";
    return fd_ >= 0 && sysio::WriteAll(fd_, entry.data(), entry.size());
}

bool MessageJournal::Sync() { return fd_ >= 0 && sysio::Fdatasync(fd_); }

bool MessageJournal::Clear() {
    return fd_ >= 0 && sysio::Truncate(fd_, 0) && ::lseek(fd_, 0, SEEK_SET) == 0 &&
           sysio::Fsync(fd_);
}

}  // namespace kvr
