// The data list's drawing: a full redraw of a large grid, and one page step of a scroll
// through a full-size file (the vertical bar's page-down, 100 rows, then the redraw).
#include <QScrollBar>

#include "gui/lists/data_grid.h"
#include "widget_bench.h"

namespace {

constexpr int kRecords = 262144;
constexpr int kWidth = 1600;
constexpr int kHeight = 900;

// One full-size file for the whole run, removed at exit.
struct GridFile {
    kvrbench::ScratchDir dir;
    kvr::CXFile file;
    GridFile() {
        kvr::SampleOptions options;
        options.records = kRecords;
        options.interval = 60;
        kvrbench::OpenSample(file, dir, "bench.FDZ", options);
    }
};

kvr::CXFile& BenchFile() {
    static GridFile grid;
    return grid.file;
}

void ShowFile(CXDataGrid& grid) {
    grid.resize(kWidth, kHeight);
    grid.show();
    grid.SetFile(&BenchFile());
}

QScrollBar* VerticalBar(CXDataGrid& grid) {
    for (QScrollBar* bar : grid.findChildren<QScrollBar*>())
        if (bar->orientation() == Qt::Vertical) return bar;
    return nullptr;
}

void BM_GridRedraw(benchmark::State& state) {
    CXDataGrid grid;
    ShowFile(grid);
    grid.GoToTime(BenchFile().GetStartTime() + 1000 * 60);  // a selection on screen too
    for (auto _ : state) grid.Redraw();
}
BENCHMARK(BM_GridRedraw)->Unit(benchmark::kMillisecond);

void BM_GridPageStep(benchmark::State& state) {
    CXDataGrid grid;
    ShowFile(grid);
    QScrollBar* bar = VerticalBar(grid);
    if (!bar) {
        state.SkipWithError("no vertical scroll bar");
        return;
    }
    const kvr::Time end = BenchFile().GetEndTime();
    for (auto _ : state) {
        if (grid.GetTopTime() >= end) {
            // Back to the first record for the next sweep, untimed.
            state.PauseTiming();
            grid.ScrollUp(kRecords);
            state.ResumeTiming();
        }
        bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    }
}
// Page steps from the first record until the last is the top row, then again from the
// first: every step of a sweep is timed, the jump back is not.
BENCHMARK(BM_GridPageStep)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return kvrbench::RunWithApplication(argc, argv); }
