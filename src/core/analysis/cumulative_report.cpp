#include "core/analysis/cumulative_report.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

#include "core/analysis/period_check.h"
#include "core/analysis/table_workbook.h"
#include "core/datafile/config_record.h"

namespace kvr {
namespace {

constexpr Time kHour = 3600;
constexpr int kLastDayNumber = 31;
constexpr const char* kBadShiftHours = "班次时间设置有误（各班次合计须为24小时），无法统计报表!";
constexpr const char* kBadShiftCount = "报表类型设置有误，无法统计报表!";

std::string Fixed2(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.2f", value);
    return text;
}

std::string Strftime(Time t, const char* format) {
    const std::time_t seconds = static_cast<std::time_t>(t);
    std::tm fields{};
    localtime_r(&seconds, &fields);
    char text[64];
    std::strftime(text, sizeof text, format, &fields);
    return text;
}

// The local moment `hour` hours into the day `dayOffset` days after `date`; hours beyond 23
// roll into the next day on the wall clock.
Time WallClock(const CalendarFields& date, int dayOffset, int hour, int minute, int second) {
    return MakeTime({date.year, date.month, date.day + dayOffset, hour, minute, second});
}

// Sum of the hours read at from + 1 h, from + 2 h, ... up to `to`; each value is also added
// to every given total.
double SumHours(const ReportSource& source, Time from, Time to, double* columnTotal,
                double* grandTotal) {
    double sum = 0;
    for (Time t = from + kHour; t <= to; t += kHour) {
        const double value = source.hourValue ? source.hourValue(t) : 0.0;
        sum += value;
        if (columnTotal) *columnTotal += value;
        if (grandTotal) *grandTotal += value;
    }
    return sum;
}

std::string ShiftTitle(int fromHour, int toHour) {
    return std::to_string(fromHour) + "点-" + std::to_string(toHour) + "点";
}

int MonthIndex(const CalendarFields& fields) { return fields.year * 12 + fields.month - 1; }

// Every month the period touches, and never fewer than whole 30-day periods plus two.
int MonthCount(Time start, Time end) {
    const Time span = std::max<Time>(end - start, 0);
    const int byDays = static_cast<int>(span / 86400 / 30 + 2);
    const int touched = MonthIndex(SplitTime(end)) - MonthIndex(SplitTime(start)) + 1;
    return std::max(byDays, touched);
}

CalendarFields MonthAfter(Time start, int months) {
    const CalendarFields first = SplitTime(start);
    const int index = MonthIndex(first) + months;
    return {index / 12, index % 12 + 1, 1, 0, 0, 0};
}

bool MonthHasDay(const CalendarFields& month, int day) {
    return SplitTime(MakeTime({month.year, month.month, day, 12, 0, 0})).month == month.month;
}

std::vector<std::string> FirstRow(size_t columns) {
    std::vector<std::string> row(columns);
    row[0] = "通道1";
    return row;
}

std::vector<ReportColumn> ShiftColumns(const ShiftSettings& settings) {
    std::vector<ReportColumn> columns{{"日期", 120}};
    const int count = settings.shiftCount;
    for (int k = 1; k <= count; ++k) {
        const int from = k == 1 ? settings.DayStartHour() : settings.boundaries[k - 2];
        columns.push_back({ShiftTitle(from, settings.boundaries[k - 1]), 100});
    }
    columns.push_back({"日累积", 100});
    return columns;
}

std::vector<ReportColumn> MonthColumns(Time start, Time end) {
    std::vector<ReportColumn> columns{{"", 45}};
    const int months = MonthCount(start, end);
    for (int i = 0; i < months; ++i) {
        const CalendarFields month = MonthAfter(start, i);
        char title[16];
        std::snprintf(title, sizeof title, "%04d-%02d", month.year, month.month);
        columns.push_back({title, 60});
    }
    return columns;
}

ReportTable ExportedLayout(const std::vector<ReportColumn>& listColumns) {
    ReportTable table;
    table.columns.push_back({"日期", listColumns.front().width});
    for (size_t i = 1; i < listColumns.size(); ++i) {
        const auto& title = listColumns[i].title;
        const bool isShift = i + 1 < listColumns.size() || title != "日累积";
        table.columns.push_back({isShift ? "[" + title + "]" : title, listColumns[i].width});
    }
    return table;
}

CumulativeReport ShiftReport(const ReportSource& source, Time start, Time end) {
    const ShiftSettings& settings = source.settings;
    const std::vector<int> lengths = settings.ShiftHours();
    const size_t shifts = lengths.size();
    CumulativeReport report;
    report.list.columns = ShiftColumns(settings);
    report.exported = ExportedLayout(report.list.columns);
    const size_t width = report.list.columns.size();

    const CalendarFields first = SplitTime(start);
    const int dayStart = settings.DayStartHour();
    auto boundary = [&](int day, int hours) {
        return WallClock(first, day, dayStart + hours, first.minute, first.second);
    };
    report.list.rows.push_back(FirstRow(width));
    std::vector<double> columnTotals(shifts, 0.0);
    double grandTotal = 0;
    // The first day always has a row; later days while they start by the period end.
    for (int day = 0; day == 0 || boundary(day, 0) <= end; ++day) {
        std::vector<std::string> row(width);
        row[0] = Strftime(boundary(day, 1), "%Y-%m-%d");
        double dayTotal = 0;
        int hoursIntoDay = 0;
        for (size_t k = 0; k < shifts; ++k) {
            const Time from = boundary(day, hoursIntoDay);
            hoursIntoDay += lengths[k];
            const double sum =
                SumHours(source, from, boundary(day, hoursIntoDay), &columnTotals[k], &grandTotal);
            row[k + 1] = Fixed2(sum);
            dayTotal += sum;
        }
        row[width - 1] = Fixed2(dayTotal);
        report.list.rows.push_back(row);
    }
    report.exported.rows = report.list.rows;

    std::vector<std::string> statistics(width), total(width);
    statistics[0] = "统计";
    for (size_t k = 0; k < shifts; ++k) statistics[k + 1] = Fixed2(columnTotals[k]);
    total[0] = "合计";
    total[1] = Fixed2(grandTotal);
    for (auto* table : {&report.list, &report.exported}) {
        table->rows.push_back(statistics);
        table->rows.push_back(total);
    }
    report.list.rows.emplace_back(width);
    return report;
}

CumulativeReport MonthReport(const ReportSource& source, Time start, Time end) {
    CumulativeReport report;
    report.list.columns = MonthColumns(start, end);
    report.exported = ExportedLayout(report.list.columns);
    const size_t width = report.list.columns.size();
    const int months = static_cast<int>(width) - 1;
    const int dayStart = source.settings.boundaries[0];

    report.list.rows.push_back(FirstRow(width));
    std::vector<double> monthTotals(static_cast<size_t>(months), 0.0);
    for (int day = 1; day <= kLastDayNumber; ++day) {
        std::vector<std::string> row(width);
        row[0] = std::to_string(day);
        for (int i = 0; i < months; ++i) {
            const CalendarFields month = MonthAfter(start, i);
            if (!MonthHasDay(month, day)) continue;
            const CalendarFields date{month.year, month.month, day, 0, 0, 0};
            const double sum = SumHours(source, WallClock(date, 0, dayStart, 0, 0),
                                        WallClock(date, 0, dayStart + 24, 0, 0),
                                        &monthTotals[static_cast<size_t>(i)], nullptr);
            row[static_cast<size_t>(i) + 1] = Fixed2(sum);
        }
        report.list.rows.push_back(row);
    }
    report.exported.rows = report.list.rows;

    std::vector<std::string> total(width);
    total[0] = "合计";
    for (int i = 0; i < months; ++i)
        total[static_cast<size_t>(i) + 1] = Fixed2(monthTotals[static_cast<size_t>(i)]);
    report.list.rows.emplace_back(width);
    report.list.rows.push_back(total);
    report.list.rows.emplace_back(width);
    report.exported.rows.push_back(total);
    return report;
}

ShiftSettings ShiftSettingsOf(const ConfigRecord& config) {
    ShiftSettings settings;
    settings.shiftCount = config.ShiftCount();
    for (int i = 0; i < 3; ++i) settings.boundaries[i] = config.ShiftBoundary(i + 1);
    return settings;
}

}  // namespace

int ShiftSettings::DayStartHour() const {
    if (shiftCount < 1 || shiftCount > 3) return 0;
    return boundaries[shiftCount - 1];
}

std::vector<int> ShiftSettings::ShiftHours() const {
    if (shiftCount < 1 || shiftCount > 3) return {};
    auto wrapped = [](int hours) { return hours < 0 ? hours + 24 : hours; };
    std::vector<int> lengths{wrapped(boundaries[0] - DayStartHour())};
    if (shiftCount == 2) lengths.push_back(24 - lengths[0]);
    if (shiftCount == 3) {
        lengths.push_back(wrapped(boundaries[1] - boundaries[0]));
        lengths.push_back(wrapped(boundaries[2] - boundaries[1]));
    }
    return lengths;
}

ReportSource ReportSourceOf(const CXFile& file) {
    ReportSource source;
    source.settings = ShiftSettingsOf(ConfigRecord(file));
    source.firstHour = file.Header().hourly.first;
    source.lastHour = file.GetHourSpanEnd();
    source.hourValue = [&file](Time t) {
        double total = 0;
        if (file.GetHourTotal(0, t, &total) != 1) return 0.0;
        return total * 0.01;
    };
    return source;
}

std::vector<ReportColumn> ReportColumns(const ShiftSettings& settings, Time start, Time end) {
    switch (settings.shiftCount) {
        case 1: return MonthColumns(start, end);
        case 2:
        case 3: return ShiftColumns(settings);
        default: return {};
    }
}

ReportOutcome BuildCumulativeReport(const ReportSource& source, Time start, Time end) {
    ReportOutcome outcome;
    if (auto problem = CheckReportPeriod(start, end, source.firstHour, source.lastHour)) {
        outcome.error = *problem;
        return outcome;
    }
    const ShiftSettings& settings = source.settings;
    if (settings.shiftCount < 1 || settings.shiftCount > 3) {
        outcome.error = kBadShiftCount;
        return outcome;
    }
    const std::vector<int> lengths = settings.ShiftHours();
    int dayHours = 0;
    for (int hours : lengths) dayHours += hours;
    // Boundaries out of order would make a report day longer than a day and count hours twice.
    if (settings.shiftCount > 1 && dayHours != 24) {
        outcome.error = kBadShiftHours;
        return outcome;
    }
    for (int hour : settings.boundaries) {
        if (hour < 0 || hour > 23) {
            outcome.error = kBadShiftHours;
            return outcome;
        }
    }
    outcome.report = settings.shiftCount == 1 ? MonthReport(source, start, end)
                                              : ShiftReport(source, start, end);
    return outcome;
}

std::optional<std::string> WriteReportWorkbook(const std::string& path,
                                               const CumulativeReport& report) {
    std::vector<std::string> names;
    for (const auto& column : report.exported.columns) names.push_back(column.title);
    // Sums as numbers with their two decimals, day dates as dates; the row titles of the
    // first column ("通道1", "统计", "合计") stay text.
    std::vector<ColumnType> types(names.size(), ColumnType::kNumber);
    types.front() = ColumnType::kDate;
    return WriteTableWorkbook(path, names, types, report.exported.rows);
}

ReportFormTexts ReportFormTextsOf(const CXFile& file) {
    const ConfigRecord config(file);
    const ShiftSettings settings = ShiftSettingsOf(config);
    ReportFormTexts texts;
    texts.deviceAlias = config.HeatEnabled() ? "热量" : file.GetDeviceName();
    texts.settlement = std::to_string(settings.DayStartHour()) + "点";
    static const char* const kTypes[] = {"一段", "两段", "三段"};
    if (settings.shiftCount >= 1 && settings.shiftCount <= 3)
        texts.reportType = kTypes[settings.shiftCount - 1];
    texts.timeRange = TimeRangeText(file.Header().hourly.first, file.GetHourSpanEnd());
    return texts;
}

std::string TimeRangeText(Time first, Time last) {
    return Strftime(first, "%Y-%m-%d %H-%M-%S") + "\n" + Strftime(last, "%Y-%m-%d %H-%M-%S");
}

}  // namespace kvr
