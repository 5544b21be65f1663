#include "core/analysis/statistics.h"

#include <cstdio>

#include "core/analysis/period_check.h"
#include "core/analysis/table_workbook.h"

namespace kvr {
namespace {

constexpr const char* kMissing = "----";

struct Accumulator {
    double peak = 0, valley = 0, sum = 0;
    std::int64_t count = 0;

    void Add(float value) {
        const double v = value;
        if (count == 0 || v > peak) peak = v;
        if (count == 0 || v < valley) valley = v;
        sum += v;
        ++count;
    }
};

std::string Formatted(const std::string& format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format.c_str(), value);
    return text;
}

StatisticsRow RowOf(const CXFile& file, int channel, const Accumulator& figures) {
    StatisticsRow row;
    row.number = std::to_string(channel + 1);
    row.channel = file.GetChannelName(channel);
    if (figures.count == 0) {
        row.peak = row.valley = row.mean = row.uniformity = kMissing;
        return row;
    }
    const std::string format = file.GetValueFormat(channel);
    row.peak = Formatted(format, figures.peak);
    row.valley = Formatted(format, figures.valley);
    row.mean = Formatted(format, figures.sum / static_cast<double>(figures.count));
    const double middle = (figures.peak + figures.valley) * 0.5;
    row.uniformity = middle == 0
                         ? kMissing
                         : Formatted("%.2f%%", 100 * (figures.peak - figures.valley) / middle);
    return row;
}

}  // namespace

const std::vector<std::string>& StatisticsTitles() {
    static const std::vector<std::string> titles{"序号", "通道", "峰值", "谷值", "均值", "均匀性"};
    return titles;
}

StatisticsOutcome ComputeStatistics(const CXFile& file, Time start, Time end,
                                    const StatisticsProgress& progress) {
    StatisticsOutcome outcome;
    if (auto problem = CheckPeriod(start, end, file.GetStartTime(), file.GetSpanEndTime())) {
        outcome.error = *problem;
        return outcome;
    }
    const int channels = file.GetChannelCount();
    const Time step = file.GetInterval() > 0 ? file.GetInterval() : 1;
    const Time span = end - start;
    std::vector<Accumulator> figures(static_cast<size_t>(channels));
    int shownPercent = -1;
    for (Time t = start; t <= end; t += step) {
        // A zero-length period is a single moment, complete at once.
        const int percent = span > 0 ? static_cast<int>((t - start) * 100 / span) : 100;
        if (progress && percent != shownPercent) {
            shownPercent = percent;
            if (!progress(percent)) {
                outcome.cancelled = true;
                return outcome;
            }
        }
        for (int c = 0; c < channels; ++c) {
            float value = 0;
            if (file.GetValue(c, t, &value, nullptr) == 1)
                figures[static_cast<size_t>(c)].Add(value);
        }
    }
    if (progress) progress(100);
    for (int c = 0; c < channels; ++c)
        outcome.rows.push_back(RowOf(file, c, figures[static_cast<size_t>(c)]));
    return outcome;
}

std::string StatisticsCopyText(const std::vector<StatisticsRow>& rows) {
    std::string text;
    for (const auto& title : StatisticsTitles()) text += title + "\t";
    text += "\r\n";
    for (const auto& row : rows) {
        for (const auto* cell :
             {&row.number, &row.channel, &row.peak, &row.valley, &row.mean, &row.uniformity})
            text += *cell + "\t";
        text += "\r\n";
    }
    return text;
}

std::optional<std::string> WriteStatisticsWorkbook(const std::string& path,
                                                   const std::vector<StatisticsRow>& rows) {
    std::vector<std::vector<std::string>> cells;
    for (const auto& row : rows)
        cells.push_back({row.number, row.channel, row.peak, row.valley, row.mean, row.uniformity});
    return WriteTableWorkbook(path, StatisticsTitles(),
                              {"TEXT", "TEXT", "NUMBER", "NUMBER", "NUMBER", "TEXT"}, cells);
}

}  // namespace kvr
