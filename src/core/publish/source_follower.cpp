#include "core/publish/source_follower.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>

#include "core/datafile/cxfile.h"

namespace kvr {
namespace {

bool EndsWithNoCase(const std::string& text, const std::string& end) {
    if (text.size() < end.size()) return false;
    return std::equal(
        end.begin(), end.end(), text.end() - static_cast<long>(end.size()),
        [](char lower, char c) { return std::tolower(static_cast<unsigned char>(c)) == lower; });
}

std::string BaseName(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FolderName(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return {};
    return BaseName(path.substr(0, slash));
}

// NAME when the file is NAME.tmp or NAME-....FDZ inside a folder NAME.
std::string CollectorName(const std::string& path) {
    const std::string folder = FolderName(path);
    const std::string name = BaseName(path);
    if (folder.empty() || name.compare(0, folder.size(), folder) != 0) return {};
    const std::string rest = name.substr(folder.size());
    if (EndsWithNoCase(rest, ".tmp") && rest.size() == 4) return folder;
    if (!rest.empty() && rest[0] == '-' && EndsWithNoCase(rest, ".fdz")) return folder;
    return {};
}

}  // namespace

std::string TopicLevel(const std::string& name) {
    std::string level = name;
    for (char& c : level)
        if (c == '/' || c == '+' || c == '#' || c == ' ' || static_cast<unsigned char>(c) < 0x20)
            c = '_';
    return level.empty() ? "_" : level;
}

bool IsDataFileName(const std::string& name) {
    return EndsWithNoCase(name, ".fdz") || EndsWithNoCase(name, ".tmp");
}

SourceFollower::SourceFollower(std::vector<std::string> paths) : paths_(std::move(paths)) {}

std::map<std::string, std::vector<std::string>> SourceFollower::Scan() {
    std::map<std::string, std::vector<std::string>> found;
    for (const std::string& path : paths_) {
        struct stat info {};
        if (::stat(path.c_str(), &info) != 0) continue;
        if (S_ISDIR(info.st_mode))
            AddFolder(path, 0, found);
        else
            AddFile(path, found);
    }
    for (auto& [instrument, files] : found) {
        std::sort(files.begin(), files.end());
        files.erase(std::unique(files.begin(), files.end()), files.end());
    }
    return found;
}

void SourceFollower::AddFolder(const std::string& folder, int depth,
                               std::map<std::string, std::vector<std::string>>& found) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(dir))
        if (entry->d_name[0] != '.') names.emplace_back(entry->d_name);
    ::closedir(dir);
    for (const std::string& name : names) {
        const std::string path = folder + "/" + name;
        struct stat info {};
        if (::stat(path.c_str(), &info) != 0) continue;
        // A collector keeps each instrument one level down.
        if (S_ISDIR(info.st_mode) && depth == 0)
            AddFolder(path, depth + 1, found);
        else if (S_ISREG(info.st_mode) && IsDataFileName(name))
            AddFile(path, found);
    }
}

void SourceFollower::AddFile(const std::string& path,
                             std::map<std::string, std::vector<std::string>>& found) {
    auto known = instrumentOf_.find(path);
    if (known == instrumentOf_.end()) {
        std::string name = CollectorName(path);
        if (name.empty()) {
            CXFile file;
            if (file.OpenReadOnly(path) != 1) return;
            const std::string device = file.GetDeviceName();
            name = (device.empty() ? std::string("instrument") : device) + "-" +
                   std::to_string(file.GetAddress());
        }
        known = instrumentOf_.emplace(path, TopicLevel(name)).first;
    }
    found[known->second].push_back(path);
}

}  // namespace kvr
