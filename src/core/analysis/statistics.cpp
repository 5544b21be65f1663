#include "core/analysis/statistics.h"

#include <algorithm>
#include <cstdio>
#include <limits>

#include "core/analysis/period_check.h"
#include "core/analysis/table_workbook.h"
#include "core/datafile/channels.h"

namespace kvr {
namespace {

constexpr const char* kMissing = "----";

// Records read per channel in one go: a few thousand, so the samples stay in the cache.
constexpr std::int64_t kChunkRecords = 4096;

// Channel c's samples of count records from firstRecord on; NaN where the file has none.
// Every read of the walk goes through here.
void ReadSamples(const CXFile& file, int c, std::int64_t firstRecord, int count, float* out) {
    file.ReadChannel(c, firstRecord, count, out);
}

std::string Formatted(const std::string& format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format.c_str(), value);
    return text;
}

StatisticsRow RowOf(const CXFile& file, int channel, const ChannelFigures& figures) {
    StatisticsRow row;
    row.number = std::to_string(channel + 1);
    // The figures are in the channel's unit, so the heading carries it.
    row.channel = ChannelHeading(file, channel);
    if (figures.count == 0) {
        row.peak = row.valley = row.mean = row.uniformity = kMissing;
        return row;
    }
    const std::string format = file.GetValueFormat(channel);
    row.peak = Formatted(format, figures.peak);
    row.valley = Formatted(format, figures.valley);
    row.mean = Formatted(format, figures.Mean());
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

std::optional<std::vector<ChannelFigures>> WalkChannels(const CXFile& file, Time start, Time end,
                                                        const StatisticsProgress& progress) {
    const int channels = file.GetChannelCount();
    std::vector<ChannelFigures> figures(static_cast<size_t>(channels));
    const Time interval = file.GetInterval();
    const Time fileStart = file.GetStartTime();
    const bool walkable = interval > 0 && start >= fileStart && end >= start;
    const std::int64_t moments = walkable ? (end - start) / interval + 1 : 0;
    const std::int64_t firstRecord = walkable ? (start - fileStart) / interval : 0;
    // About one chunk per percent, so that progress moves in steps of one.
    const std::int64_t chunk = std::clamp<std::int64_t>(moments / 100, 1, kChunkRecords);
    std::vector<float> samples(static_cast<size_t>(chunk));
    int shownPercent = -1;
    for (std::int64_t done = 0; done < moments; done += chunk) {
        const int percent = static_cast<int>(done * 100 / moments);
        if (progress && percent != shownPercent) {
            shownPercent = percent;
            if (!progress(percent)) return std::nullopt;
        }
        const int count = static_cast<int>(std::min(chunk, moments - done));
        const Time first = fileStart + (firstRecord + done) * interval;
        for (int c = 0; c < channels; ++c) {
            ReadSamples(file, c, firstRecord + done, count, samples.data());
            figures[static_cast<size_t>(c)].AddRun(first, interval, samples.data(), count);
        }
    }
    if (progress) progress(100);
    return figures;
}

StatisticsOutcome ComputeStatistics(const CXFile& file, Time start, Time end,
                                    const StatisticsProgress& progress) {
    StatisticsOutcome outcome;
    if (auto problem = CheckPeriod(start, end, file.GetStartTime(), file.GetSpanEndTime())) {
        outcome.error = *problem;
        return outcome;
    }
    const auto figures = WalkChannels(file, start, end, progress);
    if (!figures) {
        outcome.cancelled = true;
        return outcome;
    }
    for (int c = 0; c < file.GetChannelCount(); ++c)
        outcome.rows.push_back(RowOf(file, c, (*figures)[static_cast<size_t>(c)]));
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
                              {ColumnType::kText, ColumnType::kText, ColumnType::kNumber,
                               ColumnType::kNumber, ColumnType::kNumber, ColumnType::kText},
                              cells);
}

}  // namespace kvr
