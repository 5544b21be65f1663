#pragma once
// The rows of the alarm, power-failure and operation-log lists as the windows show them:
// newest entry on top, numbered from 1, every cell as text.
#include <cstdint>
#include <string>
#include <vector>

#include "core/datafile/config_record.h"

namespace kvr {

enum class EventList { kAlarm, kPowerFailure, kOperation };

enum class ColumnAlign { kLeft, kCentre };

struct EventColumn {
    std::string title;
    int width = 0;  // dialog pixels
    ColumnAlign align = ColumnAlign::kCentre;
};

struct EventTable {
    std::vector<EventColumn> columns;
    std::vector<std::vector<std::string>> rows;  // top to bottom
    // The power-failure list's count and outage total under the rows; empty for the other
    // lists and when the log is unreadable.
    std::string summary;
};

// A log whose count is above 50 has no rows. Entries the file does not store (older
// versions keep only part of the operation log) are never listed.
EventTable BuildEventTable(const ConfigRecord& record, EventList list);

// "总次数:%d\t总时长:%d天%d时%d分": whole days, hours and minutes of the outage seconds.
std::string OutageSummary(int totalCount, std::uint32_t totalSeconds);

}  // namespace kvr
