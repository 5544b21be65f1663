// lists_screenshots OUTDIR: renders the data list, a printed list page and the curves with
// tags and value labels into PNG files, for the documentation and for looking at the
// drawing by eye.
#include <QApplication>
#include <QPrinter>

#include "core/datafile/gbk.h"
#include "core/datafile/sample_file.h"
#include "gui/common/command_ids.h"
#include "gui/curves/curve_ctrl.h"
#include "gui/history/hc_view.h"
#include "gui/lists/data_grid.h"
#include "gui/lists/list_view.h"
#include "support/gui_test_support.h"

namespace {

// Page 1 of a landscape continuous print, through a PDF as a printer would get it.
bool SavePrintedPage(CXListView& list, const kvrtest::TempDir& dir, const QString& png) {
    const std::string pdf = dir.file("list.pdf");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(pdf));
    list.SetContinuousPrint(true);
    list.SetPortrait(false);
    list.PreparePrinting(printer);
    list.PrintTo(&printer);
    QString stem = png;
    stem.chop(4);
    const std::string command =
        "pdftoppm -png -r 75 -f 1 -l 1 -singlefile '" + pdf + "' '" + stem.toStdString() + "'";
    return guitest::ReportSaved(kvrtest::RunCommand(command).exitCode == 0, png);
}

}  // namespace

int main(int argc, char** argv) {
    const QString out = guitest::StartScreenshots(argc, argv);
    if (out.isEmpty()) return 2;

    kvrtest::TempDir dir;
    const std::string path = dir.file("demo.FDZ");
    if (!kvr::WriteSampleFile(path, kvr::SampleOptions{})) return 1;

    bool ok = true;
    {
        kvr::CXFile file;
        if (file.Open(path) != 1) return 1;
        guitest::StubListOwner owner;
        CXListView list;
        list.resize(1600, 900);
        list.show();
        list.SetHistoryOwner(&owner);
        list.SetFile(&file);
        list.Grid()->GoToTime(file.GetStartTime() + 8 * 3600);
        list.Grid()->ScrollUp(3);
        list.Grid()->Redraw();
        ok &= guitest::SaveScreenshot(list, out + "/data_list.png");
        ok &= SavePrintedPage(list, dir, out + "/data_list_print.png");
    }

    auto* file = new kvr::CXFile;
    if (file->Open(path) != 1) return 1;
    kvr::ValueLabel& high = file->Header().labels[0];
    high.shown = 1;
    high.value = 12.0f;
    kvr::WriteGbkField(high.name, sizeof high.name, "流量上限", 10);
    CHCView view;
    view.resize(1600, 1000);
    view.show();
    view.SetFile(file);
    view.CurveCtrl()->GoTo(file->GetStartTime() + 20 * 3600);
    ok &= guitest::SaveScreenshot(view, out + "/history_tags_labels.png");
    return ok ? 0 : 1;
}
