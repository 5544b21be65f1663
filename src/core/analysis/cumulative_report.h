#pragma once
// The cumulative report: hourly totals summed into shift columns per day (two or three
// shifts) or into a day-by-month table (one shift), as the list shows it and as it is
// exported to a workbook.
//
// Day and shift boundaries are local wall-clock hours, so across a daylight-saving change
// a report day holds 23 or 25 hours and every hour of the table is counted exactly once.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/datafile/cxfile.h"

namespace kvr {

// The instrument's report configuration: shifts per day (1..3) and the boundary hours
// b1..b3. Shift 1 runs from b_s to b1, shift k from b(k-1) to bk; the day starts at b_s.
struct ShiftSettings {
    int shiftCount = 0;
    int boundaries[3] = {0, 0, 0};

    int DayStartHour() const;  // b_s; 0 for a shift count outside 1..3
    // Shift lengths in hours, each 0..23; empty for a shift count outside 1..3.
    std::vector<int> ShiftHours() const;
};

// What the report reads: the settings, the span of the hourly table and the value of the
// hour containing a moment (already scaled to units; 0 outside the table).
struct ReportSource {
    ShiftSettings settings;
    Time firstHour = 0;
    Time lastHour = 0;
    std::function<double(Time)> hourValue;
};

ReportSource ReportSourceOf(const CXFile& file);

struct ReportColumn {
    std::string title;
    int width = 0;  // pixels at the list's normal size
};

// One table of texts; every row has one cell per column.
struct ReportTable {
    std::vector<ReportColumn> columns;
    std::vector<std::vector<std::string>> rows;
};

struct CumulativeReport {
    ReportTable list;
    // Column names are the list's titles in brackets ("[8点-20点]") after a first "日期".
    ReportTable exported;
};

// Columns only (no rows), as the list shows them before anything is computed: shift
// layout for two or three shifts, month layout over [start, end] for one shift.
std::vector<ReportColumn> ReportColumns(const ShiftSettings& settings, Time start, Time end);

struct ReportOutcome {
    std::optional<CumulativeReport> report;
    std::string error;  // set when report is empty
};

// Checks the period and the shift settings, then computes the report over [start, end].
ReportOutcome BuildCumulativeReport(const ReportSource& source, Time start, Time end);

// The exported table as a one-sheet workbook, every column text; nullopt on success, else
// the message for the user.
std::optional<std::string> WriteReportWorkbook(const std::string& path,
                                               const CumulativeReport& report);

// Texts of the report form.
struct ReportFormTexts {
    std::string deviceAlias;  // "热量" for a heat-computing instrument, else the device name
    std::string settlement;   // "%d点" with the report day's start hour
    std::string reportType;   // "一段", "两段", "三段", or empty
    std::string timeRange;    // first hour, a line break, last hour
};

ReportFormTexts ReportFormTextsOf(const CXFile& file);

// Two moments as "%Y-%m-%d %H-%M-%S", one per line.
std::string TimeRangeText(Time first, Time last);

}  // namespace kvr
