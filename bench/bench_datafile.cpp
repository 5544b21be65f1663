// Data-file access: opening a full live-buffer-sized file and reading its samples through
// CXFile::GetValue, against a raw loop over the mapped floats (the memory-bound limit).
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

#include "bench_support.h"
#include "core/datafile/cxfile.h"
#include "core/datafile/layout.h"
#include "core/datafile/program.h"
#include "core/datafile/sample_file.h"

namespace {

constexpr int kRecords = static_cast<int>(kvr::kTempCapacity);  // 262144

// One sample file for the whole run, removed at exit.
struct BenchFile {
    kvrbench::ScratchDir folder;
    std::string path;
    BenchFile() {
        kvr::SampleOptions options;
        options.records = kRecords;
        path = kvrbench::WriteSample(folder, "bench.FDZ", options);
    }
};

const BenchFile& Bench() {
    static const BenchFile file;
    return file;
}

const std::string& SamplePath() { return Bench().path; }

double RawSum(const kvr::CXFile& file) {
    const std::uint8_t* samples = file.MappedData() + kvr::kHeaderSize + file.GetConfigSize();
    const std::size_t count = static_cast<std::size_t>(file.GetRecordCount()) * kvr::kFileChannels;
    double sum = 0.0;
    for (std::size_t i = 0; i < count; ++i) {
        float value;
        std::memcpy(&value, samples + 4 * i, 4);
        sum += value;
    }
    return sum;
}

double GetValueSum(const kvr::CXFile& file) {
    const kvr::Time start = file.GetStartTime();
    const int interval = file.GetInterval();
    const int records = file.GetRecordCount();
    double sum = 0.0;
    for (int r = 0; r < records; ++r) {
        const kvr::Time t = start + static_cast<kvr::Time>(r) * interval;
        for (int c = 0; c < kvr::kFileChannels; ++c) {
            float value = 0.0f;
            file.GetValue(c, t, &value, nullptr);
            sum += value;
        }
    }
    return sum;
}

void BM_Open(benchmark::State& state) {
    const std::string& path = SamplePath();
    for (auto _ : state) {
        kvr::CXFile file;
        if (file.Open(path) != 1) state.SkipWithError("open failed");
        benchmark::DoNotOptimize(file.GetRecordCount());
    }
}
BENCHMARK(BM_Open)->Unit(benchmark::kMicrosecond);

void BM_GetValue(benchmark::State& state) {
    kvr::CXFile file;
    if (file.Open(SamplePath()) != 1) state.SkipWithError("open failed");
    const kvr::Time t =
        file.GetStartTime() + static_cast<kvr::Time>(kRecords / 2) * file.GetInterval();
    for (auto _ : state) {
        float value = 0.0f, percent = 0.0f;
        benchmark::DoNotOptimize(file.GetValue(3, t, &value, &percent));
        benchmark::DoNotOptimize(value);
    }
}
BENCHMARK(BM_GetValue);

void BM_GetValueSweep(benchmark::State& state) {
    kvr::CXFile file;
    if (file.Open(SamplePath()) != 1) state.SkipWithError("open failed");
    if (GetValueSum(file) != RawSum(file))
        state.SkipWithError("GetValue disagrees with the record area");
    for (auto _ : state) benchmark::DoNotOptimize(GetValueSum(file));
    state.SetItemsProcessed(state.iterations() * kRecords * kvr::kFileChannels);
}
BENCHMARK(BM_GetValueSweep)->Unit(benchmark::kMillisecond);

void BM_RawSweep(benchmark::State& state) {
    kvr::CXFile file;
    if (file.Open(SamplePath()) != 1) state.SkipWithError("open failed");
    for (auto _ : state) benchmark::DoNotOptimize(RawSum(file));
    state.SetItemsProcessed(state.iterations() * kRecords * kvr::kFileChannels);
}
BENCHMARK(BM_RawSweep)->Unit(benchmark::kMillisecond);

// One durable append of a live record, as the acquisition makes once per interval: the
// record and the end stamp each flushed to the disk.
void BM_AppendRecord(benchmark::State& state) {
    kvr::CXFile source;
    if (source.Open(SamplePath()) != 1) state.SkipWithError("open failed");
    kvr::SetProgramFolder(Bench().folder.path());
    kvr::CXFile live;
    live.Header() = source.Header();
    live.Header().records.count = kvr::kTempCapacity;
    if (live.CreateTempFile() != 1 || live.FlushHeader() != 1)
        state.SkipWithError("no live buffer");
    float record[kvr::kFileChannels] = {1, 2, 3, 4, 5, 6};
    unsigned index = 0;
    for (auto _ : state) {
        if (!live.AppendRecord(record, index)) state.SkipWithError("append failed");
        index = (index + 1) % kvr::kTempCapacity;
    }
    live.Close();
    kvr::SetProgramFolder("");
}
BENCHMARK(BM_AppendRecord)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
