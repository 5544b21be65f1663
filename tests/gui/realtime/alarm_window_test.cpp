// Alarms in the realtime window against kvr-sim: a raised alarm reddens the channel's
// legend entry with its kinds, is counted in the status bar and listed in "实时报警"; its
// clearing undoes the first two and is listed too.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QClipboard>
#include <QTableWidget>
#include <chrono>
#include <functional>
#include <thread>

#include "gui/common/command_ids.h"
#include "gui/common/command_target.h"
#include "gui/curves/channel_panel.h"
#include "gui/realtime/alarm_window.h"
#include "gui/realtime/rc_view.h"
#include "support/gui_test_support.h"
#include "support/sim_process.h"

namespace {

using kvrtest::SimProcess;

class RealtimeAlarmTest : public guitest::ProgramFolderTest {
protected:
    void SetUp() override {
        ProgramFolderTest::SetUp();
        SetMessageBoxHook([](const MessageBoxRequest&) { return QMessageBox::Ok; });
    }
    void TearDown() override {
        view.reset();
        SetMessageBoxHook(nullptr);
        CRCView::SetPortOverride("");
        ProgramFolderTest::TearDown();
    }
    // Stores records until done says so, for at most a few seconds of polling.
    bool TickUntil(const std::function<bool()>& done) {
        for (int i = 0; i < 100 && !done(); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(40));
            view->RecordTimerTick();
            guitest::Settle();
        }
        return done();
    }
    QString StateCell(int row) const { return view->AlarmWindow()->Table()->item(row, 5)->text(); }

    std::unique_ptr<CRCView> view;
};

TEST_F(RealtimeAlarmTest, LegendStatusAndListFollowARaisedAndClearedAlarm) {
    // The first input (high 35, high-high 38, hysteresis 0.5) goes to 39 and back to 20;
    // the other two stay inside their limits.
    SimProcess sim({"--family=realtime", "--pattern=0:20,39,20", "--pattern=1:1.0",
                    "--pattern=2:250", "--pattern-hold=8"});
    ASSERT_TRUE(sim.Running());
    CRCView::SetPortOverride(sim.Path());
    view = std::make_unique<CRCView>();
    kvrtest::SpeedUpForSim(view->Engine());
    view->resize(1000, 600);
    view->show();
    view->ExecuteCommand(cmd::kStartAcquisition);
    ASSERT_TRUE(view->Engine().IsAcquiring());
    view->ExecuteCommand(cmd::kChannelPanel);
    view->ExecuteCommand(cmd::kRealtimeAlarms);
    ASSERT_NE(view->AlarmWindow(), nullptr);
    QCheckBox* legend = view->ChannelPanel()->CheckBoxOf(0);
    ASSERT_NE(legend, nullptr);
    const QString name = legend->text();

    ASSERT_TRUE(TickUntil([&] { return view->AlarmWatch().ActiveCount() == 2; }));
    EXPECT_EQ(legend->text(), name + QStringLiteral("\n上限 上上限"));
    EXPECT_TRUE(guitest::IsRed(legend->palette().color(QPalette::WindowText)));
    EXPECT_TRUE(StatusText(5).endsWith(QStringLiteral("报警：2"))) << StatusText(5).toStdString();
    QTableWidget* list = view->AlarmWindow()->Table();
    ASSERT_EQ(list->rowCount(), 2);
    EXPECT_EQ(list->item(0, 2)->text(), QStringLiteral("上限"));
    EXPECT_EQ(list->item(1, 2)->text(), QStringLiteral("上上限"));
    EXPECT_EQ(StateCell(0), QStringLiteral("报警"));
    EXPECT_EQ(list->item(0, 3)->text().toDouble(), 39.0);

    ASSERT_TRUE(TickUntil([&] { return view->AlarmWatch().ActiveCount() == 0; }));
    EXPECT_EQ(legend->text(), name);
    EXPECT_FALSE(guitest::IsRed(legend->palette().color(QPalette::WindowText)));
    EXPECT_FALSE(StatusText(5).contains(QStringLiteral("报警")));
    ASSERT_EQ(list->rowCount(), 4);
    EXPECT_EQ(StateCell(2), QStringLiteral("消报"));
    EXPECT_EQ(StateCell(3), QStringLiteral("消报"));
    EXPECT_GE(list->item(3, 6)->text().toInt(), 60) << "at least one record interval";

    view->AlarmWindow()->CopyAll();
    const QStringList lines = QGuiApplication::clipboard()->text().split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 6);
    EXPECT_EQ(lines[0], QStringLiteral("时间\t通道\t类型\t数值\t限值\t状态\t持续时间(秒)"));
    EXPECT_TRUE(lines[3].endsWith(QStringLiteral("\t消报\t") + list->item(2, 6)->text()));
}

}  // namespace
