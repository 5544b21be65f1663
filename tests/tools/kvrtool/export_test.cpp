// kvrtool export as a user runs it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "support/kvrtool_test_support.h"
#include "support/xlsx_reader.h"

namespace {

class KvrtoolExport : public kvrtest::KvrtoolTest {
protected:
    void SetUp() override {
        data = MakeSample("data.FDZ", "--records 100 --interval 10");
        ASSERT_FALSE(HasFailure());
    }
    std::string data;
};

TEST_F(KvrtoolExport, WritesTheRangeEveryNthRecordInTheChosenLanguage) {
    const std::string out = dir.file("out.xlsx");
    const auto result =
        Run("export " + data + " " + out +
            " --from '2026-01-05 00:01:00' --to '2026-01-05 00:02:00' --every 3 --lang en");
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const auto book = kvrtest::ReadXlsx(out);
    ASSERT_TRUE(book);
    const auto& sheets = book->sheets;
    ASSERT_EQ(sheets.size(), 1u);
    const auto& rows = sheets[0].rows;
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0][0].text, "No");
    EXPECT_EQ(rows[0][2].text, "PDT101差压(kPa)");
    EXPECT_EQ(rows[1][1].text, "2026-01-05 00:01:00");
    EXPECT_EQ(rows[3][0].text, "3");
    EXPECT_EQ(rows[3][1].text, "2026-01-05 00:02:00");

    const std::string csv = dir.file("whole.csv");
    ASSERT_EQ(Run("export " + data + " " + csv).exitCode, 0);
    const std::string text = kvrtest::ReadWholeFile(csv);
    EXPECT_EQ(text.rfind("编号,时间,PDT101差压(kPa),", 0), 0u);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 101);
}

// End stamps of the records and the hours in 2099, a day stored: export, statistics and the
// report end at the last record and hour the file holds, as for the file without the damage,
// and refuse a period beyond.
TEST_F(KvrtoolExport, AnEndStampFarPastTheRecordsEndsEveryPeriodAtTheLastOneHeld) {
    const std::string day = MakeSample("day.FDZ");
    std::string bytes = kvrtest::ReadWholeFile(day);
    const char year2099[6] = {99, 12, 31, 23, 0, 0};
    bytes.replace(0xC0 + 6, 6, year2099, 6);
    bytes.replace(0x100 + 6, 6, year2099, 6);
    const std::string path = dir.file("2099.FDZ");
    std::ofstream(path, std::ios::binary) << bytes;

    for (const std::string command : {"stats ", "report "}) {
        const auto ordinary = Run(command + day);
        const auto damaged = Run(command + path);
        ASSERT_EQ(damaged.exitCode, 0) << damaged.err;
        EXPECT_EQ(damaged.out, ordinary.out) << command;
    }
    // Every 1439th record: the first and the last of the day (and, were the span the
    // stamped one, tens of thousands more).
    const std::string every = " --every 1439";
    ASSERT_EQ(Run("export " + day + " " + dir.file("day.csv") + every).exitCode, 0);
    ASSERT_EQ(Run("export " + path + " " + dir.file("2099.csv") + every).exitCode, 0);
    const std::string rows = kvrtest::ReadWholeFile(dir.file("2099.csv"));
    EXPECT_EQ(kvrtest::Lines(rows).size(), 3u);
    EXPECT_EQ(rows, kvrtest::ReadWholeFile(dir.file("day.csv")));

    const std::string beyond = " --to '2026-01-06 00:00:00'";
    const auto exportBeyond = Run("export " + path + " " + dir.file("beyond.csv") + beyond);
    EXPECT_EQ(exportBeyond.exitCode, 1);
    EXPECT_NE(exportBeyond.err.find("结束时间超出范围！"), std::string::npos) << exportBeyond.err;
    EXPECT_FALSE(std::filesystem::exists(dir.file("beyond.csv")));
    for (const std::string command : {"stats ", "report "}) {
        const auto refused = Run(command + path + beyond);
        EXPECT_EQ(refused.exitCode, 1) << command;
        EXPECT_NE(refused.err.find("[结束时间] 超出范围！"), std::string::npos) << refused.err;
    }
}

TEST_F(KvrtoolExport, RefusedPeriodOrIntervalWritesNothing) {
    const std::string out = dir.file("out.xlsx");
    const struct {
        const char* options;
        const char* message;
    } cases[] = {
        {"--from '2026-01-05 00:02:00' --to '2026-01-05 00:01:00'", "请确认 开始时间 < 结束时间！"},
        {"--from '2026-01-04 23:59:59'", "开始时间超出范围！"},
        {"--to '2026-01-06 00:00:00' --lang en", "Out of End Time!"},
        {"--every 0", "间隔必须是不小于 1 的整数！"},
        {"--every -2 --lang en", "The interval must be a whole number not less than 1!"},
        {"--every 101", "间隔不能大于文件的记录数！"},
        {"--every 4611686018427387904", "间隔不能大于文件的记录数！"},
    };
    for (const auto& c : cases) {
        const auto result = Run("export " + data + " " + out + " " + c.options);
        EXPECT_EQ(result.exitCode, 1) << c.options;
        EXPECT_EQ(result.err, std::string("kvrtool: ") + c.message + "\n") << c.options;
        EXPECT_FALSE(std::filesystem::exists(out)) << c.options;
    }
}

TEST_F(KvrtoolExport, NeverReplacesItsInputAndAnExistingFileOnlyWithForce) {
    const std::string original = kvrtest::ReadWholeFile(data);
    const std::string alias = dir.file("alias.FDZ");
    ASSERT_EQ(::link(data.c_str(), alias.c_str()), 0);
    for (const std::string& out : {data, alias}) {
        const auto result = Run("export " + data + " " + out + " --force");
        EXPECT_EQ(result.exitCode, 1) << out;
        EXPECT_NE(result.err.find("is the input"), std::string::npos) << result.err;
    }
    EXPECT_EQ(kvrtest::ReadWholeFile(data), original);

    const std::string out = dir.file("out.csv");
    std::ofstream(out) << "keep";
    EXPECT_EQ(Run("export " + data + " " + out).exitCode, 1);
    EXPECT_EQ(kvrtest::ReadWholeFile(out), "keep");
    ASSERT_EQ(Run("export " + data + " " + out + " --force").exitCode, 0);
    EXPECT_EQ(kvrtest::ReadWholeFile(out).rfind("编号,时间,", 0), 0u);

    // A folder is said to be one, --force or not, and stays as it was.
    const std::string folder = dir.file("folder.csv");
    ASSERT_TRUE(std::filesystem::create_directory(folder));
    for (const char* force : {"", " --force"}) {
        const auto result = Run("export " + data + " " + folder + force);
        EXPECT_EQ(result.exitCode, 1) << force;
        EXPECT_NE(result.err.find("所选的目标是文件夹，请输入文件名！"), std::string::npos)
            << result.err;
    }
    EXPECT_TRUE(std::filesystem::is_empty(folder));
}

// Hidden files beside the target, as an export leaves them while it writes.
std::vector<std::string> Unfinished(const std::string& folder, const std::string& name) {
    std::vector<std::string> found;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string file = entry.path().filename().string();
        if (file.rfind("." + name + ".", 0) == 0) found.push_back(file);
    }
    return found;
}

TEST_F(KvrtoolExport, ASignalOrTheNextExportRemovesTheUnfinishedFile) {
    const std::string big = MakeSample("big.FDZ", "--records 1000000 --interval 1");
    for (const auto& [signal, name] :
         {std::pair{SIGINT, "big.csv"}, std::pair{SIGTERM, "big.xlsx"}}) {
        kvrtest::ToolChild child({"export", big, dir.file(name)});
        // Waits for the hidden file of the running export.
        for (int i = 0; i < 5000 && Unfinished(dir.path(), name).empty(); ++i) ::usleep(1000);
        ASSERT_EQ(Unfinished(dir.path(), name).size(), 1u) << name;
        const int status = child.Kill(signal);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << name << " " << status;
        EXPECT_EQ(Unfinished(dir.path(), name), std::vector<std::string>{}) << name;
        EXPECT_FALSE(std::filesystem::exists(dir.file(name))) << name;
    }

    // Left by a killed export, and one another export is still writing (it holds the lock).
    const std::string stale = dir.file(".out.csv.Ab3dE9");
    const std::string busy = dir.file(".out.csv.Xy7wQ2");
    std::ofstream(stale) << "partial";
    std::ofstream(busy) << "partial";
    const int held = ::open(busy.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    ASSERT_EQ(Run("export " + data + " " + dir.file("out.csv")).exitCode, 0);
    EXPECT_FALSE(std::filesystem::exists(stale));
    EXPECT_TRUE(std::filesystem::exists(busy));
    ::close(held);
}

}  // namespace
