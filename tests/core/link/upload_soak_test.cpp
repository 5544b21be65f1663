// Uploads soaked in line faults: several thousand records from kvr-sim while it drops,
// spoils and delays replies end byte for byte as the same upload from a faultless
// instrument, or fail with nothing left behind.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "core/link/instrument_scan.h"
#include "core/link/link_texts.h"
#include "core/link/upload_session.h"
#include "support/pty_pair.h"
#include "support/sim_process.h"
#include "support/test_support.h"

namespace {

using kvrtest::SimProcess;

constexpr int kRecords = 6000;  // 47 blocks of each of three channels

std::vector<std::string> SimArguments(const std::vector<std::string>& faults) {
    std::vector<std::string> args{"--family=ascii0", "--channels=3", "--records=150000",
                                  "--seed=9"};
    args.insert(args.end(), faults.begin(), faults.end());
    return args;
}

class FinishedSink : public kvr::UploadSink {
public:
    void Finished(const kvr::UploadOutcome& o) override { outcome = o; }
    kvr::UploadOutcome outcome;
};

struct UploadResult {
    bool started = false;
    kvr::UploadOutcome outcome;
};

// Scans the simulator and uploads the kRecords records that end at its newest one.
UploadResult Upload(const SimProcess& sim, kvr::Time newest, const std::string& path) {
    UploadResult result;
    kvr::UploadSession session;
    kvr::ComParam p = kvrtest::TestParams(sim.Path());
    // A reply has 100 ms; a delayed one comes too late and is purged before the next try.
    p.constantBase = 100;
    p.attempts = 4;
    session.SetParams(p);
    session.Link().SetDelayScale(0);
    const kvr::ScanResult scan = session.Scan();
    if (!scan.timeParameters || scan.newest != newest) return result;
    kvr::UploadChoice choice;
    choice.end = newest;
    choice.start = newest - static_cast<kvr::Time>(kRecords - 1) * scan.interval;
    std::string message;
    if (!session.Prepare(choice).ok || session.ReadConfiguration(path, nullptr, &message) != 1)
        return result;
    FinishedSink sink;
    if (!session.Start(sink, &message)) return result;
    session.Wait();
    result.started = true;
    result.outcome = sink.outcome;
    return result;
}

bool Exists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

kvr::Time NewestOf(const SimProcess& sim) {
    kvr::CXLink link;
    kvr::CXFile scratch;
    kvr::ComParam p = kvrtest::TestParams(sim.Path());
    link.SetDelayScale(0);
    return kvr::ScanInstrument(link, p, scratch).newest;
}

TEST(UploadSoak, FaultsOnTheLineNeverChangeWhatIsWritten) {
    kvrtest::TempDir folder;
    const std::string reference = folder.file("reference.FDZ");
    const std::string soaked = folder.file("soaked.FDZ");
    enum class Expect { kComplete, kEither, kFail };
    const struct {
        std::vector<std::string> faults;
        Expect expect;
    } cases[] = {
        // Nearly half the replies spoiled, never four tries of one block in a row (a late
        // reply spoils the next try too, arriving glued to its answer): completes.
        {{"--drop-every=4", "--corrupt-every=6", "--delay-ms=150", "--delay-every=9"},
         Expect::kComplete},
        // Here four tries of one block can all fail, depending on how the late replies fall.
        {{"--drop-every=7", "--corrupt-every=5", "--delay-ms=150", "--delay-every=11"},
         Expect::kEither},
        // The instrument goes silent halfway.
        {{"--silent-after=90", "--corrupt-every=6"}, Expect::kFail},
    };
    for (const auto& c : cases) {
        const std::string what = c.faults.front();
        // Both simulators must agree on their newest record time, which follows the clock:
        // started together they do, unless a record interval began in between.
        bool compared = false;
        for (int attempt = 0; attempt < 3 && !compared; ++attempt) {
            SimProcess clean(SimArguments({}));
            SimProcess faulty(SimArguments(c.faults));
            const kvr::Time newest = NewestOf(clean);
            ASSERT_NE(newest, 0) << what;
            const UploadResult good = Upload(clean, newest, reference);
            ASSERT_TRUE(good.started) << what;
            ASSERT_EQ(good.outcome.status, kvr::UploadOutcome::kCompleted) << what;
            const UploadResult result = Upload(faulty, newest, soaked);
            if (!result.started) continue;
            compared = true;
            const bool completed = result.outcome.status == kvr::UploadOutcome::kCompleted;
            if (c.expect != Expect::kEither) {
                EXPECT_EQ(completed, c.expect == Expect::kComplete)
                    << what << " " << result.outcome.message;
            }
            if (completed) {
                const std::string expected = kvrtest::ReadWholeFile(reference);
                EXPECT_GT(expected.size(), static_cast<std::size_t>(3 * kRecords * 2));
                EXPECT_TRUE(kvrtest::ReadWholeFile(soaked) == expected) << what;
            } else {
                EXPECT_EQ(result.outcome.status, kvr::UploadOutcome::kFailed) << what;
                EXPECT_EQ(result.outcome.message, kvr::texts::kCommunicationFailed) << what;
                EXPECT_FALSE(Exists(soaked)) << what;
            }
            ::unlink(reference.c_str());
            ::unlink(soaked.c_str());
        }
        EXPECT_TRUE(compared) << what << ": the faulty upload never started";
    }
}

}  // namespace
