// kvrtool's record commands as a user runs them: the configuration report, the event-log
// lists and file-information changes, each agreeing with what the windows show.
#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "core/analysis/config_report.h"
#include "core/analysis/event_lists.h"
#include "core/datafile/config_record.h"
#include "core/datafile/cxfile.h"
#include "core/datafile/gbk.h"
#include "support/kvrtool_test_support.h"

namespace {

using KvrtoolRecords = kvrtest::KvrtoolTest;

TEST_F(KvrtoolRecords, ConfigReportPrintsTheTabsTheVersionHas) {
    for (int version : {1002, 1004}) {
        const std::string path = MakeSample("v" + std::to_string(version) + ".FDZ",
                                            "--version " + std::to_string(version));
        kvr::CXFile file;
        ASSERT_EQ(file.Open(path), 1);
        const kvr::ConfigRecord record(file);
        std::string all;
        for (int tab = 0; tab < kvr::ConfigReportTabCount(version); ++tab) {
            const kvrtest::CommandResult one =
                Run("config-report " + path + " --tab " + std::to_string(tab));
            ASSERT_EQ(one.exitCode, 0) << one.err;
            EXPECT_EQ(one.out, kvr::ConfigReportText(record, tab).value()) << tab;
            EXPECT_NE(one.out.find("\r\n"), std::string::npos) << tab;
            all += "== " + kvr::ConfigReportTabTitle(tab) + " ==\n" + one.out;
        }
        const kvrtest::CommandResult every = Run("config-report " + path);
        ASSERT_EQ(every.exitCode, 0) << every.err;
        EXPECT_EQ(every.out, all);
        EXPECT_EQ(every.out.find("== 气体组分 ==\n") != std::string::npos, version > 1002);

        const kvrtest::CommandResult missing =
            Run("config-report " + path + " --tab " +
                std::to_string(kvr::ConfigReportTabCount(version)));
        EXPECT_EQ(missing.exitCode, 1);
        EXPECT_EQ(missing.out, "");
    }
}

TEST_F(KvrtoolRecords, LogsAreTheWindowsRowsAsCsv) {
    const std::string path = MakeSample("logs.FDZ");
    kvr::CXFile file;
    ASSERT_EQ(file.Open(path), 1);
    const kvr::ConfigRecord record(file);
    const struct {
        const char* kind;
        kvr::EventList list;
        const char* titles;
    } kinds[] = {
        {"alarm", kvr::EventList::kAlarm, "序号,通道,类型,报警时间,消报时间"},
        {"power", kvr::EventList::kPowerFailure, "序号,停电时间,上电时间"},
        {"operation", kvr::EventList::kOperation, "序号,类型,时间"},
    };
    for (const auto& k : kinds) {
        const kvrtest::CommandResult result = Run("logs " + path + " --kind " + k.kind);
        ASSERT_EQ(result.exitCode, 0) << result.err;
        const kvr::EventTable table = kvr::BuildEventTable(record, k.list);
        ASSERT_FALSE(table.rows.empty()) << k.kind;
        std::string expected = std::string(k.titles) + "\n";
        for (const auto& row : table.rows) {
            for (std::size_t i = 0; i < row.size(); ++i) expected += (i ? "," : "") + row[i];
            expected += "\n";
        }
        if (k.list == kvr::EventList::kPowerFailure) {
            ASSERT_EQ(table.summary.rfind("总次数:", 0), 0u);
            expected += table.summary + "\n";
        }
        EXPECT_EQ(result.out, expected) << k.kind;
    }
    EXPECT_NE(Run("logs " + path + " --kind tags").exitCode, 0);
}

TEST_F(KvrtoolRecords, FileInfoChangesWhatTheDialogChanges) {
    const std::string path = MakeSample("info.FDZ");
    const std::string alias = "锅炉房锅炉房锅炉房锅炉房锅炉";  // 14 characters, 28 bytes in GBK
    // The unit is the one the channel shows: accepted, as the dialog shows it unchanged.
    const kvrtest::CommandResult result =
        Run("file-info " + path + " --alias '" + alias +
            "' --channel 2 --name 主蒸汽压力ABCDE --unit MPa --colour 123456 "
            "--width 4 --show 0 --y-range 10 90 --grid 0 250");
    ASSERT_EQ(result.exitCode, 0) << result.err;
    kvr::CXFile file;
    ASSERT_EQ(file.Open(path), 1);
    EXPECT_EQ(file.GetDeviceName(), alias);
    EXPECT_EQ(file.GetChannelName(1), "主蒸汽压力ABCDE");  // 15 bytes
    EXPECT_EQ(file.GetChannelUnit(1), "MPa");
    const kvr::FileHeader& h = file.Header();
    EXPECT_EQ(h.channels[1].color, 0x00563412u);
    EXPECT_EQ(h.channels[1].lineWidth, 4);
    EXPECT_EQ(h.channels[1].showState, 0);
    EXPECT_EQ(h.yLow, 10.0f);
    EXPECT_EQ(h.yHigh, 90.0f);
    EXPECT_EQ(h.gridCount1, 1);
    EXPECT_EQ(h.gridCount2, 100);
}

TEST_F(KvrtoolRecords, FileInfoRefusalsLeaveTheFileAlone) {
    const std::string keep = MakeSample("keep.FDZ");
    const std::string percent = MakeSample("percent.FDZ");
    {
        kvr::CXFile file;
        ASSERT_EQ(file.Open(percent), 1);
        file.Header().yMode = 0;
        ASSERT_EQ(file.FlushHeader(), 1);
    }
    const struct {
        std::string path, options, message;
    } cases[] = {
        {keep, "--alias x --y-range 10 10", "Y轴显示范围设置错误！"},
        {keep, "--alias x --y-range 50 20", "Y轴显示范围设置错误！"},
        {keep, "--alias x --channel 9 --name y", "--channel must be 1 to 6."},
        {keep, "--alias x --name y", "need --channel"},
        {keep, "--alias x --channel 1 --colour 12345G", "RRGGBB"},
        {keep, "--alias x --channel 1 --width 3", "1, 2, 4 or 8"},
        {percent, "--y-range -5 50", "百分比模式显示范围：0 - 100"},
        // Texts the file would lose when it is next opened.
        {keep, "--channel 2 --unit kPa", "单位由仪表组态决定，不能修改！"},
        {keep, "--channel 4 --name 蒸汽", "只有通道 1 到 3 的位号可以修改！"},
        {keep, "--channel 1 --name 主蒸汽压力ABCDEF", "位号最多 15 字节！"},
        {keep, "--alias 锅炉房锅炉房锅炉房锅炉房锅炉A", "设备别名最多 28 字节！"},
    };
    for (const auto& c : cases) {
        const std::string before = kvrtest::ReadWholeFile(c.path);
        const kvrtest::CommandResult result = Run("file-info " + c.path + " " + c.options);
        EXPECT_EQ(result.exitCode, 1) << c.options;
        EXPECT_NE(result.err.find(c.message), std::string::npos) << c.options << ": " << result.err;
        EXPECT_EQ(kvrtest::ReadWholeFile(c.path), before) << c.options;
    }
}

}  // namespace
