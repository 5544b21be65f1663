#pragma once
// Checks behind the go-to and range-setting dialogs.
#include <optional>

#include "core/datafile/time.h"

namespace kvr {

// A go-to time snapped down to the record at or before it; nothing when that record lies
// outside the file.
std::optional<Time> SnapGoToTime(Time t, Time fileStart, Time fileEnd, int interval);

enum class RangeProblem {
    kNone,
    kStartAfterEnd,    // "请确认 [开始时间] < [结束时间] ！"
    kStartBeforeFile,  // "[开始时间] 超出范围！"
    kEndAfterFile,     // "[结束时间] 超出范围！"
};

// The first problem of a displayed range, in the order the user is told about them.
RangeProblem CheckDisplayRange(Time start, Time end, Time fileStart, Time fileEnd);

}  // namespace kvr
