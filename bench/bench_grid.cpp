// The data list's drawing: a full redraw of a large grid, and one page step of a scroll
// through a full-size file (the vertical bar's page-down, 100 rows, then the redraw).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QScrollBar>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "core/datafile/cxfile.h"
#include "core/datafile/sample_file.h"
#include "gui/lists/data_grid.h"

namespace {

constexpr int kRecords = 262144;
constexpr int kWidth = 1600;
constexpr int kHeight = 900;

// One full-size file for the whole run, removed at exit.
kvr::CXFile& BenchFile() {
    static const std::string path = [] {
        std::string folder =
            (std::filesystem::temp_directory_path() / "kvr_bench_gridXXXXXX").string();
        if (!::mkdtemp(folder.data())) std::abort();
        return folder + "/bench.FDZ";
    }();
    static std::unique_ptr<kvr::CXFile> file = [] {
        kvr::SampleOptions options;
        options.records = kRecords;
        options.interval = 60;
        std::string error;
        if (!kvr::WriteSampleFile(path, options, &error)) {
            std::fprintf(stderr, "bench_grid: %s\n", error.c_str());
            std::abort();
        }
        auto opened = std::make_unique<kvr::CXFile>();
        if (opened->Open(path) != 1) std::abort();
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(std::filesystem::path(path).parent_path(), ignored);
        });
        return opened;
    }();
    return *file;
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

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
