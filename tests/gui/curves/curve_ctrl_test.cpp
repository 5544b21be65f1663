// What the curve control draws: curves at the expected pixels, the read-out box, the
// selection band and markers, and the axis labels.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QtTest/QTest>

#include "gui/common/system_colors.h"
#include "gui/curves/curve_ctrl.h"
#include "support/curve_test_support.h"

namespace {

using namespace guitest;

class CurveCtrlTest : public RampCurveTest {
protected:
    void SetUp() override {
        RampCurveTest::SetUp();
        if (HasFatalFailure()) return;
        plot_ = ctrl_->PlotRect();
        ASSERT_EQ(plot_.width(), kPlotWidth);
        ASSERT_EQ(plot_.height(), kPlotHeight);
    }

    // Client point of a plot column and row.
    QPoint At(int column, int row) const { return plot_.topLeft() + QPoint(column, row); }
    QColor PlotPixel(const QImage& image, int column, int row) const {
        return image.pixelColor(At(column, row));
    }
    int CountInPlot(const QColor& color) { return CountColor(Shot(*ctrl_), plot_, color); }

    QRect plot_;
};

TEST_F(CurveCtrlTest, RampPassesThroughTheExpectedPixels) {
    const QImage image = Shot(*ctrl_);
    for (const int column : {1, 150, 300, 451, 598}) {
        SCOPED_TRACE(column);
        EXPECT_EQ(PlotPixel(image, column, ExpectedRow(column)), kRed);
        const int row = ExpectedRow(column);
        EXPECT_EQ(PlotPixel(image, column, row < 20 ? row + 20 : row - 20), Qt::black);
        if (column + 50 < 600) {
            EXPECT_EQ(PlotPixel(image, column, ExpectedRow(column + 50)), kGreen);
        }
    }
    // The last column shows the last record.
    EXPECT_EQ(PlotPixel(image, kPlotWidth - 1, ExpectedRow(600)), kRed);
    // Record 0 lies on the bottom edge of the scale, just below the plot: nothing of the
    // curve is drawn outside the plot.
    EXPECT_EQ(CountColor(image, QRect(0, 0, plot_.left(), kHeight), kRed), 0);
    EXPECT_EQ(CountColor(image, QRect(0, plot_.bottom() + 1, kWidth, kHeight), kRed), 0);
}

TEST_F(CurveCtrlTest, HiddenChannelDrawsNothing) {
    EXPECT_GT(CountInPlot(kRed), 500);
    file_->Header().channels[0].showState = 0;
    ctrl_->redrawCurves();
    EXPECT_EQ(CountInPlot(kRed), 0);
    EXPECT_GT(CountInPlot(kGreen), 500);
    file_->Header().channels[1].showState = 2;
    ctrl_->redrawCurves();
    EXPECT_EQ(CountInPlot(kGreen), 0);
}

TEST_F(CurveCtrlTest, PercentModeDrawsThePercentOfTheChannelRange) {
    // Channel 0 measures 0 … 40 kPa: record 20 is 50 %, record 30 is 75 %, and record 500
    // is held at 100 % (channel 1, always at 100 %, is drawn over it there).
    file_->Header().yMode = 0;
    ctrl_->ApplyFileSettings();
    ctrl_->Rebuild();
    QImage image = Shot(*ctrl_);
    EXPECT_EQ(PlotPixel(image, 20, ExpectedRow(50.0)), kRed);
    EXPECT_EQ(PlotPixel(image, 30, ExpectedRow(75.0)), kRed);
    EXPECT_EQ(PlotPixel(image, 500, ExpectedRow(100.0)), kGreen);
    EXPECT_NE(PlotPixel(image, 20, ExpectedRow(20.0)), kRed);

    file_->Header().yMode = 1;
    ctrl_->ApplyFileSettings();
    ctrl_->Rebuild();
    image = Shot(*ctrl_);
    EXPECT_EQ(PlotPixel(image, 20, ExpectedRow(20.0)), kRed);
    EXPECT_NE(PlotPixel(image, 20, ExpectedRow(50.0)), kRed);
}

TEST_F(CurveCtrlTest, CursorShowsLineMarkerAndReadoutOnTheFarSide) {
    QTest::mouseClick(ctrl_.get(), Qt::LeftButton, Qt::NoModifier, At(100, 300));
    EXPECT_EQ(ctrl_->GetCursorTime(), file_->GetStartTime() + 100);
    QImage image = Shot(*ctrl_);
    // A contrasting line over the black plot and a yellow marker above it.
    EXPECT_EQ(PlotPixel(image, 100, 390), Qt::white);
    EXPECT_EQ(image.pixelColor(At(100, 0).x(), 5), kYellow);
    // Cursor in the left half: the box stands at the right edge of the plot.
    QRect box = ctrl_->ReadoutRect();
    ASSERT_FALSE(box.isEmpty());
    EXPECT_EQ(box.right(), plot_.right());
    EXPECT_EQ(box.top(), plot_.top());
    EXPECT_EQ(image.pixelColor(box.right() - 5, box.top() + 30), ButtonFaceColor());
    // Device, time, two channels, blank, flow, heat.
    EXPECT_EQ(box.height(), 7 * 18);

    QTest::mouseClick(ctrl_.get(), Qt::LeftButton, Qt::NoModifier, At(301, 300));
    image = Shot(*ctrl_);
    box = ctrl_->ReadoutRect();
    EXPECT_EQ(box.left(), plot_.left());
    EXPECT_EQ(image.pixelColor(box.left() + 5, box.top() + 30), ButtonFaceColor());
    // The old box is gone.
    EXPECT_EQ(PlotPixel(image, kPlotWidth - 5, 30), Qt::black);
}

TEST_F(CurveCtrlTest, ReadoutWritesValuesOutsideTheAlarmBandInRed) {
    // Channel 0's alarm band is 2 … 35 kPa; give its curve a colour that is not red.
    file_->Header().channels[0].color = 0x00FF0000;
    const auto reddish = [](QColor c) { return c.red() > 150 && c.green() < 90 && c.blue() < 90; };
    const auto channelRowRedPixels = [&](int record) {
        QTest::mouseClick(ctrl_.get(), Qt::LeftButton, Qt::NoModifier, At(record, 300));
        const QRect box = ctrl_->ReadoutRect();
        const QRect textArea(box.left() + 10 + 33, box.top() + 2 * 18, box.width() - 53, 18);
        return CountPixels(Shot(*ctrl_), textArea, reddish);
    };
    EXPECT_GT(channelRowRedPixels(1), 10);   // 1 kPa: below the band
    EXPECT_EQ(channelRowRedPixels(10), 0);   // inside
    EXPECT_GT(channelRowRedPixels(40), 10);  // above
}

TEST_F(CurveCtrlTest, SelectionBandAndMarkersCoverTheSelectedTimes) {
    QTest::mouseDClick(ctrl_.get(), Qt::LeftButton, Qt::NoModifier, At(10, 10));
    ASSERT_TRUE(ctrl_->IsSelectMode());
    // Dragged from right to left: the selection still runs forward.
    Drag(ctrl_.get(), At(300, 50), At(100, 50));
    const auto [start, end] = ctrl_->GetSelection();
    EXPECT_EQ(start, file_->GetStartTime() + 100);
    EXPECT_EQ(end, file_->GetStartTime() + 300);

    const QImage image = Shot(*ctrl_);
    const QColor band(0, 80, 80);  // XOR over the black background
    for (const int column : {100, 200, 300})
        EXPECT_EQ(PlotPixel(image, column, 50), band) << column;
    EXPECT_EQ(PlotPixel(image, 99, 50), Qt::black);
    EXPECT_EQ(PlotPixel(image, 301, 50), Qt::black);
    // A curve inside the band shows through it.
    EXPECT_EQ(PlotPixel(image, 200, ExpectedRow(200)), QColor(255 ^ 0, 0 ^ 80, 0 ^ 80));
    // Markers point at both ends of the band.
    EXPECT_EQ(image.pixelColor(At(99, 0).x(), 5), kYellow);
    EXPECT_EQ(image.pixelColor(At(300, 0).x(), 5), kYellow);
    EXPECT_EQ(image.pixelColor(At(200, 0).x(), 5), ButtonFaceColor());

    // The copy is the plot between both ends, without the band.
    ctrl_->CopySelection();
    const QImage copy = QGuiApplication::clipboard()->image();
    ASSERT_EQ(copy.width(), 201);
    EXPECT_EQ(copy.height(), kPlotHeight);
    EXPECT_EQ(copy.pixelColor(100, ExpectedRow(200)), kRed);
    EXPECT_EQ(copy.pixelColor(100, 50), Qt::black);

    // Dragged back onto its starting column the selection is empty: band and markers go.
    // (A press away from both edges starts a new selection; one on an edge moves that edge.)
    SendMouse(ctrl_.get(), QEvent::MouseButtonPress, At(150, 50), Qt::LeftButton, Qt::LeftButton);
    SendMouse(ctrl_.get(), QEvent::MouseMove, At(300, 50), Qt::NoButton, Qt::LeftButton);
    ASSERT_EQ(PlotPixel(Shot(*ctrl_), 200, 50), band);
    EXPECT_EQ(PlotPixel(Shot(*ctrl_), 120, 50), Qt::black) << "the old selection went";
    SendMouse(ctrl_.get(), QEvent::MouseMove, At(150, 50), Qt::NoButton, Qt::LeftButton);
    const QImage emptied = Shot(*ctrl_);
    EXPECT_EQ(CountColor(emptied, plot_, band), 0);
    EXPECT_EQ(CountColor(emptied, ctrl_->MarkerStripRect(), kYellow), 0);
    SendMouse(ctrl_.get(), QEvent::MouseButtonRelease, At(150, 50), Qt::LeftButton, Qt::NoButton);
}

TEST_F(CurveCtrlTest, ValueLabelsLeaveTwelvePixelsAndTimeLabelsTheirSpacing) {
    // Fifty divisions of 8 pixels: only every second one is labelled (a longer tick).
    file_->Header().gridCount2 = 50;
    file_->Header().gridCount1 = 20;  // time divisions of 30 pixels: every second labelled
    ctrl_->ApplyFileSettings();
    ctrl_->Rebuild();
    const QImage image = Shot(*ctrl_);
    const QRect axis = ctrl_->ValueAxisRect();
    const QColor shadow = ButtonShadowColor();
    for (int k = 1; k < 49; ++k) {
        const QPoint longTick(axis.right() - 5, axis.top() + 8 * k);
        EXPECT_EQ(image.pixelColor(longTick) == shadow, k % 2 == 0) << k;
        EXPECT_EQ(image.pixelColor(longTick + QPoint(2, 0)), shadow) << k;  // every tick
    }
    const QRect time = ctrl_->TimeAxisRect();
    for (int i = 1; i < 20; ++i) {
        const QPoint longTick(time.left() + 30 * i, time.top() + 5);
        EXPECT_EQ(image.pixelColor(longTick) == shadow, i % 2 == 0) << i;
        EXPECT_EQ(image.pixelColor(longTick - QPoint(0, 3)), shadow) << i;
    }
}

TEST_F(CurveCtrlTest, NoFileDrawsAnEmptyBlackPlot) {
    CXCurveCtrl empty;
    empty.resize(kWidth, kHeight);
    empty.show();
    empty.Rebuild();
    QTest::mouseClick(&empty, Qt::LeftButton, Qt::NoModifier, At(100, 100));
    const QImage image = Shot(empty);
    EXPECT_EQ(CountColor(image, empty.PlotRect(), Qt::black), kPlotWidth * kPlotHeight);
    EXPECT_TRUE(empty.ReadoutRect().isEmpty());
}

}  // namespace
