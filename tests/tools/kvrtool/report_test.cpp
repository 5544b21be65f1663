// kvrtool's report, stats and span commands as a user runs them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "core/datafile/config_record.h"
#include "core/datafile/layout.h"
#include "support/kvrtool_test_support.h"
#include "support/xlsx_reader.h"

namespace {

using kvrtest::Cells;
using kvrtest::Lines;

class KvrtoolReport : public kvrtest::KvrtoolTest {
protected:
    void SetConfigByte(const std::string& path, std::size_t offset, std::uint8_t value) {
        std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(static_cast<std::streamoff>(kvr::kConfigOffset + offset));
        file.put(static_cast<char>(value));
    }
    // The hourly table as "kvrtool hourly" prints it: stamp and value in units.
    std::vector<std::pair<std::string, double>> Hours(const std::string& path) {
        std::vector<std::pair<std::string, double>> hours;
        const auto lines = Lines(Run("hourly " + path).out);
        for (size_t k = 1; k < lines.size(); ++k) {  // below the title line
            const auto cells = Cells(lines[k]);
            hours.emplace_back(cells[0], std::stod(cells[1]) * 0.01);
        }
        return hours;
    }
};

TEST_F(KvrtoolReport, ShiftReportSumsTheHourlyTable) {
    const std::string path = MakeSample("s.FDZ");
    const auto result = Run("report " + path);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const auto lines = Lines(result.out);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], "日期,0点-8点,8点-16点,16点-0点,日累积");
    EXPECT_EQ(lines[1], "通道1,,,,");
    EXPECT_EQ(Cells(lines[2])[0], "2026-01-05");
    EXPECT_EQ(Cells(lines[3])[0], "统计");
    EXPECT_EQ(lines[5], ",,,,");

    // The day reads the hours from 01:00 on; the next day's 00:00 lies outside the table.
    const auto hourly = Lines(Run("hourly " + path).out);
    double expected = 0;
    for (size_t k = 2; k < hourly.size(); ++k) expected += std::stod(Cells(hourly[k])[1]) * 0.01;
    const auto total = Cells(lines[4]);
    EXPECT_EQ(total[0], "合计");
    EXPECT_NEAR(std::stod(total[1]), expected, 0.005);
    EXPECT_EQ(Cells(lines[2])[4], total[1]);
}

TEST_F(KvrtoolReport, WorkbookHoldsTheListCellByCell) {
    const std::string path = MakeSample("s.FDZ");
    const std::string out = dir.file("report.xlsx");
    const auto printed = Lines(Run("report " + path).out);
    const auto result = Run("report " + path + " --xlsx " + out);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(result.out.empty());
    const auto book = kvrtest::ReadXlsx(out);
    ASSERT_TRUE(book);
    ASSERT_EQ(book->sheets.size(), 1u);
    const auto& sheet = book->sheets[0];
    EXPECT_EQ(sheet.name, "sheet1");
    // Header and every row but the list's trailing empty one.
    ASSERT_EQ(sheet.rows.size(), printed.size() - 1);
    for (size_t r = 0; r + 1 < printed.size(); ++r) {
        const auto cells = Cells(printed[r]);
        for (size_t c = 0; c < cells.size(); ++c) {
            EXPECT_EQ(sheet.Shown(r, c), cells[c]) << "row " << r << " column " << c;
            // Sums and dates are numbers; names and the row titles are text.
            if (const auto* cell = sheet.Cell(r, c); cell && !cells[c].empty()) {
                const bool figure = r > 0 && (c > 0 || std::isdigit(cells[c][0]));
                EXPECT_EQ(cell->isNumber, figure) << "row " << r << " column " << c;
            }
        }
    }

    // An existing workbook goes only with --force; the data file itself never.
    EXPECT_EQ(Run("report " + path + " --xlsx " + out).exitCode, 1);
    EXPECT_EQ(Run("report " + path + " --xlsx " + out + " --force").exitCode, 0);
    const std::string data = kvrtest::ReadWholeFile(path);
    const auto onto = Run("report " + path + " --xlsx " + path + " --force");
    EXPECT_EQ(onto.exitCode, 1);
    EXPECT_NE(onto.err.find("is the input"), std::string::npos) << onto.err;
    EXPECT_EQ(kvrtest::ReadWholeFile(path), data);
}

TEST_F(KvrtoolReport, MonthReportForOneShift) {
    const std::string path = MakeSample("s.FDZ", "--records 2880 --start \"2026-01-31 00:00:00\"");
    SetConfigByte(path, kvr::cfg::kShiftCount, 1);
    SetConfigByte(path, kvr::cfg::kShiftBoundaries, 8);  // days run from 08:00 to 08:00
    const auto result = Run("report " + path);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const auto lines = Lines(result.out);
    ASSERT_EQ(lines.size(), 36u);
    EXPECT_EQ(lines[0], ",2026-01,2026-02");
    EXPECT_EQ(Cells(lines[30])[0], "29");
    EXPECT_EQ(Cells(lines[30])[2], "");  // no 29 February in 2026
    EXPECT_EQ(Cells(lines[34])[0], "合计");

    // A day's sum holds the hours stamped after its 08:00 up to the next day's 08:00.
    const auto hours = Hours(path);
    ASSERT_GT(hours.size(), 40u);
    const auto sum = [&](const std::string& after, const std::string& upTo) {
        double total = 0;
        for (const auto& [stamp, value] : hours)
            if (stamp > after && stamp <= upTo) total += value;
        return total;
    };
    const std::string jan30 = "2026-01-30 08:00:00", jan31 = "2026-01-31 08:00:00";
    const std::string feb1 = "2026-02-01 08:00:00", feb2 = "2026-02-02 08:00:00";
    EXPECT_NEAR(std::stod(Cells(lines[30 + 1])[1]), sum(jan30, jan31), 0.005);
    EXPECT_NEAR(std::stod(Cells(lines[31 + 1])[1]), sum(jan31, feb1), 0.005);
    EXPECT_NEAR(std::stod(Cells(lines[1 + 1])[2]), sum(feb1, feb2), 0.005);
    const auto total = Cells(lines[34]);
    EXPECT_NEAR(std::stod(total[1]), sum("", feb1), 0.005);
    EXPECT_NEAR(std::stod(total[2]), sum(feb1, "9"), 0.005);
    EXPECT_GT(sum(jan31, feb1), 0.0);
}

TEST_F(KvrtoolReport, PeriodErrorsWriteNothing) {
    const std::string path = MakeSample("s.FDZ");
    const std::string out = dir.file("report.xlsx");
    struct Case {
        std::string options;
        std::string message;
    };
    const Case cases[] = {
        {"--from \"2026-01-05 10:00:00\" --to \"2026-01-05 09:00:00\"",
         "请确认 [开始时间] < [结束时间] ！"},
        {"--from \"2026-01-04 23:00:00\"", "[开始时间] 超出范围！"},
        {"--to \"2026-01-06 00:00:00\"", "[结束时间] 超出范围！"},
        // Years no time input takes: out of range, not a wrong format.
        {"--from \"1900-01-05 10:00:00\"",
         "--from \"1900-01-05 10:00:00\": 年份必须在 1970 到 2099 之间！"},
        {"--to \"2100-01-05 10:00:00\"", "年份必须在 1970 到 2099 之间！"},
    };
    for (const auto& c : cases) {
        const auto result = Run("report " + path + " " + c.options + " --xlsx " + out);
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
        EXPECT_FALSE(std::filesystem::exists(out));
    }
    const std::string single = MakeSample("s.FDZ", "--records 30");  // one hour: no report data
    const auto result = Run("report " + single);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("没有累积报表数据!"), std::string::npos) << result.err;
}

TEST_F(KvrtoolReport, StatsOfTheLastHour) {
    const std::string path = MakeSample("s.FDZ");
    auto result = Run("stats " + path);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const auto lines = Lines(result.out);
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[0], "序号,通道,峰值,谷值,均值,均匀性");
    // The last hour of a day from 00:00, 60 s apart: the 61 records from 22:59 to 23:59, as
    // "values" prints them.
    const auto records = Lines(
        Run("values " + path + " --from \"2026-01-05 22:59:00\" --to \"2026-01-05 23:59:00\"").out);
    ASSERT_EQ(records.size(), 62u);
    for (size_t c = 1; c < lines.size(); ++c) {
        const auto cells = Cells(lines[c]);
        ASSERT_EQ(cells.size(), 6u);
        EXPECT_EQ(cells[0], std::to_string(c));
        double peak = -1e30, valley = 1e30, sum = 0;
        for (size_t r = 1; r < records.size(); ++r) {
            const double value = std::stod(Cells(records[r])[c]);
            peak = std::max(peak, value);
            valley = std::min(valley, value);
            sum += value;
        }
        // The printed values are rounded to the channel's decimals, as the figures are.
        const std::string text = Cells(records[1])[c];
        const auto point = text.find('.');
        const double unit =
            point == std::string::npos ? 1 : std::pow(10.0, -double(text.size() - point - 1));
        EXPECT_EQ(std::stod(cells[2]), peak) << lines[c];
        EXPECT_EQ(std::stod(cells[3]), valley) << lines[c];
        EXPECT_NEAR(std::stod(cells[4]), sum / 61, unit) << lines[c];
        EXPECT_NEAR(std::stod(cells[5]), 100 * (peak - valley) / ((peak + valley) / 2),
                    0.01 + 100 * unit / valley)
            << lines[c];
        EXPECT_EQ(cells[5].back(), '%');
    }
    // A moment: peak, valley and mean are the one value there.
    result = Run("stats " + path + " --from \"2026-01-05 12:00:00\" --to \"2026-01-05 12:00:00\"");
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const auto moment = Cells(Lines(result.out)[1]);
    EXPECT_EQ(moment[2], moment[3]);
    EXPECT_EQ(moment[2], moment[4]);

    result = Run("stats " + path + " --from \"2026-01-04 00:00:00\"");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("[开始时间] 超出范围！"), std::string::npos);
    EXPECT_TRUE(result.out.empty());
}

TEST_F(KvrtoolReport, SpanAgreesWithValuesAndHourlyTotals) {
    const std::string path = MakeSample("s.FDZ");
    const std::string from = "2026-01-05 08:00:30", to = "2026-01-05 10:30:00";
    const auto result = Run("span " + path + " --from \"" + from + "\" --to \"" + to + "\"");
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const auto lines = Lines(result.out);
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[0], "通道,单位,起点值,终点值,差值,峰值,谷值,均值,区间累积,小时累积");
    // The ends are the records at 08:00 and 10:30, as "values" prints them.
    const auto ends = Lines(
        Run("values " + path + " --from \"2026-01-05 08:00:00\" --to \"" + to + "\" --step 150")
            .out);
    ASSERT_EQ(ends.size(), 3u);
    // Only the hour from 09:00 lies wholly inside; the one from 08:00 begins before.
    double hours = 0;
    for (const auto& line : Lines(Run("hourly " + path).out))
        if (line.rfind("2026-01-05 09:00:00", 0) == 0) hours += std::stod(Cells(line)[1]) * 0.01;
    ASSERT_GT(hours, 0);
    for (size_t i = 1; i < lines.size(); ++i) {
        const auto cells = Cells(lines[i]);
        ASSERT_EQ(cells.size(), 10u) << lines[i];
        const double start = std::stod(cells[2]), end = std::stod(cells[3]);
        EXPECT_EQ(start, std::stod(Cells(ends[1])[i]));
        EXPECT_EQ(end, std::stod(Cells(ends[2])[i]));
        EXPECT_NEAR(std::stod(cells[4]), end - start, 0.011);
        EXPECT_LE(std::stod(cells[6]), std::stod(cells[7]));
        EXPECT_LE(std::stod(cells[7]), std::stod(cells[5]));
        const bool rate = i >= 4;  // the two flow channels and heat
        EXPECT_EQ(cells[8].empty(), !rate) << lines[i];
        if (rate) {  // the mean rate over two and a half hours, near enough
            EXPECT_NEAR(std::stod(cells[8]) / 2.5, std::stod(cells[7]), std::stod(cells[7]) * 0.01);
        }
        if (i == 4) {
            EXPECT_NEAR(std::stod(cells[9]), hours, 0.005);
        } else {
            EXPECT_EQ(cells[9], "") << lines[i];
        }
    }

    const auto reversed = Run("span " + path + " --from \"" + to + "\" --to \"" + from + "\"");
    EXPECT_EQ(reversed.exitCode, 1);
    EXPECT_NE(reversed.err.find("请确认 [开始时间] < [结束时间] ！"), std::string::npos);
    EXPECT_TRUE(reversed.out.empty());
    const auto outside = Run("span " + path + " --to \"2026-01-06 00:00:00\"");
    EXPECT_EQ(outside.exitCode, 1);
    EXPECT_NE(outside.err.find("[结束时间] 超出范围！"), std::string::npos);
    EXPECT_TRUE(outside.out.empty());
}

}  // namespace
