// The realtime window against kvr-sim: start, records, the live list, stop and save with
// their questions, closing the window, the display-state commands, cancel and the rescue
// of a crashed run's records.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QAction>
#include <QMenu>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <map>
#include <set>

#include "core/datafile/cxfile.h"
#include "core/link/acquisition.h"
#include "gui/app/child_frame.h"
#include "gui/app/main_frame.h"
#include "gui/app/report_windows.h"
#include "gui/app/view_factory.h"
#include "gui/common/color_ref.h"
#include "gui/common/command_ids.h"
#include "gui/lists/data_grid.h"
#include "gui/realtime/rc_view.h"
#include "gui/realtime/real_curve_ctrl.h"
#include "gui/reports/text_table.h"
#include "gui/reports/totals_dlg.h"
#include "support/gui_test_support.h"
#include "support/sim_process.h"

namespace {

using guitest::Settle;
using kvrtest::SimProcess;

bool Exists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

class RCViewTest : public guitest::ProgramFolderTest {
protected:
    void SetUp() override {
        ProgramFolderTest::SetUp();
        SetMessageBoxHook([this](const MessageBoxRequest& request) {
            asked.push_back(request.text);
            for (const auto& [part, answer] : answers)
                if (request.text.contains(part)) return answer;
            return QMessageBox::Ok;
        });
        CRCView::SetSavePathHook([this] { return savePath; });
        if (!HasChildFactory(ChildWindow::kRealtimeList)) RegisterRealtimeWindows();
        if (!HasChildFactory(ChildWindow::kTotals)) RegisterReportWindows();
    }
    void TearDown() override {
        view.reset();
        SetMessageBoxHook(nullptr);
        CRCView::SetSavePathHook(nullptr);
        CRCView::SetPortOverride("");
        ProgramFolderTest::TearDown();
    }
    // A window on the simulator, not yet started.
    CRCView* MakeView(const SimProcess& sim) {
        view = std::make_unique<CRCView>();
        Prepare(*view, sim);
        view->resize(1000, 600);
        view->show();
        return view.get();
    }
    static void Prepare(CRCView& rc, const SimProcess& sim) {
        CRCView::SetPortOverride(sim.Path());
        kvrtest::SpeedUpForSim(rc.Engine());
    }
    std::map<int, bool> MenuStates() {
        std::unique_ptr<QMenu> menu(view->BuildContextMenu());
        std::map<int, bool> states;
        for (QAction* action : menu->actions())
            if (!action->isSeparator()) states[action->data().toInt()] = action->isEnabled();
        return states;
    }
    std::vector<int> States() {
        std::vector<int> states;
        for (int c = 0; c < 6; ++c)
            states.push_back(view->Engine().File().Header().channels[c].showState);
        return states;
    }
    std::string Temp() const { return Folder().file("temp.tmp"); }

    std::unique_ptr<CRCView> view;
    std::vector<QString> asked;
    std::vector<std::pair<QString, QMessageBox::StandardButton>> answers;
    QString savePath;
};

TEST_F(RCViewTest, AcquiresFollowsInTheListStopsAndSaves) {
    SimProcess sim({"--family=realtime"});
    ASSERT_TRUE(sim.Running());
    MakeView(sim);
    std::map<int, bool> menu = MenuStates();
    EXPECT_TRUE(menu[cmd::kStartAcquisition]);
    EXPECT_FALSE(menu[cmd::kStopAcquisition]);
    EXPECT_FALSE(menu[cmd::kSaveRealtime]);
    EXPECT_FALSE(menu[cmd::kNextFour]);
    EXPECT_FALSE(view->IsCommandEnabled(cmd::kRealtimeDataList));

    view->ExecuteCommand(cmd::kStartAcquisition);
    ASSERT_TRUE(view->Engine().IsAcquiring())
        << (asked.empty() ? QString() : asked.back()).toStdString();
    EXPECT_EQ(view->Engine().RecordCount(), 1);
    EXPECT_EQ(StatusText(4), QStringLiteral("记录间隔：60S"));
    EXPECT_TRUE(StatusText(1).startsWith(QStringLiteral("设备名称：")));
    menu = MenuStates();
    EXPECT_FALSE(menu[cmd::kStartAcquisition]);
    EXPECT_TRUE(menu[cmd::kStopAcquisition]);
    EXPECT_TRUE(menu[cmd::kNextFour]);
    // Cursor mode: neither copy nor select all.
    EXPECT_FALSE(menu[cmd::kCopy]);
    EXPECT_FALSE(menu[cmd::kSelectAll]);

    // The live list follows the newest record while records keep coming.
    view->ExecuteCommand(cmd::kRealtimeDataList);
    CXListView* list = view->LiveList();
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(list->IsLiveList());
    list->resize(600, 200);
    list->show();
    const kvr::Time start = view->Engine().File().GetStartTime();
    for (int i = 0; i < 30; ++i) view->RecordTimerTick();
    const kvr::Time top = list->Grid()->GetTopTime();
    EXPECT_GT(top, start);
    for (int i = 0; i < 10; ++i) view->RecordTimerTick();
    EXPECT_EQ(view->Engine().RecordCount(), 41);
    EXPECT_EQ(list->Grid()->GetTopTime(), top + 10 * 60);
    // The simulator's values may raise alarms, which the pane counts after the time.
    EXPECT_TRUE(StatusText(5).startsWith(QStringLiteral("总时间:0小时40分0秒")))
        << StatusText(5).toStdString();
    // Asking again brings the same list forward.
    view->ExecuteCommand(cmd::kRealtimeDataList);
    EXPECT_EQ(view->LiveList(), list);

    // Saving while acquiring asks first; No neither stops nor saves.
    answers = {{QStringLiteral("请先停止实时采集"), QMessageBox::No}};
    savePath = guitest::Q(Folder().file("day.FDZ"));
    view->ExecuteCommand(cmd::kSaveRealtime);
    EXPECT_TRUE(view->Engine().IsAcquiring());
    EXPECT_FALSE(Exists(Folder().file("day.FDZ")));

    answers = {{QStringLiteral("确定要停止实时采集？"), QMessageBox::No}};
    view->ExecuteCommand(cmd::kStopAcquisition);
    EXPECT_TRUE(view->Engine().IsAcquiring());
    answers = {{QStringLiteral("确定要停止实时采集？"), QMessageBox::Yes}};
    view->ExecuteCommand(cmd::kStopAcquisition);
    EXPECT_FALSE(view->Engine().IsAcquiring());
    EXPECT_FALSE(view->CurveCtrl()->IsScrolling());
    // Stopped: the data stays on screen and can be saved without another question.
    EXPECT_EQ(view->CurveCtrl()->GetFile(), &view->Engine().File());
    menu = MenuStates();
    EXPECT_TRUE(menu[cmd::kStartAcquisition]);
    EXPECT_TRUE(menu[cmd::kSaveRealtime]);
    EXPECT_FALSE(menu[cmd::kStopAcquisition]);
    asked.clear();
    view->ExecuteCommand(cmd::kSaveRealtime);
    EXPECT_TRUE(asked.empty());
    EXPECT_TRUE(view->IsSaved());
    kvr::CXFile saved;
    ASSERT_EQ(saved.Open(Folder().file("day.FDZ")), 1);
    EXPECT_EQ(saved.GetRecordCount(), 41);
    EXPECT_EQ(saved.GetStartTime(), start);
}

// Pixels of plot column x that show neither the background nor the grid.
int CurvePixels(CXRealCurveCtrl& curve, int x) {
    const QImage image = curve.grab().toImage();
    const kvr::FileHeader& header = curve.GetFile()->Header();
    const QColor background = ColorFromRef(header.backgroundColor);
    const QColor grid = ColorFromRef(header.gridColor);
    const QRect plot = curve.PlotRect();
    int count = 0;
    for (int y = plot.top() + 1; y < plot.bottom(); ++y) {
        const QColor colour = image.pixelColor(plot.left() + x, y);
        count += colour != background && colour != grid;
    }
    return count;
}

TEST_F(RCViewTest, TheFirstRecordsFillThePlotUntilAutoScaleIsTurnedOff) {
    SimProcess sim({"--family=realtime"});
    MakeView(sim);
    view->ExecuteCommand(cmd::kStartAcquisition);
    ASSERT_TRUE(view->Engine().IsAcquiring());
    CXRealCurveCtrl* curve = view->CurveCtrl();
    EXPECT_TRUE(curve->IsAutoScale());
    EXPECT_TRUE(view->IsCommandChecked(cmd::kAutoScaleTime));
    for (int i = 0; i < 59; ++i) view->RecordTimerTick();
    const kvr::CXFile& file = view->Engine().File();
    EXPECT_EQ(curve->GetWindowRange(), (std::pair{file.GetStartTime(), file.GetEndTime()}));
    const int quarter = curve->PlotWidth() / 4;
    const int scaled = CurvePixels(*curve, quarter) + CurvePixels(*curve, quarter + 1);
    EXPECT_GT(scaled, 0) << "the curves reach across the plot";

    // One record a column: the hour recorded so far is a strip at the right edge.
    view->ExecuteCommand(cmd::kAutoScaleTime);
    EXPECT_FALSE(curve->IsAutoScale());
    const auto [start, end] = curve->GetWindowRange();
    EXPECT_EQ(end, file.GetEndTime());
    EXPECT_EQ(end - start, static_cast<kvr::Time>(curve->PlotWidth()) * file.GetInterval());
    EXPECT_LT(CurvePixels(*curve, quarter) + CurvePixels(*curve, quarter + 1), scaled);
}

TEST_F(RCViewTest, CumulativeListFollowsEveryRecord) {
    // Every poll answers larger totals.
    SimProcess sim({"--family=realtime", "--counter-values"});
    MakeView(sim);
    view->ExecuteCommand(cmd::kStartAcquisition);
    ASSERT_TRUE(view->Engine().IsAcquiring());
    view->ExecuteCommand(cmd::kRealtimeCumulativeList);
    auto* totals = view->findChild<CXTotalsDlg*>();
    ASSERT_NE(totals, nullptr);
    const QString first = TextCell(totals->List(), 0, 2);
    const int polls = view->Engine().Polls();
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->Engine().Polls() > polls + 2; }, 10000));
    EXPECT_EQ(TextCell(totals->List(), 0, 2), first) << "the list follows records, not polls";
    view->RecordTimerTick();
    EXPECT_NE(TextCell(totals->List(), 0, 2), first);
}

TEST_F(RCViewTest, PlotShowsOnlyWhatCanBeSaved) {
    SimProcess sim({"--family=realtime"});
    MakeView(sim);
    Settle();
    // Before the first start: an empty plot with the display defaults' value range, its
    // grid and the notice, and no times under it.
    const QImage empty = view->CurveCtrl()->grab().toImage();
    EXPECT_EQ(view->CurveCtrl()->Scale().RangeLow(), 0.0f);
    EXPECT_EQ(view->CurveCtrl()->Scale().RangeHigh(), 100.0f);
    const QRect plot = view->CurveCtrl()->PlotRect();
    std::set<QRgb> plotColours;
    for (int y = plot.top(); y <= plot.bottom(); y += 2)
        for (int x = plot.left(); x <= plot.right(); ++x) plotColours.insert(empty.pixel(x, y));
    EXPECT_GE(plotColours.size(), 3u) << "background, grid and notice";
    const QRect axis = view->CurveCtrl()->TimeAxisRect();
    int dark = 0;
    for (int y = axis.top() + 8; y <= axis.bottom(); ++y)
        for (int x = axis.left(); x <= axis.right(); ++x) dark += qGray(empty.pixel(x, y)) < 60;
    EXPECT_EQ(dark, 0) << "no time labels";

    // Records of a run, then dropped for a start that cannot open its port.
    view->ExecuteCommand(cmd::kStartAcquisition);
    ASSERT_TRUE(view->Engine().IsAcquiring());
    for (int i = 0; i < 5; ++i) view->RecordTimerTick();
    view->StopAcquisition();
    EXPECT_NE(view->CurveCtrl()->grab().toImage(), empty);
    CRCView::SetPortOverride(Folder().file("no-such-port"));
    answers = {{QStringLiteral("是否需要保存"), QMessageBox::No}};
    view->ExecuteCommand(cmd::kStartAcquisition);
    ASSERT_FALSE(asked.empty());
    EXPECT_TRUE(asked.back().contains(QStringLiteral("打开串口失败")))
        << asked.back().toStdString();
    EXPECT_FALSE(view->IsCommandEnabled(cmd::kSaveRealtime));
    EXPECT_EQ(view->CurveCtrl()->grab().toImage(), empty);
}

TEST_F(RCViewTest, NextFourAndShowAllLeaveUnusedChannelsAlone) {
    SimProcess sim({"--family=realtime"});
    MakeView(sim);
    view->ExecuteCommand(cmd::kStartAcquisition);
    ASSERT_TRUE(view->Engine().IsAcquiring());
    kvr::FileHeader& header = view->Engine().File().Header();
    const std::uint8_t states[6] = {1, 2, 0, 1, 2, 1};
    for (int c = 0; c < 6; ++c) header.channels[c].showState = states[c];

    view->ExecuteCommand(cmd::kNextFour);
    EXPECT_EQ(States(), (std::vector<int>{1, 2, 1, 1, 2, 0}));
    EXPECT_EQ(view->CurvePage(), 4);
    view->ExecuteCommand(cmd::kNextFour);
    EXPECT_EQ(States(), (std::vector<int>{0, 2, 0, 0, 2, 1}));
    EXPECT_EQ(view->CurvePage(), 0);

    view->ExecuteCommand(cmd::kHideAllCurves);
    EXPECT_EQ(States(), (std::vector<int>{0, 2, 0, 0, 2, 0}));
    view->ExecuteCommand(cmd::kShowAllCurves);
    EXPECT_EQ(States(), (std::vector<int>{1, 2, 1, 1, 2, 1}));
    EXPECT_EQ(view->CurvePage(), 0);
}

TEST_F(RCViewTest, ClosingAsksAndKeepsSavesOrDrops) {
    SimProcess sim({"--family=realtime"});
    ASSERT_TRUE(sim.Running());
    CMainFrame frame;
    frame.resize(1200, 800);
    frame.show();
    const auto openStarted = [&]() -> CRCView* {
        frame.ShowRealtimeWindow();
        auto* rc = dynamic_cast<CRCView*>(frame.RealtimeFrame()->View());
        if (!rc) return nullptr;
        Prepare(*rc, sim);
        rc->ExecuteCommand(cmd::kStartAcquisition);
        return rc->Engine().IsAcquiring() ? rc : nullptr;
    };
    const QString question = QStringLiteral("已经存在实时采集数据!\n\n是否需要保存？");

    ASSERT_NE(openStarted(), nullptr);
    answers = {{question, QMessageBox::Cancel}};
    frame.RealtimeFrame()->close();
    Settle();
    ASSERT_NE(frame.RealtimeFrame(), nullptr);
    EXPECT_TRUE(dynamic_cast<CRCView*>(frame.RealtimeFrame()->View())->Engine().IsAcquiring());
    EXPECT_EQ(asked.back(), question);

    answers = {{question, QMessageBox::No}};
    frame.RealtimeFrame()->close();
    Settle();
    EXPECT_EQ(frame.RealtimeFrame(), nullptr);
    EXPECT_FALSE(Exists(Temp()));

    ASSERT_NE(openStarted(), nullptr);
    answers = {{question, QMessageBox::Yes}};
    savePath = guitest::Q(Folder().file("kept.FDZ"));
    frame.RealtimeFrame()->close();
    Settle();
    EXPECT_EQ(frame.RealtimeFrame(), nullptr);
    kvr::CXFile saved;
    EXPECT_EQ(saved.Open(Folder().file("kept.FDZ")), 1);
}

TEST_F(RCViewTest, CancelledConfigurationLeavesNoDataAndStartEnabled) {
    // Slow replies, so that the cancel lands in the middle of the configuration.
    SimProcess sim({"--family=realtime", "--delay-ms=20"});
    MakeView(sim);
    QTimer::singleShot(0, view.get(), [this] {
        // As the user does it: the dialog's own button.
        if (auto* dialog = view->findChild<QProgressDialog*>())
            if (auto* button = dialog->findChild<QPushButton*>()) button->click();
    });
    view->ExecuteCommand(cmd::kStartAcquisition);
    EXPECT_FALSE(view->Engine().IsAcquiring());
    EXPECT_FALSE(view->Engine().IsDataAvailable());
    EXPECT_FALSE(Exists(Temp()));
    EXPECT_TRUE(asked.empty());
    EXPECT_TRUE(view->IsCommandEnabled(cmd::kStartAcquisition));
    EXPECT_FALSE(view->IsCommandEnabled(cmd::kRealtimeDataList));
}

TEST_F(RCViewTest, StartOffersToRescueRecordsOfACrashedRun) {
    SimProcess sim({"--family=realtime"});
    ASSERT_TRUE(sim.Running());
    {
        // What a killed acquisition leaves in the program folder.
        kvr::Acquisition crashed;
        kvr::ComParam param;
        param.device = sim.Path();
        crashed.SetParams(param);
        crashed.SetDelayScale(0);
        crashed.SetTempFilePath(Folder().file("left.tmp"));
        std::atomic<bool> cancel{false};
        ASSERT_EQ(crashed.Start(nullptr, cancel).status, kvr::StartStatus::kStarted);
        crashed.RecordTick();
        crashed.RecordTick();
        std::filesystem::copy_file(Folder().file("left.tmp"), Temp());
    }
    MakeView(sim);
    answers = {{QStringLiteral("条记录尚未保存"), QMessageBox::Yes}};
    savePath = guitest::Q(Folder().file("rescued.FDZ"));
    view->ExecuteCommand(cmd::kStartAcquisition);
    ASSERT_FALSE(asked.empty());
    EXPECT_TRUE(asked.front().contains(QStringLiteral("上次实时采集有 3 条记录尚未保存")));
    kvr::CXFile rescued;
    ASSERT_EQ(rescued.Open(Folder().file("rescued.FDZ")), 1);
    EXPECT_EQ(rescued.GetRecordCount(), 3);
    // The new acquisition went ahead once the records were safe.
    EXPECT_TRUE(view->Engine().IsAcquiring());
}

}  // namespace
