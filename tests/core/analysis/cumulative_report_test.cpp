#include "core/analysis/cumulative_report.h"

#include <gtest/gtest.h>

#include <map>

#include "core/analysis/period_check.h"
#include "support/test_support.h"

namespace kvr {
namespace {

using kvrtest::ZoneGuard;

Time At(int year, int month, int day, int hour) { return MakeTime({year, month, day, hour, 0, 0}); }

// Every hour of a long table, valued by its local hour of day so sums tell which hours
// were read.
ReportSource HourOfDaySource(ShiftSettings settings) {
    ReportSource source;
    source.settings = settings;
    source.firstHour = At(2026, 1, 1, 0);
    source.lastHour = At(2027, 12, 31, 23);
    source.hourValue = [](Time t) { return static_cast<double>(SplitTime(t).hour); };
    return source;
}

std::vector<std::string> Titles(const ReportTable& table) {
    std::vector<std::string> titles;
    for (const auto& column : table.columns) titles.push_back(column.title);
    return titles;
}

using Row = std::vector<std::string>;

TEST(CumulativeReport, TwoShiftsSplitTheDayAtTheirBoundaries) {
    ZoneGuard zone("UTC0");
    const auto outcome = BuildCumulativeReport(HourOfDaySource({2, {8, 20, 0}}), At(2026, 3, 2, 20),
                                               At(2026, 3, 3, 20));
    ASSERT_TRUE(outcome.report) << outcome.error;
    const ReportTable& list = outcome.report->list;
    EXPECT_EQ(Titles(list), (Row{"日期", "20点-8点", "8点-20点", "日累积"}));
    // Shift 1 reads 21:00 ... 08:00 (21+22+23+0+...+8 = 102), shift 2 09:00 ... 20:00 (174).
    ASSERT_EQ(list.rows.size(), 6u);
    EXPECT_EQ(list.rows[0], (Row{"通道1", "", "", ""}));
    EXPECT_EQ(list.rows[1], (Row{"2026-03-02", "102.00", "174.00", "276.00"}));
    EXPECT_EQ(list.rows[2], (Row{"2026-03-03", "102.00", "174.00", "276.00"}));
    EXPECT_EQ(list.rows[3], (Row{"统计", "204.00", "348.00", ""}));
    EXPECT_EQ(list.rows[4], (Row{"合计", "552.00", "", ""}));
    EXPECT_EQ(list.rows[5], (Row{"", "", "", ""}));

    const ReportTable& exported = outcome.report->exported;
    EXPECT_EQ(Titles(exported), (Row{"日期", "[20点-8点]", "[8点-20点]", "日累积"}));
    ASSERT_EQ(exported.rows.size(), 5u);  // no trailing empty row
    EXPECT_EQ(exported.rows[3], list.rows[3]);
    EXPECT_EQ(exported.rows[4], list.rows[4]);
}

TEST(CumulativeReport, ShiftLayoutsAndDayDates) {
    ZoneGuard zone("UTC0");
    struct Case {
        ShiftSettings settings;
        Row titles;
        Row firstDay;
    };
    const Case cases[] = {
        // Three equal shifts of eight hours: 17..23 and 0 = 140, 1..8 = 36, 9..16 = 100.
        {{3, {0, 8, 16}},
         {"日期", "16点-0点", "0点-8点", "8点-16点", "日累积"},
         {"2026-03-02", "140.00", "36.00", "100.00", "276.00"}},
        // A day starting at 23:00 is dated by its first hour: the next calendar day.
        {{2, {11, 23, 0}},
         {"日期", "23点-11点", "11点-23点", "日累积"},
         {"2026-03-03", "66.00", "210.00", "276.00"}},
    };
    for (const auto& c : cases) {
        const auto outcome = BuildCumulativeReport(HourOfDaySource(c.settings), At(2026, 3, 2, 0),
                                                   At(2026, 3, 2, 0));
        ASSERT_TRUE(outcome.report) << outcome.error;
        EXPECT_EQ(Titles(outcome.report->list), c.titles);
        EXPECT_EQ(outcome.report->list.rows[1], c.firstDay);
    }
}

TEST(CumulativeReport, MonthTableShowsEveryMonthThePeriodTouches) {
    ZoneGuard zone("UTC0");
    ReportSource source = HourOfDaySource({1, {0, 0, 0}});
    source.hourValue = [](Time) { return 1.0; };

    // 31 January ... 1 March of a common year: three months, February without 29-31.
    auto outcome = BuildCumulativeReport(source, At(2027, 1, 31, 0), At(2027, 3, 1, 0));
    ASSERT_TRUE(outcome.report) << outcome.error;
    const ReportTable& list = outcome.report->list;
    EXPECT_EQ(Titles(list), (Row{"", "2027-01", "2027-02", "2027-03"}));
    ASSERT_EQ(list.rows.size(), 35u);  // 通道1, 31 days, blank, 合计, blank
    EXPECT_EQ(list.rows[28], (Row{"28", "24.00", "24.00", "24.00"}));
    EXPECT_EQ(list.rows[29], (Row{"29", "24.00", "", "24.00"}));
    EXPECT_EQ(list.rows[31], (Row{"31", "24.00", "", "24.00"}));
    EXPECT_EQ(list.rows[33], (Row{"合计", "744.00", "672.00", "744.00"}));
    EXPECT_EQ(Titles(outcome.report->exported),
              (Row{"日期", "[2027-01]", "[2027-02]", "[2027-03]"}));
    EXPECT_EQ(outcome.report->exported.rows.back(), list.rows[33]);

    // Thirty days within one month still get whole 30-day periods plus two columns.
    outcome = BuildCumulativeReport(source, At(2027, 4, 1, 0), At(2027, 5, 1, 0));
    ASSERT_TRUE(outcome.report);
    EXPECT_EQ(outcome.report->list.columns.size(), 4u);
}

TEST(CumulativeReport, MonthDaysRunFromTheBoundaryHourToTheNextDays) {
    ZoneGuard zone("UTC0");
    // The hour read at day D, hour h is worth 100 D + h, so a sum tells which hours it read.
    ReportSource source = HourOfDaySource({1, {8, 0, 0}});
    source.hourValue = [](Time t) {
        const CalendarFields f = SplitTime(t);
        return 100.0 * f.day + f.hour;
    };
    const auto outcome = BuildCumulativeReport(source, At(2027, 1, 1, 0), At(2027, 2, 1, 0));
    ASSERT_TRUE(outcome.report) << outcome.error;
    const auto& rows = outcome.report->list.rows;
    ASSERT_EQ(rows.size(), 35u);
    // Day 5 reads 5th 09:00 .. 23:00 (15 x 500 + 240) and 6th 00:00 .. 08:00 (9 x 600 + 36).
    EXPECT_EQ(rows[5][1], "13176.00");
    // 31 January ends with 1 February 00:00 .. 08:00 (9 x 100 + 36) in the January column.
    EXPECT_EQ(rows[31][1], "47676.00");
    // February 1st: 15 x 100 + 240 + 9 x 200 + 36.
    EXPECT_EQ(rows[1][2], "3576.00");
    // January: days 1..30 each 2400 D + 1176, then day 31.
    EXPECT_EQ(rows[33][1], "1198956.00");
}

TEST(CumulativeReport, DaylightSavingDaysCountEveryHourOnce) {
    ZoneGuard zone("CET-1CEST,M3.5.0,M10.5.0/3");
    struct Case {
        int month, day;  // the day the clocks change
        int dayHours;
    };
    for (const Case c : {Case{3, 29, 23}, Case{10, 25, 25}}) {
        std::map<Time, int> reads;
        ReportSource source = HourOfDaySource({2, {8, 20, 0}});
        source.hourValue = [&reads](Time t) {
            ++reads[t];
            return 1.0;
        };
        const Time start = At(2026, c.month, c.day - 2, 20);
        const Time end = At(2026, c.month, c.day + 1, 20);
        const auto outcome = BuildCumulativeReport(source, start, end);
        ASSERT_TRUE(outcome.report) << outcome.error;
        const auto& rows = outcome.report->list.rows;
        // Days start at 20:00 on the wall clock every day, so the change lands in one row.
        EXPECT_EQ(rows[1][3], "24.00");
        EXPECT_EQ(rows[2][0], "2026-" + std::string(c.month < 10 ? "0" : "") +
                                  std::to_string(c.month) + "-" + std::to_string(c.day - 1));
        EXPECT_EQ(rows[2][3], std::to_string(c.dayHours) + ".00");
        EXPECT_EQ(rows[3][3], "24.00");
        EXPECT_EQ(rows[4][3], "24.00");
        // Every hour from the first day start to the last day end was read exactly once.
        const Time lastDayEnd = At(2026, c.month, c.day + 2, 20);
        EXPECT_EQ(static_cast<Time>(reads.size()), (lastDayEnd - start) / 3600);
        for (const auto& [t, count] : reads) EXPECT_EQ(count, 1) << FormatTime(t);
    }
}

TEST(CumulativeReport, RefusesBadPeriodsInOrderAndBadShiftSettings) {
    const ReportSource source = HourOfDaySource({2, {8, 20, 0}});
    ReportSource empty = source;
    empty.firstHour = empty.lastHour = source.firstHour;
    struct Case {
        const ReportSource* source;
        Time start, end;
        const char* message;
    };
    const Time first = source.firstHour, last = source.lastHour;
    const Case cases[] = {
        {&source, first + 7200, first + 3600, kStartAfterEnd},
        {&source, first - 3600, last + 3600, kStartOutOfRange},  // start checked before end
        {&source, first, last + 1, kEndOutOfRange},
        {&empty, first, first, kNoReportData},
    };
    for (const auto& c : cases) {
        const auto outcome = BuildCumulativeReport(*c.source, c.start, c.end);
        EXPECT_FALSE(outcome.report);
        EXPECT_EQ(outcome.error, c.message);
    }

    // Boundaries in decreasing order would make a 48-hour day; equal ones a 0-hour day.
    for (ShiftSettings bad : {ShiftSettings{3, {16, 8, 0}}, ShiftSettings{3, {8, 8, 8}},
                              ShiftSettings{0, {8, 20, 0}}, ShiftSettings{2, {8, 30, 0}}}) {
        const auto outcome = BuildCumulativeReport(HourOfDaySource(bad), first, first + 86400);
        EXPECT_FALSE(outcome.report);
        EXPECT_FALSE(outcome.error.empty());
    }
}

}  // namespace
}  // namespace kvr
