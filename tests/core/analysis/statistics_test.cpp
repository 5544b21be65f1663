#include "core/analysis/statistics.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>
#include <vector>

#include "core/analysis/period_check.h"
#include "core/analysis/totals_rows.h"
#include "core/datafile/layout.h"
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
    EXPECT_EQ(WriteStatisticsWorkbook(dir_.path(), rows).value_or(""),
              "所选的目标是文件夹，请输入文件名！");
}

TEST_F(StatisticsTest, TotalsRowsAndCopyText) {
    file_.Header().flowTotal = 123456789;  // hundredths
    file_.Header().heatTotal = 5;
    const auto rows = TotalsRows(file_);
    ASSERT_EQ(rows.size(), 2u);  // the sample instrument computes heat
    EXPECT_EQ(rows[0].name, "流量(t)");
    EXPECT_EQ(rows[0].total, "1234567.89");
    EXPECT_EQ(rows[1].name, "热量(GJ)");
    EXPECT_EQ(rows[1].total, "0.05");
    EXPECT_EQ(TotalsCopyText(rows), "1\t流量(t)\t1234567.89\t\r\n2\t热量(GJ)\t0.05\t\r\n");
    EXPECT_EQ(TotalsTitle(file_), "累积流量报表    Dev:[1#锅炉蒸汽总管]");
}

// Records hold 10 + r on every channel, except one NaN on channel 0, +inf on channel 1 and
// -inf on channel 2; the file is cut inside its last record, which then reads as missing.
// Neither kind of sample may move a figure: the export writes both as nothing too.
TEST(Statistics, NonFiniteAndMissingSamplesAreLeftOut) {
    kvrtest::TempDir dir;
    SampleOptions options;
    options.records = 10;
    options.interval = 60;
    options.sample = [](int channel, int record) {
        if (channel == 0 && record == 3) return std::numeric_limits<float>::quiet_NaN();
        if (channel == 1 && record == 4) return std::numeric_limits<float>::infinity();
        if (channel == 2 && record == 5) return -std::numeric_limits<float>::infinity();
        return 10.0f + static_cast<float>(record);
    };
    const std::string path = dir.file("cut.FDZ");
    ASSERT_TRUE(WriteSampleFile(path, options));
    {
        CXFile whole;
        ASSERT_EQ(whole.Open(path), 1);
        const auto recordArea = static_cast<std::uintmax_t>(kHeaderSize) +
                                static_cast<std::uintmax_t>(whole.GetConfigSize());
        whole.Close();
        std::filesystem::resize_file(path, recordArea + 9 * 6 * 4 + 10);
    }
    CXFile file;
    ASSERT_EQ(file.Open(path), 1);
    const Time start = file.GetStartTime();
    float unused = 0;
    ASSERT_NE(file.GetValue(0, start + 9 * 60, &unused, nullptr), 1);

    const auto outcome = ComputeStatistics(file, start, start + 9 * 60);
    ASSERT_TRUE(outcome.error.empty()) << outcome.error;
    ASSERT_EQ(outcome.rows.size(), 6u);
    // Held: records 0..8 = 10..18, sum 126, less the one left out on channels 0..2.
    const double means[6] = {113.0 / 8, 112.0 / 8, 111.0 / 8, 14.0, 14.0, 14.0};
    for (int c = 0; c < 6; ++c) {
        const auto& row = outcome.rows[static_cast<size_t>(c)];
        EXPECT_DOUBLE_EQ(std::stod(row.peak), 18.0) << c;
        EXPECT_DOUBLE_EQ(std::stod(row.valley), 10.0) << c;
        EXPECT_NEAR(std::stod(row.mean), means[c], 0.05) << c;  // one decimal on channel 2
        // 100 x (18 - 10) / 14
        EXPECT_EQ(row.uniformity, "57.14%") << c;
    }
}

}  // namespace
}  // namespace kvr

// The run accumulation the walk uses gives what sample-by-sample accumulation gives, to the
// bit, with gaps at the start, inside and at the end, and continued over several runs.
TEST(ChannelFiguresRun, MatchesAddingEachSample) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const std::vector<float> samples{nan,    3.25f, -1.5f, nan,  inf,    7.0f, 0.1f,
                                     -2.75f, nan,   4.5f,  1e6f, -1e-3f, nan};
    const kvr::Time first = 1000, step = 7;
    for (const int split : {0, 1, 2, 5, 9, 13}) {
        kvr::ChannelFigures one, run;
        for (size_t i = 0; i < samples.size(); ++i)
            one.Add(first + static_cast<kvr::Time>(i) * step, samples[i]);
        run.AddRun(first, step, samples.data(), split);
        run.AddRun(first + split * step, step, samples.data() + split,
                   static_cast<int>(samples.size()) - split);
        EXPECT_EQ(run.count, one.count) << split;
        EXPECT_EQ(run.peak, one.peak) << split;
        EXPECT_EQ(run.valley, one.valley) << split;
        EXPECT_EQ(run.sum, one.sum) << split;
        EXPECT_EQ(run.area, one.area) << split;
        EXPECT_EQ(run.lastTime, one.lastTime) << split;
    }
}
