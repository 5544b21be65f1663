// span_alarm_screenshots OUTDIR: the span panel under the history curves of a generated
// day with a selection from 03:00 to 21:00 (span_panel.png), and the realtime window on a
// simulated instrument whose first input has crossed its high limits, with the channel
// panel (realtime_alarm.png) and the "实时报警" window (realtime_alarm_list.png).
#include <QApplication>
#include <chrono>
#include <thread>

#include "core/datafile/program.h"
#include "core/datafile/sample_file.h"
#include "gui/common/command_ids.h"
#include "gui/curves/curve_ctrl.h"
#include "gui/history/hc_view.h"
#include "gui/realtime/alarm_window.h"
#include "gui/realtime/rc_view.h"
#include "support/gui_test_support.h"
#include "support/sim_process.h"

namespace {

bool SpanPanel(const kvrtest::TempDir& dir, const QString& out) {
    const std::string path = dir.file("demo.FDZ");
    if (!kvr::WriteSampleFile(path, kvr::SampleOptions{})) return false;
    auto* file = new kvr::CXFile;
    if (file->Open(path) != 1) return false;
    CHCView view;
    view.resize(1600, 1000);
    view.show();
    view.SetFile(file);
    const kvr::Time start = file->GetStartTime();
    view.CurveCtrl()->SetSelection(start + 3 * 3600, start + 21 * 3600);
    return guitest::SaveScreenshot(view, out + "/span_panel.png");
}

bool RealtimeAlarm(const QString& out) {
    // 20 inside the limits, 39 above both high limits (35 and 38), then back to 20.
    kvrtest::SimProcess sim({"--family=realtime", "--pattern=0:20,20,39,39,39,20",
                             "--pattern=1:1.0", "--pattern=2:250", "--pattern-hold=10"});
    if (!sim.Running()) return false;
    CRCView::SetPortOverride(sim.Path());
    CRCView view;
    kvrtest::SpeedUpForSim(view.Engine());
    view.resize(1400, 800);
    view.show();
    view.ExecuteCommand(cmd::kStartAcquisition);
    if (!view.Engine().IsAcquiring()) return false;
    view.ExecuteCommand(cmd::kChannelPanel);
    view.ExecuteCommand(cmd::kRealtimeAlarms);
    // Records until the curves fill part of the window and an alarm is up.
    for (int i = 0; i < 1000; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        view.RecordTimerTick();
        guitest::Settle();
        if (view.Engine().RecordCount() > 250 && view.AlarmWatch().ActiveCount() > 0) break;
    }
    bool ok = guitest::SaveScreenshot(view, out + "/realtime_alarm.png");
    if (QWidget* list = view.AlarmWindow())
        ok &= guitest::SaveScreenshot(*list, out + "/realtime_alarm_list.png");
    view.StopAcquisition();
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    const QString out = guitest::StartScreenshots(argc, argv);
    if (out.isEmpty()) return 2;
    kvrtest::TempDir dir;
    // Config.ini and the live buffer stay in the temporary folder.
    kvr::SetProgramFolder(dir.path());
    bool ok = SpanPanel(dir, out);
    ok &= RealtimeAlarm(out);
    return ok ? 0 : 1;
}
