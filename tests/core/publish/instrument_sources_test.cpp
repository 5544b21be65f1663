#include "core/publish/instrument_sources.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>

#include "core/link/live_record.h"
#include "support/test_support.h"

namespace {

// A collector's buffer between two files (saved, emptied, no record yet) holds nothing to
// publish; its next record does, then the records added to it, then a new recording in it,
// until it is removed.
TEST(InstrumentSources, FollowsALiveBufferThroughItsRecordings) {
    kvrtest::TempDir dir;
    const auto source = kvrtest::OpenSampleFile(dir, kvrtest::SampleRecords(5, 1));
    ASSERT_TRUE(source);
    const std::string path = dir.file("a.tmp");
    kvr::CXFile live;
    live.Header() = source->Header();
    live.Header().records.count = 100;
    live.SetTempFilePath(path);
    ASSERT_EQ(live.CreateTempFile(), 1);
    kvr::ResetLiveRecords(live);

    kvr::InstrumentSources sources("a");
    // Every record the sources hold after a refresh, as time -> channel 0.
    using Held = std::map<kvr::Time, float>;
    const auto refreshed = [&] {
        sources.Refresh({path});
        Held held;
        for (const auto& record : sources.Read(0, kvr::MakeTime({2099, 1, 1}), 60))
            held[record.ts] = record.values[0];
        return held;
    };
    EXPECT_TRUE(refreshed().empty());
    EXPECT_FALSE(sources.Newest());

    const kvr::Time at = kvr::MakeTime({2026, 3, 1, 8});
    kvr::LiveSample sample;
    sample.values[0] = 42.0f;
    ASSERT_TRUE(kvr::AppendLiveRecord(live, sample, 0, at));
    EXPECT_EQ(refreshed(), (Held{{at, 42.0f}}));
    EXPECT_EQ(sources.Newest(), at);

    for (int i = 1; i <= 2; ++i) ASSERT_TRUE(kvr::AppendLiveRecord(live, sample, i, at + i));
    EXPECT_EQ(refreshed().size(), 3u);

    // Saved and started over: only the new recording is read.
    const kvr::Time later = at + 3600;
    kvr::ResetLiveRecords(live);
    sample.values[0] = 7.0f;
    ASSERT_TRUE(kvr::AppendLiveRecord(live, sample, 0, later));
    EXPECT_EQ(refreshed(), (Held{{later, 7.0f}}));

    live.Close();
    std::remove(path.c_str());
    sources.Refresh({path});
    EXPECT_TRUE(sources.Spans().empty());
}

}  // namespace
