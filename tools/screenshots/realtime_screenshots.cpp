// realtime_screenshots OUTDIR: renders the realtime window one minute into an acquisition
// from kvr-sim at one record a second, with the time axis scaled to the recorded minute;
// for the documentation and for looking at the drawing by eye.
#include <QApplication>
#include <QThread>
#include <cstdio>

#include "core/datafile/program.h"
#include "core/link/acquisition.h"
#include "core/settings/display_defaults.h"
#include "gui/common/command_ids.h"
#include "gui/common/message_box.h"
#include "gui/realtime/rc_view.h"
#include "gui/settings/cxviewdef.h"
#include "support/gui_test_support.h"
#include "support/sim_process.h"

int main(int argc, char** argv) {
    const QString out = guitest::StartScreenshots(argc, argv);
    if (out.isEmpty()) return 2;
    SetMessageBoxHook([](const MessageBoxRequest& request) {
        std::fprintf(stderr, "realtime_screenshots: %s\n", qPrintable(request.text));
        return QMessageBox::Ok;
    });
    CFlowApp::ApplyProgramFont();
    // The settings and the temporary file live in a folder of their own.
    kvrtest::TempDir folder;
    kvr::SetProgramFolder(folder.path());
    kvr::ViewDef view;
    CXViewDef().GetView(&view);
    view.realtimeInterval = 1;
    if (!CXViewDef::KeepView(view)) return 1;

    kvrtest::SimProcess sim({"--family=realtime"});
    if (!sim.Running()) return 1;
    CRCView::SetPortOverride(sim.Path());
    bool ok = false;
    {
        CRCView window;
        kvrtest::SpeedUpForSim(window.Engine());
        window.resize(1400, 800);
        window.show();
        window.ExecuteCommand(cmd::kStartAcquisition);
        if (window.Engine().IsAcquiring()) {
            // Each record takes the newest poll, as the record timer would a second apart.
            for (int second = 1; second < 60; ++second) {
                QThread::msleep(40);
                guitest::Settle();
                window.RecordTimerTick();
            }
            ok = guitest::SaveScreenshot(window, out + "/realtime.png");
        }
        window.Engine().Stop();
    }
    kvr::SetProgramFolder("");
    return ok ? 0 : 1;
}
