#pragma once
// What a selection of the curves measures: per channel in use the values at both ends, the
// difference, peak, valley and mean (the statistics walk), and for the rate channels the
// span total beside the instrument's own hourly totals. The span panel, its copy text and
// "kvrtool span" all show these figures.
#include <optional>
#include <string>
#include <vector>

#include "core/analysis/statistics.h"
#include "core/datafile/cxfile.h"

namespace kvr {

struct SpanChannel {
    int channel = 0;
    // The samples of the records at or before the span's start and end.
    std::optional<float> startValue, endValue;
    ChannelFigures figures;  // peak, valley and mean are defined when figures.count > 0
    // Flow and heat: the trapezoid integral over the span in the rate's unit per hour x
    // hours (the total's unit); nothing for the other channels.
    std::optional<double> spanTotal;
    // The first flow channel in use: the sum of the hourly totals whose hour lies wholly
    // inside the span; nothing elsewhere or when no such hour is in the file.
    std::optional<double> hourTotal;
};

struct SpanOutcome {
    std::vector<SpanChannel> channels;  // the channels in use, in file order
    std::string error;                  // a period message; channels are then empty
};

// The span [from, to] of the file; the period is checked as the statistics window checks it.
SpanOutcome ComputeSpan(const CXFile& file, Time from, Time to);

// Column titles: 通道,单位,起点值,终点值,差值,峰值,谷值,均值,区间累积,小时累积.
const std::vector<std::string>& SpanTitles();
// One channel's cells under those titles: values in the channel's format, totals with two
// decimals, "----" for a figure without a sample, empty where a total does not apply.
std::vector<std::string> SpanCells(const CXFile& file, const SpanChannel& channel);

}  // namespace kvr
