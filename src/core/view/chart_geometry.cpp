#include "core/view/chart_geometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/datafile/channels.h"
#include "core/datafile/cxfile.h"

namespace kvr {

namespace {
constexpr Time kDay = 86400;

Time LocalMidnight(Time t) {
    CalendarFields fields = SplitTime(t);
    fields.hour = fields.minute = fields.second = 0;
    return MakeTime(fields);
}
}  // namespace

std::optional<int> BarGridColumns(int cells) {
    if (cells < 1 || cells > kBarCellsPerGroup) return std::nullopt;
    if (cells <= 6) return 3;
    if (cells <= 8) return 4;
    if (cells <= 10) return 5;
    return 6;
}

std::vector<int> ChannelsInUse(const CXFile& file) {
    std::vector<int> channels;
    const int count = std::min(file.GetChannelCount(), static_cast<int>(kMaxChannels));
    for (int c = 0; c < count; ++c)
        if (IsChannelInUse(file, c)) channels.push_back(c);
    return channels;
}

int BarTabCount(int channelCount) { return (std::max(channelCount, 0) + 11) / 12; }

int CellsInGroup(int inUse, int groupSize, int group) {
    if (groupSize <= 0 || group < 0) return 0;
    const int groups = (inUse + groupSize - 1) / groupSize;
    if (group >= groups) return 0;
    if (group < groups - 1) return groupSize;
    const int rest = inUse % groupSize;
    return rest == 0 ? groupSize : rest;
}

std::optional<double> BarFillFraction(double value, double rangeLow, double rangeHigh) {
    if (rangeHigh == rangeLow || !std::isfinite(rangeLow) || !std::isfinite(rangeHigh))
        return std::nullopt;
    if (std::isnan(value)) return 0.0;
    if (value < rangeLow) return 0.0;
    if (value > rangeHigh) return 1.0;
    return (value - rangeLow) / (rangeHigh - rangeLow);
}

double ScaleFraction(double limit, double rangeLow, double rangeHigh) {
    if (rangeHigh == rangeLow) return 0.0;
    return std::clamp((limit - rangeLow) / (rangeHigh - rangeLow), 0.0, 1.0);
}

bool IsOutsideAlarms(double value, double alarmLow, double alarmHigh) {
    return alarmHigh > alarmLow && (value < alarmLow || value > alarmHigh);
}

int HoursPerRevolution(int timeIndex) {
    switch (timeIndex) {
        case 0: return 8;
        case 1: return 12;
        default: return 24;
    }
}

std::vector<int> DialHourLabels(int hourOfDay, int timeIndex) {
    const int hours = HoursPerRevolution(timeIndex);
    const int first = (std::clamp(hourOfDay, 0, 23) / hours) * hours;
    std::vector<int> labels(hours);
    for (int k = 0; k < hours; ++k) labels[k] = first + k;
    return labels;
}

double DialRadius(double percent, int rings, double spacing) {
    return spacing + rings * (percent / 100.0) * spacing;
}

double DialAngle(long long step, long long stepsPerRevolution) {
    constexpr double kTwoPi = 2.0 * std::numbers::pi;
    if (stepsPerRevolution <= 0) return std::numbers::pi / 2.0;
    const double angle = std::numbers::pi / 2.0 - static_cast<double>(step % stepsPerRevolution) *
                                                      kTwoPi /
                                                      static_cast<double>(stepsPerRevolution);
    return angle < 0.0 ? angle + kTwoPi : angle;
}

std::vector<DialStep> CircleChartSteps(Time spanStart, Time spanEnd, int interval) {
    std::vector<DialStep> steps;
    if (interval <= 0 || interval > kDay || kDay % interval != 0 || spanEnd < spanStart)
        return steps;
    const long long perDay = kDay / interval;
    const Time firstDay = LocalMidnight(spanStart);
    const Time days = (LocalMidnight(spanEnd) + kDay - firstDay) / kDay;
    // Only the steps inside the span are visited; a hostile span cannot make this loop
    // longer than the records it covers.
    for (Time d = 0; d < days; ++d) {
        const Time dayStart = firstDay + d * kDay;
        const long long first =
            std::max<long long>(0, (spanStart - dayStart + interval - 1) / interval);
        for (long long i = first; i < perDay; ++i) {
            const Time t = dayStart + i * interval;
            if (t > spanEnd) break;
            steps.push_back({t, i});
        }
    }
    return steps;
}

std::vector<DialStep> LiveDialSteps(Time end, int interval, int timeIndex) {
    std::vector<DialStep> steps;
    const int hours = HoursPerRevolution(timeIndex);
    if (interval <= 0 || interval > hours * 3600) return steps;
    const Time windowStart =
        LocalMidnight(end) + static_cast<Time>(SplitTime(end).hour / hours * hours) * 3600;
    const long long count = (end - windowStart) / interval;
    const long long perRevolution = static_cast<long long>(hours) * 3600 / interval;
    for (long long u = 0; u < count && u < perRevolution; ++u)
        steps.push_back({windowStart + u * interval, u});
    return steps;
}

Time SnapToRecordTime(Time t, Time fileEnd, int interval) {
    if (interval <= 0) return t;
    return fileEnd - static_cast<Time>(interval) * ((fileEnd - t) / interval);
}

std::optional<int> ContinuousPageCount(Time start, Time end, Time fileStart, Time fileEnd,
                                       int interval) {
    if (interval <= 0 || end <= start || end > fileEnd || start < fileStart) return std::nullopt;
    const Time steps = (end - start) / interval;
    return static_cast<int>((steps + kRecordsPerPrintedPage - 1) / kRecordsPerPrintedPage);
}

}  // namespace kvr

namespace kvr {
std::pair<Time, Time> ContinuousPageWindow(Time printStart, int interval, int page) {
    const Time span = static_cast<Time>(kRecordsPerPrintedPage) * std::max(interval, 1);
    return {printStart + (page - 1) * span, printStart + page * span};
}
}  // namespace kvr
