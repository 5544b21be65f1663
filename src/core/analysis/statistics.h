#pragma once
// Peak, valley, mean and uniformity of every channel of a file over a period.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/datafile/cxfile.h"

namespace kvr {

// One list row; every text as shown ("----" where a figure is undefined).
struct StatisticsRow {
    std::string number;  // from "1"
    std::string channel;
    std::string peak, valley, mean, uniformity;
};

// Column titles of the statistics list, in order.
const std::vector<std::string>& StatisticsTitles();

// Called with 0..100 as the computation advances; answering false cancels it.
using StatisticsProgress = std::function<bool(int percent)>;

struct StatisticsOutcome {
    std::vector<StatisticsRow> rows;  // one per channel of the file, in use or not
    std::string error;                // a period message; rows are then empty
    bool cancelled = false;
};

// Reads every channel at start, start + interval, ... up to end. A moment without a record
// (only in a damaged file) is left out of that channel's figures.
StatisticsOutcome ComputeStatistics(const CXFile& file, Time start, Time end,
                                    const StatisticsProgress& progress = {});

// The clipboard text: titles, then one line per row, every cell followed by TAB, lines
// ended by CR LF.
std::string StatisticsCopyText(const std::vector<StatisticsRow>& rows);

// Writes the rows as one sheet, figures as numbers; nullopt on success, else the message.
std::optional<std::string> WriteStatisticsWorkbook(const std::string& path,
                                                   const std::vector<StatisticsRow>& rows);

}  // namespace kvr
