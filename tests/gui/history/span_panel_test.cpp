// The span panel under the history curves: the core's span figures for the shown channels,
// its copy text, following an edge drag, and its switch.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QTableWidget>

#include "core/analysis/span_figures.h"
#include "gui/common/command_ids.h"
#include "gui/curves/curve_ctrl.h"
#include "gui/curves/span_panel.h"
#include "gui/history/hc_view.h"
#include "support/gui_test_support.h"

namespace {

using guitest::SendMouse;

class SpanPanelTest : public guitest::ProgramFolderTest {
protected:
    void SetUp() override {
        ProgramFolderTest::SetUp();
        // A day at one minute, with the hourly totals of the flow channel.
        kvr::SampleOptions options;
        const std::string path = Folder().file("day.FDZ");
        ASSERT_TRUE(kvr::WriteSampleFile(path, options));
        auto file = std::make_unique<kvr::CXFile>();
        ASSERT_EQ(file->Open(path), 1);
        file_ = file.get();
        view_ = std::make_unique<CHCView>();
        view_->resize(1000, 600);
        view_->show();
        view_->SetFile(file.release());
    }

    CXCurveCtrl* Curve() const { return view_->CurveCtrl(); }
    CSpanPanel* Panel() const { return view_->SpanPanel(); }
    int ColumnOf(kvr::Time t) const {
        return Curve()->PlotRect().left() + Curve()->TimeToPixel(t, Curve()->PlotWidth());
    }
    // What the core says for the shown channels, row by row.
    std::vector<std::vector<std::string>> Expected(kvr::Time a, kvr::Time b) const {
        std::vector<std::vector<std::string>> rows;
        for (const auto& channel : kvr::ComputeSpan(*file_, a, b).channels)
            if (file_->Header().channels[channel.channel].showState == 1)
                rows.push_back(kvr::SpanCells(*file_, channel));
        return rows;
    }
    std::vector<std::vector<std::string>> Shown() const {
        std::vector<std::vector<std::string>> rows;
        const QTableWidget* table = Panel()->Table();
        for (int r = 0; r < table->rowCount(); ++r) {
            rows.emplace_back();
            for (int c = 0; c < table->columnCount(); ++c)
                rows.back().push_back(table->item(r, c)->text().toStdString());
        }
        return rows;
    }

    kvr::CXFile* file_ = nullptr;
    std::unique_ptr<CHCView> view_;
};

TEST_F(SpanPanelTest, ShowsTheCoreFiguresOfTheShownChannelsAndCopiesThem) {
    const int fullHeight = Curve()->height();
    EXPECT_TRUE(Panel()->isHidden()) << "no selection, no panel";
    // 03:30 to 21:00: the hours 04:00 .. 20:00 lie wholly inside.
    const kvr::Time from = file_->GetStartTime() + 3 * 3600 + 1800;
    const kvr::Time to = file_->GetStartTime() + 21 * 3600;
    file_->Header().channels[1].showState = 0;  // a hidden curve has no row
    Curve()->SetSelection(from, to);

    ASSERT_FALSE(Panel()->isHidden());
    EXPECT_EQ(Curve()->height(), fullHeight - CSpanPanel::kHeight - CSpanPanel::kGap);
    EXPECT_EQ(Panel()->geometry().top(), Curve()->geometry().bottom() + 1 + CSpanPanel::kGap);
    const auto expected = Expected(from, to);
    ASSERT_GE(expected.size(), 4u);
    EXPECT_EQ(Shown(), expected);
    // The flow channel carries both the curve's total and the instrument's hourly sum.
    bool bothTotals = false;
    for (const auto& row : expected) bothTotals |= !row[8].empty() && !row[9].empty();
    EXPECT_TRUE(bothTotals);

    Panel()->CopyToClipboard();
    const QStringList lines = QGuiApplication::clipboard()->text().split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), static_cast<int>(expected.size()) + 3);  // and the empty tail
    EXPECT_EQ(lines[0],
              QStringLiteral("起点\t%1\t终点\t%2\t时长\t17小时30分0秒")
                  .arg(guitest::Q(kvr::FormatTime(from)), guitest::Q(kvr::FormatTime(to))));
    EXPECT_EQ(lines[1].split('\t').size(), 10);
    EXPECT_EQ(lines[1].split('\t').front(), QStringLiteral("通道"));
    EXPECT_EQ(lines[2].split('\t').size(), 10);
    EXPECT_EQ(lines[2].split('\t')[2], guitest::Q(expected[0][2]));
    EXPECT_EQ(lines.back(), QString());
}

TEST_F(SpanPanelTest, FollowsAnEdgeDragFrameByFrameAndItsSwitch) {
    const kvr::Time start = file_->GetStartTime();
    Curve()->SetSelection(start + 6 * 3600, start + 12 * 3600);
    const auto [a, b] = Curve()->GetSelection();
    const int y = Curve()->PlotRect().center().y();

    // Taking hold of the end edge and moving it: the panel follows before the release.
    const QPoint grip(ColumnOf(b) + 1, y);
    SendMouse(Curve(), QEvent::MouseButtonPress, grip, Qt::LeftButton, Qt::LeftButton);
    const QPoint moved(ColumnOf(start + 18 * 3600), y);
    SendMouse(Curve(), QEvent::MouseMove, moved, Qt::NoButton, Qt::LeftButton);
    const auto dragged = Panel()->Span();
    EXPECT_EQ(dragged.first, a) << "the start edge stays";
    EXPECT_GT(dragged.second, start + 17 * 3600);
    EXPECT_EQ(Shown(), Expected(dragged.first, dragged.second));
    // Past the start edge the span turns round.
    const QPoint before(ColumnOf(start + 2 * 3600), y);
    SendMouse(Curve(), QEvent::MouseMove, before, Qt::NoButton, Qt::LeftButton);
    SendMouse(Curve(), QEvent::MouseButtonRelease, before, Qt::LeftButton, Qt::NoButton);
    EXPECT_LT(Panel()->Span().first, start + 3 * 3600);
    EXPECT_EQ(Panel()->Span().second, a);
    EXPECT_EQ(Curve()->GetSelection(), Panel()->Span());

    // Switched off, the panel goes and the curves take the room back; the switch is kept.
    const int reduced = Curve()->height();
    view_->ExecuteCommand(cmd::kSpanPanel);
    EXPECT_TRUE(Panel()->isHidden());
    EXPECT_EQ(Curve()->height(), reduced + CSpanPanel::kHeight + CSpanPanel::kGap);
    EXPECT_FALSE(view_->IsCommandChecked(cmd::kSpanPanel));
    CHCView another;
    EXPECT_FALSE(another.SpanPanel()->IsSwitchedOn());
    view_->ExecuteCommand(cmd::kSpanPanel);
    EXPECT_FALSE(Panel()->isHidden());
    // Back to the cursor: no selection, no panel.
    view_->ExecuteCommand(cmd::kCursorMode);
    EXPECT_TRUE(Panel()->isHidden());
}

}  // namespace
