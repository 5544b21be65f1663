#include "core/analysis/alarm_log.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "core/analysis/csv_export_sink.h"
#include "core/datafile/time.h"
#include "core/sys/sys_io.h"

namespace kvr {
namespace {

std::string Formatted(const std::string& format, float value) {
    char text[64];
    std::snprintf(text, sizeof text, format.c_str(), static_cast<double>(value));
    return text;
}

std::string CsvLine(const std::vector<std::string>& cells) {
    std::string line;
    for (std::size_t i = 0; i < cells.size(); ++i) line += (i ? "," : "") + CsvCell(cells[i]);
    return line + "\n";
}

}  // namespace

const std::vector<std::string>& AlarmTitles() {
    static const std::vector<std::string> titles{"时间", "通道", "类型",        "数值",
                                                 "限值", "状态", "持续时间(秒)"};
    return titles;
}

std::vector<std::string> AlarmCells(const CXFile& file, const AlarmEvent& event) {
    const std::string format = file.GetValueFormat(event.channel);
    return {FormatTime(event.time),
            file.GetChannelName(event.channel),
            AlarmKindText(event.kind),
            Formatted(format, event.value),
            Formatted(format, event.limit),
            event.raised ? "报警" : "消报",
            event.raised ? std::string() : std::to_string(event.duration)};
}

std::string AlarmLogPath(const std::string& historyPath) {
    const std::size_t slash = historyPath.find_last_of('/');
    const std::size_t dot = historyPath.find_last_of('.');
    const bool extension =
        dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
    return (extension ? historyPath.substr(0, dot) : historyPath) + ".alarms.csv";
}

AlarmLog::~AlarmLog() { Close(); }

void AlarmLog::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

std::optional<std::string> AlarmLog::Open(const std::string& path, bool replace) {
    Close();
    const int flags = O_WRONLY | O_CREAT | (replace ? O_TRUNC : O_EXCL);
    fd_ = sysio::Open(path.c_str(), flags, 0644);
    if (fd_ < 0) {
        if (errno == EEXIST) return path + " exists.";
        return "cannot create " + path + ": " + std::strerror(errno) + ".";
    }
    if (!Put(CsvLine(AlarmTitles())))
        return "cannot write " + path + ": " + std::strerror(errno) + ".";
    return std::nullopt;
}

bool AlarmLog::Write(const CXFile& file, const std::vector<AlarmEvent>& events) {
    if (fd_ < 0) return false;
    if (events.empty()) return true;
    std::string text;
    for (const AlarmEvent& event : events) text += CsvLine(AlarmCells(file, event));
    return Put(text);
}

bool AlarmLog::Put(const std::string& text) {
    if (sysio::WriteAll(fd_, text.data(), text.size()) && sysio::Fdatasync(fd_)) return true;
    const int error = errno;
    Close();
    errno = error;
    return false;
}

}  // namespace kvr
