#include "core/datafile/history_path.h"

#include <sys/stat.h>

#include <cstdio>

namespace kvr {

std::string HistoryBasePath(const std::string& folder, const std::string& name, Time first) {
    const CalendarFields f = SplitTime(first);
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "-%04d%02d%02d-%02d%02d%02d", f.year, f.month, f.day, f.hour,
                  f.minute, f.second);
    return folder + "/" + name + stamp;
}

std::string UnusedPath(const std::string& base, const std::string& extension) {
    std::string path = base + extension;
    struct stat info {};
    for (int n = 2; ::lstat(path.c_str(), &info) == 0; ++n)
        path = base + "-" + std::to_string(n) + extension;
    return path;
}

std::string HistoryFilePath(const std::string& folder, const std::string& name, Time first) {
    return UnusedPath(HistoryBasePath(folder, name, first), ".FDZ");
}

}  // namespace kvr
