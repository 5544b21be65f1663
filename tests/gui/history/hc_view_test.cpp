// The history view: status bar, commands, context menu and the channel panel.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <QScrollBar>
#include <QtTest/QTest>

#include "core/link/live_record.h"
#include "gui/common/command_ids.h"
#include "gui/common/message_box.h"
#include "gui/common/view_host.h"
#include "gui/common/window_commands.h"
#include "gui/curves/channel_panel.h"
#include "gui/curves/curve_ctrl.h"
#include "gui/curves/time_scroll_bar.h"
#include "gui/history/hc_view.h"
#include "gui/lists/data_grid.h"
#include "gui/lists/list_view.h"
#include "support/curve_test_support.h"

namespace {

using namespace guitest;

class HCViewTest : public testing::Test {
protected:
    void SetUp() override {
        App();
        auto file = OpenRampFile(dir_);
        ASSERT_TRUE(file);
        file_ = file.get();
        view_ = std::make_unique<CHCView>();
        view_->resize(1000, 600);
        view_->show();
        view_->SetFile(file.release());
    }
    void TearDown() override { SetMessageBoxHook(nullptr); }

    CXCurveCtrl* Curve() const { return view_->CurveCtrl(); }
    QPoint PlotPoint(int column, int row) const {
        return Curve()->PlotRect().topLeft() + QPoint(column, row);
    }
    std::vector<int> ShownChannels() const {
        std::vector<int> shown;
        for (int c = 0; c < file_->GetChannelCount(); ++c)
            if (file_->Header().channels[c].showState == 1) shown.push_back(c);
        return shown;
    }
    std::map<int, bool> ContextMenuStates() {
        std::unique_ptr<QMenu> menu(view_->BuildContextMenu());
        std::map<int, bool> enabled;
        for (QAction* action : menu->actions())
            if (!action->isSeparator()) enabled[action->data().toInt()] = action->isEnabled();
        return enabled;
    }

    kvrtest::TempDir dir_;
    kvr::CXFile* file_ = nullptr;
    std::unique_ptr<CHCView> view_;
};

TEST_F(HCViewTest, LaysOutBarCurvesAndStatusBar) {
    EXPECT_EQ(view_->TimeScrollBar()->geometry(), QRect(2, 2, 996, 16));
    EXPECT_EQ(Curve()->geometry(), QRect(2, 20, 996, 578));
    EXPECT_FALSE(view_->ChannelPanel()->isVisible());
    EXPECT_FALSE(view_->TimeScrollBar()->IsFixedWidth());

    EXPECT_EQ(StatusText(1),
              QStringLiteral("设备名称：") + QString::fromStdString(file_->GetDeviceName()));
    EXPECT_EQ(StatusText(2), QStringLiteral("通道数目：6"));
    EXPECT_EQ(StatusText(3), QStringLiteral("记录时段：") +
                                 QString::fromStdString(kvr::FormatTime(file_->GetStartTime())) +
                                 " => " +
                                 QString::fromStdString(kvr::FormatTime(file_->GetEndTime())));
    EXPECT_EQ(StatusText(4), QStringLiteral("记录间隔：1S"));
    EXPECT_EQ(StatusText(5), QStringLiteral("总时间:0小时10分0秒"));

    // Setting a start point narrows the window, and the status bar says so.
    QTest::mouseClick(Curve(), Qt::LeftButton, Qt::NoModifier,
                      PlotPoint(Curve()->PlotWidth() / 4, 100));
    const kvr::Time cursor = Curve()->GetCursorTime();
    ASSERT_NE(cursor, 0);
    view_->ExecuteCommand(cmd::kSetStartPoint);
    EXPECT_EQ(Curve()->GetWindowRange().first, cursor);
    EXPECT_EQ(StatusText(5),
              QString::asprintf("总时间:0小时%d分%d秒",
                                static_cast<int>(file_->GetEndTime() - cursor) / 60,
                                static_cast<int>(file_->GetEndTime() - cursor) % 60));
    EXPECT_NEAR(view_->TimeScrollBar()->StartFraction(), (cursor - file_->GetStartTime()) / 600.0,
                1e-6);
}

TEST_F(HCViewTest, ContextMenuGreysByMode) {
    // Cursor mode: no full screen, copy or select all.
    std::map<int, bool> enabled = ContextMenuStates();
    EXPECT_TRUE(enabled[cmd::kSetStartPoint]);
    EXPECT_TRUE(enabled[cmd::kSetEndPoint]);
    EXPECT_FALSE(enabled[cmd::kZoomSelection]);
    EXPECT_FALSE(enabled[cmd::kCopy]);
    EXPECT_FALSE(enabled[cmd::kSelectAll]);
    EXPECT_TRUE(enabled[cmd::kNextFour]);
    EXPECT_TRUE(view_->IsCommandChecked(cmd::kCursorMode));

    // Selection mode with an empty selection: nothing to zoom to or copy, no cursor.
    view_->ExecuteCommand(cmd::kSelectMode);
    enabled = ContextMenuStates();
    EXPECT_FALSE(enabled[cmd::kSetStartPoint]);
    EXPECT_FALSE(enabled[cmd::kSetEndPoint]);
    EXPECT_FALSE(enabled[cmd::kAddTag]);
    EXPECT_FALSE(enabled[cmd::kZoomSelection]);
    EXPECT_FALSE(enabled[cmd::kCopy]);
    EXPECT_TRUE(enabled[cmd::kSelectAll]);
    EXPECT_TRUE(view_->IsCommandChecked(cmd::kSelectMode));

    view_->ExecuteCommand(cmd::kSelectAll);
    enabled = ContextMenuStates();
    EXPECT_TRUE(enabled[cmd::kZoomSelection]);
    EXPECT_TRUE(enabled[cmd::kCopy]);
    // Commands of windows the program does not have are not offered.
    EXPECT_EQ(enabled.size(), 13u);
}

TEST_F(HCViewTest, FullScreenZoomsToTheSelection) {
    view_->ExecuteCommand(cmd::kSelectMode);
    Drag(Curve(), PlotPoint(100, 50), PlotPoint(400, 50));
    const auto [start, end] = Curve()->GetSelection();
    ASSERT_LT(start, end);
    view_->ExecuteCommand(cmd::kZoomSelection);
    EXPECT_EQ(Curve()->GetWindowRange(), std::make_pair(start, end));
    EXPECT_EQ(Curve()->GetSelection(), std::make_pair(kvr::Time{0}, kvr::Time{0}));
    EXPECT_FALSE(view_->IsCommandEnabled(cmd::kZoomSelection));
    EXPECT_NEAR(view_->TimeScrollBar()->WidthFraction(), (end - start) / 600.0, 1e-6);
}

TEST_F(HCViewTest, NextAndPreviousFourSkipChannelsNotInUseAndAreSaved) {
    file_->Header().channels[1].showState = 2;
    file_->Header().channels[4].showState = 2;
    view_->ExecuteCommand(cmd::kNextFour);
    EXPECT_EQ(ShownChannels(), (std::vector<int>{0, 2, 3}));
    view_->ExecuteCommand(cmd::kNextFour);
    EXPECT_EQ(ShownChannels(), (std::vector<int>{5}));
    EXPECT_EQ(view_->CurvePage(), 0);
    view_->ExecuteCommand(cmd::kPreviousFour);
    EXPECT_EQ(ShownChannels(), (std::vector<int>{0}));
    EXPECT_EQ(view_->CurvePage(), 5);

    view_->ExecuteCommand(cmd::kShowAllCurves);
    EXPECT_EQ(ShownChannels(), (std::vector<int>{0, 2, 3, 5}));
    // Saved to the file at once.
    kvr::CXFile reread;
    ASSERT_EQ(reread.Open(file_->GetFileName()), 1);
    EXPECT_EQ(reread.Header().channels[1].showState, 2);
    EXPECT_EQ(reread.Header().channels[5].showState, 1);

    view_->ExecuteCommand(cmd::kHideAllCurves);
    EXPECT_TRUE(ShownChannels().empty());
    EXPECT_EQ(CountColor(Shot(*Curve()), Curve()->PlotRect(), kRed), 0);
}

TEST_F(HCViewTest, ChannelPanelShowsAndHidesCurves) {
    view_->ExecuteCommand(cmd::kChannelPanel);
    EXPECT_TRUE(view_->IsCommandChecked(cmd::kChannelPanel));
    CChannelPanel* panel = view_->ChannelPanel();
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(panel->geometry(), QRect(850, 0, 150, 600));
    EXPECT_EQ(Curve()->width(), 1000 - 2 - 150 - 2);
    EXPECT_EQ(view_->TimeScrollBar()->width(), 1000 - 4 - 150);

    QCheckBox* box = panel->CheckBoxOf(0);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), QString::fromStdString(file_->GetChannelName(0)));
    EXPECT_TRUE(box->isChecked());
    ASSERT_GT(CountColor(Shot(*Curve()), Curve()->PlotRect(), kRed), 0);
    QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, QPoint(8, box->height() / 2));
    EXPECT_EQ(file_->Header().channels[0].showState, 0);
    EXPECT_EQ(CountColor(Shot(*Curve()), Curve()->PlotRect(), kRed), 0);

    // Next four brings channel 0 back, and the panel ticks it again.
    view_->ExecuteCommand(cmd::kNextFour);
    ASSERT_NE(panel->CheckBoxOf(0), nullptr);
    EXPECT_TRUE(panel->CheckBoxOf(0)->isChecked());

    // Scrolled to the bottom of its range the rows leave the panel even with few channels.
    panel->VerticalScrollBar()->triggerAction(QAbstractSlider::SliderToMaximum);
    ASSERT_NE(panel->CheckBoxOf(0), nullptr);
    EXPECT_LT(panel->CheckBoxOf(5)->geometry().bottom(), 0);

    view_->ExecuteCommand(cmd::kChannelPanel);
    EXPECT_FALSE(panel->isVisible());
    EXPECT_EQ(Curve()->width(), 1000 - 4);
}

TEST_F(HCViewTest, ChannelsPastFortyOnlyChangeTheirTick) {
    // The descriptor table holds 64 channels; the boxes of channels 41 to 64 are listed but
    // show or hide nothing.
    file_->Header().channelCount = 45;
    for (int c = 6; c < 45; ++c) file_->Header().channels[c].showState = 1;
    view_->ExecuteCommand(cmd::kChannelPanel);
    CChannelPanel* panel = view_->ChannelPanel();
    QCheckBox* box = panel->CheckBoxOf(42);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->geometry().top(), 6 + 42 * 30 - 6);
    QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, QPoint(8, box->height() / 2));
    EXPECT_FALSE(box->isChecked());
    EXPECT_EQ(file_->Header().channels[42].showState, 1);

    QCheckBox* last = panel->CheckBoxOf(39);
    ASSERT_NE(last, nullptr);
    QTest::mouseClick(last, Qt::LeftButton, Qt::NoModifier, QPoint(8, last->height() / 2));
    EXPECT_EQ(file_->Header().channels[39].showState, 0);
    file_->Header().channelCount = 6;
}

TEST_F(HCViewTest, FailedSaveTellsTheUserAndKeepsTheChange) {
    QString told;
    SetMessageBoxHook([&](const MessageBoxRequest& request) {
        told = request.text;
        return QMessageBox::Ok;
    });
    file_->Close();  // nothing mapped: the header cannot be written
    view_->ExecuteCommand(cmd::kHideAllCurves);
    EXPECT_EQ(told, QStringLiteral("保存文件信息失败！"));
    EXPECT_TRUE(ShownChannels().empty());
}

TEST_F(HCViewTest, CommandsOfOtherWindowsWaitForTheirRegistration) {
    constexpr int kLaterCommand = 40000;
    EXPECT_FALSE(view_->HandlesCommand(kLaterCommand));
    EXPECT_FALSE(view_->IsCommandEnabled(kLaterCommand));
    int opened = 0;
    bool allowed = false;
    view_->RegisterCommand(kLaterCommand, {[&] { ++opened; }, [&] { return allowed; }, {}});
    EXPECT_TRUE(view_->HandlesCommand(kLaterCommand));
    view_->ExecuteCommand(kLaterCommand);  // disabled: nothing runs
    EXPECT_EQ(opened, 0);
    allowed = true;
    view_->ExecuteCommand(kLaterCommand);
    EXPECT_EQ(opened, 1);
}

TEST_F(HCViewTest, TotalTimeFollowsTheScrollBarHandles) {
    CTimeScrollBar* bar = view_->TimeScrollBar();
    const QRect thumb = bar->ThumbRect();
    // The right handle lies just right of the thumb; dragged left it narrows the window.
    const QPoint handle(thumb.right() + CTimeScrollBar::kHandleWidth / 2 + 1, thumb.center().y());
    Drag(bar, handle, handle - QPoint(thumb.width() / 2, 0));
    const auto [start, end] = Curve()->GetWindowRange();
    ASSERT_LT(end - start, file_->GetEndTime() - file_->GetStartTime()) << "the drag zoomed in";
    const int seconds = static_cast<int>(end - start);
    EXPECT_EQ(StatusText(5), QString::asprintf("总时间:0小时%d分%d秒", seconds / 60, seconds % 60));
}

TEST_F(HCViewTest, WindowsOfOtherPartsAreOfferedOnlyWhenTheProgramHasThem) {
    const auto contextIds = [](CHCView& view) {
        std::unique_ptr<QMenu> menu(view.BuildContextMenu());
        std::vector<int> ids;
        for (QAction* action : menu->actions())
            if (!action->isSeparator()) ids.push_back(action->data().toInt());
        // No separator leads, ends or doubles.
        const QList<QAction*> actions = menu->actions();
        EXPECT_FALSE(actions.front()->isSeparator());
        EXPECT_FALSE(actions.back()->isSeparator());
        for (qsizetype i = 1; i < actions.size(); ++i)
            EXPECT_FALSE(actions[i]->isSeparator() && actions[i - 1]->isSeparator());
        return ids;
    };
    const auto has = [](const std::vector<int>& ids, int id) {
        return std::find(ids.begin(), ids.end(), id) != ids.end();
    };
    EXPECT_FALSE(view_->HandlesCommand(cmd::kExcelExport));
    EXPECT_FALSE(has(contextIds(*view_), cmd::kExcelExport));

    ChildRequest seen;
    RegisterChildFactory(ChildWindow::kExcelExport, [&seen](const ChildRequest& request) {
        seen = request;
        return nullptr;
    });
    auto file = OpenRampFile(dir_);
    ASSERT_TRUE(file);
    kvr::CXFile* opened = file.get();
    CHCView view;
    view.resize(1000, 600);
    view.SetFile(file.release());
    EXPECT_TRUE(has(contextIds(view), cmd::kExcelExport));
    view.ExecuteCommand(cmd::kExcelExport);
    UnregisterChildFactory(ChildWindow::kExcelExport);
    EXPECT_EQ(seen.file, opened);
    EXPECT_EQ(seen.owner, &view);
    EXPECT_EQ(std::make_pair(seen.start, seen.end), view.CurveCtrl()->GetWindowRange());
}

TEST_F(HCViewTest, EveryWindowCommandOpensItsOwnWindow) {
    // The circular-chart items of a file's channels take none of these commands over.
    for (const WindowCommand& command : WindowCommands()) {
        std::vector<ChildWindow> opened;
        RegisterChildFactory(command.kind, [&opened, kind = command.kind](const ChildRequest&) {
            opened.push_back(kind);
            return nullptr;
        });
        auto file = OpenRampFile(dir_);
        ASSERT_TRUE(file);
        CHCView view;
        view.SetFile(file.release());
        EXPECT_TRUE(view.IsCommandEnabled(command.id)) << command.id;
        view.ExecuteCommand(command.id);
        UnregisterChildFactory(command.kind);
        EXPECT_EQ(opened, std::vector<ChildWindow>{command.kind}) << command.id;
    }
}

// A collector's live buffer, opened read-only: the curves and the list advance with the
// records the collector stores, a window on the newest record slides along, any other
// window stays, and the view says when the buffer goes and takes the next one.
TEST(HCViewFollowTest, AdvancesWithTheRecordsOfALiveBuffer) {
    App();
    kvrtest::TempDir dir;
    const auto source = OpenRampFile(dir);
    ASSERT_TRUE(source);
    const std::string path = dir.file("a.tmp");
    kvr::LiveSample sample;
    auto live = std::make_unique<kvr::CXFile>();
    kvr::Time start = kvr::MakeTime({2026, 3, 1, 8});
    const auto startBuffer = [&] {
        live = std::make_unique<kvr::CXFile>();
        live->Header() = source->Header();
        live->Header().records.count = 1000;
        live->SetTempFilePath(path);
        ASSERT_EQ(live->CreateTempFile(), 1);
        kvr::ResetLiveRecords(*live);
    };
    const auto store = [&](int from, int to) {
        for (int r = from; r < to; ++r) {
            sample.values[0] = static_cast<float>(r);
            ASSERT_TRUE(kvr::AppendLiveRecord(*live, sample, r, start + r));
        }
    };
    startBuffer();
    store(0, 10);

    auto* file = new kvr::CXFile;
    ASSERT_EQ(file->OpenReadOnly(path), 1);
    CHCView view;
    view.resize(1000, 600);
    view.show();
    view.SetFile(file);
    std::vector<bool> recording;
    view.StartFollowing([&](bool on) { recording.push_back(on); });
    CXListView list;
    list.SetFile(file);
    list.resize(600, 300);
    list.show();
    const auto window = [&] { return view.CurveCtrl()->GetWindowRange(); };

    store(10, 50);
    view.FollowTick();
    EXPECT_EQ(window(), std::pair(start, start + 49)) << "the whole recording stays whole";
    EXPECT_GT(list.Grid()->GetTopTime(), start) << "the list moves to the newest records";

    view.CurveCtrl()->ZoomTo(start + 40, start + 49);
    store(50, 80);
    view.FollowTick();
    EXPECT_EQ(window().second, start + 79);
    EXPECT_NEAR(static_cast<double>(window().first), static_cast<double>(start + 70), 1.0);

    view.CurveCtrl()->ZoomTo(start + 10, start + 20);
    store(80, 90);
    view.FollowTick();
    EXPECT_NEAR(static_cast<double>(window().first), static_cast<double>(start + 10), 1.0);
    EXPECT_NEAR(static_cast<double>(window().second), static_cast<double>(start + 20), 1.0);
    EXPECT_EQ(file->GetEndTime(), start + 89);

    live.reset();  // communication lost: the collector saves and removes the buffer
    view.FollowTick();
    EXPECT_EQ(recording, std::vector<bool>{false});
    EXPECT_EQ(file->GetEndTime(), start + 89) << "what was shown stays";

    start += 3600;
    startBuffer();
    store(0, 5);
    view.FollowTick();
    EXPECT_EQ(recording, (std::vector<bool>{false, true}));
    EXPECT_EQ(view.GetFile(), file);
    EXPECT_EQ(file->GetStartTime(), start);
    EXPECT_EQ(window(), std::pair(start, start + 4));
}

}  // namespace
