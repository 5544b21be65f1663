#include "core/view/curve_readout.h"

#include <gtest/gtest.h>

#include "core/datafile/config_record.h"
#include "core/datafile/gbk.h"
#include "core/datafile/sample_file.h"
#include "support/test_support.h"

namespace {

class CurveReadoutTest : public testing::Test {
protected:
    void SetUp() override {
        kvr::SampleOptions options;
        options.records = 100;
        options.interval = 60;
        options.tags = 0;
        options.sample = kvr::RampSample;  // channel c, record r: c * 1000 + r
        const std::string path = dir_.file("ramp.FDZ");
        ASSERT_TRUE(kvr::WriteSampleFile(path, options));
        ASSERT_EQ(file_.Open(path), 1);
        file_.Header().flowTotal = 123456;
        file_.Header().heatTotal = -250;
    }

    kvr::Time RecordTime(int r) const { return file_.GetStartTime() + 60 * r; }

    kvrtest::TempDir dir_;
    kvr::CXFile file_;
};

TEST_F(CurveReadoutTest, ShowsEveryShownChannelWithItsValueAndUnit) {
    file_.Header().channels[2].showState = 0;
    file_.Header().channels[4].showState = 2;
    const kvr::CurveReadout readout = kvr::BuildCurveReadout(file_, RecordTime(10));
    EXPECT_EQ(readout.deviceName, file_.GetDeviceName());
    EXPECT_EQ(readout.timeText, kvr::FormatTime(RecordTime(10)));
    ASSERT_EQ(readout.channels.size(), 4u);
    EXPECT_EQ(readout.shownChannels, 4);
    const int expectedChannels[] = {0, 1, 3, 5};
    for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(readout.channels[i].channel, expectedChannels[i]);
    // Channel 0 keeps two decimals (its range low has two), channel 1 three.
    EXPECT_EQ(readout.channels[0].number, "01 ");
    EXPECT_EQ(readout.channels[0].text, file_.GetChannelName(0) + ": 10.00 kPa");
    EXPECT_EQ(readout.channels[1].text, file_.GetChannelName(1) + ": 1010.000 MPa");
    EXPECT_EQ(readout.channels[2].number, "04 ");
    EXPECT_EQ(readout.channels[2].text, "流量: 3010.00 t/h");
    EXPECT_EQ(readout.flowTotal, "累积流量:1234.56 t");
    EXPECT_EQ(readout.heatTotal, "累积热量:-2.50 GJ");
}

TEST_F(CurveReadoutTest, MarksValuesOutsideANonEmptyAlarmBand) {
    // Channel 0's band is 2 .. 35: record r has the value r.
    struct Case {
        int record;
        bool alarm;
    };
    for (const Case c : {Case{1, true}, Case{2, false}, Case{35, false}, Case{36, true}}) {
        const kvr::CurveReadout readout = kvr::BuildCurveReadout(file_, RecordTime(c.record));
        ASSERT_FALSE(readout.channels.empty());
        EXPECT_EQ(readout.channels[0].alarm, c.alarm) << c.record;
    }
    // A band whose high limit is not above its low limit marks nothing.
    file_.Header().channels[0].alarmHigh = kvr::DecimalTriple::Encode(1.0f, 0);
    file_.Header().channels[0].alarmLow = kvr::DecimalTriple::Encode(1.0f, 0);
    EXPECT_FALSE(kvr::BuildCurveReadout(file_, RecordTime(50)).channels[0].alarm);
}

TEST_F(CurveReadoutTest, BoxSizeFollowsNamesChannelsAndTheHeatFunction) {
    const kvr::CurveReadout withHeat = kvr::BuildCurveReadout(file_, RecordTime(0));
    EXPECT_TRUE(withHeat.HasHeat());
    // Device, time, six channels, blank row, flow, heat.
    EXPECT_EQ(withHeat.RowCount(1000), 11);
    EXPECT_EQ(withHeat.RowCount(18 * 5 + 17), 5);  // limited by the plot height

    // The longest name counts in GBK bytes: a Chinese character is two.
    std::string longest = withHeat.deviceName;
    for (int c = 0; c < file_.GetChannelCount(); ++c)
        if (kvr::Utf8ToGbk(file_.GetChannelName(c)).size() > kvr::Utf8ToGbk(longest).size())
            longest = file_.GetChannelName(c);
    EXPECT_EQ(withHeat.textLength, static_cast<int>(kvr::Utf8ToGbk(longest).size()) + 6);
    EXPECT_EQ(withHeat.Width(), std::max(160, 11 * withHeat.textLength + 80));

    file_.Header().config[kvr::cfg::kHeatEnabled] = 0;
    const kvr::CurveReadout withoutHeat = kvr::BuildCurveReadout(file_, RecordTime(0));
    EXPECT_FALSE(withoutHeat.HasHeat());
    EXPECT_EQ(withoutHeat.RowCount(1000), 10);

    // Outside the recording no channel has a value, but the rows stay reserved.
    const kvr::CurveReadout outside = kvr::BuildCurveReadout(file_, RecordTime(500));
    EXPECT_TRUE(outside.channels.empty());
    EXPECT_EQ(outside.shownChannels, 6);
}

}  // namespace
