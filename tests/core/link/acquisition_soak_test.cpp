// An acquisition soaked in line faults: a few hundred records taken while kvr-sim drops,
// spoils and delays replies hold only values the instrument really sent, each record whole
// and from one reply, in the order they were sent, each at its own time.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "core/datafile/cxfile.h"
#include "core/link/acquisition.h"
#include "support/pty_pair.h"
#include "support/sim_process.h"
#include "support/test_support.h"

namespace {

using kvrtest::SimProcess;

constexpr int kRecords = 250;
constexpr int kInterval = 5;
constexpr int kChannels = 6;

int RequestOf(const float* values) { return kvrtest::CounterRequestOf(values, kChannels); }

int RequestOf(std::int64_t flow, std::int64_t heat) {
    return kvrtest::CounterRequestOf(flow, heat);
}

bool WaitForPoll(const kvr::Acquisition& acquisition, int after) {
    for (int i = 0; i < 2000 && acquisition.Polls() <= after; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    return acquisition.Polls() > after;
}

struct FaultMix {
    std::vector<std::string> faults;
    int dropEvery, corruptEvery;
    int attempts;
};

TEST(AcquisitionSoak, EveryRecordIsOneWholeReplyAtItsPlace) {
    // Faults are counted over all requests, the configuration read's (some 35) included.
    const FaultMix mixes[] = {
        // Retries absorb most faults; where three requests in a row fail, a whole poll
        // fails (the very first poll is one of them).
        {{"--drop-every=6", "--corrupt-every=7", "--delay-ms=80", "--delay-every=11"}, 6, 7, 3},
        // One try a poll: each spoiled reply is a failed poll, its record repeats the last.
        {{"--drop-every=41", "--corrupt-every=43", "--delay-ms=80", "--delay-every=47"}, 41, 43, 1},
    };
    for (const FaultMix& mix : mixes) {
        const std::string what = mix.faults.front();
        kvrtest::TempDir dir;
        std::vector<std::string> args{"--family=realtime", "--counter-values"};
        args.insert(args.end(), mix.faults.begin(), mix.faults.end());
        SimProcess sim(args);
        ASSERT_TRUE(sim.Running()) << what;
        kvr::ComParam p = kvrtest::TestParams(sim.Path());
        // A reply has 50 ms; a delayed one comes too late and is drained before the next try.
        p.constantBase = 50;
        p.attempts = mix.attempts;
        kvr::ViewDef view;
        view.realtimeInterval = kInterval;
        kvr::Acquisition acquisition;
        acquisition.SetParams(p);
        acquisition.SetViewDef(view);
        acquisition.SetDelayScale(0);
        kvr::AcquisitionLimits limits;
        limits.pollPeriodMs = 5;
        acquisition.SetLimits(limits);
        acquisition.SetTempFilePath(dir.file("live.tmp"));
        std::atomic<bool> noCancel{false};
        ASSERT_EQ(acquisition.Start(nullptr, noCancel).status, kvr::StartStatus::kStarted) << what;

        // For each record: the newest reply just before and just after it was taken, and
        // the totals the buffer held right after.
        std::vector<int> before{0}, after{RequestOf(acquisition.Latest().values)}, totals;
        const kvr::FileHeader& live = acquisition.File().Header();
        totals.push_back(RequestOf(live.flowTotal, live.heatTotal));
        for (int i = 1; i < kRecords; ++i) {
            ASSERT_TRUE(WaitForPoll(acquisition, acquisition.Polls())) << what;
            before.push_back(RequestOf(acquisition.Latest().values));
            const kvr::TickResult tick = acquisition.RecordTick();
            ASSERT_EQ(tick.status, kvr::TickStatus::kRecorded) << what << " record " << i;
            ASSERT_EQ(tick.index, i) << what;
            after.push_back(RequestOf(acquisition.Latest().values));
            totals.push_back(RequestOf(live.flowTotal, live.heatTotal));
        }
        const int newest = RequestOf(acquisition.Latest().values);
        EXPECT_EQ(acquisition.Stop(), "") << what;
        const std::string path = dir.file("soaked.FDZ");
        ASSERT_TRUE(acquisition.Save(path)) << what;

        kvr::CXFile file;
        ASSERT_EQ(file.Open(path), 1) << what;
        ASSERT_EQ(file.GetRecordCount(), kRecords) << what;
        const kvr::Time start = file.GetStartTime();
        EXPECT_EQ(file.GetEndTime(), start + (kRecords - 1) * kInterval) << what;
        int previous = 0, repeated = 0;
        for (int i = 0; i < kRecords; ++i) {
            float values[kChannels];
            for (int c = 0; c < kChannels; ++c) {
                float percent = 0;
                ASSERT_EQ(file.GetValue(c, start + i * kInterval, &values[c], &percent), 1);
            }
            const int n = RequestOf(values);
            const std::string where = what + " record " + std::to_string(i);
            ASSERT_GT(n, 0) << where << ": no single reply holds these values";
            // A spoiled reply is never taken, a dropped one never came.
            EXPECT_NE(n % mix.corruptEvery, 0) << where;
            EXPECT_NE(n % mix.dropEvery, 0) << where;
            EXPECT_GE(n, previous) << where;
            EXPECT_GE(n, before[i]) << where;
            EXPECT_LE(n, after[i]) << where;
            EXPECT_EQ(totals[i], n) << where << ": totals from another reply than the values";
            repeated += n == previous;
            previous = n;
        }
        // Failed polls repeat the last reply's values and totals.
        EXPECT_GT(repeated, 0) << what;
        const int saved = RequestOf(file.Header().flowTotal, file.Header().heatTotal);
        // The saved totals are the newest at the stop, whole.
        EXPECT_GE(saved, newest) << what;
        EXPECT_GE(newest, previous) << what;
    }
}

}  // namespace
