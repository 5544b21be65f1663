#include "core/view/chart_geometry.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <numbers>

using namespace kvr;

TEST(BarGrid, CellsPerGroupAndColumns) {
    // 13 channels in use: two tabs, the second holds one cell in a 3 x 2 grid.
    EXPECT_EQ(BarTabCount(13), 2);
    EXPECT_EQ(CellsInGroup(13, 12, 0), 12);
    EXPECT_EQ(CellsInGroup(13, 12, 1), 1);
    EXPECT_EQ(CellsInGroup(24, 12, 1), 12);
    EXPECT_EQ(CellsInGroup(13, 12, 2), 0);
    EXPECT_EQ(BarGridColumns(1), 3);
    EXPECT_EQ(BarGridColumns(6), 3);
    EXPECT_EQ(BarGridColumns(7), 4);
    EXPECT_EQ(BarGridColumns(10), 5);
    EXPECT_EQ(BarGridColumns(12), 6);
    // More than twelve cells or none: nothing is drawn.
    EXPECT_FALSE(BarGridColumns(13));
    EXPECT_FALSE(BarGridColumns(0));
}

TEST(BarGauge, FillAlarmsAndEmptyRange) {
    EXPECT_DOUBLE_EQ(*BarFillFraction(150, 0, 100), 1.0);
    EXPECT_DOUBLE_EQ(*BarFillFraction(-5, 0, 100), 0.0);
    EXPECT_DOUBLE_EQ(*BarFillFraction(25, 0, 100), 0.25);
    EXPECT_FALSE(BarFillFraction(5, 3, 3));  // empty range: no bar, no division by zero
    EXPECT_DOUBLE_EQ(ScaleFraction(-10, 0, 100), 0.0);
    EXPECT_DOUBLE_EQ(ScaleFraction(200, 0, 100), 1.0);
    EXPECT_DOUBLE_EQ(ScaleFraction(5, 3, 3), 0.0);
    // Red above the high alarm only when the high alarm lies above the low alarm.
    EXPECT_TRUE(IsOutsideAlarms(90, 10, 80));
    EXPECT_TRUE(IsOutsideAlarms(5, 10, 80));
    EXPECT_FALSE(IsOutsideAlarms(50, 10, 80));
    EXPECT_FALSE(IsOutsideAlarms(90, 80, 10));
    EXPECT_FALSE(IsOutsideAlarms(90, 80, 80));
}

TEST(Dial, HourLabelsRadiusAndAngle) {
    const std::vector<int> day = DialHourLabels(17, 2);
    ASSERT_EQ(day.size(), 24u);
    for (int k = 0; k < 24; ++k) EXPECT_EQ(day[k], k);
    EXPECT_EQ(DialHourLabels(13, 0), (std::vector<int>{8, 9, 10, 11, 12, 13, 14, 15}));
    EXPECT_EQ(DialHourLabels(13, 1),
              (std::vector<int>{12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23}));
    EXPECT_EQ(DialHourLabels(7, 0).front(), 0);
    // Range low on the innermost ring, range high on the outer circle (rings = 10).
    EXPECT_DOUBLE_EQ(DialRadius(0, 10, 9.0), 9.0);
    EXPECT_DOUBLE_EQ(DialRadius(100, 10, 9.0), 99.0);
    // Step 0 at the top; a quarter revolution later at 3 o'clock; wraps into 0..2pi.
    EXPECT_DOUBLE_EQ(DialAngle(0, 96), std::numbers::pi / 2);
    EXPECT_NEAR(DialAngle(24, 96), 0.0, 1e-12);
    EXPECT_NEAR(DialAngle(48, 96), 1.5 * std::numbers::pi, 1e-12);
    EXPECT_NEAR(DialAngle(96 + 24, 96), 0.0, 1e-12);
}

class CircleSteps : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = std::getenv("TZ") ? std::getenv("TZ") : "";
        setenv("TZ", "UTC", 1);
        tzset();
    }
    void TearDown() override {
        if (saved_.empty())
            unsetenv("TZ");
        else
            setenv("TZ", saved_.c_str(), 1);
        tzset();
    }
    std::string saved_;
};

TEST_F(CircleSteps, RevolutionsPerDayAndSpanEdges) {
    const Time day0 = MakeTime({2026, 3, 1, 0, 0, 0});
    // Three whole days at one record an hour: three revolutions of 24 steps, drawn over
    // one another (the step restarts at 0 every midnight).
    const auto three = CircleChartSteps(day0, day0 + 3 * 86400 - 3600, 3600);
    ASSERT_EQ(three.size(), 72u);
    EXPECT_EQ(three[0].step, 0);
    EXPECT_EQ(three[23].step, 23);
    EXPECT_EQ(three[24].step, 0);
    EXPECT_EQ(three[71].time, day0 + 3 * 86400 - 3600);
    // A span inside one day starts at the angle of its start time.
    const auto part = CircleChartSteps(day0 + 6 * 3600 + 10, day0 + 9 * 3600, 3600);
    ASSERT_EQ(part.size(), 3u);
    EXPECT_EQ(part[0].step, 7);
    EXPECT_EQ(part[2].step, 9);
    // An interval that does not divide a day, or none at all, draws nothing.
    EXPECT_TRUE(CircleChartSteps(day0, day0 + 86400, 7).empty());
    EXPECT_TRUE(CircleChartSteps(day0, day0 + 86400, 0).empty());
    EXPECT_TRUE(CircleChartSteps(day0, day0 + 86400, 100000).empty());
    // The live dial at 13:30 with 8 hours a revolution starts at 08:00.
    const auto live = LiveDialSteps(day0 + 13 * 3600 + 1800, 1800, 0);
    ASSERT_EQ(live.size(), 11u);
    EXPECT_EQ(live[0].time, day0 + 8 * 3600);
}

TEST(ContinuousPrint, PagesAndSnapping) {
    const Time start = 1'000'000, interval = 10, end = start + 5000 * interval;
    EXPECT_EQ(ContinuousPageCount(start, start + 2000 * interval, start, end, interval), 1);
    EXPECT_EQ(ContinuousPageCount(start, start + 2001 * interval, start, end, interval), 2);
    EXPECT_EQ(ContinuousPageCount(start, start + 5, start, end, interval), 0);
    EXPECT_FALSE(ContinuousPageCount(start + 20, start + 20, start, end, interval));
    EXPECT_FALSE(ContinuousPageCount(start - 10, start + 20, start, end, interval));
    EXPECT_FALSE(ContinuousPageCount(start, end + 1, start, end, interval));
    EXPECT_FALSE(ContinuousPageCount(start, end, start, end, 0));
    // Times between records move to the next record time counted back from the file end.
    EXPECT_EQ(SnapToRecordTime(end - 13, end, interval), end - 10);
    EXPECT_EQ(SnapToRecordTime(end - 20, end, interval), end - 20);
    EXPECT_EQ(SnapToRecordTime(end, end, interval), end);
}
