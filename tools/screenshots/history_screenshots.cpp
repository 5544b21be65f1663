// history_screenshots OUTDIR: renders the history view on a generated day of data in a
// few states (whole day, cursor with read-out, selection, zoomed with the channel panel)
// and on a generated week (the time axis dates the first label of every day) into PNG
// files, for the documentation and for looking at the drawing by eye.
#include <QApplication>

#include "core/datafile/sample_file.h"
#include "gui/common/command_ids.h"
#include "gui/curves/curve_ctrl.h"
#include "gui/history/hc_view.h"
#include "support/gui_test_support.h"

namespace {

using guitest::SaveScreenshot;

void Press(QWidget* widget, QPoint at) {
    guitest::SendMouse(widget, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
    guitest::SendMouse(widget, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
}

}  // namespace

int main(int argc, char** argv) {
    const QString out = guitest::StartScreenshots(argc, argv);
    if (out.isEmpty()) return 2;

    kvrtest::TempDir dir;
    kvr::SampleOptions options;  // one day at one record a minute, three tags
    const std::string path = dir.file("demo.FDZ");
    if (!kvr::WriteSampleFile(path, options)) return 1;
    auto* file = new kvr::CXFile;
    if (file->Open(path) != 1) return 1;

    CHCView view;
    view.resize(1600, 1000);
    view.show();
    view.SetFile(file);
    CXCurveCtrl* curve = view.CurveCtrl();
    const QPoint plot = curve->PlotRect().topLeft();
    bool ok = SaveScreenshot(view, out + "/history_day.png");

    Press(curve, plot + QPoint(curve->PlotWidth() / 3, 200));
    ok &= SaveScreenshot(view, out + "/history_cursor.png");

    view.ExecuteCommand(cmd::kSelectMode);
    guitest::Drag(curve, plot + QPoint(420, 300), plot + QPoint(760, 300));
    ok &= SaveScreenshot(view, out + "/history_selection.png");

    view.ExecuteCommand(cmd::kZoomSelection);
    view.ExecuteCommand(cmd::kCursorMode);
    view.ExecuteCommand(cmd::kChannelPanel);
    Press(curve, plot + QPoint(curve->PlotWidth() * 3 / 4, 200));
    ok &= SaveScreenshot(view, out + "/history_zoomed_panel.png");

    kvr::SampleOptions week;
    week.records = 7 * 288;
    week.interval = 300;
    const std::string weekPath = dir.file("week.FDZ");
    if (!kvr::WriteSampleFile(weekPath, week)) return 1;
    auto* weekFile = new kvr::CXFile;
    if (weekFile->Open(weekPath) != 1) return 1;
    CHCView weekView;
    weekView.resize(1600, 1000);
    weekView.show();
    weekView.SetFile(weekFile);
    ok &= SaveScreenshot(weekView, out + "/history_week.png");
    return ok ? 0 : 1;
}
