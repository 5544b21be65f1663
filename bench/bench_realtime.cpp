// The realtime acquisition's record step: appending one record to the live buffer, and a
// whole tick as the window runs it (append, end time, redraw of the following 1600 x 900
// curve control with six channels) after 1 000 and after 200 000 records.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "core/datafile/layout.h"
#include "core/link/model_table.h"
#include "gui/realtime/real_curve_ctrl.h"
#include "widget_bench.h"

namespace {

// Slowly moving values, as an instrument's are: a curve one record per column apart.
float Value(unsigned record, int channel) {
    return static_cast<float>(50.0 + 30.0 * std::sin(record * 0.01 + channel) +
                              (record * 7 + channel) % 3);
}

// A live buffer shaped like the acquisition's, its header taken from a sample file.
struct LiveFile {
    kvrbench::ScratchDir dir;
    kvr::CXFile file;
    unsigned next = 0;

    LiveFile() {
        kvr::SampleOptions options;
        options.records = 10;
        options.interval = 1;
        kvr::CXFile sample;
        kvrbench::OpenSample(sample, dir, "sample.FDZ", options);
        file.Header() = sample.Header();
        file.SetVersion(sample.GetVersion());
        file.SetConfigSize(sample.GetConfigSize());
        file.Header().records.count = kvr::kRingCapacity;
        file.Header().records.byte18 = 4;
        file.SetTempFilePath(dir.file("live.tmp"));
        if (!file.CreateTempFile() || !file.FlushHeader()) std::abort();
    }
    // Records written in one go, as a long acquisition would have left them.
    void Prefill(unsigned count) {
        std::vector<float> values(static_cast<std::size_t>(count) * 6);
        for (unsigned r = 0; r < count; ++r)
            for (int c = 0; c < 6; ++c) values[r * 6 + static_cast<unsigned>(c)] = Value(r, c);
        const int fd = ::open(dir.file("live.tmp").c_str(), O_WRONLY);
        const std::size_t bytes = values.size() * sizeof(float);
        const off_t at =
            static_cast<off_t>(kvr::kHeaderSize + static_cast<std::size_t>(file.GetConfigSize()));
        if (fd < 0 || ::pwrite(fd, values.data(), bytes, at) != static_cast<ssize_t>(bytes))
            std::abort();
        ::close(fd);
        file.SetStartTime(kvr::MakeTime({2026, 12, 8, 0, 0, 0}));
        file.SetRecordCount(static_cast<int>(count));
        file.SetEndTime(0);
        next = count;
    }
    void Append() {
        float values[6];
        for (int c = 0; c < 6; ++c) values[c] = Value(next, c);
        file.AppendRecord(values, next);
        if (next == 0) file.SetStartTime(kvr::MakeTime({2026, 12, 8, 0, 0, 0}));
        file.SetEndTime(0);
        ++next;
    }
};

void BM_AppendRecord(benchmark::State& state) {
    LiveFile live;
    for (auto _ : state) {
        if (live.next >= kvr::kRingCapacity) live.next = 0;
        live.Append();
    }
}
BENCHMARK(BM_AppendRecord)->Unit(benchmark::kMicrosecond);

void BM_LiveTick(benchmark::State& state) {
    LiveFile live;
    live.Prefill(static_cast<unsigned>(state.range(0)));
    CXRealCurveCtrl ctrl;
    ctrl.resize(1600, 900);
    ctrl.SetFile(&live.file);
    ctrl.ApplyFileSettings();
    ctrl.Rebuild();
    for (auto _ : state) {
        live.Append();
        ctrl.recordAppended(live.file.GetStartTime(), live.file.GetEndTime());
    }
    state.counters["records"] = static_cast<double>(live.next);
}
BENCHMARK(BM_LiveTick)->Arg(1000)->Arg(200000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return kvrbench::RunWithApplication(argc, argv); }
