// Realtime acquisition against kvr-sim: records at the interval, stop and save, a flaky or
// silent instrument, a full buffer, a full disk, cancel, a stop racing the record timer,
// and the records a crashed acquisition leaves behind.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

#include "core/datafile/cxfile.h"
#include "core/link/acquisition.h"
#include "core/link/link_texts.h"
#include "core/link/live_recovery.h"
#include "core/sys/sys_io.h"
#include "support/pty_pair.h"
#include "support/sim_process.h"
#include "support/test_support.h"

namespace {

using kvrtest::SimProcess;

bool Exists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

// Waits for something the poll thread brings about; false if it never happens.
bool WaitFor(const std::function<bool()>& done) {
    for (int i = 0; i < 1000; ++i) {
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return done();
}

class AcquisitionTest : public ::testing::Test {
protected:
    void Prepare(const SimProcess& sim, int attempts = 3, int interval = 5) {
        ASSERT_TRUE(sim.Running());
        kvr::ComParam p = kvrtest::TestParams(sim.Path());
        p.attempts = attempts;
        kvr::ViewDef view;
        view.realtimeInterval = interval;
        acquisition.SetParams(p);
        acquisition.SetViewDef(view);
        acquisition.SetDelayScale(0);
        kvr::AcquisitionLimits limits;
        limits.pollPeriodMs = 20;
        acquisition.SetLimits(limits);
        acquisition.SetTempFilePath(temp);
    }
    kvr::StartResult Start() { return acquisition.Start(nullptr, noCancel); }

    kvrtest::TempDir dir;
    std::string temp = dir.file("live.tmp");
    std::atomic<bool> noCancel{false};
    kvr::Acquisition acquisition;
};

using kvr::AcquisitionLimits;
using kvr::StartStatus;
using kvr::TickStatus;

TEST_F(AcquisitionTest, RecordsStopAndSaveRoundTrip) {
    SimProcess sim({"--family=realtime"});
    Prepare(sim);
    ASSERT_EQ(Start().status, StartStatus::kStarted);
    EXPECT_TRUE(acquisition.IsAcquiring());
    EXPECT_FALSE(acquisition.IsSaved());
    EXPECT_EQ(acquisition.RecordCount(), 1);
    ASSERT_TRUE(Exists(temp));
    for (int i = 0; i < 4; ++i) {
        // Each record after a fresh poll, so the values move like the instrument's.
        const int polls = acquisition.Polls();
        ASSERT_TRUE(WaitFor([&] { return acquisition.Polls() > polls + 1; }));
        const kvr::TickResult tick = acquisition.RecordTick();
        EXPECT_EQ(tick.status, TickStatus::kRecorded);
        EXPECT_EQ(tick.index, i + 1);
    }
    const kvr::CXFile& live = acquisition.File();
    const kvr::Time start = live.GetStartTime();
    EXPECT_NEAR(static_cast<double>(start), static_cast<double>(std::time(nullptr)), 60.0);
    EXPECT_EQ(live.GetEndTime(), start + 4 * 5);
    EXPECT_NE(live.Header().flowTotal, 0);

    EXPECT_EQ(acquisition.Stop(), "");
    EXPECT_FALSE(acquisition.IsAcquiring());
    EXPECT_FALSE(acquisition.Link().IsConnected());
    // A tick that arrives after the stop stores nothing.
    EXPECT_EQ(acquisition.RecordTick().status, TickStatus::kIdle);
    EXPECT_EQ(acquisition.RecordCount(), 5);

    const std::string saved = dir.file("day.FDZ");
    ASSERT_TRUE(acquisition.Save(saved));
    EXPECT_TRUE(acquisition.IsSaved());
    kvr::CXFile file;
    ASSERT_EQ(file.Open(saved), 1);
    EXPECT_EQ(file.GetStartTime(), start);
    EXPECT_EQ(file.GetInterval(), 5);
    EXPECT_EQ(file.GetRecordCount(), 5);
    EXPECT_EQ(file.Header().hourly.count, 0u);
    EXPECT_EQ(file.Header().flowTotal, live.Header().flowTotal);
    int nonZero = 0;
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 6; ++c) {
            float recorded = 0, percent = 0, reread = 0;
            const kvr::Time t = start + r * 5;
            ASSERT_EQ(live.GetValue(c, t, &recorded, &percent), 1);
            ASSERT_EQ(file.GetValue(c, t, &reread, &percent), 1);
            EXPECT_EQ(reread, recorded) << "record " << r << " channel " << c;
            nonZero += recorded != 0.0f;
        }
    EXPECT_GT(nonZero, 20);
    // Closing the live file removes its buffer.
    acquisition.File().Close();
    EXPECT_FALSE(Exists(temp));
}

TEST_F(AcquisitionTest, TotalsAreReadWhereEachFirmwareFamilyKeepsThem) {
    // Firmware before 1006 keeps its totals four bytes further on in the live reply. With
    // counter values every reply's values and totals carry its request number, so totals
    // read at the wrong place belong to no request.
    for (const int firmware : {1005, 1009, 1010}) {
        const std::string what = "firmware " + std::to_string(firmware);
        SimProcess sim(
            {"--family=realtime", "--counter-values", "--firmware=" + std::to_string(firmware)});
        Prepare(sim);
        ASSERT_EQ(Start().status, StartStatus::kStarted) << what;
        const kvr::CXFile& live = acquisition.File();
        for (int i = 1; i <= 2; ++i) {
            const int polls = acquisition.Polls();
            ASSERT_TRUE(WaitFor([&] { return acquisition.Polls() > polls + 1; })) << what;
            ASSERT_EQ(acquisition.RecordTick().status, TickStatus::kRecorded) << what;
            float values[6];
            for (int c = 0; c < 6; ++c)
                ASSERT_EQ(live.GetValue(c, live.GetStartTime() + i * 5, &values[c], nullptr), 1);
            const int request = kvrtest::CounterRequestOf(values, 6);
            ASSERT_GT(request, 0) << what;
            EXPECT_EQ(kvrtest::CounterRequestOf(live.Header().flowTotal, live.Header().heatTotal),
                      request)
                << what << " record " << i;
        }
        EXPECT_EQ(acquisition.Stop(), "") << what;
        const std::string saved = dir.file(std::to_string(firmware) + ".FDZ");
        ASSERT_TRUE(acquisition.Save(saved)) << what;
        kvr::CXFile file;
        ASSERT_EQ(file.Open(saved), 1) << what;
        EXPECT_GT(kvrtest::CounterRequestOf(file.Header().flowTotal, file.Header().heatTotal), 0)
            << what;
        acquisition.File().Close();
    }
}

TEST_F(AcquisitionTest, FailedPollsStopOnlyWhenFiveInARow) {
    // How many requests the configuration read takes, so that faults can hit the polls.
    int configRequests = 0;
    {
        SimProcess probe({"--family=realtime"});
        Prepare(probe, 1);
        ASSERT_EQ(acquisition.ReadConfiguration(nullptr, noCancel).status, StartStatus::kStarted);
        acquisition.File().Close();
        acquisition.Link().Disconnect();
        configRequests = probe.Stop();
        ASSERT_GT(configRequests, 0);
    }
    // Silent from the first poll on: the start fails rather than store a record of zeros
    // the instrument never sent.
    {
        SimProcess sim({"--family=realtime", "--silent-after=" + std::to_string(configRequests)});
        Prepare(sim, 1);
        const kvr::StartResult start = Start();
        EXPECT_EQ(start.status, StartStatus::kFailed);
        EXPECT_EQ(start.message, kvr::texts::kCommunicationFailed);
        EXPECT_EQ(acquisition.RecordCount(), 0);
        EXPECT_FALSE(acquisition.IsDataAvailable());
        EXPECT_FALSE(Exists(temp));
    }
    // The second poll goes unanswered, the next ones are answered again.
    {
        SimProcess sim({"--family=realtime", "--drop-every=" + std::to_string(configRequests + 2)});
        Prepare(sim, 1);
        ASSERT_EQ(Start().status, StartStatus::kStarted);
        ASSERT_TRUE(WaitFor([&] { return acquisition.Polls() >= 8; }));
        EXPECT_TRUE(acquisition.CommunicationOk());
        EXPECT_EQ(acquisition.RecordTick().status, TickStatus::kRecorded);
        acquisition.Stop();
    }
    // An instrument that falls silent: the next tick stops with the message and keeps
    // what was recorded.
    SimProcess sim({"--family=realtime", "--silent-after=" + std::to_string(configRequests + 3)});
    Prepare(sim, 1);
    ASSERT_EQ(Start().status, StartStatus::kStarted);
    ASSERT_TRUE(WaitFor([&] { return acquisition.Polls() >= 9; }));
    EXPECT_FALSE(acquisition.CommunicationOk());
    const kvr::TickResult tick = acquisition.RecordTick();
    EXPECT_EQ(tick.status, TickStatus::kCommunicationLost);
    EXPECT_EQ(tick.message, kvr::texts::kAcquisitionLost);
    EXPECT_FALSE(acquisition.IsAcquiring());
    EXPECT_EQ(acquisition.RecordCount(), 1);
    EXPECT_TRUE(acquisition.Save(dir.file("partial.FDZ")));
}

TEST_F(AcquisitionTest, FullBufferStopsAfterItsLastRecord) {
    SimProcess sim({"--family=realtime"});
    Prepare(sim);
    AcquisitionLimits limits;
    limits.pollPeriodMs = 20;
    limits.capacity = 3;
    acquisition.SetLimits(limits);
    ASSERT_EQ(Start().status, StartStatus::kStarted);
    EXPECT_EQ(acquisition.RecordTick().status, TickStatus::kRecorded);
    const kvr::TickResult full = acquisition.RecordTick();
    EXPECT_EQ(full.status, TickStatus::kFileFull);
    EXPECT_EQ(full.message, kvr::texts::kFileFull);
    EXPECT_EQ(full.index, 2);
    EXPECT_FALSE(acquisition.IsAcquiring());
    EXPECT_EQ(acquisition.RecordTick().status, TickStatus::kIdle);
    EXPECT_EQ(acquisition.File().GetEndTime(), acquisition.File().GetStartTime() + 2 * 5);
}

// Cancels once the progress has moved a few steps into the configuration.
class CancellingProgress : public kvr::LinkProgress {
public:
    explicit CancellingProgress(std::atomic<bool>& cancel) : cancel_(cancel) {}
    void SetPosition(int position) override {
        if (position == 3) cancel_ = true;
    }

private:
    std::atomic<bool>& cancel_;
};

TEST_F(AcquisitionTest, CancelledConfigurationLeavesNothingAndCanStartAgain) {
    SimProcess sim({"--family=realtime"});
    Prepare(sim);
    std::atomic<bool> cancel{false};
    CancellingProgress progress(cancel);
    EXPECT_EQ(acquisition.Start(&progress, cancel).status, StartStatus::kCancelled);
    EXPECT_FALSE(Exists(temp));
    EXPECT_FALSE(acquisition.IsDataAvailable());
    EXPECT_FALSE(acquisition.IsAcquiring());
    EXPECT_TRUE(acquisition.IsSaved());
    EXPECT_FALSE(acquisition.Link().IsConnected());
    ASSERT_EQ(Start().status, StartStatus::kStarted);
    // A second start while connected does nothing.
    EXPECT_EQ(Start().status, StartStatus::kAlreadyConnected);
    EXPECT_EQ(acquisition.RecordCount(), 1);
}

TEST_F(AcquisitionTest, StopRacingTheRecordTimerKeepsTheFileConsistent) {
    SimProcess sim({"--family=realtime"});
    Prepare(sim);
    ASSERT_EQ(Start().status, StartStatus::kStarted);
    std::atomic<int> afterStop{0};
    std::atomic<bool> stopped{false};
    std::thread timer([&] {
        for (int i = 0; i < 2000; ++i) {
            const bool wasStopped = stopped;
            const kvr::TickResult tick = acquisition.RecordTick();
            if (wasStopped && tick.status != TickStatus::kIdle) ++afterStop;
        }
    });
    ASSERT_TRUE(WaitFor([&] { return acquisition.RecordCount() > 50; }));
    acquisition.Stop();
    stopped = true;
    timer.join();
    EXPECT_EQ(afterStop, 0);
    const kvr::CXFile& file = acquisition.File();
    const int count = acquisition.RecordCount();
    // The end time counts every record stored, the last one included.
    EXPECT_EQ(file.GetEndTime(), file.GetStartTime() + static_cast<kvr::Time>(count - 1) * 5);
    EXPECT_EQ(file.GetRecordCount(), count);
}

TEST_F(AcquisitionTest, CrashLeavesRecordsThatCanBeRecovered) {
    SimProcess sim({"--family=realtime"});
    Prepare(sim);
    ASSERT_EQ(acquisition.ReadConfiguration(nullptr, noCancel).status, StartStatus::kStarted);
    // Configured but nothing recorded yet: nothing to offer.
    EXPECT_FALSE(kvr::FindUnsavedRecords(temp));
    EXPECT_EQ(kvr::RecoverLiveBuffer(temp, dir.file("none.FDZ")).status,
              kvr::RecoverStatus::kNoRecords);
    ASSERT_EQ(acquisition.BeginPolling().status, StartStatus::kStarted);
    acquisition.RecordTick();
    acquisition.RecordTick();
    // What a killed process leaves: the buffer as it is on disk right now.
    const std::string left = dir.file("left.tmp");
    std::filesystem::copy_file(temp, left);
    const auto unsaved = kvr::FindUnsavedRecords(left);
    ASSERT_TRUE(unsaved);
    EXPECT_EQ(unsaved->count, 3);
    EXPECT_EQ(unsaved->start, acquisition.File().GetStartTime());

    const std::string out = dir.file("recovered.FDZ");
    EXPECT_EQ(kvr::RecoverLiveBuffer(left, out).status, kvr::RecoverStatus::kSaved);
    kvr::CXFile file;
    ASSERT_EQ(file.Open(out), 1);
    EXPECT_EQ(file.GetRecordCount(), 3);
    for (int c = 0; c < 6; ++c) {
        float recorded = 0, percent = 0, reread = 0;
        const kvr::Time t = file.GetStartTime() + 2 * 5;
        ASSERT_EQ(acquisition.File().GetValue(c, t, &recorded, &percent), 1);
        ASSERT_EQ(file.GetValue(c, t, &reread, &percent), 1);
        EXPECT_EQ(reread, recorded);
    }
    // A saved history file is not a live buffer.
    EXPECT_EQ(kvr::RecoverLiveBuffer(out, dir.file("again.FDZ")).status,
              kvr::RecoverStatus::kNotLiveBuffer);
}

int NoRoomOnTheDisk(int, off_t, off_t) {
    errno = ENOSPC;
    return -1;
}

TEST_F(AcquisitionTest, NoRoomForTheBufferStopsTheStartAndLeavesNothing) {
    SimProcess sim({"--family=realtime"});
    Prepare(sim);
    kvr::sysio::Calls calls = kvr::sysio::System();
    calls.fallocate = NoRoomOnTheDisk;
    kvr::sysio::ScopedCalls fullDisk(calls);
    const kvr::StartResult result = Start();
    EXPECT_EQ(result.status, StartStatus::kFailed);
    EXPECT_EQ(result.message, "建立临时文件失败！");
    EXPECT_FALSE(Exists(temp));
}

// Where a save in progress is caught by a crash: the buffer as the first write finds it.
std::string caughtBuffer, caughtCopy;
ssize_t CopyBufferThenWrite(int fd, const void* buffer, size_t count) {
    if (!caughtBuffer.empty()) std::filesystem::copy_file(caughtBuffer, caughtCopy);
    caughtBuffer.clear();
    return kvr::sysio::System().write(fd, buffer, count);
}

TEST_F(AcquisitionTest, AFullBufferIsRecoveredAndSoIsOneCaughtInASave) {
    const auto source = kvrtest::OpenSampleFile(dir, kvrtest::SampleRecords(5));
    ASSERT_TRUE(source);
    kvr::CXFile live;
    live.Header() = source->Header();
    live.Header().records.count = 4;
    live.SetTempFilePath(temp);
    ASSERT_EQ(live.CreateTempFile(), 1);
    ASSERT_EQ(live.FlushHeader(), 1);
    live.SetStartTime(kvrtest::SampleStart());
    for (unsigned r = 0; r < 4; ++r) {
        const float record[6] = {1.0f * r, 2.0f, 3.0f, 4.0f, 5.0f, 6.0f};
        ASSERT_TRUE(live.AppendRecord(record, r));
    }
    live.SetEndTime(0);
    ASSERT_EQ(live.GetCapacity(), 4);

    const std::string full = dir.file("full.tmp");
    std::filesystem::copy_file(temp, full);
    const auto unsaved = kvr::FindUnsavedRecords(full);
    ASSERT_TRUE(unsaved) << "a full buffer is still a buffer";
    EXPECT_EQ(unsaved->count, 4);
    const std::string out = dir.file("recovered.FDZ");
    ASSERT_EQ(kvr::RecoverLiveBuffer(full, out).status, kvr::RecoverStatus::kSaved);
    kvr::CXFile saved;
    ASSERT_EQ(saved.Open(out), 1);
    float last = 0;
    ASSERT_EQ(saved.GetValue(0, saved.GetEndTime(), &last, nullptr), 1);
    EXPECT_EQ(last, 3.0f);
    EXPECT_EQ(kvr::RecoverLiveBuffer(out, dir.file("again.FDZ")).status,
              kvr::RecoverStatus::kNotLiveBuffer);

    caughtBuffer = temp;
    caughtCopy = dir.file("caught.tmp");
    kvr::sysio::Calls calls = kvr::sysio::System();
    calls.write = CopyBufferThenWrite;
    {
        kvr::sysio::ScopedCalls crashInSave(calls);
        ASSERT_EQ(live.SaveAs(dir.file("saved.FDZ")), 1);
    }
    const auto caught = kvr::FindUnsavedRecords(caughtCopy);
    ASSERT_TRUE(caught) << "a save in progress leaves the buffer a buffer";
    EXPECT_EQ(caught->count, 4);
}

}  // namespace
