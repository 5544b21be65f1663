// The live buffer while an acquisition writes it: readers on another thread, and what a
// crash leaves behind.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <memory>
#include <thread>

#include "core/datafile/cxfile.h"
#include "core/datafile/program.h"
#include "core/link/live_record.h"
#include "datafile_test_util.h"

namespace {

constexpr unsigned kCapacity = 400;

class LiveBuffer : public ::testing::Test {
protected:
    void SetUp() override {
        kvr::SetProgramFolder(dir.path());
        kvr::SampleOptions options;
        options.records = 5;
        ASSERT_EQ(source.Open(kvrtest::WriteSample(dir, "source.FDZ", options)), 1);
    }
    void TearDown() override { kvr::SetProgramFolder(""); }

    void Start(kvr::CXFile& live, kvr::Time start) {
        live.Header() = source.Header();
        live.Header().records.count = kCapacity;
        ASSERT_EQ(live.CreateTempFile(), 1);
        live.SetStartTime(start);
        live.SetEndTime(start + (kCapacity - 1) * 60);
        ASSERT_EQ(live.FlushHeader(), 1);
        live.SetRecordCount(0);
    }

    static void Record(unsigned r, float* record) {
        for (int c = 0; c < 6; ++c) record[c] = kvr::RampSample(c, static_cast<int>(r));
    }

    kvrtest::TempDir dir;
    kvr::CXFile source;
};

TEST_F(LiveBuffer, AReaderOnAnotherThreadSeesOnlyCompleteRecords) {
    kvr::CXFile live;
    const kvr::Time start = kvr::MakeTime({2026, 3, 1, 8});
    Start(live, start);
    std::thread writer([&] {
        for (unsigned r = 0; r < kCapacity; ++r) {
            float record[6];
            Record(r, record);
            live.AppendRecord(record, r);
        }
    });
    int mismatches = 0, seen = 0;
    while (seen < static_cast<int>(kCapacity)) {
        seen = live.GetRecordCount();
        // Every record the count covers is there in full.
        for (int r = seen > 8 ? seen - 8 : 0; r < seen; ++r) {
            for (int c = 0; c < 6; ++c) {
                float value = -1;
                const kvr::Time t = live.GetStartTime() + r * live.GetInterval();
                if (live.GetValue(c, t, &value, nullptr) != 1 || value != kvr::RampSample(c, r))
                    ++mismatches;
            }
        }
    }
    writer.join();
    EXPECT_EQ(mismatches, 0);
    EXPECT_EQ(live.GetEndTime(), start + (kCapacity - 1) * 60);
}

TEST_F(LiveBuffer, ABufferLeftByAKilledAcquisitionOpensAndSaves) {
    const kvr::Time start = kvr::MakeTime({2026, 3, 1, 8});
    constexpr unsigned kAppended = 37;
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        kvr::CXFile live;
        Start(live, start);
        for (unsigned r = 0; r < kAppended; ++r) {
            float record[6];
            Record(r, record);
            if (!live.AppendRecord(record, r)) ::_exit(2);
        }
        ::kill(::getpid(), SIGKILL);  // no Close, no destructor: as a crash leaves it
        ::_exit(3);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;

    kvr::CXFile left;
    ASSERT_EQ(left.Open(dir.file("temp.tmp")), 1);
    EXPECT_FALSE(left.IsLockedByOther()) << "the lock died with the acquisition";
    EXPECT_EQ(left.GetRecordCount(), static_cast<int>(kAppended));
    const std::string saved = dir.file("recovered.FDZ");
    ASSERT_EQ(left.SaveAs(saved), 1);
    kvr::CXFile recovered;
    ASSERT_EQ(recovered.Open(saved), 1);
    EXPECT_EQ(recovered.GetStartTime(), start);
    EXPECT_EQ(recovered.GetRecordCount(), static_cast<int>(kAppended));
    for (unsigned r = 0; r < kAppended; ++r) {
        float value = 0;
        ASSERT_EQ(recovered.GetValue(5, start + r * 60, &value, nullptr), 1);
        EXPECT_EQ(value, kvr::RampSample(5, static_cast<int>(r))) << r;
    }
}

// A viewer follows a buffer that a collector records into: it sees each record once the
// end stamp covers it, never writes, rides out a new recording started in the same buffer
// and a buffer removed and made anew under the same name.
TEST_F(LiveBuffer, AReadOnlyViewerFollowsTheRecordsAnotherWriterStores) {
    using Follow = kvr::CXFile::FollowResult;
    const std::string path = dir.file("temp.tmp");
    const kvr::Time start = kvr::MakeTime({2026, 3, 1, 8});
    kvr::LiveSample sample;
    const auto store = [&](kvr::CXFile& live, int r, kvr::Time first) {
        Record(static_cast<unsigned>(r), sample.values);
        sample.flowTotal = 1'000'000'000'000LL + r;
        ASSERT_TRUE(kvr::AppendLiveRecord(live, sample, r, first + r * 60));
    };
    auto live = std::make_unique<kvr::CXFile>();
    Start(*live, start);
    kvr::ResetLiveRecords(*live);
    store(*live, 0, start);

    kvr::CXFile viewer;
    ASSERT_EQ(viewer.OpenReadOnly(path), 1);
    EXPECT_TRUE(viewer.IsReadOnly());
    EXPECT_STREQ(viewer.EditRefusal(), kvr::kFileInUseText);
    EXPECT_EQ(viewer.AddTag(start), 0);
    EXPECT_EQ(viewer.GetRecordCount(), 1);
    EXPECT_EQ(viewer.Follow(), Follow::kUnchanged);

    for (int r = 1; r < 5; ++r) store(*live, r, start);
    ASSERT_EQ(viewer.Follow(), Follow::kAppended);
    EXPECT_EQ(viewer.GetRecordCount(), 5);
    EXPECT_EQ(viewer.GetEndTime(), start + 4 * 60);
    EXPECT_EQ(viewer.Header().flowTotal, 1'000'000'000'004LL);
    float value = 0;
    ASSERT_EQ(viewer.GetValue(3, start + 4 * 60, &value, nullptr), 1);
    EXPECT_EQ(value, kvr::RampSample(3, 4));
    EXPECT_EQ(viewer.Follow(), Follow::kUnchanged);

    // The writer saves and starts over in the same buffer: half way it is no recording at
    // all, then a new one.
    kvr::ResetLiveRecords(*live);
    EXPECT_EQ(viewer.Follow(), Follow::kUnchanged);
    const kvr::Time next = start + 3600;
    store(*live, 0, next);
    ASSERT_EQ(viewer.Follow(), Follow::kRestarted);
    ASSERT_EQ(viewer.OpenReadOnly(path), 1);
    EXPECT_EQ(viewer.GetStartTime(), next);
    EXPECT_EQ(viewer.GetRecordCount(), 1);

    // Communication lost: the buffer goes; later a new buffer has the name.
    live.reset();
    EXPECT_EQ(viewer.Follow(), Follow::kGone);
    EXPECT_EQ(viewer.GetRecordCount(), 1) << "what was shown stays";
    live = std::make_unique<kvr::CXFile>();
    Start(*live, next + 600);
    kvr::ResetLiveRecords(*live);
    store(*live, 0, next + 600);
    EXPECT_EQ(viewer.Follow(), Follow::kRestarted);
    EXPECT_EQ(viewer.OpenReadOnly(path), 1);
    EXPECT_EQ(viewer.GetStartTime(), next + 600);
}

}  // namespace
