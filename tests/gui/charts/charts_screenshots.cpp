// charts_screenshots OUTDIR: renders the bar window, the live dial and the circular chart
// of a generated day of data into PNG files, for the documentation and for looking at the
// drawing by eye.
#include <QApplication>
#include <QDir>
#include <cstdio>

#include "core/datafile/cxfile.h"
#include "core/datafile/sample_file.h"
#include "gui/charts/bar_view.h"
#include "gui/charts/range_view.h"
#include "gui/charts/rrange_view.h"
#include "support/test_support.h"

namespace {
bool Save(QWidget& widget, const QString& path) {
    widget.show();
    QApplication::processEvents();
    const bool saved = widget.grab().save(path);
    std::printf("%s %s\n", saved ? "wrote" : "cannot write", qPrintable(path));
    return saved;
}
}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: charts_screenshots OUTDIR\n");
        return 1;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out);
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
    ok &= Save(*bars, out + "/bars.png");
    CRRangeView dial(&file);
    dial.resize(1200, 800);
    ok &= Save(dial, out + "/dial.png");
    CRangeView circle(&file, 1, file.GetStartTime(), file.GetEndTime());
    circle.resize(1000, 760);
    ok &= Save(circle, out + "/circle_chart.png");
    return ok ? 0 : 1;
}
