// kvrtool's data-file commands as a user runs them.
#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>
#include <vector>

#include "core/datafile/cxfile.h"
#include "core/datafile/time.h"
#include "support/kvrtool_test_support.h"

namespace {

using kvrtest::Cells;
using kvrtest::Lines;
using nlohmann::ordered_json;

std::vector<std::string> Keys(const ordered_json& object) {
    std::vector<std::string> keys;
    for (const auto& item : object.items()) keys.push_back(item.key());
    return keys;
}

// Errors are one sentence on one line.
void ExpectOneSentence(const kvrtest::CommandResult& result) {
    EXPECT_EQ(Lines(result.err).size(), 1u) << result.err;
    EXPECT_EQ(result.err.substr(result.err.size() - 2), ".\n") << result.err;
}

using KvrtoolData = kvrtest::KvrtoolTest;

TEST_F(KvrtoolData, InfoDescribesTheDefaultSample) {
    const std::string path = MakeSample("demo.FDZ");
    const kvrtest::CommandResult result = Run("info " + path);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const ordered_json info = ordered_json::parse(result.out);
    EXPECT_EQ(Keys(info), (std::vector<std::string>{
                              "identification", "version", "config_size", "device_name", "address",
                              "interval", "channel_count", "record_count", "capacity", "start",
                              "end", "hourly", "tags", "totals", "display", "channels"}));
    EXPECT_EQ(info["identification"], "QZK2TW1010KVR1004");
    EXPECT_EQ(info["version"], 1004);
    EXPECT_EQ(info["config_size"], 4048);
    EXPECT_EQ(info["device_name"], "1#锅炉蒸汽总管");
    EXPECT_EQ(info["interval"], 60);
    EXPECT_EQ(info["record_count"], 1440);
    EXPECT_EQ(info["capacity"], 1440);
    EXPECT_EQ(info["start"], "2026-01-05 00:00:00");
    EXPECT_EQ(info["end"], "2026-01-05 23:59:00");
    EXPECT_EQ(
        info["hourly"],
        ordered_json::parse(
            R"({"first": "2026-01-05 00:00:00", "last": "2026-01-05 23:00:00", "count": 24})"));
    EXPECT_EQ(info["tags"],
              ordered_json::parse(
                  R"(["2026-01-05 06:00:00", "2026-01-05 12:00:00", "2026-01-05 18:00:00"])"));
    EXPECT_GT(info["totals"]["flow"].get<long long>(), 0);
    EXPECT_GT(info["totals"]["heat"].get<long long>(), 0);
    EXPECT_EQ(Keys(info["display"]),
              (std::vector<std::string>{"x_mode", "y_mode", "y_low", "y_high", "grid_v", "grid_h",
                                        "grid_color", "background_color", "show_grid"}));
    ASSERT_EQ(info["channels"].size(), 6u);
    const ordered_json& pressure = info["channels"][1];
    EXPECT_EQ(Keys(pressure),
              (std::vector<std::string>{"name", "unit", "range_low", "range_high", "alarm_low_low",
                                        "alarm_high_high", "alarm_low", "alarm_high", "hysteresis",
                                        "signal_type", "show_state", "color", "line_width",
                                        "base_total", "format"}));
    EXPECT_EQ(pressure["unit"], "MPa");
    EXPECT_EQ(pressure["range_high"], 1.6);
    EXPECT_EQ(pressure["alarm_high"], 1.3);
    EXPECT_EQ(pressure["format"], "%.3f");
    EXPECT_EQ(info["channels"][3]["base_total"], info["totals"]["flow"]);
    EXPECT_EQ(info["channels"][5]["name"], "热量");
}

TEST_F(KvrtoolData, MakeSampleHonoursItsOptions) {
    const std::string path = MakeSample("old.FDZ",
                                        "--records 100 --interval 300 --start '2026-02-01 "
                                        "08:00:00' --version 1002 --tags 0 --seed 7");
    const ordered_json info = ordered_json::parse(Run("info " + path).out);
    EXPECT_EQ(info["version"], 1002);
    EXPECT_EQ(info["config_size"], 3728);
    EXPECT_EQ(info["record_count"], 100);
    EXPECT_EQ(info["interval"], 300);
    EXPECT_EQ(info["start"], "2026-02-01 08:00:00");
    EXPECT_EQ(info["end"], "2026-02-01 16:15:00");
    EXPECT_TRUE(info["tags"].empty());

    const std::string config = Run("config " + path).out;
    EXPECT_NE(config.find("shift_count: 3\n"), std::string::npos);
    EXPECT_NE(config.find("shift_boundary_2: 16\n"), std::string::npos);
    EXPECT_NE(config.find("heat_enabled: on\n"), std::string::npos);
    EXPECT_NE(config.find("甲烷CH4: 0\n"), std::string::npos)
        << "version 1002 has no gas composition";
    EXPECT_NE(config.find("flow_element: 0 (法兰取压孔板)\n"), std::string::npos);

    const std::string made = kvrtest::ReadWholeFile(path);
    EXPECT_EQ(Run("make-sample " + path).exitCode, 1) << "an existing file needs --force";
    EXPECT_EQ(kvrtest::ReadWholeFile(path), made);

    const kvrtest::CommandResult bad = Run("make-sample " + dir.file("x.FDZ") + " --version 1005");
    EXPECT_EQ(bad.exitCode, 1);
    ExpectOneSentence(bad);
    EXPECT_EQ(Run("make-sample " + dir.file("x.FDZ") + " --start tomorrow").exitCode, 1);
}

TEST_F(KvrtoolData, ValuesPrintsFormattedRowsAndDashesOutsideTheFile) {
    const std::string path = MakeSample("values.FDZ");
    kvr::CXFile file;
    ASSERT_EQ(file.Open(path), 1);

    const std::vector<std::string> all = Lines(Run("values " + path).out);
    ASSERT_EQ(all.size(), 1441u);
    EXPECT_EQ(all[0],
              "time,PDT101差压(kPa),PT101压力(MPa),TT101温度(℃),流量(t/h),流量(t/h),热量(GJ)");
    const std::regex row(
        R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d,-?\d+\.\d\d,-?\d+\.\d{3},-?\d+\.\d,(-?\d+\.\d\d,){2}-?\d+\.\d\d)");
    for (int r : {1, 700, 1440}) {
        EXPECT_TRUE(std::regex_match(all[r], row)) << all[r];
        const std::vector<std::string> cells = Cells(all[r]);
        const kvr::Time t = file.GetStartTime() + (r - 1) * 60;
        EXPECT_EQ(cells[0], kvr::FormatTime(t));
        for (int c = 0; c < 6; ++c) {
            float value = 0;
            ASSERT_EQ(file.GetValue(c, t, &value, nullptr), 1);
            char text[32];
            std::snprintf(text, sizeof text, file.GetValueFormat(c).c_str(),
                          static_cast<double>(value));
            EXPECT_EQ(cells[c + 1], text) << r << '/' << c;
        }
    }

    const std::vector<std::string> hourly = Lines(Run("values " + path + " --step 60").out);
    ASSERT_EQ(hourly.size(), 25u);
    EXPECT_EQ(Cells(hourly[24])[0], "2026-01-05 23:00:00");

    const std::vector<std::string> edge = Lines(
        Run("values " + path + " --from '2026-01-04 23:59:00' --to '2026-01-05 00:01:30' --percent")
            .out);
    ASSERT_EQ(edge.size(), 4u);
    EXPECT_EQ(edge[1], "2026-01-04 23:59:00,----,----,----,----,----,----");
    const std::regex percentRow(R"([^,]+(,\d{1,3}\.\d{4}){6})");
    EXPECT_TRUE(std::regex_match(edge[2], percentRow)) << edge[2];
    EXPECT_EQ(Cells(edge[3])[0], "2026-01-05 00:01:00");

    EXPECT_EQ(Run("values " + path + " --step 0").exitCode, 1);
    EXPECT_EQ(Run("values " + path + " --from 2026-99-01").exitCode, 1);
}

TEST_F(KvrtoolData, HourlyListsEveryHourOfTheTable) {
    const std::string path =
        MakeSample("hourly.FDZ", "--records 300 --start '2026-01-05 10:30:00'");
    const std::vector<std::string> lines = Lines(Run("hourly " + path).out);
    ASSERT_EQ(lines.size(), 7u);  // 10:00 .. 15:00
    EXPECT_EQ(lines[0], "hour,total");
    kvr::CXFile file;
    ASSERT_EQ(file.Open(path), 1);
    for (std::size_t k = 1; k < lines.size(); ++k) {
        const std::vector<std::string> cells = Cells(lines[k]);
        ASSERT_EQ(cells.size(), 2u);
        const kvr::Time hour = kvr::MakeTime({2026, 1, 5, 9 + static_cast<int>(k)});
        EXPECT_EQ(cells[0], kvr::FormatTime(hour));
        double total = 0;
        ASSERT_EQ(file.GetHourTotal(0, hour, &total), 1);
        EXPECT_EQ(cells[1], std::to_string(static_cast<long long>(total)));
        EXPECT_GT(total, 0);
    }
}

TEST_F(KvrtoolData, TagsAreListedAddedAndDeleted) {
    const std::string path = MakeSample("tags.FDZ");
    EXPECT_EQ(Run("tag-add " + path + " '2026-01-05 01:00:00'").exitCode, 0);
    std::vector<std::string> lines = Lines(Run("tags " + path).out);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], "index,time");
    EXPECT_EQ(lines[4], "3,2026-01-05 01:00:00");

    const kvrtest::CommandResult outside = Run("tag-add " + path + " '2026-01-06 01:00:00'");
    EXPECT_EQ(outside.exitCode, 1);
    ExpectOneSentence(outside);
    EXPECT_EQ(Run("tag-delete " + path + " 0").exitCode, 0);
    EXPECT_EQ(Run("tag-delete " + path + " 3").exitCode, 1);
    lines = Lines(Run("tags " + path).out);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[1], "0,2026-01-05 12:00:00");
    EXPECT_EQ(lines[3], "2,2026-01-05 01:00:00");
}

TEST_F(KvrtoolData, FindSearchesBothWaysAndExitsFourWhenNothingMatches) {
    const std::string path = MakeSample("find.FDZ");
    const std::vector<std::string> row = Cells(Lines(Run("values " + path).out)[600]);  // 09:59
    const std::string value = row[3];  // temperature
    const kvrtest::CommandResult forward =
        Run("find " + path + " --channel 3 --tolerance 0.051 --value " + value);
    ASSERT_EQ(forward.exitCode, 0) << forward.err;
    const kvrtest::CommandResult backward =
        Run("find " + path + " --channel 3 --tolerance 0.051 --backward --value " + value);
    ASSERT_EQ(backward.exitCode, 0) << backward.err;
    EXPECT_LE(forward.out, row[0] + "\n");
    EXPECT_GE(backward.out, row[0] + "\n");

    const kvrtest::CommandResult exact =
        Run("find " + path + " --channel 3 --tolerance 0.051 --value " + value + " --from '" +
            row[0] + "'");
    EXPECT_EQ(exact.out, row[0] + "\n") << "the starting time is tested first";

    // Every channel: the heat value of that row is found without naming its channel. Printed
    // values are rounded, so the tolerance covers half of their last digit.
    const kvrtest::CommandResult any =
        Run("find " + path + " --tolerance 0.0051 --value " + row[6]);
    EXPECT_EQ(any.exitCode, 0);
    EXPECT_LE(any.out, row[0] + "\n");

    const kvrtest::CommandResult none = Run("find " + path + " --value 99999");
    EXPECT_EQ(none.exitCode, 4);
    EXPECT_TRUE(none.out.empty());
    EXPECT_EQ(Run("find " + path + " --value 1 --channel 7").exitCode, 1);
}

// A file cut short inside its last record: read-only, the cut record missing everywhere.
TEST_F(KvrtoolData, AFileCutShortIsReadButNeverWritten) {
    const std::string bytes = kvrtest::ReadWholeFile(MakeSample("whole.FDZ", "--records 60"));
    const std::string path = dir.file("cut.FDZ");
    const std::string cut = bytes.substr(0, 0x150 + 4048 + 60 * 6 * 4 - 5);
    std::ofstream(path, std::ios::binary) << cut;

    const kvrtest::CommandResult info = Run("info " + path);
    ASSERT_EQ(info.exitCode, 0) << info.err;
    const ordered_json json = ordered_json::parse(info.out);
    EXPECT_EQ(json["record_count"], 60);
    EXPECT_EQ(json["damaged"], true);
    EXPECT_EQ(json["whole_records"], 59);
    EXPECT_EQ(json["tags"], ordered_json::array()) << "the tag list is gone";

    const std::vector<std::string> values =
        Lines(Run("values " + path + " --from '2026-01-05 00:58:00'").out);
    ASSERT_EQ(values.size(), 3u);
    EXPECT_EQ(values[1].find("----"), std::string::npos) << values[1];
    EXPECT_EQ(values[2], "2026-01-05 00:59:00,----,----,----,----,----,----");
    const std::string csv = dir.file("cut.csv");
    ASSERT_EQ(Run("export " + path + " " + csv).exitCode, 0);
    const std::vector<std::string> rows = Lines(kvrtest::ReadWholeFile(csv));
    ASSERT_EQ(rows.size(), 61u);
    EXPECT_EQ(rows[60],
              "60,2026-01-05 00:59:00,ReadError,ReadError,ReadError,ReadError,ReadError,"
              "ReadError");

    for (const std::string& edit :
         {"tag-add " + path + " '2026-01-05 00:10:00'", "file-info " + path + " --alias X"}) {
        const kvrtest::CommandResult refused = Run(edit);
        EXPECT_EQ(refused.exitCode, 1) << edit;
        EXPECT_NE(refused.err.find(kvr::kFileDamagedEditText), std::string::npos) << refused.err;
    }
    EXPECT_EQ(kvrtest::ReadWholeFile(path), cut) << "nothing was written";
    const kvrtest::CommandResult report = Run("config-report " + path);
    EXPECT_EQ(report.exitCode, 0) << report.err;
    EXPECT_NE(report.out.find("介质:过热蒸汽"), std::string::npos) << report.out;
    EXPECT_EQ(Run("logs " + path + " --kind alarm").exitCode, 0);
}

TEST_F(KvrtoolData, ExitCodesTellMissingDamagedAndNewerFilesApart) {
    const std::string path = MakeSample("good.FDZ");
    std::string bytes = kvrtest::ReadWholeFile(path);

    const kvrtest::CommandResult missing = Run("info " + dir.file("missing.FDZ"));
    EXPECT_EQ(missing.exitCode, 1);
    ExpectOneSentence(missing);
    EXPECT_NE(missing.err.find("missing.FDZ"), std::string::npos);

    const std::string garbage = dir.file("garbage.FDZ");
    std::ofstream(garbage) << std::string(5000, 'x');
    const kvrtest::CommandResult damaged = Run("values " + garbage);
    EXPECT_EQ(damaged.exitCode, 2);
    ExpectOneSentence(damaged);
    EXPECT_TRUE(damaged.out.empty());

    const std::string truncated = dir.file("truncated.FDZ");
    std::ofstream(truncated, std::ios::binary) << bytes.substr(0, 0x150 + 2000);
    EXPECT_EQ(Run("info " + truncated).exitCode, 2) << "cut inside the configuration";

    const std::string newer = dir.file("newer.FDZ");
    bytes.replace(13, 4, "1005");
    std::ofstream(newer, std::ios::binary) << bytes;
    const kvrtest::CommandResult newerResult = Run("hourly " + newer);
    EXPECT_EQ(newerResult.exitCode, 3);
    ExpectOneSentence(newerResult);
    EXPECT_NE(newerResult.err.find("1005"), std::string::npos);

    EXPECT_EQ(Run("info").exitCode, 1) << "usage error";
    EXPECT_EQ(Run("info " + path + " --no-such-option").exitCode, 1);
}

}  // namespace
