// charts_screenshots OUTDIR: renders the bar window, the live dial and the circular chart
// of a generated day of data into PNG files, for the documentation and for looking at the
// drawing by eye.
#include <QApplication>

#include "core/datafile/cxfile.h"
#include "core/datafile/sample_file.h"
#include "gui/charts/bar_view.h"
#include "gui/charts/range_view.h"
#include "gui/charts/rrange_view.h"
#include "support/gui_test_support.h"

int main(int argc, char** argv) {
    const QString out = guitest::StartScreenshots(argc, argv);
    if (out.isEmpty()) return 2;
    kvrtest::TempDir dir;
    kvr::SampleOptions options;
    options.records = 3 * 1440;
    options.interval = 60;
    const std::string path = dir.file("charts.FDZ");
    if (!kvr::WriteSampleFile(path, options)) return 1;
    kvr::CXFile file;
    if (file.Open(path) != 1) return 1;
    file.Header().pieGridCount = 10;
    file.Header().pieTimeIndex = 2;
    file.Header().flowTotal = 123456789;
    file.Header().heatTotal = 98765432;

    bool ok = true;
    std::unique_ptr<QWidget> bars(CreateBarWindowView(&file));
    bars->resize(1200, 700);
    ok &= guitest::SaveScreenshot(*bars, out + "/bar_view.png");
    CRRangeView dial(&file);
    dial.resize(1200, 800);
    ok &= guitest::SaveScreenshot(dial, out + "/dial_view.png");
    CRangeView circle(&file, 1, file.GetStartTime(), file.GetEndTime());
    circle.resize(1000, 760);
    ok &= guitest::SaveScreenshot(circle, out + "/circle_chart.png");
    return ok ? 0 : 1;
}
