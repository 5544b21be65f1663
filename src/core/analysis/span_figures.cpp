#include "core/analysis/span_figures.h"

#include <algorithm>
#include <cstdio>

#include "core/analysis/period_check.h"
#include "core/datafile/config_record.h"
#include "core/datafile/file_info.h"

namespace kvr {
namespace {

constexpr const char* kMissing = "----";
// The derived channels after the inputs are rates: two flow channels (mass and volume, one
// of them in use) and heat.
constexpr int kHeatChannel = 5;
constexpr double kSecondsPerHour = 3600.0;

bool IsRate(int c) { return c >= cfg::kInputChannels && c <= kHeatChannel; }
bool IsFlow(int c) { return c >= cfg::kInputChannels && c < kHeatChannel; }

std::optional<float> SampleAt(const CXFile& file, int c, Time t) {
    float value = 0;
    if (file.GetValue(c, t, &value, nullptr) != 1 || !std::isfinite(value)) return std::nullopt;
    return value;
}

// The instrument's totals (hundredths) of the hours that begin at or after from and end at
// or before to; nothing when the file holds no such hour.
std::optional<double> WholeHoursTotal(const CXFile& file, Time from, Time to) {
    const Time firstHour = file.Header().hourly.first;
    Time hour = firstHour;
    if (from > firstHour) hour += (from - firstHour + 3599) / 3600 * 3600;
    std::optional<double> sum;
    for (; hour + 3600 <= to && hour <= file.Header().hourly.last; hour += 3600) {
        double total = 0;
        if (file.GetHourTotal(0, hour, &total) != 1) continue;
        sum = sum.value_or(0) + total * 0.01;
    }
    return sum;
}

std::string Formatted(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

}  // namespace

SpanOutcome ComputeSpan(const CXFile& file, Time from, Time to) {
    SpanOutcome outcome;
    if (auto problem = CheckPeriod(from, to, file.GetStartTime(), file.GetEndTime())) {
        outcome.error = *problem;
        return outcome;
    }
    // The walk starts at the record holding from, so that the figures cover the records
    // whose samples the two ends show.
    const Time interval = file.GetInterval();
    const Time first = interval > 0 ? from - (from - file.GetStartTime()) % interval : from;
    const auto figures = WalkChannels(file, first, to);
    bool flowSeen = false;
    const int channels = std::min(file.GetChannelCount(), kMaxChannels);
    for (int c = 0; c < channels; ++c) {
        if (file.Header().channels[c].showState == kChannelNotInUse) continue;
        SpanChannel channel;
        channel.channel = c;
        channel.startValue = SampleAt(file, c, from);
        channel.endValue = SampleAt(file, c, to);
        channel.figures = (*figures)[static_cast<size_t>(c)];
        if (IsRate(c)) channel.spanTotal = channel.figures.area / kSecondsPerHour;
        if (IsFlow(c) && !flowSeen) {
            flowSeen = true;
            channel.hourTotal = WholeHoursTotal(file, from, to);
        }
        outcome.channels.push_back(channel);
    }
    return outcome;
}

const std::vector<std::string>& SpanTitles() {
    static const std::vector<std::string> titles{"通道", "单位", "起点值", "终点值",   "差值",
                                                 "峰值", "谷值", "均值",   "区间累积", "小时累积"};
    return titles;
}

std::vector<std::string> SpanCells(const CXFile& file, const SpanChannel& span) {
    const std::string format = file.GetValueFormat(span.channel);
    auto value = [&](std::optional<double> v) {
        return v ? Formatted(format.c_str(), *v) : std::string(kMissing);
    };
    auto total = [](std::optional<double> v) { return v ? Formatted("%.2f", *v) : std::string(); };
    const ChannelFigures& f = span.figures;
    const bool sampled = f.count > 0;
    std::optional<double> difference;
    if (span.startValue && span.endValue)
        difference = static_cast<double>(*span.endValue) - static_cast<double>(*span.startValue);
    return {file.GetChannelName(span.channel),
            file.GetChannelUnit(span.channel),
            value(span.startValue),
            value(span.endValue),
            value(difference),
            value(sampled ? std::optional<double>(f.peak) : std::nullopt),
            value(sampled ? std::optional<double>(f.valley) : std::nullopt),
            value(sampled ? std::optional<double>(f.Mean()) : std::nullopt),
            total(span.spanTotal),
            total(span.hourTotal)};
}

}  // namespace kvr
