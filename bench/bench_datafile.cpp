// Data-file access: opening a full live-buffer-sized file and reading its samples through
// CXFile::GetValue and CXFile::ReadChannel, against a raw loop over the mapped floats (the
// memory-bound limit).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

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

// Records per bulk read: what the curves' pyramid build reads at a time.
constexpr int kChunkRecords = 1024;

double ReadChannelSum(const kvr::CXFile& file, std::vector<float>& buffer) {
    const int records = file.GetRecordCount();
    double sum = 0.0;
    for (int first = 0; first < records; first += kChunkRecords) {
        const int count = std::min(kChunkRecords, records - first);
        for (int c = 0; c < kvr::kFileChannels; ++c) {
            file.ReadChannel(c, first, count, buffer.data());
            // Summed apart from the running total, which the compiler keeps in memory
            // around the call.
            double chunk = 0.0;
            for (int i = 0; i < count; ++i) chunk += buffer[static_cast<std::size_t>(i)];
            sum += chunk;
        }
    }
    return sum;
}

// Every sample the bulk read gives is the mapped float, bit for bit.
bool ReadChannelMatchesRecordArea(const kvr::CXFile& file) {
    const std::uint8_t* samples = file.MappedData() + kvr::kHeaderSize + file.GetConfigSize();
    const int records = file.GetRecordCount();
    std::vector<float> channel(static_cast<std::size_t>(records));
    for (int c = 0; c < kvr::kFileChannels; ++c) {
        file.ReadChannel(c, 0, records, channel.data());
        for (int r = 0; r < records; ++r) {
            const std::size_t at = (static_cast<std::size_t>(r) * kvr::kFileChannels + c) * 4;
            if (std::memcmp(&channel[static_cast<std::size_t>(r)], samples + at, 4) != 0)
                return false;
        }
    }
    return true;
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

// The same samples channel by channel through the bulk read, a chunk at a time.
void BM_ReadChannelSweep(benchmark::State& state) {
    kvr::CXFile file;
    if (file.Open(SamplePath()) != 1) state.SkipWithError("open failed");
    if (!ReadChannelMatchesRecordArea(file))
        state.SkipWithError("ReadChannel disagrees with the record area");
    std::vector<float> buffer(kChunkRecords);
    for (auto _ : state) benchmark::DoNotOptimize(ReadChannelSum(file, buffer));
    state.SetItemsProcessed(state.iterations() * kRecords * kvr::kFileChannels);
}
BENCHMARK(BM_ReadChannelSweep)->Unit(benchmark::kMillisecond);

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
