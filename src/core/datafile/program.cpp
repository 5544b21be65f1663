#include "core/datafile/program.h"

#include <unistd.h>

#include <algorithm>
#include <mutex>

namespace kvr {
namespace {

std::mutex folderMutex;
std::string folderOverride;

std::string ExecutableFolder() {
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return "./";
    std::string text(path, static_cast<std::size_t>(length));
    const auto slash = text.rfind('/');
    return slash == std::string::npos ? std::string("./") : text.substr(0, slash + 1);
}

}  // namespace

std::string GetProgramFolder() {
    std::lock_guard lock(folderMutex);
    return folderOverride.empty() ? ExecutableFolder() : folderOverride;
}

void SetProgramFolder(const std::string& folder) {
    std::lock_guard lock(folderMutex);
    folderOverride = folder;
    if (!folderOverride.empty() && folderOverride.back() != '/') folderOverride.push_back('/');
}

void ReverseBytes(unsigned char* buffer, int length) {
    if (length > 1) std::reverse(buffer, buffer + length);
}

}  // namespace kvr
