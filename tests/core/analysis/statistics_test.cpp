#include "core/analysis/statistics.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "core/analysis/period_check.h"
#include "core/analysis/totals_rows.h"
#include "core/datafile/sample_file.h"
#include "support/test_support.h"
#include "support/xlsx_reader.h"

namespace kvr {
namespace {

// Channel 0 constant, 1 alternating ±7.25, 2 far above and 3 far below the old starting
// peak and valley, 4 and 5 ramps.
float StatisticsSample(int channel, int record) {
    switch (channel) {
        case 0: return 42.5f;
        case 1: return record % 2 == 0 ? 7.25f : -7.25f;
        case 2: return 250000.0f + static_cast<float>(record);
        case 3: return -300000.0f - static_cast<float>(record);
        default: return static_cast<float>(record);
    }
}

class StatisticsTest : public ::testing::Test {
protected:
    void SetUp() override {
        SampleOptions options;
        options.records = 100;
        options.interval = 60;
        options.sample = StatisticsSample;
        ASSERT_TRUE(WriteSampleFile(dir_.file("s.FDZ"), options));
        ASSERT_EQ(file_.Open(dir_.file("s.FDZ")), 1);
        start_ = file_.GetStartTime();
    }

    double Number(const std::string& text) { return std::stod(text); }

    kvrtest::TempDir dir_;
    CXFile file_;
    Time start_ = 0;
};

TEST_F(StatisticsTest, FiguresPerChannel) {
    // Records 0..9: ten moments.
    const auto outcome = ComputeStatistics(file_, start_, start_ + 9 * 60);
    ASSERT_TRUE(outcome.error.empty());
    ASSERT_EQ(outcome.rows.size(), 6u);
    const auto& constant = outcome.rows[0];
    EXPECT_EQ(constant.number, "1");
    EXPECT_EQ(constant.channel, file_.GetChannelName(0) + "(kPa)");  // the figures' unit too
    EXPECT_DOUBLE_EQ(Number(constant.peak), 42.5);
    EXPECT_EQ(constant.peak, constant.valley);
    EXPECT_EQ(constant.peak, constant.mean);
    EXPECT_EQ(constant.uniformity, "0.00%");

    const auto& alternating = outcome.rows[1];
    EXPECT_DOUBLE_EQ(Number(alternating.peak), 7.25);
    EXPECT_DOUBLE_EQ(Number(alternating.valley), -7.25);
    EXPECT_DOUBLE_EQ(Number(alternating.mean), 0.0);
    EXPECT_EQ(alternating.uniformity, "----");  // peak + valley = 0

    EXPECT_DOUBLE_EQ(Number(outcome.rows[2].valley), 250000.0);
    EXPECT_DOUBLE_EQ(Number(outcome.rows[2].peak), 250009.0);
    EXPECT_DOUBLE_EQ(Number(outcome.rows[3].peak), -300000.0);

    const auto& ramp = outcome.rows[4];
    EXPECT_DOUBLE_EQ(Number(ramp.mean), 4.5);
    // 100 × (9 − 0) ÷ 4.5
    EXPECT_EQ(ramp.uniformity, "200.00%");
}

TEST_F(StatisticsTest, ShortPeriodsAndProgress) {
    std::vector<int> seen;
    auto record = [&seen](int percent) {
        seen.push_back(percent);
        return true;
    };
    // One interval: two moments, the mean divides by two.
    auto outcome = ComputeStatistics(file_, start_ + 60, start_ + 120, record);
    EXPECT_DOUBLE_EQ(Number(outcome.rows[4].mean), 1.5);
    EXPECT_EQ(seen.front(), 0);
    EXPECT_EQ(seen.back(), 100);

    // Zero length: one moment, complete at once.
    seen.clear();
    outcome = ComputeStatistics(file_, start_ + 180, start_ + 180, record);
    ASSERT_EQ(outcome.rows.size(), 6u);
    EXPECT_DOUBLE_EQ(Number(outcome.rows[4].mean), 3.0);
    EXPECT_EQ(seen.back(), 100);

    outcome = ComputeStatistics(file_, start_, file_.GetEndTime(),
                                [](int percent) { return percent < 50; });
    EXPECT_TRUE(outcome.cancelled);
    EXPECT_TRUE(outcome.rows.empty());
}

TEST_F(StatisticsTest, PeriodMessagesInOrder) {
    const Time end = file_.GetEndTime();
    struct Case {
        Time start, end;
        const char* message;
    };
    for (const Case& c :
         {Case{start_ + 60, start_, kStartAfterEnd}, Case{start_ - 1, end + 1, kStartOutOfRange},
          Case{start_, end + 1, kEndOutOfRange}}) {
        const auto outcome = ComputeStatistics(file_, c.start, c.end);
        EXPECT_EQ(outcome.error, c.message);
        EXPECT_TRUE(outcome.rows.empty());
    }
}

TEST_F(StatisticsTest, CopyTextAndWorkbookMatchTheRows) {
    const auto rows = ComputeStatistics(file_, start_, start_ + 9 * 60).rows;
    const std::string text = StatisticsCopyText(rows);
    EXPECT_EQ(text.substr(0, text.find("\r\n")), "序号\t通道\t峰值\t谷值\t均值\t均匀性\t");
    const std::string secondLine = "2\t" + rows[1].channel + "\t" + rows[1].peak + "\t" +
                                   rows[1].valley + "\t" + rows[1].mean + "\t----\t\r\n";
    EXPECT_NE(text.find(secondLine), std::string::npos);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 7);

    const std::string path = dir_.file("Statistic.xlsx");
    ASSERT_FALSE(WriteStatisticsWorkbook(path, rows));
    const auto book = kvrtest::ReadXlsx(path);
    ASSERT_TRUE(book);
    const auto& sheet = book->sheets.at(0);
    EXPECT_EQ(sheet.Text(0, 5), "均匀性");
    for (size_t r = 0; r < rows.size(); ++r) {
        EXPECT_EQ(sheet.Text(r + 1, 1), rows[r].channel);
        EXPECT_TRUE(sheet.Cell(r + 1, 2)->isNumber);
        EXPECT_DOUBLE_EQ(std::stod(sheet.Text(r + 1, 2)), std::stod(rows[r].peak));
        EXPECT_EQ(sheet.Text(r + 1, 5), rows[r].uniformity);
    }
    EXPECT_TRUE(WriteStatisticsWorkbook(dir_.file("missing/x.xlsx"), rows));
}

TEST_F(StatisticsTest, TotalsRowsAndCopyText) {
    const auto rows = TotalsRows(file_);
    ASSERT_EQ(rows.size(), 2u);  // the sample instrument computes heat
    EXPECT_EQ(rows[0].name, "流量(t)");
    EXPECT_EQ(rows[1].name, "热量(GJ)");
    char flow[64];
    std::snprintf(flow, sizeof flow, "%.2f", static_cast<double>(file_.Header().flowTotal) * 0.01);
    EXPECT_EQ(rows[0].total, flow);
    EXPECT_EQ(TotalsCopyText(rows),
              "1\t流量(t)\t" + rows[0].total + "\t\r\n2\t热量(GJ)\t" + rows[1].total + "\t\r\n");
    EXPECT_EQ(TotalsTitle(file_), "累积流量报表    Dev:[" + file_.GetDeviceName() + "]");
}

}  // namespace
}  // namespace kvr
