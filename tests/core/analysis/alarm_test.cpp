#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <vector>

#include "core/analysis/alarm_log.h"
#include "core/analysis/alarm_monitor.h"
#include "core/datafile/file_info.h"
#include "core/datafile/sample_file.h"
#include "support/test_support.h"

namespace kvr {
namespace {

// The sample instrument's first input: low-low 1, low 2, high 35, high-high 38, hysteresis
// 0.5, range 0 to 40.
class AlarmTest : public ::testing::Test {
protected:
    void SetUp() override {
        SampleOptions options;
        options.records = 2;
        ASSERT_TRUE(WriteSampleFile(dir_.file("a.FDZ"), options));
        ASSERT_EQ(file_.Open(dir_.file("a.FDZ")), 1);
        ASSERT_EQ(file_.GetAlarmHigh(0), 35.0f);
        ASSERT_EQ(file_.GetHysteresis(0), 0.5f);
    }
    // Feeds channel 0 the values one minute apart, every other channel inside its limits.
    std::vector<AlarmEvent> Feed(AlarmMonitor& monitor, const std::vector<float>& values) {
        std::vector<AlarmEvent> events;
        for (float v : values) {
            const float record[6] = {v, 1.0f, 250.0f, 40000.0f, -40000.0f, 1e9f};
            for (const auto& e : monitor.Check(t_, record, 6)) events.push_back(e);
            t_ += 60;
        }
        return events;
    }

    kvrtest::TempDir dir_;
    CXFile file_;
    Time t_ = 0;
};

TEST_F(AlarmTest, LimitsRaiseAndClearByTheHysteresis) {
    AlarmMonitor monitor(file_);
    const auto events =
        Feed(monitor, {20, 36, 39, 37.8f, 37.5f, 34.8f, 34.5f, 1.5f, 0.5f, 1.4f, 2.6f, 40});
    struct Expected {
        Time time;
        AlarmKind kind;
        bool raised;
        float value, limit;
        Time duration;
    };
    const std::vector<Expected> expected{
        {60, AlarmKind::kHigh, true, 36, 35, 0},
        {120, AlarmKind::kHighHigh, true, 39, 38, 0},
        {240, AlarmKind::kHighHigh, false, 37.5f, 38, 120},  // 37.8 is inside the band
        {360, AlarmKind::kHigh, false, 34.5f, 35, 300},
        {420, AlarmKind::kLow, true, 1.5f, 2, 0},
        {480, AlarmKind::kLowLow, true, 0.5f, 1, 0},
        {600, AlarmKind::kLowLow, false, 2.6f, 1, 120},  // 1.4 is inside the band
        {600, AlarmKind::kLow, false, 2.6f, 2, 180},
        {660, AlarmKind::kHigh, true, 40, 35, 0},  // one jump raises both
        {660, AlarmKind::kHighHigh, true, 40, 38, 0},
    };
    ASSERT_EQ(events.size(), expected.size());
    for (std::size_t i = 0; i < events.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(events[i].channel, 0);
        EXPECT_EQ(events[i].time, expected[i].time);
        EXPECT_EQ(events[i].kind, expected[i].kind);
        EXPECT_EQ(events[i].raised, expected[i].raised);
        EXPECT_EQ(events[i].value, expected[i].value);
        EXPECT_EQ(events[i].limit, expected[i].limit);
        EXPECT_EQ(events[i].duration, expected[i].duration);
    }
    const auto active = monitor.Active();
    ASSERT_EQ(active.size(), 2u);
    EXPECT_EQ(active[1].kind, AlarmKind::kHighHigh);
    EXPECT_EQ(active[1].time, 660);
}

TEST_F(AlarmTest, ValuesInsideTheBandOrMissingDoNotFlap) {
    AlarmMonitor monitor(file_);
    const float nan = std::nanf("");
    auto events = Feed(monitor, {35.2f, 34.6f, 35.4f, nan, 34.51f, 35.1f});
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].kind, AlarmKind::kHigh);
    EXPECT_TRUE(events[0].raised);
    // Down across the whole range: the high alarm clears, the low one is raised and stays.
    events = Feed(monitor, {1.9f, 2.4f, nan, 1.95f, 2.49f});
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].kind, AlarmKind::kLow);
    EXPECT_TRUE(events[0].raised);
    EXPECT_EQ(events[1].kind, AlarmKind::kHigh);
    EXPECT_FALSE(events[1].raised);
    ASSERT_EQ(monitor.Active().size(), 1u);
}

TEST_F(AlarmTest, WhatIsNotWatched) {
    auto& channels = file_.Header().channels;
    // Limits at the ends of the range: a value at an end is inside.
    channels[0].alarmLowLow = channels[0].alarmLow = DecimalTriple::Encode(0, 2);
    channels[0].alarmHigh = channels[0].alarmHighHigh = DecimalTriple::Encode(40, 2);
    channels[1].alarmHigh = channels[1].alarmLow;  // no range
    channels[2].showState = kChannelNotInUse;
    AlarmMonitor monitor(file_);
    EXPECT_TRUE(monitor.Watches(0));
    for (int c = 1; c < 6; ++c) EXPECT_FALSE(monitor.Watches(c)) << c;

    t_ = 0;
    const float extremes[6] = {0, -1e6f, -1e6f, -1e6f, -1e6f, -1e6f};
    EXPECT_TRUE(monitor.Check(t_, extremes, 6).empty());
    const float high[6] = {40, 1e6f, 1e6f, 1e6f, 1e6f, 1e6f};
    EXPECT_TRUE(monitor.Check(60, high, 6).empty());
    const float over[6] = {40.5f, 1e6f, 1e6f, 1e6f, 1e6f, 1e6f};
    const auto events = monitor.Check(120, over, 6);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].kind, AlarmKind::kHigh);
    EXPECT_EQ(events[1].kind, AlarmKind::kHighHigh);
}

TEST_F(AlarmTest, LogFileBesideTheHistoryFile) {
    EXPECT_EQ(AlarmLogPath("/d/day.FDZ"), "/d/day.alarms.csv");
    EXPECT_EQ(AlarmLogPath("/d.x/day"), "/d.x/day.alarms.csv");
    EXPECT_EQ(AlarmLogPath("/d/.day"), "/d/.day.alarms.csv");

    AlarmMonitor monitor(file_);
    const Time t = MakeTime({2026, 3, 1, 8, 0, 0});
    const float raise[6] = {36, 1, 250, 0, 0, 0};
    const float clear[6] = {30, 1, 250, 0, 0, 0};
    auto events = monitor.Check(t, raise, 6);
    for (const auto& e : monitor.Check(t + 90, clear, 6)) events.push_back(e);

    const std::string path = dir_.file("day.alarms.csv");
    {
        AlarmLog log;
        ASSERT_FALSE(log.Open(path, false));
        ASSERT_TRUE(log.Write(file_, events));
    }
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    const std::string name = file_.GetChannelName(0);
    EXPECT_EQ(text.str(), "时间,通道,类型,数值,限值,状态,持续时间(秒)\n2026-03-01 08:00:00," +
                              name + ",上限,36.00,35.00,报警,\n2026-03-01 08:01:30," + name +
                              ",上限,30.00,35.00,消报,90\n");

    AlarmLog again;
    const auto refused = again.Open(path, false);
    ASSERT_TRUE(refused);
    EXPECT_NE(refused->find(path), std::string::npos);
    EXPECT_FALSE(again.Open(path, true));
    EXPECT_TRUE(again.Open(dir_.file("missing/x.alarms.csv"), true));
}

}  // namespace
}  // namespace kvr
