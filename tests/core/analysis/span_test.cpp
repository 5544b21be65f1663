#include "core/analysis/span_figures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/analysis/period_check.h"
#include "core/datafile/file_info.h"
#include "core/datafile/sample_file.h"
#include "support/test_support.h"

namespace kvr {
namespace {

constexpr int kNanRecord = 45;

// Three hours at one minute. Inputs ramp (channel 0 with one NaN), flow is 10 t/h, the
// second flow 600 before record 90 and 0 after, heat ramps; hour k holds (k + 1) t.
float SpanSample(int channel, int record) {
    switch (channel) {
        case 0:
            return record == kNanRecord ? std::numeric_limits<float>::quiet_NaN()
                                        : static_cast<float>(record);
        case 3: return record == kNanRecord ? std::numeric_limits<float>::infinity() : 10.0f;
        case 4: return record < 90 ? 600.0f : 0.0f;
        case 5: return static_cast<float>(record);
        default: return -static_cast<float>(record);
    }
}

class SpanTest : public ::testing::Test {
protected:
    void Open(int capacity = 0) {
        SampleOptions options;
        options.records = 181;
        options.interval = 60;
        options.capacity = capacity;
        options.sample = SpanSample;
        options.hourly = [](int hour) { return std::int64_t{100} * (hour + 1); };
        ASSERT_TRUE(WriteSampleFile(dir_.file("s.FDZ"), options));
        ASSERT_EQ(file_.Open(dir_.file("s.FDZ")), 1);
        start_ = file_.GetStartTime();
    }
    const SpanChannel* Channel(const SpanOutcome& outcome, int c) {
        for (const auto& channel : outcome.channels)
            if (channel.channel == c) return &channel;
        return nullptr;
    }

    kvrtest::TempDir dir_;
    CXFile file_;
    Time start_ = 0;
};

TEST_F(SpanTest, EndsExtremesMeanAndTotals) {
    Open();
    // 00:30:10 to 02:30:00: the records 30 to 150; hour 01:00 is the only whole one.
    const SpanOutcome outcome = ComputeSpan(file_, start_ + 1810, start_ + 9000);
    ASSERT_TRUE(outcome.error.empty());
    ASSERT_EQ(outcome.channels.size(), 6u);

    const SpanChannel& ramp = *Channel(outcome, 0);
    EXPECT_EQ(ramp.startValue, 30.0f);
    EXPECT_EQ(ramp.endValue, 150.0f);
    EXPECT_DOUBLE_EQ(ramp.figures.peak, 150);
    EXPECT_DOUBLE_EQ(ramp.figures.valley, 30);
    EXPECT_EQ(ramp.figures.count, 120);  // 121 records less the NaN
    EXPECT_DOUBLE_EQ(ramp.figures.Mean(), (90.0 * 121 - kNanRecord) / 120);
    EXPECT_FALSE(ramp.spanTotal);
    EXPECT_FALSE(ramp.hourTotal);

    // Two hours at 10 t/h, the infinite sample bridged by its neighbours.
    const SpanChannel& flow = *Channel(outcome, 3);
    EXPECT_DOUBLE_EQ(*flow.spanTotal, 20.0);
    EXPECT_DOUBLE_EQ(*flow.hourTotal, 2.0);
    // 600 t/h for the 59 minutes up to record 89, then one minute falling to 0: 590 + 5.
    EXPECT_DOUBLE_EQ(*Channel(outcome, 4)->spanTotal, 595.0);
    EXPECT_FALSE(Channel(outcome, 4)->hourTotal);
    // Heat ramps from 30 to 150 GJ/h over two hours: mean 90, total 180.
    EXPECT_DOUBLE_EQ(*Channel(outcome, 5)->spanTotal, 180.0);

    const auto cells = SpanCells(file_, flow);
    ASSERT_EQ(cells.size(), SpanTitles().size());
    EXPECT_EQ(cells[0], file_.GetChannelName(3));
    EXPECT_EQ(cells[1], file_.GetChannelUnit(3));
    EXPECT_EQ(cells[8], "20.00");
    EXPECT_EQ(cells[9], "2.00");
    const auto rampCells = SpanCells(file_, ramp);
    EXPECT_EQ(std::stod(rampCells[4]), 120.0);
    EXPECT_EQ(rampCells[8], "");
    EXPECT_EQ(rampCells[9], "");

    // Less than a whole hour: no hourly sum, the estimate alone.
    const SpanOutcome part = ComputeSpan(file_, start_ + 1800, start_ + 5400);
    EXPECT_FALSE(Channel(part, 3)->hourTotal);
    EXPECT_DOUBLE_EQ(*Channel(part, 3)->spanTotal, 10.0);
    // From the first record to the last: every hour of the table.
    EXPECT_DOUBLE_EQ(*Channel(ComputeSpan(file_, start_, start_ + 10800), 3)->hourTotal, 6.0);
}

TEST_F(SpanTest, MissingRecordsUnusedChannelsAndPeriodMessages) {
    Open(100);  // records 100 to 180 are not in the file
    file_.Header().channels[4].showState = kChannelNotInUse;
    const SpanOutcome outcome = ComputeSpan(file_, start_ + 5940, start_ + 7200);
    ASSERT_EQ(outcome.channels.size(), 5u);
    EXPECT_FALSE(Channel(outcome, 4));
    const SpanChannel& ramp = *Channel(outcome, 0);
    EXPECT_EQ(ramp.startValue, 99.0f);
    EXPECT_FALSE(ramp.endValue);
    EXPECT_EQ(ramp.figures.count, 1);
    EXPECT_DOUBLE_EQ(*Channel(outcome, 3)->spanTotal, 0.0);  // one sample spans nothing
    const auto cells = SpanCells(file_, ramp);
    EXPECT_EQ(cells[3], "----");
    EXPECT_EQ(cells[4], "----");
    EXPECT_EQ(std::stod(cells[5]), 99.0);
    // Every sample missing: no figures at all.
    const auto empty =
        SpanCells(file_, *Channel(ComputeSpan(file_, start_ + 7200, start_ + 7800), 0));
    EXPECT_EQ(empty[5], "----");
    EXPECT_EQ(empty[7], "----");

    const Time end = file_.GetEndTime();
    EXPECT_EQ(ComputeSpan(file_, start_ + 60, start_).error, kStartAfterEnd);
    EXPECT_EQ(ComputeSpan(file_, start_ - 1, end).error, kStartOutOfRange);
    EXPECT_EQ(ComputeSpan(file_, start_, end + 1).error, kEndOutOfRange);
    EXPECT_TRUE(ComputeSpan(file_, start_, end + 1).channels.empty());
}

}  // namespace
}  // namespace kvr
