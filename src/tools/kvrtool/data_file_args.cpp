#include "tools/kvrtool/data_file_args.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>

#include "tools/kvrtool/commands.h"

namespace kvrtool {

void Fail(int code, const std::string& sentence) {
    std::cerr << "kvrtool: " << sentence << '\n';
    exitCode = code;
}

bool OpenDataFile(kvr::CXFile& file, const std::string& path) {
    const int probe = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (probe < 0) {
        Fail(kUsageOrIo, "cannot open " + path + ": " + std::strerror(errno) + ".");
        return false;
    }
    ::close(probe);
    const int result = file.Open(path);
    if (result == 2) {
        Fail(kNewer, path + " was written by a newer version (format " +
                         std::to_string(file.GetVersion()) + ") and cannot be read.");
        return false;
    }
    if (result != 1) {
        Fail(kUnsupported, path + " is not a data file in a supported format, or it is damaged.");
        return false;
    }
    return true;
}

std::optional<kvr::Time> TimeOption(const std::string& text, const std::string& option) {
    kvr::TimeTextError error = kvr::TimeTextError::kNone;
    const std::optional<kvr::Time> t = kvr::ParseTime(text, &error);
    if (error == kvr::TimeTextError::kYear)
        Fail(kUsageOrIo, option + " \"" + text + "\": " + kvr::kYearOutOfRange);
    else if (!t)
        Fail(kUsageOrIo,
             option + " needs a time as \"YYYY-MM-DD HH:MM:SS\", not \"" + text + "\".");
    return t;
}

std::optional<kvr::Time> TimeOption(const std::string& text, const std::string& option,
                                    kvr::Time absent) {
    if (text.empty()) return absent;
    return TimeOption(text, option);
}

}  // namespace kvrtool
