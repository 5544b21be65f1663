#pragma once
// The checks a report or statistics period passes before anything is computed, in the
// order the user sees their messages.
#include <optional>
#include <string>

#include "core/datafile/time.h"

namespace kvr {

inline constexpr const char* kStartAfterEnd = "请确认 [开始时间] < [结束时间] ！";
inline constexpr const char* kStartOutOfRange = "[开始时间] 超出范围！";
inline constexpr const char* kEndOutOfRange = "[结束时间] 超出范围！";
inline constexpr const char* kNoReportData = "没有累积报表数据!";

// The period must lie inside [first, last]; nullopt when it does, else the message.
std::optional<std::string> CheckPeriod(Time start, Time end, Time first, Time last);

// As CheckPeriod against the hourly table, which must also hold more than one hour.
std::optional<std::string> CheckReportPeriod(Time start, Time end, Time firstHour, Time lastHour);

}  // namespace kvr
