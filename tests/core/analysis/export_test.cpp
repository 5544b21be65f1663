// Exports of records to workbooks and CSV files, read back cell by cell.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cmath>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "core/analysis/csv_export_sink.h"
#include "core/analysis/export_run.h"
#include "core/analysis/export_table.h"
#include "core/datafile/cxfile.h"
#include "core/datafile/sample_file.h"
#include "support/test_support.h"
#include "support/xlsx_reader.h"

namespace {

using kvr::ExportOutcome;
using kvr::Language;
using kvr::Time;

const Time kStart = kvr::MakeTime({2026, 3, 1, 8, 0, 0});

class Export : public ::testing::Test {
protected:
    // A file of `records` records every `interval` seconds with ramp values; when `whole` is
    // set, it is cut short inside record `whole`, which with the records after it is missing.
    void MakeFile(int records, int interval, int whole = 0) {
        kvr::SampleOptions options;
        options.records = records;
        options.interval = interval;
        options.start = kStart;
        options.tags = 0;
        options.sample = [](int channel, int record) {
            if (channel == 5 && record == 1) return INFINITY;
            return kvr::RampSample(channel, record) + 0.5f;
        };
        const std::string path = dir.file("data.FDZ");
        ASSERT_TRUE(kvr::WriteSampleFile(path, options));
        if (whole > 0) std::filesystem::resize_file(path, 0x150 + 4048 + whole * 6 * 4 + 4);
        ASSERT_EQ(file.Open(path), 1);
        // The first three channels take their decimals from the range; the others have 2.
        for (int c = 0; c < 3; ++c) file.Header().channels[c].rangeLow.decimals = c == 2 ? 1 : 2;
    }
    void Name(int channel, const char* name, const char* unit, std::uint8_t state = 1) {
        kvr::ChannelDescriptor& d = file.Header().channels[channel];
        std::strncpy(d.name, name, sizeof d.name - 1);
        std::strncpy(d.unit, unit, sizeof d.unit - 1);
        d.showState = state;
    }
    kvr::ExportResult Run(const std::string& out, Time start, Time end, int every = 1,
                          Language language = Language::kChinese) {
        const kvr::ExportPlanResult plan = kvr::MakeExportPlan(file, start, end, every, language);
        EXPECT_TRUE(plan.plan) << plan.message;
        if (!plan.plan) return {ExportOutcome::kCannotCreate, plan.message};
        return kvr::RunExport(file, *plan.plan, language, out, stop);
    }
    bool OnlyFileInDir(const std::string& name) {
        int count = 0;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
            if (entry.path().filename() != "data.FDZ" && entry.path().filename() != name)
                return false;
            ++count;
        }
        return true;
    }

    kvrtest::TempDir dir;
    kvr::CXFile file;
    std::atomic<bool> stop{false};
};

TEST(ExportColumnName, BracketsNameAndUnitWithSpreadsheetSafeCharacters) {
    const struct {
        const char* name;
        const char* unit;
        const char* expected;
    } cases[] = {
        {"F.101", "m^3/h", "[F,101(m 3/h)]"}, {"T1", "", "[T1]"},
        {"Q", "Nm3/h", "[Q(Nm3/h)]"},  // nothing stands between m and 3
        {"Q", "km^3.s", "[Q(km 3,s)]"},       {"P", "mm", "[P(mm)]"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(kvr::ExportColumnName(c.name, c.unit), c.expected) << c.name << c.unit;
}

TEST_F(Export, ColumnsKeepHiddenChannelsAndDropUnusedOnes) {
    MakeFile(10, 10);
    Name(0, "F.101", "m^3/h");
    Name(1, "T", "", 0);     // hidden: still exported
    Name(2, "P", "MPa", 2);  // not in use
    Name(3, "Q", "kg.m3");
    std::vector<std::string> names;
    for (const auto& column : kvr::ExportColumns(file, Language::kEnglish))
        names.push_back(column.name);
    ASSERT_EQ(names.size(), 7u);
    EXPECT_EQ(std::vector<std::string>(names.begin(), names.begin() + 5),
              (std::vector<std::string>{"[No]", "[Time]", "[F,101(m 3/h)]", "[T]", "[Q(kg,m3)]"}));
    EXPECT_EQ(kvr::ExportColumns(file, Language::kChinese)[1].name, "[时间]");
}

TEST_F(Export, PeriodAndIntervalAreCheckedInOrderInEachLanguage) {
    MakeFile(100, 10);
    const Time end = kStart + 990;
    const struct {
        Time start, end;
        int every;
        const char* chinese;
        const char* english;
    } cases[] = {
        {kStart + 20, kStart + 10, 0, "请确认 开始时间 < 结束时间！",
         "Be sure start time less than end time !"},
        {kStart - 1, end + 1, 1, "开始时间超出范围！", "Out of Start Time"},
        {kStart, end + 1, 0, "结束时间超出范围！", "Out of End Time!"},
        {kStart, end, 0, "间隔必须是不小于 1 的整数！",
         "The interval must be a whole number not less than 1!"},
        {kStart, end, -3, "间隔必须是不小于 1 的整数！",
         "The interval must be a whole number not less than 1!"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(kvr::MakeExportPlan(file, c.start, c.end, c.every, Language::kChinese).message,
                  c.chinese);
        EXPECT_EQ(kvr::MakeExportPlan(file, c.start, c.end, c.every, Language::kEnglish).message,
                  c.english);
    }
    const auto whole = kvr::MakeExportPlan(file, kStart, end, 1, Language::kChinese).plan;
    ASSERT_TRUE(whole);
    EXPECT_EQ(whole->rowCount, 100);
    EXPECT_EQ(kvr::MakeExportPlan(file, kStart, end, 7, Language::kChinese).plan->rowCount, 15);
}

TEST_F(Export, StartsFromASelectionInsideTheFileOrTheWholeFile) {
    MakeFile(100, 10);
    const Time end = kStart + 990;
    const struct {
        Time a, b, start, end;
    } cases[] = {
        {kStart + 100, kStart + 200, kStart + 100, kStart + 200},
        {kStart + 200, kStart + 100, kStart + 100, kStart + 200},  // dragged backwards
        {kStart + 100, kStart + 100, kStart, end},                 // one moment is no selection
        {0, 0, kStart, end},
        {kStart - 10, kStart + 100, kStart, end},
        {kStart + 100, end + 10, kStart, end},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(kvr::ExportRangeFor(file, c.a, c.b), std::make_pair(c.start, c.end))
            << c.a - kStart << " " << c.b - kStart;
    }
}

TEST_F(Export, WorkbookHoldsNumberedRowsWithFormattedValues) {
    MakeFile(20, 10, 9);  // record 9 is cut short
    Name(0, "F.101", "m^3/h");
    const std::string out = dir.file("out.xlsx");
    const kvr::ExportResult result = Run(out, kStart, kStart + 90, 3);
    ASSERT_EQ(result.outcome, ExportOutcome::kFinished);
    EXPECT_EQ(result.message, "输出完成！");

    const auto book = kvrtest::ReadXlsx(out);
    ASSERT_TRUE(book);
    const auto& sheets = book->sheets;
    ASSERT_EQ(sheets.size(), 1u);
    EXPECT_EQ(sheets[0].name, "sheet1");
    const auto& rows = sheets[0].rows;
    ASSERT_EQ(rows.size(), 5u);  // header + moments 0, 30, 60, 90 s
    EXPECT_EQ(rows[0][0].text, "编号");
    EXPECT_EQ(rows[0][2].text, "F,101(m 3/h)");
    for (int r = 1; r <= 4; ++r) {
        const auto& row = rows[static_cast<std::size_t>(r)];
        ASSERT_EQ(row.size(), 8u);
        EXPECT_TRUE(row[0].isNumber);
        EXPECT_EQ(row[0].text, std::to_string(r));
        EXPECT_FALSE(row[1].isNumber);
        EXPECT_EQ(row[1].text, kvr::FormatTime(kStart + (r - 1) * 30));
        const int record = (r - 1) * 3;
        for (int c = 0; c < 6; ++c) {
            const auto& cell = row[static_cast<std::size_t>(c + 2)];
            if (record >= 9) {
                EXPECT_FALSE(cell.isNumber);
                EXPECT_EQ(cell.text, "ReadError");
                continue;
            }
            ASSERT_TRUE(cell.isNumber) << r << "," << c;
            EXPECT_DOUBLE_EQ(std::strtod(cell.text.c_str(), nullptr), c * 1000 + record + 0.5)
                << r << "," << c;
            EXPECT_EQ(cell.numberFormat, c == 2 ? "0.0" : "0.00");
        }
    }
}

TEST_F(Export, InfiniteValueIsWrittenAsZeroAndOneMomentGivesOneRow) {
    MakeFile(5, 10);
    const std::string out = dir.file("one.xlsx");
    ASSERT_EQ(Run(out, kStart + 10, kStart + 10).outcome, ExportOutcome::kFinished);
    const auto book = kvrtest::ReadXlsx(out);
    ASSERT_TRUE(book);
    ASSERT_EQ(book->sheets.size(), 1u);
    const kvrtest::XlsxSheet& sheet = book->sheets[0];
    ASSERT_EQ(sheet.rows.size(), 2u);
    EXPECT_EQ(sheet.Text(1, 0), "1");
    EXPECT_EQ(sheet.Text(1, 7), "0");
    EXPECT_TRUE(sheet.Cell(1, 7)->isNumber);
    EXPECT_EQ(sheet.Cell(1, 7)->numberFormat, "0.00");
}

TEST_F(Export, SheetsHoldAtMost65535Rows) {
    MakeFile(65536, 1);
    const std::string out = dir.file("big.xlsx");
    ASSERT_EQ(Run(out, kStart, kStart + 65535).outcome, ExportOutcome::kFinished);
    const auto book = kvrtest::ReadXlsx(out);
    ASSERT_TRUE(book);
    const auto& sheets = book->sheets;
    ASSERT_EQ(sheets.size(), 2u);
    EXPECT_EQ(sheets[0].name, "sheet1");
    EXPECT_EQ(sheets[1].name, "sheet2");
    ASSERT_EQ(sheets[0].rows.size(), 65536u);
    EXPECT_EQ(sheets[0].rows.back()[0].text, "65535");
    ASSERT_EQ(sheets[1].rows.size(), 2u);
    EXPECT_EQ(sheets[1].rows[0][1].text, "时间");
    EXPECT_EQ(sheets[1].rows[1][0].text, "65536");
    EXPECT_EQ(sheets[1].rows[1][1].text, kvr::FormatTime(kStart + 65535));
}

TEST_F(Export, CsvHasOneHeaderLineAndTheSameRows) {
    MakeFile(70000, 1, 65541);
    Name(0, "F.101", "m^3/h");
    const std::string out = dir.file("out.CSV");
    ASSERT_EQ(Run(out, kStart + 65534, kStart + 65541, 1, Language::kEnglish).outcome,
              ExportOutcome::kFinished);
    std::ifstream in(out);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_EQ(lines[0],
              "No,Time,\"F,101(m 3/h)\",PT101压力(MPa),TT101温度(℃),流量(t/h),流量(t/h),热量(GJ)");
    EXPECT_EQ(lines[1], "1," + kvr::FormatTime(kStart + 65534) +
                            ",65534.50,66534.50,67534.5,68534.50,69534.50,70534.50");
    EXPECT_EQ(lines[8], "8," + kvr::FormatTime(kStart + 65541) +
                            ",ReadError,ReadError,ReadError,ReadError,ReadError,ReadError");
    EXPECT_EQ(kvr::CsvCell("a b"), "a b");
    EXPECT_EQ(kvr::CsvCell("a,\"b"), "\"a,\"\"b\"");
}

TEST_F(Export, CancelLeavesNoFileAndKeepsAnOlderOne) {
    MakeFile(1000, 10);
    const auto plan = kvr::MakeExportPlan(file, kStart, kStart + 9990, 1, Language::kChinese).plan;
    ASSERT_TRUE(plan);
    for (const char* name : {"new.xlsx", "new.csv"}) {
        stop = false;
        kvr::ExportProgress last;
        const auto result =
            kvr::RunExport(file, *plan, Language::kChinese, dir.file(name), stop,
                           [&](const kvr::ExportProgress& p) { last = p, stop = true; });
        EXPECT_EQ(result.outcome, ExportOutcome::kCancelled);
        EXPECT_EQ(result.message, "");
        EXPECT_EQ(last.rowCount, 1000);
        EXPECT_TRUE(OnlyFileInDir("")) << name;
    }
    const std::string older = dir.file("older.csv");
    std::ofstream(older) << "kept";
    stop = true;
    EXPECT_EQ(Run(older, kStart, kStart + 100).outcome, ExportOutcome::kCancelled);
    EXPECT_EQ(kvrtest::ReadWholeFile(older), "kept");
    EXPECT_TRUE(OnlyFileInDir("older.csv"));
}

TEST_F(Export, FullDiskDeletesThePartialFileAndSaysSo) {
    MakeFile(40000, 1);
    // A file-size limit makes writes fail the way a full disk does.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    for (const char* name : {"full.xlsx", "full.csv"}) {
        rlimit small = saved;
        small.rlim_cur = 64 * 1024;
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
        const kvr::ExportResult result =
            Run(dir.file(name), kStart, kStart + 39999, 1, Language::kEnglish);
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &saved), 0);
        EXPECT_EQ(result.outcome, ExportOutcome::kWriteFailed) << name;
        EXPECT_EQ(
            result.message,
            "Writing the file failed (the disk may be full); the incomplete file was deleted!");
        EXPECT_TRUE(OnlyFileInDir("")) << name;
    }
    std::signal(SIGXFSZ, SIG_DFL);
}

TEST_F(Export, UnwritableFolderCannotCreateTheFile) {
    MakeFile(10, 10);
    const kvr::ExportResult result = Run(dir.file("missing/out.xlsx"), kStart, kStart + 90);
    EXPECT_EQ(result.outcome, ExportOutcome::kCannotCreate);
    EXPECT_EQ(result.message, "建立文件失败，可能缺少Excel驱动！");

    // A folder as the target is named as such, not taken for a full disk.
    const std::string folder = dir.file("folder.xlsx");
    ASSERT_TRUE(std::filesystem::create_directory(folder));
    for (const auto language : {Language::kChinese, Language::kEnglish}) {
        const kvr::ExportResult onFolder = Run(folder, kStart, kStart + 90, 1, language);
        EXPECT_EQ(onFolder.outcome, ExportOutcome::kCannotCreate);
        EXPECT_EQ(onFolder.message, language == Language::kChinese
                                        ? "所选的目标是文件夹，请输入文件名！"
                                        : "The chosen target is a folder; enter a file name!");
    }
    EXPECT_TRUE(std::filesystem::is_empty(folder));
}

}  // namespace
