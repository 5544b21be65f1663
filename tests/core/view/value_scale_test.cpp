#include "core/view/value_scale.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/view/curve_pages.h"

namespace {

using kvr::ValueScale;

ValueScale MakeScale(float low, float high, int divisions, int plotHeight) {
    ValueScale scale;
    scale.SetRange(low, high, divisions);
    scale.Compute(plotHeight);
    return scale;
}

TEST(ValueScale, WholeRangeFillsThePlot) {
    const ValueScale scale = MakeScale(0.0f, 100.0f, 10, 400);
    EXPECT_EQ(scale.Spacing(), 40);
    EXPECT_FLOAT_EQ(scale.VisibleHigh(), 100.0f);
    EXPECT_FLOAT_EQ(scale.VisibleLow(), 0.0f);
    EXPECT_EQ(scale.Row(100.0), 0);
    EXPECT_EQ(scale.Row(0.0), 400);
    EXPECT_EQ(scale.Row(50.0), 200);
    EXPECT_EQ(scale.Row(33.3), 266);  // truncated, not rounded
    // Far-off values stay far off instead of wrapping around.
    EXPECT_LT(scale.Row(1e30), -1000);
    EXPECT_GT(scale.Row(-1e30), 1400);
    EXPECT_EQ(scale.Row(std::nan("")), 400);

    // A division count of 0 from a damaged file is taken as 1; an empty range has no scale.
    EXPECT_EQ(MakeScale(0.0f, 100.0f, 0, 400).Spacing(), 400);
    const ValueScale flat = MakeScale(5.0f, 5.0f, 10, 400);
    EXPECT_EQ(flat.Row(5.0), 400);
}

TEST(ValueScale, PanMovesByWholeDivisionsAndKeepsTheOffsetNonPositive) {
    for (const int dy : {1, 39, 40, 41, 100, -1, -40, -41, -100, 1000, -1000}) {
        SCOPED_TRACE(dy);
        ValueScale scale = MakeScale(0.0f, 100.0f, 10, 400);
        const float highBefore = scale.VisibleHigh();
        scale.Pan(dy);
        EXPECT_LE(scale.Offset(), 0);
        EXPECT_GE(scale.Offset(), -scale.Spacing());
        // The top value only ever moves by whole divisions.
        const float divisions = (scale.ScrollTop() - 100.0f) / scale.Step();
        EXPECT_NEAR(divisions, std::round(divisions), 1e-4);
        // What is seen moves with the mouse: one pixel is step / spacing.
        EXPECT_NEAR(scale.VisibleHigh() - highBefore, dy * scale.Step() / scale.Spacing(), 1e-3);
    }
    // Dragging back and forth ends where it began.
    ValueScale scale = MakeScale(0.0f, 100.0f, 10, 400);
    for (int i = 0; i < 7; ++i) scale.Pan(23);
    for (int i = 0; i < 7; ++i) scale.Pan(-23);
    EXPECT_FLOAT_EQ(scale.VisibleHigh(), 100.0f);
}

TEST(ValueScale, StretchIsLimitedTo4To600Pixels) {
    ValueScale scale = MakeScale(0.0f, 100.0f, 10, 400);  // spacing 40
    EXPECT_FALSE(scale.Stretch(37));                      // 3 px
    EXPECT_EQ(scale.Spacing(), 40);
    EXPECT_TRUE(scale.Stretch(36));  // 4 px
    EXPECT_EQ(scale.Spacing(), 4);
    EXPECT_FALSE(scale.Stretch(-597));  // 601 px
    EXPECT_TRUE(scale.Stretch(-596));   // 600 px
    EXPECT_EQ(scale.Spacing(), 600);
    EXPECT_NEAR(scale.VisibleHigh() - scale.VisibleLow(), 400 * 10.0f / 600, 1e-4);

    // A panned scale never loops on a plot too small to have any spacing.
    ValueScale tiny = MakeScale(0.0f, 100.0f, 100, 10);
    EXPECT_FALSE(tiny.HasLines());
    tiny.Pan(50);
    EXPECT_EQ(tiny.Offset(), 0);
}

TEST(ValueScale, LabelsStayTwelvePixelsApart) {
    struct Case {
        int spacing, every;
    };
    for (const Case c :
         {Case{40, 1}, Case{12, 1}, Case{11, 2}, Case{6, 2}, Case{5, 3}, Case{4, 3}}) {
        SCOPED_TRACE(c.spacing);
        ValueScale scale = MakeScale(0.0f, 100.0f, 10, 400);
        scale.Stretch(scale.Spacing() - c.spacing);
        ASSERT_EQ(scale.Spacing(), c.spacing);
        EXPECT_EQ(scale.LabelEvery(), c.every);
        int lastLabel = -1000;
        for (int k = -1; !scale.IsPastBottom(k); ++k) {
            if (!scale.IsLabelled(k)) continue;
            EXPECT_GE(scale.LineRow(k) - lastLabel, 12);
            lastLabel = scale.LineRow(k);
        }
    }
    // Labels keep their divisions while panning: the range low stays labelled.
    ValueScale scale = MakeScale(0.0f, 100.0f, 10, 400);
    scale.Stretch(40 - 5);
    scale.Pan(5 * 7);
    for (int k = -1; !scale.IsPastBottom(k); ++k) {
        const float value = scale.LineValue(k);
        const long division = std::lround(value / 10.0f);
        EXPECT_EQ(scale.IsLabelled(k), division % 3 == 0) << value;
    }
}

kvr::FileHeader HeaderWithStates(std::initializer_list<int> states) {
    kvr::FileHeader header;
    header.channelCount = static_cast<std::uint8_t>(states.size());
    int c = 0;
    for (const int state : states)
        header.channels[c++].showState = static_cast<std::uint8_t>(state);
    return header;
}

std::vector<int> ShownChannels(const kvr::FileHeader& header) {
    std::vector<int> shown;
    for (int c = 0; c < header.channelCount; ++c)
        if (header.channels[c].showState == 1) shown.push_back(c);
    return shown;
}

TEST(CurvePages, NextAndPreviousFourStepThroughTheChannels) {
    kvr::FileHeader header = HeaderWithStates({1, 1, 1, 1, 1, 1, 1, 1, 1, 1});
    int page = 0;
    const std::vector<std::vector<int>> expected = {
        {0, 1, 2, 3}, {4, 5, 6, 7}, {8, 9}, {0, 1, 2, 3}};
    for (const auto& shown : expected) {
        page = kvr::ShowNextFourCurves(header, page);
        EXPECT_EQ(ShownChannels(header), shown);
    }
    EXPECT_EQ(page, 4);
    page = kvr::ShowPreviousFourCurves(header, page);
    EXPECT_EQ(ShownChannels(header), (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(page, 0);
    page = kvr::ShowPreviousFourCurves(header, page);
    EXPECT_EQ(ShownChannels(header), (std::vector<int>{0}));
    EXPECT_EQ(page, 9);  // wrapped to the last channel
    page = kvr::ShowPreviousFourCurves(header, page);
    EXPECT_EQ(ShownChannels(header), (std::vector<int>{6, 7, 8, 9}));
}

TEST(CurvePages, ChannelsNotInUseAreNeverShown) {
    // Six channels, 1 and 4 not in use.
    kvr::FileHeader header = HeaderWithStates({0, 2, 0, 1, 2, 1});
    int page = kvr::ShowNextFourCurves(header, 0);
    EXPECT_EQ(ShownChannels(header), (std::vector<int>{0, 2, 3}));
    EXPECT_EQ(page, 4);
    page = kvr::ShowNextFourCurves(header, page);
    EXPECT_EQ(ShownChannels(header), (std::vector<int>{5}));
    EXPECT_EQ(page, 0);
    kvr::ShowPreviousFourCurves(header, 4);
    EXPECT_EQ(ShownChannels(header), (std::vector<int>{2, 3}));

    kvr::SetAllCurvesShown(header, true);
    EXPECT_EQ(ShownChannels(header), (std::vector<int>{0, 2, 3, 5}));
    kvr::SetAllCurvesShown(header, false);
    EXPECT_TRUE(ShownChannels(header).empty());
    EXPECT_EQ(header.channels[1].showState, 2);
    EXPECT_EQ(header.channels[4].showState, 2);

    kvr::FileHeader none = HeaderWithStates({});
    EXPECT_EQ(kvr::ShowNextFourCurves(none, 0), 0);
    EXPECT_EQ(kvr::ShowPreviousFourCurves(none, 0), 0);
}

}  // namespace
