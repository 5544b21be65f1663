#include "core/publish/publish_cursor.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <sstream>

#include "core/sys/sys_io.h"

namespace kvr {
namespace {

constexpr char kMagic[] = "kvr-publish-cursor";
constexpr int kFormat = 1;
constexpr std::size_t kLongestFile = 128;

// FNV-1a: enough to tell a torn or edited line from a written one.
std::uint32_t Checksum(const std::string& text) {
    std::uint32_t hash = 2166136261u;
    for (unsigned char c : text) hash = (hash ^ c) * 16777619u;
    return hash;
}

std::string Body(Time cursor) {
    return std::string(kMagic) + ' ' + std::to_string(kFormat) + ' ' + std::to_string(cursor);
}

std::string Folder(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

CursorReadResult ReadPublishCursor(const std::string& path) {
    CursorReadResult result;
    const int fd = sysio::Open(path.c_str(), O_RDONLY);
    if (fd < 0) {
        if (errno != ENOENT) result.error = path + ": " + std::strerror(errno);
        return result;
    }
    char buffer[kLongestFile + 1];
    const ssize_t length = sysio::Read(fd, buffer, sizeof buffer);
    ::close(fd);
    const std::string text(buffer, length > 0 ? static_cast<std::size_t>(length) : 0);
    std::istringstream in(text);
    std::string magic, extra;
    int format = 0;
    long long cursor = 0;
    std::uint32_t check = 0;
    if (length > 0 && static_cast<std::size_t>(length) <= kLongestFile &&
        (in >> magic >> format >> cursor >> check) && !(in >> extra) && magic == kMagic &&
        format == kFormat && check == Checksum(Body(cursor)) && text.back() == '\n') {
        result.cursor = static_cast<Time>(cursor);
        return result;
    }
    result.error = path + " is damaged; remove it to publish everything again.";
    return result;
}

std::string WritePublishCursor(const std::string& path, Time cursor) {
    const std::string body = Body(cursor);
    const std::string text = body + ' ' + std::to_string(Checksum(body)) + '\n';
    const std::string temporary = path + ".new";
    const int fd = sysio::Open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return temporary + ": " + std::strerror(errno);
    const bool written = sysio::WriteAll(fd, text.data(), text.size()) && sysio::Fsync(fd);
    const int saved = errno;
    ::close(fd);
    if (!written || !sysio::Rename(temporary.c_str(), path.c_str())) {
        const std::string why = std::strerror(written ? errno : saved);
        ::unlink(temporary.c_str());
        return path + ": " + why;
    }
    // The rename itself reaches the disk only with the folder.
    const int folder = sysio::Open(Folder(path).c_str(), O_RDONLY | O_DIRECTORY);
    if (folder >= 0) {
        (void)sysio::Fsync(folder);
        ::close(folder);
    }
    return {};
}

}  // namespace kvr
