#include "core/view/navigation.h"

#include <algorithm>

namespace kvr {

std::optional<Time> SnapGoToTime(Time t, Time fileStart, Time fileEnd, int interval) {
    const Time step = std::max(interval, 1);
    // Floor division: a time just before the file start belongs to no record and must be
    // refused, not rounded up onto the first one.
    Time offset = t - fileStart;
    Time records = offset / step;
    if (offset % step != 0 && offset < 0) --records;
    const Time snapped = fileStart + records * step;
    if (snapped < fileStart || snapped > fileEnd) return std::nullopt;
    return snapped;
}

RangeProblem CheckDisplayRange(Time start, Time end, Time fileStart, Time fileEnd) {
    if (start > end) return RangeProblem::kStartAfterEnd;
    if (start < fileStart) return RangeProblem::kStartBeforeFile;
    if (end > fileEnd) return RangeProblem::kEndAfterFile;
    return RangeProblem::kNone;
}

}  // namespace kvr
