#pragma once
// The alarm events of an acquisition as text: the columns the alarm list shows, and the
// file "NAME.alarms.csv" that "kvrtool acquire" and "kvrtool collect" keep beside the history
// file NAME.FDZ (UTF-8, one header line, one line per raise or clear, each line on the disk
// before Write returns).
#include <optional>
#include <string>
#include <vector>

#include "core/analysis/alarm_monitor.h"
#include "core/datafile/cxfile.h"

namespace kvr {

// 时间,通道,类型,数值,限值,状态,持续时间(秒).
const std::vector<std::string>& AlarmTitles();
// One event under those titles: value and limit in the channel's format, state "报警" or
// "消报", the duration empty on raising.
std::vector<std::string> AlarmCells(const CXFile& file, const AlarmEvent& event);

// "dir/day.FDZ" -> "dir/day.alarms.csv"; a name without an extension gets the suffix.
std::string AlarmLogPath(const std::string& historyPath);

class AlarmLog {
public:
    AlarmLog() = default;
    ~AlarmLog();
    AlarmLog(const AlarmLog&) = delete;
    AlarmLog& operator=(const AlarmLog&) = delete;

    // Creates the file with its header line. An existing file is refused unless replace is
    // set. Nothing on success, else the sentence to show (with the path).
    std::optional<std::string> Open(const std::string& path, bool replace);
    // Appends the events; false when they did not reach the disk (the log is then closed).
    bool Write(const CXFile& file, const std::vector<AlarmEvent>& events);
    bool IsOpen() const { return fd_ >= 0; }
    void Close();

private:
    bool Put(const std::string& text);

    int fd_ = -1;
};

// The alarm transitions of a recording as its records come, into one alarm file: a monitor
// on the file's limits and the log it writes to.
class AlarmRecorder {
public:
    explicit AlarmRecorder(const CXFile& file) : monitor_(file) {}
    // As AlarmLog::Open.
    std::optional<std::string> Open(const std::string& path, bool replace) {
        return log_.Open(path, replace);
    }
    // Checks record index of the file and writes its transitions; false when they did not
    // reach the disk (then nothing more is written).
    bool Record(const CXFile& file, int index) {
        return log_.IsOpen() && log_.Write(file, monitor_.CheckRecord(file, index));
    }

private:
    AlarmMonitor monitor_;
    AlarmLog log_;
};

}  // namespace kvr
