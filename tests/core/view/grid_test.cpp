// The arithmetic and texts behind the data list, without widgets.
#include <gtest/gtest.h>

#include <cstring>

#include "core/view/channel_text.h"
#include "core/view/grid_copy.h"
#include "core/view/grid_rows.h"
#include "support/test_support.h"

using kvr::GridTimeline;
using kvr::Time;
using kvrtest::SampleStart;

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
    const GridTimeline line = Line(SampleStart(), SampleStart() + 990, 10, 3);
    struct Case {
        Time t;
        std::int64_t sequence;
    };
    for (const Case c :
         {Case{SampleStart(), 1}, Case{SampleStart() + 29, 1}, Case{SampleStart() + 30, 2},
          Case{SampleStart() + 60, 3}, Case{SampleStart() + 990, 34}})
        EXPECT_EQ(line.SequenceNumber(c.t), c.sequence) << c.t - SampleStart();
    EXPECT_EQ(line.RowTime(SampleStart(), 1), SampleStart());
    EXPECT_EQ(line.RowTime(SampleStart(), 3), SampleStart() + 60);
    EXPECT_EQ(line.RowTime(SampleStart() + 30, 0), SampleStart()) << "the row above the top";
    EXPECT_EQ(line.RowTime(SampleStart(), 1000), SampleStart() + 990) << "clamped to the end";
    EXPECT_EQ(line.ScreenRow(SampleStart() + 90, SampleStart() + 30), 3);
    EXPECT_EQ(line.ScreenRow(SampleStart(), SampleStart() + 30), 0) << "above the window";
    EXPECT_EQ(line.SnapToRow(SampleStart() + 75), SampleStart() + 60);
    EXPECT_EQ(line.SnapToRow(SampleStart() - 75), SampleStart());
    EXPECT_EQ(line.SnapToRow(SampleStart() + 5000), SampleStart() + 990);
}

TEST(GridTimeline, ScrollingStopsAtTheEnds) {
    const GridTimeline line = Line(SampleStart(), SampleStart() + 99 * 60, 60, 1);
    EXPECT_EQ(line.Scroll(SampleStart(), -1), SampleStart());
    EXPECT_EQ(line.Scroll(SampleStart(), 10), SampleStart() + 600);
    // The last record may end up as the only row.
    EXPECT_EQ(line.Scroll(SampleStart() + 95 * 60, 100), SampleStart() + 99 * 60);
    EXPECT_EQ(line.Scroll(SampleStart() + 99 * 60, -100), SampleStart());
}

TEST(GridTimeline, ContinuousPrintingPages) {
    struct Case {
        int records;
        int step;
        Time topRecord;
        int pages;
    };
    for (const Case c : {Case{1, 1, 0, 1}, Case{40, 1, 0, 1}, Case{41, 1, 0, 2}, Case{80, 1, 0, 2},
                         Case{81, 1, 0, 3}, Case{80, 2, 0, 1}, Case{81, 2, 0, 2},
                         Case{100, 1, 60, 1}, Case{100, 1, 59, 2}}) {
        const GridTimeline line =
            Line(SampleStart(), SampleStart() + (c.records - 1) * 10, 10, c.step);
        EXPECT_EQ(line.PageCount(SampleStart() + c.topRecord * 10), c.pages)
            << c.records << " records, step " << c.step << ", top record " << c.topRecord;
    }
}

TEST(GridTimeline, ScrollBarThumbCoversLargeFiles) {
    const int records = 262144;
    const GridTimeline line = Line(SampleStart(), SampleStart() + (records - 1) * 10, 10, 1);
    const int range = kvr::VerticalScrollRange(records);
    EXPECT_EQ(range, 32767);
    EXPECT_EQ(kvr::ThumbPosition(line, SampleStart(), records, range), 0);
    EXPECT_EQ(kvr::ThumbTop(line, 0, records, range), SampleStart());
    EXPECT_EQ(kvr::ThumbTop(line, range, records, range), line.end);
    // The thumb follows the top within one position.
    const Time middle = SampleStart() + 131072 * 10;
    const int position = kvr::ThumbPosition(line, middle, records, range);
    EXPECT_NEAR(position, range / 2, 1);
    EXPECT_NEAR(static_cast<double>(kvr::ThumbTop(line, position, records, range) - middle), 0.0,
                10.0 * 8);
    // New rows of a live file come in at the bottom, a few rows above the window's edge.
    EXPECT_EQ(line.FollowNewestTop(900, 20), line.end - 41 * 10);
    EXPECT_EQ(Line(SampleStart(), SampleStart() + 50, 10, 1).FollowNewestTop(900, 20),
              SampleStart());
}

TEST(GridCopy, TextIsExactWithEveryChannelAndEitherDirection) {
    kvrtest::TempDir dir;
    auto file = kvrtest::OpenSampleFile(dir, kvrtest::SampleRecords(10));
    ASSERT_TRUE(file);
    file->Header().channels[2].showState = 2;  // not in use: no column, but copied

    const std::string expected =
        "时间\tPDT101差压(kPa)\tPT101压力(MPa)\tTT101温度(℃)\t流量(t/h)\t流量(t/h)\t热量(GJ)\t\r\n"
        " 2026-01-05 00:02:00\t2.00\t1002.000\t2002.0\t3002.00\t4002.00\t5002.00\r\n"
        " 2026-01-05 00:03:00\t3.00\t1003.000\t2003.0\t3003.00\t4003.00\t5003.00\r\n"
        " 2026-01-05 00:04:00\t4.00\t1004.000\t2004.0\t3004.00\t4004.00\t5004.00\r\n";
    EXPECT_EQ(kvr::BuildGridCopyText(*file, SampleStart() + 120, SampleStart() + 240), expected);
    EXPECT_EQ(kvr::BuildGridCopyText(*file, SampleStart() + 240, SampleStart() + 120), expected);
}

TEST(GridCopy, MissingRecordsAndUnitlessChannels) {
    kvrtest::TempDir dir;
    kvr::SampleOptions options = kvrtest::SampleRecords(6);
    options.capacity = 4;  // the last two moments have no stored record
    auto file = kvrtest::OpenSampleFile(dir, options);
    ASSERT_TRUE(file);
    std::memset(file->Header().channels[5].unit, 0, sizeof file->Header().channels[5].unit);

    const std::string text =
        kvr::BuildGridCopyText(*file, SampleStart() + 5 * 60, SampleStart() + 3 * 60);
    EXPECT_NE(text.find("\t热量\t\r\n"), std::string::npos) << "no brackets without a unit:\n"
                                                            << text;
    EXPECT_NE(text.find(" 2026-01-05 00:03:00\t3.00\t1003.000"), std::string::npos) << text;
    EXPECT_NE(text.find(" 2026-01-05 00:05:00\t----\t----\t----\t----\t----\t----\r\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(kvr::ChannelValueText(*file, 0, SampleStart() + 3 * 60), "3.00");
    EXPECT_EQ(kvr::ChannelValueText(*file, 0, SampleStart() + 4 * 60), "----");
    EXPECT_EQ(kvr::ChannelValueText(*file, 0, SampleStart() - 60), "----");
}

TEST(ChannelText, AlarmBandMarksOnlyValuesOutsideARealBand) {
    kvrtest::TempDir dir;
    auto file = kvrtest::OpenSampleFile(dir, kvrtest::SampleRecords(2));
    ASSERT_TRUE(file);
    kvr::ChannelDescriptor& channel = file->Header().channels[0];
    struct Case {
        float low, high, value;
        bool red;
    };
    const Case cases[] = {
        {2.0f, 35.0f, 2.0f, false},
        {2.0f, 35.0f, 35.0f, false},
        {2.0f, 35.0f, 1.99f, true},
        {2.0f, 35.0f, 35.01f, true},
        {2.0f, 35.0f, 20.0f, false},
        // A band whose high limit is not above the low one marks nothing.
        {5.0f, 5.0f, 9.0f, false},
        {10.0f, 3.0f, 0.0f, false},
        {10.0f, 3.0f, 20.0f, false},
    };
    for (const Case& c : cases) {
        channel.alarmLow = kvr::DecimalTriple::Encode(c.low, 2);
        channel.alarmHigh = kvr::DecimalTriple::Encode(c.high, 2);
        EXPECT_EQ(kvr::IsOutsideAlarmBand(*file, 0, c.value), c.red)
            << c.value << " in [" << c.low << ", " << c.high << "]";
    }
}
