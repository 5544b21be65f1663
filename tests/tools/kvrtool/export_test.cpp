// kvrtool export as a user runs it.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

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
    };
    for (const auto& c : cases) {
        const auto result = Run("export " + data + " " + out + " " + c.options);
        EXPECT_EQ(result.exitCode, 1) << c.options;
        EXPECT_EQ(result.err, std::string("kvrtool: ") + c.message + "\n") << c.options;
        EXPECT_FALSE(std::filesystem::exists(out)) << c.options;
    }
}

}  // namespace
