// The arithmetic and texts behind the data list, without widgets.
#include <gtest/gtest.h>

#include <cstring>

#include "core/analysis/channel_text.h"
#include "core/analysis/grid_copy.h"
#include "core/analysis/grid_rows.h"
#include "gui/gui_test_support.h"

using kvr::GridTimeline;
using kvr::Time;
using guitest::T0;

namespace {

GridTimeline Line(Time start, Time end, int interval, int step) {
    GridTimeline line;
    line.start = start;
    line.end = end;
    line.interval = interval;
    line.step = step;
    return line;
}

}  // namespace

TEST(GridTimeline, RowsAreStepRecordsApartAndCountRows) {
    // Interval 10 s, 3 records per row: rows 30 s apart, numbered by row.
    const GridTimeline line = Line(T0(), T0() + 990, 10, 3);
    struct Case { Time t; std::int64_t sequence; };
    for (const Case c : {Case{T0(), 1}, Case{T0() + 29, 1}, Case{T0() + 30, 2}, Case{T0() + 60, 3},
                         Case{T0() + 990, 34}})
        EXPECT_EQ(line.SequenceNumber(c.t), c.sequence) << c.t - T0();
    EXPECT_EQ(line.RowTime(T0(), 1), T0());
    EXPECT_EQ(line.RowTime(T0(), 3), T0() + 60);
    EXPECT_EQ(line.RowTime(T0() + 30, 0), T0()) << "the row above the top";
    EXPECT_EQ(line.RowTime(T0(), 1000), T0() + 990) << "clamped to the end";
    EXPECT_EQ(line.ScreenRow(T0() + 90, T0() + 30), 3);
    EXPECT_EQ(line.ScreenRow(T0(), T0() + 30), 0) << "above the window";
    EXPECT_EQ(line.SnapToRow(T0() + 75), T0() + 60);
    EXPECT_EQ(line.SnapToRow(T0() - 75), T0());
    EXPECT_EQ(line.SnapToRow(T0() + 5000), T0() + 990);
}

TEST(GridTimeline, ScrollingStopsAtTheEnds) {
    const GridTimeline line = Line(T0(), T0() + 99 * 60, 60, 1);
    EXPECT_EQ(line.Scroll(T0(), -1), T0());
    EXPECT_EQ(line.Scroll(T0(), 10), T0() + 600);
    // The last record may end up as the only row.
    EXPECT_EQ(line.Scroll(T0() + 95 * 60, 100), T0() + 99 * 60);
    EXPECT_EQ(line.Scroll(T0() + 99 * 60, -100), T0());
}

TEST(GridTimeline, ContinuousPrintingPages) {
    struct Case { int records; int step; Time topRecord; int pages; };
    for (const Case c : {Case{1, 1, 0, 1}, Case{40, 1, 0, 1}, Case{41, 1, 0, 2}, Case{80, 1, 0, 2},
                         Case{81, 1, 0, 3}, Case{80, 2, 0, 1}, Case{81, 2, 0, 2},
                         Case{100, 1, 60, 1}, Case{100, 1, 59, 2}}) {
        const GridTimeline line = Line(T0(), T0() + (c.records - 1) * 10, 10, c.step);
        EXPECT_EQ(line.PageCount(T0() + c.topRecord * 10), c.pages)
            << c.records << " records, step " << c.step << ", top record " << c.topRecord;
    }
}

TEST(GridTimeline, ScrollBarThumbCoversLargeFiles) {
    const int records = 262144;
    const GridTimeline line = Line(T0(), T0() + (records - 1) * 10, 10, 1);
    const int range = kvr::VerticalScrollRange(records);
    EXPECT_EQ(range, 32767);
    EXPECT_EQ(kvr::ThumbPosition(line, T0(), records, range), 0);
    EXPECT_EQ(kvr::ThumbTop(line, 0, records, range), T0());
    EXPECT_EQ(kvr::ThumbTop(line, range, records, range), line.end);
    // The thumb follows the top within one position.
    const Time middle = T0() + 131072 * 10;
    const int position = kvr::ThumbPosition(line, middle, records, range);
    EXPECT_NEAR(position, range / 2, 1);
    EXPECT_NEAR(static_cast<double>(kvr::ThumbTop(line, position, records, range) - middle), 0.0, 10.0 * 8);
    // New rows of a live file come in at the bottom, a few rows above the window's edge.
    EXPECT_EQ(line.FollowNewestTop(900, 20), line.end - 41 * 10);
    EXPECT_EQ(Line(T0(), T0() + 50, 10, 1).FollowNewestTop(900, 20), T0());
}

TEST(GridCopy, TextIsExactWithEveryChannelAndEitherDirection) {
    kvrtest::TempDir dir;
    auto file = guitest::OpenSample(dir, guitest::Records(10));
    ASSERT_TRUE(file);
    file->Header().channels[2].showState = 2;  // not in use: no column, but copied

    const std::string expected =
        "时间\tPDT101差压(kPa)\tPT101压力(MPa)\tTT101温度(℃)\t流量(t/h)\t流量(t/h)\t热量(GJ)\t\r\n"
        " 2026-01-05 00:02:00\t2.00\t1002.000\t2002.0\t3002.00\t4002.00\t5002.00\r\n"
        " 2026-01-05 00:03:00\t3.00\t1003.000\t2003.0\t3003.00\t4003.00\t5003.00\r\n"
        " 2026-01-05 00:04:00\t4.00\t1004.000\t2004.0\t3004.00\t4004.00\t5004.00\r\n";
    EXPECT_EQ(kvr::BuildGridCopyText(*file, T0() + 120, T0() + 240), expected);
    EXPECT_EQ(kvr::BuildGridCopyText(*file, T0() + 240, T0() + 120), expected);
}

TEST(GridCopy, MissingRecordsAndUnitlessChannels) {
    kvrtest::TempDir dir;
    kvr::SampleOptions options = guitest::Records(6);
    options.capacity = 4;  // the last two moments have no stored record
    auto file = guitest::OpenSample(dir, options);
    ASSERT_TRUE(file);
    std::memset(file->Header().channels[5].unit, 0, sizeof file->Header().channels[5].unit);

    const std::string text = kvr::BuildGridCopyText(*file, T0() + 5 * 60, T0() + 3 * 60);
    EXPECT_NE(text.find("\t热量\t\r\n"), std::string::npos) << "no brackets without a unit:\n" << text;
    EXPECT_NE(text.find(" 2026-01-05 00:03:00\t3.00\t1003.000"), std::string::npos) << text;
    EXPECT_NE(text.find(" 2026-01-05 00:05:00\t----\t----\t----\t----\t----\t----\r\n"), std::string::npos)
        << text;
    EXPECT_EQ(kvr::ChannelValueText(*file, 0, T0() + 3 * 60), "3.00");
    EXPECT_EQ(kvr::ChannelValueText(*file, 0, T0() + 4 * 60), "----");
    EXPECT_EQ(kvr::ChannelValueText(*file, 0, T0() - 60), "----");
}

TEST(ChannelText, AlarmBandMarksOnlyValuesOutsideARealBand) {
    kvrtest::TempDir dir;
    auto file = guitest::OpenSample(dir, guitest::Records(2));
    ASSERT_TRUE(file);
    kvr::ChannelDescriptor& channel = file->Header().channels[0];
    struct Case { float low, high, value; bool red; };
    const Case cases[] = {
        {2.0f, 35.0f, 2.0f, false},  {2.0f, 35.0f, 35.0f, false}, {2.0f, 35.0f, 1.99f, true},
        {2.0f, 35.0f, 35.01f, true}, {2.0f, 35.0f, 20.0f, false},
        // A band whose high limit is not above the low one marks nothing.
        {5.0f, 5.0f, 9.0f, false},   {10.0f, 3.0f, 0.0f, false},  {10.0f, 3.0f, 20.0f, false},
    };
    for (const Case& c : cases) {
        channel.alarmLow = kvr::DecimalTriple::Encode(c.low, 2);
        channel.alarmHigh = kvr::DecimalTriple::Encode(c.high, 2);
        EXPECT_EQ(kvr::IsOutsideAlarmBand(*file, 0, c.value), c.red)
            << c.value << " in [" << c.low << ", " << c.high << "]";
    }
}
