#include "core/analysis/period_check.h"

namespace kvr {

std::optional<std::string> CheckPeriod(Time start, Time end, Time first, Time last) {
    if (start > end) return kStartAfterEnd;
    if (start < first) return kStartOutOfRange;
    if (end > last) return kEndOutOfRange;
    return std::nullopt;
}

std::optional<std::string> CheckReportPeriod(Time start, Time end, Time firstHour, Time lastHour) {
    if (auto problem = CheckPeriod(start, end, firstHour, lastHour)) return problem;
    if (firstHour >= lastHour) return kNoReportData;
    return std::nullopt;
}

}  // namespace kvr
