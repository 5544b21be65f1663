#include "core/publish/instrument_sources.h"

#include <gtest/gtest.h>

#include "core/link/live_record.h"
#include "support/test_support.h"

namespace {

// A collector's buffer between two files (saved, emptied, no record yet) holds nothing to
// publish; its next record does.
TEST(InstrumentSources, AnEmptiedLiveBufferHoldsNoRecord) {
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
    sources.Refresh({path});
    EXPECT_TRUE(sources.Read(0, kvr::MakeTime({2099, 1, 1}), 60).empty());
    EXPECT_FALSE(sources.Newest());

    const kvr::Time at = kvr::MakeTime({2026, 3, 1, 8});
    kvr::LiveSample sample;
    sample.values[0] = 42.0f;
    ASSERT_TRUE(kvr::AppendLiveRecord(live, sample, 0, at));
    sources.Refresh({path});
    const auto records = sources.Read(0, kvr::MakeTime({2099, 1, 1}), 60);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].ts, at);
    EXPECT_EQ(records[0].values[0], 42.0f);
    EXPECT_EQ(sources.Newest(), at);
}

}  // namespace
