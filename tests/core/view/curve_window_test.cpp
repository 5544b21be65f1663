#include "core/view/curve_window.h"
#include "core/view/time_window_policy.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

namespace {

using kvr::CurveWindow;
using kvr::Time;

constexpr Time kStart = 1767571200;  // a whole day, so snapping is easy to read

CurveWindow MakeWindow(Time length, int interval, float startFraction, float widthFraction) {
    CurveWindow window;
    window.SetBrowseRange(kStart, kStart + length);
    window.SetInterval(interval);
    window.SetStartFraction(startFraction);
    window.SetWidthFraction(widthFraction);
    window.ComputeWindow();
    return window;
}

TEST(CurveWindow, WindowIsSnappedToWholeIntervals) {
    struct Case {
        Time length;
        int interval;
        float start, width;
        Time expectedStart, expectedEnd;  // relative to kStart
    };
    const Case cases[] = {
        {3600, 60, 0.0f, 1.0f, 0, 3600},            // the whole range
        {3600, 60, 0.25f, 0.5f, 900, 2700},         // exact quarters
        {3600, 60, 0.26f, 0.5f, 900, 2700},         // both ends snapped down from the start
        {3599, 60, 0.5f, 0.5f, 1799, 3599},         // reaching the end: back from the end
        {3600, 7, 0.5f, 0.5f, 3600 - 1799, 3600},   // odd interval, counted back from the end
        {3600, 60, 0.9f, 0.5f, 3600 - 1800, 3600},  // past the end: held at the end
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.length << " " << c.interval << " " << c.start << " " << c.width);
        const CurveWindow window = MakeWindow(c.length, c.interval, c.start, c.width);
        EXPECT_EQ(window.WindowStart() - kStart, c.expectedStart);
        EXPECT_EQ(window.WindowEnd() - kStart, c.expectedEnd);
        if (window.ReachesEnd()) {
            EXPECT_EQ((window.BrowseEnd() - window.WindowStart()) % c.interval, 0);
        } else {
            EXPECT_EQ((window.WindowStart() - kStart) % c.interval, 0);
            EXPECT_EQ((window.WindowEnd() - kStart) % c.interval, 0);
        }
    }
}

TEST(CurveWindow, ColumnsMapToRecordTimesAndTheLastColumnToTheBrowseEnd) {
    for (const int width : {600, 1548, 37}) {
        for (const int interval : {1, 10, 60}) {
            SCOPED_TRACE(testing::Message() << width << " " << interval);
            const CurveWindow whole = MakeWindow(86400 - interval, interval, 0.0f, 1.0f);
            EXPECT_EQ(whole.PixelToTime(0, width), kStart);
            EXPECT_EQ(whole.PixelToTime(width - 1, width), whole.BrowseEnd());
            EXPECT_EQ(whole.PixelToTime(width, width), whole.BrowseEnd());
            Time previous = whole.PixelToTime(0, width);
            for (int x = 1; x <= width; ++x) {
                const Time t = whole.PixelToTime(x, width);
                EXPECT_GE(t, previous);
                EXPECT_EQ((t - kStart) % interval, 0) << x;
                previous = t;
            }
            // A window short of the end keeps its last column inside the window.
            const CurveWindow part = MakeWindow(86400 - interval, interval, 0.0f, 0.5f);
            EXPECT_LT(part.PixelToTime(width - 1, width), part.WindowEnd());
        }
    }
}

TEST(CurveWindow, TimeToPixelRoundsAndClamps) {
    const CurveWindow window = MakeWindow(600, 1, 0.0f, 1.0f);
    EXPECT_EQ(window.TimeToPixel(kStart, 600), 0);
    EXPECT_EQ(window.TimeToPixel(kStart + 300, 600), 300);
    EXPECT_EQ(window.TimeToPixel(kStart + 600, 600), 599);
    EXPECT_EQ(window.TimeToPixel(kStart - 5000, 600), 0);
    EXPECT_EQ(window.TimeToPixel(kStart + 999999, 600), 599);
    // Every column's time comes back to that column.
    for (int x = 0; x < 599; ++x) EXPECT_EQ(window.TimeToPixel(window.PixelToTime(x, 600), 600), x);

    // A window of one instant has no scale; it must not divide by zero.
    CurveWindow instant;
    instant.SetBrowseRange(kStart, kStart);
    instant.ComputeWindow();
    EXPECT_EQ(instant.TimeToPixel(kStart, 600), 0);
    EXPECT_EQ(instant.PixelToTime(599, 600), kStart);
}

TEST(CurveWindow, StartAndEndPointsKeepTheOtherEdge) {
    CurveWindow window = MakeWindow(1000, 1, 0.0f, 1.0f);
    ASSERT_TRUE(window.SetStartPoint(kStart + 200));
    EXPECT_FLOAT_EQ(window.StartFraction(), 0.2f);
    EXPECT_FLOAT_EQ(window.StartFraction() + window.WidthFraction(), 1.0f);
    ASSERT_TRUE(window.SetEndPoint(kStart + 700));
    EXPECT_FLOAT_EQ(window.StartFraction(), 0.2f);
    EXPECT_FLOAT_EQ(window.WidthFraction(), 0.5f);
    window.ComputeWindow();
    EXPECT_EQ(window.WindowStart(), kStart + 200);
    EXPECT_EQ(window.WindowEnd(), kStart + 700);

    // A point on the wrong side of the kept edge, or one never placed (0), changes nothing.
    EXPECT_FALSE(window.SetStartPoint(kStart + 800));
    EXPECT_FALSE(window.SetEndPoint(kStart + 100));
    EXPECT_FALSE(window.SetStartPoint(0));
    EXPECT_FLOAT_EQ(window.StartFraction(), 0.2f);
    EXPECT_FLOAT_EQ(window.WidthFraction(), 0.5f);

    // The right edge itself is a valid start point (an empty window, not a negative one).
    EXPECT_TRUE(window.SetStartPoint(kStart + 700));
    EXPECT_GE(window.WidthFraction(), 0.0f);

    window.SetSpan(kStart + 900, kStart + 300);  // either order
    window.ComputeWindow();
    EXPECT_EQ(window.WindowStart(), kStart + 300);
    EXPECT_EQ(window.WindowEnd(), kStart + 900);
}

TEST(CurveWindow, CenteredSpanStaysInsideTheFile) {
    const Time first = kStart;
    const Time last = kStart + 1000;
    EXPECT_EQ(CurveWindow::CenteredSpan(kStart + 500, 101, first, last),
              std::make_pair(kStart + 450, kStart + 551));
    EXPECT_EQ(CurveWindow::CenteredSpan(kStart + 10, 100, first, last),
              std::make_pair(kStart, kStart + 100));
    EXPECT_EQ(CurveWindow::CenteredSpan(kStart + 990, 100, first, last),
              std::make_pair(kStart + 900, kStart + 1000));
    EXPECT_EQ(CurveWindow::CenteredSpan(kStart + 500, 5000, first, last),
              std::make_pair(first, last));
}

TEST(CurveWindow, RecordWindowShowsOneRecordPerColumn) {
    CurveWindow window;
    window.SetBrowseRange(kStart, kStart + 10000);
    window.SetInterval(10);
    window.ComputeRecordWindow(500, true);
    EXPECT_EQ(window.WindowEnd(), kStart + 10000);
    EXPECT_EQ(window.WindowStart(), kStart + 10000 - 5000);

    window.SetStartFraction(0.1234f);
    window.ComputeRecordWindow(500, false);
    EXPECT_EQ(window.WindowStart(), kStart + 1230);
    EXPECT_EQ(window.WindowEnd(), kStart + 1230 + 5000);
    const auto [start, width] = window.RecordWindowBarFractions(500);
    EXPECT_FLOAT_EQ(start, 0.123f);
    EXPECT_FLOAT_EQ(width, 0.5f);

    window.SetBrowseRange(kStart, kStart + 5);  // less than one interval recorded
    EXPECT_EQ(window.RecordWindowBarFractions(500), std::make_pair(0.0f, 1.0f));
}

TEST(TimeAxisLabels, LabelsKeepTheirSpacing) {
    struct Case {
        int grid, width, spacing;
        std::vector<int> expected;
    };
    const Case cases[] = {
        {10, 1000, 50, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},  // 100 px apart
        {10, 1000, 100, {2, 4, 6, 8, 10}},                // exactly 100 is not more than 100
        {20, 600, 50, {2, 4, 6, 8, 10, 12, 14, 16, 18, 20}},
        {12, 600, 100, {3, 6, 9, 12}},
        {3, 100, 50, {2}},
        {0, 600, 50, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.grid << " " << c.width << " " << c.spacing);
        const std::vector<int> labelled = kvr::LabelledTimeDivisions(c.grid, c.width, c.spacing);
        EXPECT_EQ(labelled, c.expected);
        const float step = static_cast<float>(c.width) / std::max(c.grid, 1);
        int last = 0;
        for (const int i : labelled) {
            EXPECT_GT((i - last) * step, c.spacing);
            last = i;
        }
    }
}

TEST(TimeAxisLabel, WindowsLongerThanADayDateTheFirstLabelOfEveryDay) {
    const Time day = 86400;
    const Time noon = kvr::MakeTime({2026, 1, 5, 12, 0, 0});
    const Time nextMidnight = kvr::MakeTime({2026, 1, 6, 0, 0, 0});
    struct Case {
        Time t;
        std::optional<Time> previous;
        Time span;
        int xStyle;
        const char* expected;
    } cases[] = {
        {noon, std::nullopt, day, 0, "12:00:00"},  // a day or less: times only
        {nextMidnight, noon, day, 0, "00:00:00"},
        {noon, std::nullopt, 7 * day, 0, "01-05 12:00"},  // the first label of a week
        {noon + 3600, noon, 7 * day, 0, "13:00:00"},      // same day as the label before
        {nextMidnight, noon, 7 * day, 0, "01-06 00:00"},  // a new day
        {nextMidnight + 360 * day, nextMidnight, 400 * day, 0, "01-01 00:00"},
        {noon, noon - day, 2 * day, 1, "2026-01-05 12:00:00"},  // long style as before
    };
    for (const Case& c : cases)
        EXPECT_EQ(kvr::TimeAxisLabel(c.t, c.previous, c.span, c.xStyle), c.expected);
}

TEST(TimeWindowPolicy, AutoScaleSpansTheRecordedTimeUntilItFillsThePlotThenScrolls) {
    const int width = 600;
    kvr::RecordWindowPolicy perColumn;
    kvr::AutoScaleWindowPolicy autoScale;
    CurveWindow window;
    window.SetInterval(1);

    // The first record alone: one interval of room, drawn at the left edge.
    window.SetBrowseRange(kStart, kStart);
    autoScale.Compute(window, width);
    EXPECT_EQ(window.WindowStart(), kStart);
    EXPECT_EQ(window.WindowEnd(), kStart + 1);
    EXPECT_EQ(window.TimeToPixel(kStart, width), 0);

    // The first minute fills the plot; one record a column leaves it in the last 60 columns.
    window.SetBrowseRange(kStart, kStart + 59);
    autoScale.Compute(window, width);
    EXPECT_EQ(window.WindowStart(), kStart);
    EXPECT_EQ(window.WindowEnd(), kStart + 59);
    EXPECT_EQ(window.PixelToTime(width / 2, width), kStart + 30);
    EXPECT_EQ(autoScale.BarFractions(window, width), (std::pair{0.0f, 1.0f}));
    perColumn.Compute(window, width);
    EXPECT_EQ(window.WindowStart(), kStart + 59 - width);
    EXPECT_GT(window.TimeToPixel(kStart, width), width - 62);

    // Once the records fill the plot both scroll alike, following or not.
    window.SetBrowseRange(kStart, kStart + 1000);
    for (const bool following : {true, false}) {
        autoScale.following = perColumn.following = following;
        window.SetStartFraction(0.25f);
        autoScale.Compute(window, width);
        const std::pair scaled{window.WindowStart(), window.WindowEnd()};
        perColumn.Compute(window, width);
        EXPECT_EQ(scaled, (std::pair{window.WindowStart(), window.WindowEnd()}));
        EXPECT_EQ(scaled.second - scaled.first, width);
        EXPECT_EQ(autoScale.BarFractions(window, width), perColumn.BarFractions(window, width));
    }
}

}  // namespace
