// History upload over a paced line: a few hundred RTU record blocks through UploadSession
// against kvr-sim at a real baud rate, with the link's real delays. wire_fraction is the
// payload's share of what the line could carry in the time the upload took: payload bytes
// ÷ line bytes per second ÷ elapsed seconds (a byte is ten bits on the wire).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/link/upload_session.h"
#include "support/sim_process.h"

namespace {

constexpr int kChannels = 2;
constexpr int kBlocksPerChannel = 100;  // 200 record blocks of 256 bytes
constexpr int kRecordsPerBlock = 128;
constexpr int kRecords = kBlocksPerChannel * kRecordsPerBlock;

class NullSink : public kvr::UploadSink {
public:
    void Finished(const kvr::UploadOutcome& o) override { outcome = o; }
    kvr::UploadOutcome outcome;
};

// The serial parameters a user of such a line would keep: 10 ms between bytes and 50 ms for
// a reply, scaled by the port for slow rates, four tries.
kvr::ComParam LineParams(const std::string& device, int baud) {
    kvr::ComParam p;
    p.device = device;
    p.baud = baud;
    p.intervalBase = 10;
    p.constantBase = 50;
    p.writeConstantBase = 50;
    p.attempts = 4;
    return p;
}

void BM_UploadRtu(benchmark::State& state) {
    const int baud = static_cast<int>(state.range(0));
    kvrtest::SimProcess sim({"--family=ascii0", "--channels=" + std::to_string(kChannels),
                             "--records=200000", "--baud=" + std::to_string(baud)});
    if (!sim.Running()) {
        state.SkipWithError("kvr-sim did not start");
        return;
    }
    char pattern[] = "/tmp/kvr-bench-upload-XXXXXX";
    if (!::mkdtemp(pattern)) std::abort();
    const std::string folder = pattern;
    double seconds = 0;
    for (auto _ : state) {
        state.PauseTiming();
        kvr::UploadSession session;
        session.SetParams(LineParams(sim.Path(), baud));
        const kvr::ScanResult scan = session.Scan();
        kvr::UploadChoice choice;
        choice.end = scan.newest;
        choice.start = scan.newest - static_cast<kvr::Time>(kRecords - 1) * scan.interval;
        std::string message;
        if (!scan.timeParameters || !session.Prepare(choice).ok ||
            session.ReadConfiguration(folder + "/upload.FDZ", nullptr, &message) != 1) {
            state.SkipWithError("scan or configuration read failed");
            break;
        }
        NullSink sink;
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        if (!session.Start(sink, &message)) {
            state.SkipWithError("upload did not start");
            break;
        }
        session.Wait();
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (sink.outcome.status != kvr::UploadOutcome::kCompleted) {
            state.SkipWithError("upload failed");
            break;
        }
    }
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    if (seconds <= 0) return;
    const double payload = static_cast<double>(state.iterations()) * kChannels * kRecords * 2;
    state.counters["wire_fraction"] = payload / (baud / 10.0) / seconds;
    state.counters["blocks"] = kChannels * kBlocksPerChannel;
}

BENCHMARK(BM_UploadRtu)->Arg(9600)->Arg(57600)->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
