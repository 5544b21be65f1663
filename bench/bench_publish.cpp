// Publishing against a local mosquitto started by the program on a free loopback port
// (the way the publish tests start it):
// - BM_BacklogDrain: a backlog of one instrument (records one second apart) from an empty
//   cursor to the last record acknowledged, in batches of 60 at QoS 1. records_per_second
//   is the figure; the target is 100 000, so that 30 days (2.59 M records) drain in 30 s.
// - BM_LivePublish: live messages, one record each at QoS 1, until all are acknowledged.
// - BM_MosquittoPubLines: the same payloads through "mosquitto_pub -q 1 -l" on the same
//   broker, the reference the live rate is compared with (target: at least half of it).
#include <benchmark/benchmark.h>
#include <signal.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include "bench_support.h"
#include "core/publish/instrument_sources.h"
#include "core/publish/publisher.h"
#include "support/broker_process.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kBacklogRecords = 259200;  // three days at 1 s
constexpr int kLiveMessages = 20000;

struct Fixture {
    Fixture() : broker(dir.path(), {}) {
        kvr::SampleOptions options;
        options.records = kBacklogRecords;
        options.interval = 1;
        options.tags = 0;
        sample = kvrbench::WriteSample(dir, "a-20260105-000000.FDZ", options);
        started = broker.Start();
        kvr::CXFile file;
        file.Open(sample);
        info = kvr::DescribeInstrument(file, "a");
    }
    kvrbench::ScratchDir dir;
    kvrtest::BrokerProcess broker;
    std::string sample;
    kvr::InstrumentInfo info;
    bool started = false;
};

Fixture& Shared() {
    static Fixture fixture;
    return fixture;
}

std::unique_ptr<kvr::Publisher> Connected(Fixture& f, const std::string& cursor) {
    std::remove(cursor.c_str());
    kvr::PublisherOptions options;
    options.site = "bench";
    options.cursorPath = cursor;
    kvr::SessionOptions session;
    session.broker = {"127.0.0.1", f.broker.Port(), false};
    auto publisher = std::make_unique<kvr::Publisher>("a", options, session);
    if (!publisher->Start().empty()) return nullptr;
    publisher->SetInfo(f.info);
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    while (!publisher->Connected() && Clock::now() < deadline) {
        publisher->Step(Clock::now());
        kvr::MqttSession::Wait({&publisher->Session()}, std::chrono::milliseconds(5));
    }
    return publisher->Connected() ? std::move(publisher) : nullptr;
}

void BM_BacklogDrain(benchmark::State& state) {
    Fixture& f = Shared();
    if (!f.started) return state.SkipWithError("mosquitto did not start");
    const kvr::Time last = kvr::MakeTime(kvr::kSampleStart) + kBacklogRecords - 1;
    for (auto _ : state) {
        state.PauseTiming();
        std::remove(f.dir.file("drain.cursor").c_str());
        kvr::PublisherOptions options;
        options.site = "bench";
        options.cursorPath = f.dir.file("drain.cursor");
        kvr::SessionOptions session;
        session.broker = {"127.0.0.1", f.broker.Port(), false};
        kvr::Publisher publisher("a", options, session);
        if (!publisher.Start().empty()) return state.SkipWithError("cursor");
        publisher.Refresh({f.sample});
        state.ResumeTiming();
        const auto deadline = Clock::now() + std::chrono::seconds(120);
        while (publisher.Cursor() != last && Clock::now() < deadline) {
            publisher.Step(Clock::now());
            kvr::MqttSession::Wait({&publisher.Session()}, std::chrono::milliseconds(1));
        }
        state.PauseTiming();
        if (publisher.Cursor() != last) return state.SkipWithError("the backlog did not drain");
        publisher.Stop(std::chrono::seconds(1));
        state.ResumeTiming();
    }
    state.counters["records_per_second"] = benchmark::Counter(
        static_cast<double>(kBacklogRecords) * static_cast<double>(state.iterations()),
        benchmark::Counter::kIsRate);
}

void BM_LivePublish(benchmark::State& state) {
    Fixture& f = Shared();
    if (!f.started) return state.SkipWithError("mosquitto did not start");
    kvr::PublishedRecord record{0, std::vector<float>(6, 12.5f), 123456789, 98765};
    kvr::Time ts = 1;
    for (auto _ : state) {
        auto publisher = Connected(f, f.dir.file("live.cursor"));
        if (!publisher) return state.SkipWithError("no connection");
        const auto start = Clock::now();
        for (int i = 0; i < kLiveMessages; ++i) {
            record.ts = ts++;
            record.values[0] = static_cast<float>(i);
            publisher->PublishLive(record);
            // Takes the acknowledgements as they come, the way the step loop would.
            if (i % 64 == 63) {
                kvr::MqttSession::Wait({&publisher->Session()}, std::chrono::milliseconds(0));
                publisher->Step(Clock::now());
            }
        }
        while (publisher->InFlight() > 0 && publisher->Connected()) {
            kvr::MqttSession::Wait({&publisher->Session()}, std::chrono::milliseconds(1));
            publisher->Step(Clock::now());
        }
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        publisher->Stop(std::chrono::seconds(1));
    }
    state.counters["messages_per_second"] = benchmark::Counter(
        static_cast<double>(kLiveMessages) * static_cast<double>(state.iterations()),
        benchmark::Counter::kIsRate);
}

void BM_MosquittoPubLines(benchmark::State& state) {
    Fixture& f = Shared();
    if (!f.started) return state.SkipWithError("mosquitto did not start");
    const kvr::RecordWriter writer(f.info);
    const std::string lines = f.dir.file("lines.txt");
    {
        std::ofstream out(lines);
        kvr::PublishedRecord record{0, std::vector<float>(6, 12.5f), 123456789, 98765};
        for (int i = 0; i < kLiveMessages; ++i) {
            record.ts = 1767542400 + i;
            record.values[0] = static_cast<float>(i);
            out << writer.Live(record) << '\n';
        }
    }
    const std::string command = "mosquitto_pub -h 127.0.0.1 -p " + std::to_string(f.broker.Port()) +
                                " -q 1 -t kvr/v1/bench/a/live -l < " + lines;
    for (auto _ : state) {
        const auto start = Clock::now();
        if (std::system(command.c_str()) != 0) return state.SkipWithError("mosquitto_pub failed");
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    }
    state.counters["messages_per_second"] = benchmark::Counter(
        static_cast<double>(kLiveMessages) * static_cast<double>(state.iterations()),
        benchmark::Counter::kIsRate);
}

}  // namespace

BENCHMARK(BM_BacklogDrain)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_LivePublish)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);
BENCHMARK(BM_MosquittoPubLines)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

BENCHMARK_MAIN();
