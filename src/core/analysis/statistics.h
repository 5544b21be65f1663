#pragma once
// Peak, valley, mean and uniformity of every channel of a file over a period.
#include <cmath>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/datafile/cxfile.h"

namespace kvr {

// One list row; every text as shown ("----" where a figure is undefined).
struct StatisticsRow {
    std::string number;   // from "1"
    std::string channel;  // "name(unit)"
    std::string peak, valley, mean, uniformity;
};

// Column titles of the statistics list, in order.
const std::vector<std::string>& StatisticsTitles();

// Called with 0..100 as the computation advances; answering false cancels it.
using StatisticsProgress = std::function<bool(int percent)>;

// What the statistics walk gathers for one channel. Only finite samples count: a missing
// record or a NaN or infinite sample adds nothing.
struct ChannelFigures {
    double peak = 0, valley = 0, sum = 0;
    std::int64_t count = 0;
    // Trapezoid integral of the samples over their record times, in value x seconds; a gap
    // (missing or non-finite samples) is bridged by its two neighbours.
    double area = 0;
    Time lastTime = 0;  // of the newest sample added

    void Add(Time t, float value) {
        if (!std::isfinite(value)) return;
        const double v = value;
        if (count == 0 || v > peak) peak = v;
        if (count == 0 || v < valley) valley = v;
        if (count > 0) area += (last_ + v) * 0.5 * static_cast<double>(t - lastTime);
        sum += v;
        last_ = v;
        lastTime = t;
        ++count;
    }
    // Add for samples[i] at first + i * step, i < n, with the same results to the bit; the
    // running figures stay in registers over the run.
    void AddRun(Time first, Time step, const float* samples, int n) {
        int i = 0;
        for (; i < n && count == 0; ++i) Add(first + i * step, samples[i]);
        double high = peak, low = valley, total = sum, integral = area, previous = last_;
        Time previousTime = lastTime;
        std::int64_t added = count;
        for (; i < n; ++i) {
            const float sample = samples[i];
            if (!std::isfinite(sample)) continue;
            const double v = sample;
            const Time t = first + i * step;
            high = v > high ? v : high;
            low = v < low ? v : low;
            integral += (previous + v) * 0.5 * static_cast<double>(t - previousTime);
            total += v;
            previous = v;
            previousTime = t;
            ++added;
        }
        peak = high;
        valley = low;
        sum = total;
        area = integral;
        last_ = previous;
        lastTime = previousTime;
        count = added;
    }
    double Mean() const { return sum / static_cast<double>(count); }

private:
    double last_ = 0;
};

// The statistics walk: every channel of the file at start, start + interval, ... up to
// end, that is the records from the one holding start on, one per interval. The period must
// lie inside the file (CheckPeriod). Nothing when progress cancelled it.
std::optional<std::vector<ChannelFigures>> WalkChannels(const CXFile& file, Time start, Time end,
                                                        const StatisticsProgress& progress = {});

struct StatisticsOutcome {
    std::vector<StatisticsRow> rows;  // one per channel of the file, in use or not
    std::string error;                // a period message; rows are then empty
    bool cancelled = false;
};

// The figures of WalkChannels as the statistics window shows them. A moment without a
// record (only in a damaged file) or with a non-finite sample is left out.
StatisticsOutcome ComputeStatistics(const CXFile& file, Time start, Time end,
                                    const StatisticsProgress& progress = {});

// The clipboard text: titles, then one line per row, every cell followed by TAB, lines
// ended by CR LF.
std::string StatisticsCopyText(const std::vector<StatisticsRow>& rows);

// Writes the rows as one sheet, figures as numbers; nullopt on success, else the message.
std::optional<std::string> WriteStatisticsWorkbook(const std::string& path,
                                                   const std::vector<StatisticsRow>& rows);

}  // namespace kvr
