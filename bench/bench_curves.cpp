// Redrawing the history curves: a full redraw of a 1600 x 900 curve control showing six
// channels of a 262144-record file whole, and the redraw after a pan (the path the scroll
// bar and the channel panel take), the span panel's figures for a selection of the whole
// file, and opening a long file and painting it whole for the first time.
#include <QImage>
#include <memory>

#include "core/analysis/span_figures.h"
#include "gui/curves/curve_ctrl.h"
#include "widget_bench.h"

namespace {

constexpr int kRecords = 262144;

// One file and one control for all runs: writing the file takes longer than the runs.
struct CurveBench {
    kvrbench::ScratchDir dir;
    kvr::CXFile file;
    std::unique_ptr<CXCurveCtrl> ctrl;

    CurveBench() {
        kvr::SampleOptions options;
        options.records = kRecords;
        options.interval = 10;
        options.tags = 3;
        kvrbench::OpenSample(file, dir, "bench.FDZ", options);
        ctrl = std::make_unique<CXCurveCtrl>();
        ctrl->resize(1600, 900);
        ctrl->SetFile(&file);
        ctrl->ApplyFileSettings();
        ctrl->Rebuild();
        // A cursor with its read-out box, as after the first click.
        ctrl->GoTo(file.GetStartTime() + (file.GetEndTime() - file.GetStartTime()) / 3);
    }
};

// Made on first use and released in main() while the application still exists.
std::unique_ptr<CurveBench> bench;

CurveBench& Bench() {
    if (!bench) bench = std::make_unique<CurveBench>();
    return *bench;
}

// The whole file, drawn as the envelope (the default). The pyramid was built by the first
// draw in the set-up; each redraw queries it once per column and channel.
void BM_FullRedraw(benchmark::State& state) {
    CurveBench& curves = Bench();
    curves.ctrl->SetEnvelopeShown(true);
    curves.ctrl->SetStartFraction(0.0f);
    curves.ctrl->SetWidthFraction(1.0f);
    curves.ctrl->Rebuild();
    for (auto _ : state) curves.ctrl->RedrawAll();
    state.counters["records"] = kRecords;
}
BENCHMARK(BM_FullRedraw)->Unit(benchmark::kMillisecond);

// The same with one sample a column, for comparison.
void BM_FullRedrawOneSample(benchmark::State& state) {
    CurveBench& curves = Bench();
    curves.ctrl->SetEnvelopeShown(false);
    curves.ctrl->SetStartFraction(0.0f);
    curves.ctrl->SetWidthFraction(1.0f);
    curves.ctrl->Rebuild();
    for (auto _ : state) curves.ctrl->RedrawAll();
    curves.ctrl->SetEnvelopeShown(true);
    state.counters["records"] = kRecords;
}
BENCHMARK(BM_FullRedrawOneSample)->Unit(benchmark::kMillisecond);

void BM_PanRedraw(benchmark::State& state) {
    CurveBench& curves = Bench();
    curves.ctrl->SetWidthFraction(0.5f);
    float start = 0.0f;
    for (auto _ : state) {
        start = start < 0.4f ? start + 0.01f : 0.0f;
        curves.ctrl->SetStartFraction(start);
        curves.ctrl->redrawCurves();
    }
}
BENCHMARK(BM_PanRedraw)->Unit(benchmark::kMillisecond);

// Every channel's ends, peak, valley, mean and span total, and the hourly sum, over all
// records.
void BM_SpanStats(benchmark::State& state) {
    const kvr::CXFile& file = Bench().file;
    for (auto _ : state)
        benchmark::DoNotOptimize(kvr::ComputeSpan(file, file.GetStartTime(), file.GetEndTime()));
    state.counters["records"] = kRecords;
}
BENCHMARK(BM_SpanStats)->Unit(benchmark::kMillisecond);

// Opening a file of range(0) records at one second and painting a 1600 x 900 curve control
// showing it whole into an image, as a history window's first paint: the open, the pyramid
// built from every record, the frame, axes, curves, tags. The file is written before the
// timing and stays in the page cache, as a file just copied or recorded does.
void BM_OpenAndFirstPaint(benchmark::State& state) {
    const auto records = static_cast<int>(state.range(0));
    kvrbench::ScratchDir dir;
    kvr::SampleOptions options;
    options.records = records;
    options.interval = 1;
    const std::string path = kvrbench::WriteSample(dir, "long.FDZ", options);
    QImage image(1600, 900, QImage::Format_RGB32);
    for (auto _ : state) {
        kvr::CXFile file;
        if (file.Open(path) != 1) {
            state.SkipWithError("open failed");
            break;
        }
        CXCurveCtrl ctrl;
        ctrl.resize(image.size());
        ctrl.SetFile(&file);
        ctrl.ApplyFileSettings();
        ctrl.Rebuild();
        ctrl.render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["records"] = records;
}
BENCHMARK(BM_OpenAndFirstPaint)->Arg(4194304)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    return kvrbench::RunWithApplication(argc, argv, [] { bench.reset(); });
}
