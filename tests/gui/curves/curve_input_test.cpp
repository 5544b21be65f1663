// Mouse drags on the time scroll bar and on the value axis, as a user makes them.
#include <gtest/gtest.h>

#include <QtTest/QTest>

#include "gui/curves/curve_ctrl.h"
#include "gui/curves/time_scroll_bar.h"
#include "support/curve_test_support.h"

namespace {

using namespace guitest;

class ScrollBarTest : public testing::Test {
protected:
    void SetUp() override {
        App();
        bar_ = std::make_unique<CTimeScrollBar>();
        bar_->resize(kBarWidth, 16);
        bar_->SetFixedWidth(false);
        bar_->SetWidthFraction(0.25f);
        bar_->show();
    }

    // The thumb as the user sees it: client x of its first and last column.
    int ThumbLeft() const { return bar_->ThumbRect().left(); }
    int ThumbRight() const { return bar_->ThumbRect().right(); }
    QPoint ThumbCenter() const { return bar_->ThumbRect().center(); }

    static constexpr int kBarWidth = 400;
    static constexpr int kTrack = kBarWidth - 2 * 11 - 17;  // 361 pixels of travel
    std::unique_ptr<CTimeScrollBar> bar_;
};

TEST_F(ScrollBarTest, ThumbDraggedPastTheRightEndIsPinnedThere) {
    EXPECT_EQ(ThumbLeft(), 11);
    EXPECT_EQ(ThumbRight() + 1 - ThumbLeft(), 17 + static_cast<int>(kTrack * 0.25f));
    Drag(bar_.get(), ThumbCenter(), ThumbCenter() + QPoint(1000, 0));
    EXPECT_FLOAT_EQ(bar_->StartFraction(), 0.75f);
    EXPECT_FLOAT_EQ(bar_->WidthFraction(), 0.25f);
    EXPECT_EQ(ThumbRight(), kBarWidth - 11 - 1);

    // And past the left end it stops at the first track pixel.
    Drag(bar_.get(), ThumbCenter(), ThumbCenter() - QPoint(1000, 0));
    EXPECT_FLOAT_EQ(bar_->StartFraction(), 0.0f);
    EXPECT_EQ(ThumbLeft(), 11);

    // A drag in the middle moves the start by the pixels moved.
    Drag(bar_.get(), ThumbCenter(), ThumbCenter() + QPoint(100, 0));
    EXPECT_FLOAT_EQ(bar_->StartFraction(), 100.0f / kTrack);
}

TEST_F(ScrollBarTest, ThumbNeverNarrowerThanItsMinimum) {
    bar_->SetWidthFraction(-2.0f);
    EXPECT_EQ(bar_->WidthFraction(), 0.0f);
    EXPECT_EQ(bar_->ThumbRect().width(), 17);
    bar_->SetWidthFraction(3.0f);
    EXPECT_EQ(bar_->WidthFraction(), 1.0f);

    // Squeezing with a handle stops with the thumb edges 18 pixels apart.
    bar_->SetWidthFraction(0.5f);
    const QPoint leftHandle(ThumbLeft() - 5, 8);
    Drag(bar_.get(), leftHandle, leftHandle + QPoint(1000, 0));
    EXPECT_EQ(ThumbRight() + 1 - ThumbLeft(), 18);
    EXPECT_FLOAT_EQ(bar_->WidthFraction(), 1.0f / kTrack);

    const QPoint rightHandle(ThumbRight() + 5, 8);
    Drag(bar_.get(), rightHandle, rightHandle - QPoint(1000, 0));
    EXPECT_EQ(ThumbRight() + 1 - ThumbLeft(), 18);
    // Widening with the right handle is held at the end of the bar.
    Drag(bar_.get(), QPoint(ThumbRight() + 5, 8), QPoint(kBarWidth + 50, 8));
    EXPECT_EQ(ThumbRight(), kBarWidth - 11 - 1);
    EXPECT_NEAR(bar_->StartFraction() + bar_->WidthFraction(), 1.0f, 1e-6);
}

TEST_F(ScrollBarTest, FixedWidthBarIgnoresItsHandles) {
    bar_->SetFixedWidth(true);
    const QRect before = bar_->ThumbRect();
    const QPoint leftHandle(ThumbLeft() - 5, 8);
    Drag(bar_.get(), leftHandle, leftHandle + QPoint(60, 0));
    Drag(bar_.get(), QPoint(ThumbRight() + 5, 8), QPoint(ThumbRight() + 80, 8));
    EXPECT_EQ(bar_->ThumbRect(), before);
    EXPECT_FLOAT_EQ(bar_->WidthFraction(), 0.25f);
    EXPECT_FLOAT_EQ(bar_->StartFraction(), 0.0f);

    SendMouse(bar_.get(), QEvent::MouseMove, leftHandle, Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(bar_->cursor().shape(), Qt::ArrowCursor);
    bar_->SetFixedWidth(false);
    SendMouse(bar_.get(), QEvent::MouseMove, leftHandle, Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(bar_->cursor().shape(), Qt::SizeHorCursor);

    // The thumb body still pans a fixed-width bar.
    bar_->SetFixedWidth(true);
    Drag(bar_.get(), ThumbCenter(), ThumbCenter() + QPoint(50, 0));
    EXPECT_FLOAT_EQ(bar_->StartFraction(), 50.0f / kTrack);
}

TEST_F(ScrollBarTest, DraggingTellsTheCurveControlWhatToShow) {
    kvrtest::TempDir dir;
    auto file = OpenRampFile(dir);
    ASSERT_TRUE(file);
    CXCurveCtrl ctrl;
    ctrl.resize(kWidth, kHeight);
    ctrl.SetFile(file.get());
    ctrl.ApplyFileSettings();
    ctrl.SetScrollBar(bar_.get());
    bar_->SetTarget(&ctrl);
    ctrl.SetWidthFraction(0.25f);
    ctrl.show();
    ctrl.Rebuild();
    Drag(bar_.get(), ThumbCenter(), ThumbCenter() + QPoint(1000, 0));
    // Pinned at the end: the window ends at the last record.
    EXPECT_EQ(ctrl.GetWindowRange().second, file->GetEndTime());
    EXPECT_EQ(ctrl.GetWindowRange().second - ctrl.GetWindowRange().first, 150);
    // And the curve shows the last records: record 600 in the last column.
    const QImage image = Shot(ctrl);
    EXPECT_EQ(
        image.pixelColor(ctrl.PlotRect().topLeft() + QPoint(kPlotWidth - 1, ExpectedRow(600))),
        kRed);
}

class ValueAxisTest : public RampCurveTest {
protected:
    QColor PlotPixel(int column, int row) {
        return Shot(*ctrl_).pixelColor(ctrl_->PlotRect().topLeft() + QPoint(column, row));
    }
    QPoint AxisPoint(int row) const { return ctrl_->ValueAxisRect().topLeft() + QPoint(20, row); }
};

TEST_F(ValueAxisTest, PanningMovesTheCurvesWithTheMouse) {
    ASSERT_EQ(ctrl_->Scale().Spacing(), 40);
    ASSERT_EQ(PlotPixel(300, 200), kRed);
    // Two and a half divisions down: the curve follows by 100 pixels.
    Drag(ctrl_.get(), AxisPoint(150), AxisPoint(250));
    EXPECT_LE(ctrl_->Scale().Offset(), 0);
    EXPECT_GE(ctrl_->Scale().Offset(), -40);
    EXPECT_EQ(PlotPixel(300, 300), kRed);
    EXPECT_NE(PlotPixel(300, 200), kRed);
    // Back up by more: the offset never turns positive.
    Drag(ctrl_.get(), AxisPoint(300), AxisPoint(10));
    EXPECT_LE(ctrl_->Scale().Offset(), 0);
    EXPECT_EQ(PlotPixel(300, 10), kRed);
}

TEST_F(ValueAxisTest, StretchingIsLimitedTo4To600Pixels) {
    // Up by 20 pixels: divisions of 60 pixels, one value unit per pixel from 200 to 600.
    Drag(ctrl_.get(), AxisPoint(300), AxisPoint(280), Qt::RightButton);
    EXPECT_EQ(ctrl_->Scale().Spacing(), 60);
    EXPECT_EQ(PlotPixel(300, ExpectedRow(300, 200, 600)), kRed);
    // A jump past 600 pixels is ignored as a whole.
    SendMouse(ctrl_.get(), QEvent::MouseButtonPress, AxisPoint(300), Qt::RightButton,
              Qt::RightButton);
    SendMouse(ctrl_.get(), QEvent::MouseMove, AxisPoint(-300), Qt::NoButton, Qt::RightButton);
    SendMouse(ctrl_.get(), QEvent::MouseButtonRelease, AxisPoint(-300), Qt::RightButton,
              Qt::NoButton);
    EXPECT_EQ(ctrl_->Scale().Spacing(), 60);
    // Down to the minimum pixel by pixel: it stops at 4.
    SendMouse(ctrl_.get(), QEvent::MouseButtonPress, AxisPoint(0), Qt::RightButton,
              Qt::RightButton);
    for (int row = 1; row <= 100; ++row)
        SendMouse(ctrl_.get(), QEvent::MouseMove, AxisPoint(row), Qt::NoButton, Qt::RightButton);
    SendMouse(ctrl_.get(), QEvent::MouseButtonRelease, AxisPoint(100), Qt::RightButton,
              Qt::NoButton);
    EXPECT_EQ(ctrl_->Scale().Spacing(), 4);
}

TEST_F(ValueAxisTest, ArrowKeysStepTheCursorRecordByRecord) {
    // Zoomed in to 100 records over 600 columns: each record spans six columns.
    ctrl_->ZoomTo(file_->GetStartTime() + 100, file_->GetStartTime() + 200);
    QTest::mouseClick(ctrl_.get(), Qt::LeftButton, Qt::NoModifier,
                      ctrl_->PlotRect().topLeft() + QPoint(300, 300));
    const kvr::Time placed = ctrl_->GetCursorTime();
    QTest::keyClick(ctrl_.get(), Qt::Key_Right);
    EXPECT_EQ(ctrl_->GetCursorTime(), placed + 1);
    QTest::keyClick(ctrl_.get(), Qt::Key_Left);
    QTest::keyClick(ctrl_.get(), Qt::Key_Left);
    EXPECT_EQ(ctrl_->GetCursorTime(), placed - 1);
}

}  // namespace
