// One short excursion among a quarter of a million records, shown whole in 600 columns:
// the envelope keeps it, one sample a column loses it.
#include <gtest/gtest.h>

#include <QPainter>

#include "gui/common/command_ids.h"
#include "gui/curves/curve_renderer.h"
#include "gui/history/hc_view.h"
#include "support/curve_test_support.h"

namespace {

using namespace guitest;

constexpr int kManyRecords = 262144;
constexpr int kSpike = 123457;

class EnvelopeTest : public testing::Test {
protected:
    void SetUp() override {
        App();
        file_ = OpenRampFile(dir_, [](kvr::SampleOptions& options) {
            options.records = kManyRecords;
            options.sample = [](int channel, int record) {
                if (channel == 1) return 50.0f;
                return record == kSpike ? 500.0f : 100.0f;
            };
        });
        ASSERT_TRUE(file_);
        ctrl_ = ShowCurveCtrl(file_.get());
    }

    // Red pixels in the band of rows where the excursion's peak is drawn.
    int PeakPixels(const QImage& image, QPoint plotOrigin) const {
        const int row = ExpectedRow(500);
        return CountColor(image, QRect(plotOrigin + QPoint(0, row - 2), QSize(kPlotWidth, 5)),
                          kRed);
    }

    kvrtest::TempDir dir_;
    std::unique_ptr<kvr::CXFile> file_;
    std::unique_ptr<CXCurveCtrl> ctrl_;
};

TEST_F(EnvelopeTest, OneRecordSpikeShowsInWholeFileView) {
    ASSERT_TRUE(ctrl_->EnvelopeShown());  // on unless switched off
    const QRect plot = ctrl_->PlotRect();
    const QImage shown = Shot(*ctrl_);
    EXPECT_GT(PeakPixels(shown, plot.topLeft()), 0);
    // The stroke stands in the column that covers the record, not beside it.
    const int column = ctrl_->TimeToPixel(file_->GetStartTime() + kSpike, kPlotWidth);
    EXPECT_GT(
        CountColor(shown, QRect(plot.left() + column - 1, plot.top() + ExpectedRow(500) - 1, 3, 3),
                   kRed),
        0);
    // Elsewhere the flat line stays where it is: no stroke runs to the spike's level.
    EXPECT_LE(PeakPixels(shown, plot.topLeft()), 4);
    EXPECT_GT(
        CountColor(shown, QRect(plot.left() + 10, plot.top() + ExpectedRow(100) - 1, 3, 3), kRed),
        0);

    // Printing draws the same.
    QImage printed(shown.size(), QImage::Format_RGB32);
    {
        QPainter painter(&printed);
        CXCurveRenderer::Render(painter, printed.rect(), 1.0, ctrl_->Scene());
    }
    EXPECT_GT(PeakPixels(printed, plot.topLeft()), 0);
}

TEST_F(EnvelopeTest, OneSampleAColumnMissesTheSpike) {
    ctrl_->SetEnvelopeShown(false);
    ctrl_->RedrawAll();
    const QImage shown = Shot(*ctrl_);
    EXPECT_EQ(PeakPixels(shown, ctrl_->PlotRect().topLeft()), 0);
    EXPECT_GT(CountColor(shown,
                         QRect(ctrl_->PlotRect().left() + 10,
                               ctrl_->PlotRect().top() + ExpectedRow(100) - 1, 3, 3),
                         kRed),
              0);
}

class EnvelopeToggleTest : public ProgramFolderTest {};

TEST_F(EnvelopeToggleTest, SwitchedOffStaysOffInTheNextView) {
    kvrtest::TempDir dir;
    auto open = [&dir] {
        auto view = std::make_unique<CHCView>();
        view->resize(800, 500);
        view->SetFile(OpenRampFile(dir).release());
        return view;
    };
    auto first = open();
    EXPECT_TRUE(first->CurveCtrl()->EnvelopeShown());
    EXPECT_TRUE(first->IsCommandChecked(cmd::kEnvelope));
    first->ExecuteCommand(cmd::kEnvelope);
    EXPECT_FALSE(first->CurveCtrl()->EnvelopeShown());
    EXPECT_FALSE(first->IsCommandChecked(cmd::kEnvelope));
    first.reset();

    auto second = open();
    EXPECT_FALSE(second->CurveCtrl()->EnvelopeShown());
    second->ExecuteCommand(cmd::kEnvelope);
    second.reset();
    EXPECT_TRUE(open()->CurveCtrl()->EnvelopeShown());
}

}  // namespace
