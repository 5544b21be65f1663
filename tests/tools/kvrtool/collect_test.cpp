// kvrtool collect against kvr-sim: instruments on shared buses recorded into files that
// rotate at midnight and when full, a killed collector recovered at its next start, an
// adapter pulled and plugged in again, and configuration files that are refused.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "core/datafile/cxfile.h"
#include "core/link/live_recovery.h"
#include "support/kvrtool_test_support.h"
#include "support/sim_process.h"

namespace {

using kvrtest::SimProcess;
using KvrtoolCollect = kvrtest::KvrtoolTest;
namespace fs = std::filesystem;

constexpr int kChannels = 6;

// kvrtool collect as a child, in UTC so that the test knows where midnight is.
class Collector : public kvrtest::LoggedTool {
public:
    Collector(const std::string& config, const std::vector<std::string>& extra,
              const std::string& log)
        : LoggedTool(Arguments(config, extra), log, {"TZ=UTC"}) {}

private:
    static std::vector<std::string> Arguments(const std::string& config,
                                              const std::vector<std::string>& extra) {
        std::vector<std::string> arguments{"collect", "--config", config, "--delay-scale", "0"};
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        return arguments;
    }
};

using kvrtest::WaitFor;

// The history files in folder, oldest first (their names carry the first record's time).
std::vector<std::string> HistoryFiles(const std::string& folder) {
    std::vector<std::string> files;
    if (!fs::exists(folder)) return files;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().extension() == ".FDZ") files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

struct Stored {
    kvr::Time start = 0, end = 0;
    int records = 0;
    std::vector<int> requests;  // the simulator's request each record holds
};

// Every record of the file, each checked to be one whole reply of the simulator.
Stored ReadStored(const std::string& path) {
    Stored stored;
    kvr::CXFile file;
    EXPECT_EQ(file.Open(path), 1) << path;
    stored.start = file.GetStartTime();
    stored.end = file.GetEndTime();
    stored.records = file.GetRecordCount();
    for (int i = 0; i < stored.records; ++i) {
        float values[kChannels];
        for (int c = 0; c < kChannels; ++c) {
            float percent = 0;
            EXPECT_EQ(file.GetValue(c, stored.start + i * file.GetInterval(), &values[c], &percent),
                      1);
        }
        stored.requests.push_back(kvrtest::CounterRequestOf(values, kChannels));
        EXPECT_GT(stored.requests.back(), 0) << path << " record " << i;
    }
    return stored;
}

std::string FileName(const std::string& name, kvr::Time first) {
    char text[32];
    const std::tm* t = std::gmtime(&first);
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", t);
    return name + "-" + text + ".FDZ";
}

std::string Instrument(const std::string& name, const std::string& port, int address) {
    return "[instrument " + name + "]\nport = " + port + "\naddress = " + std::to_string(address) +
           "\nbaud = 57600\n";
}

class CollectTest : public KvrtoolCollect {
protected:
    // File times are local: the test reads them in the collector's zone.
    void SetUp() override {
        ::setenv("TZ", "UTC", 1);
        ::tzset();
    }
    std::string WriteConfig(const std::string& text) {
        const std::string path = dir.file("collect.ini");
        std::ofstream(path) << text;
        return path;
    }
    std::string Data() const { return dir.file("data"); }
    std::string Folder(const std::string& name) const { return Data() + "/" + name; }
    // Records in the live buffer now.
    int Buffered(const std::string& name) {
        const auto found = kvr::FindUnsavedRecords(Folder(name) + "/" + name + ".tmp");
        return found ? found->count : 0;
    }
};

TEST_F(CollectTest, BusesRecordWhatWasServedAndRotateAtMidnightAndWhenFull) {
    SimProcess bus({"--family=realtime", "--counter-values", "--bus=1,2,3"});
    SimProcess single({"--family=realtime", "--counter-values", "--address=7"});
    ASSERT_TRUE(bus.Running() && single.Running());
    const std::vector<std::string> names{"boiler", "steam", "water", "gas"};
    const std::string config =
        WriteConfig("[collect]\ndir = " + Data() + "\nrotate_hour = 0\n\n" +
                    Instrument("boiler", bus.Path(), 1) + Instrument("steam", bus.Path(), 2) +
                    Instrument("water", bus.Path(), 3) + Instrument("gas", single.Path(), 7));
    // Midnight comes six seconds after the start; files hold at most four records.
    const std::time_t now = std::time(nullptr);
    const kvr::Time midnight = (now / 86400 + 1) * 86400;
    Collector collector(
        config, {"--clock-offset", std::to_string(midnight - 6 - now), "--records-per-file", "4"},
        dir.file("log"));
    ASSERT_TRUE(WaitFor([&] {
        for (const std::string& name : names)
            if (HistoryFiles(Folder(name)).size() < 3) return false;
        return true;
    })) << kvrtest::ReadWholeFile(dir.file("log"));
    const kvrtest::CommandResult table = Run("collect --status '" + Data() + "'");
    EXPECT_EQ(table.exitCode, 0);
    for (const std::string& name : names) EXPECT_NE(table.out.find(name), std::string::npos);
    ASSERT_EQ(collector.End(SIGTERM), 0) << kvrtest::ReadWholeFile(dir.file("log"));

    for (const std::string& name : names) {
        const std::vector<std::string> files = HistoryFiles(Folder(name));
        EXPECT_FALSE(fs::exists(Folder(name) + "/" + name + ".tmp")) << name;
        ASSERT_GE(files.size(), 3u) << name;
        bool midnightFile = false;
        int previousRequest = 0;
        kvr::Time previousEnd = 0;
        for (const std::string& path : files) {
            const Stored stored = ReadStored(path);
            EXPECT_EQ(fs::path(path).filename().string(), FileName(name, stored.start));
            EXPECT_LE(stored.records, 4) << path;
            // A file never spans midnight; the next starts with the next record.
            EXPECT_EQ(stored.start / 86400, stored.end / 86400) << path;
            if (previousEnd != 0) {
                EXPECT_EQ(stored.start, previousEnd + 1) << path;
            }
            midnightFile = midnightFile || stored.start == midnight;
            for (const int request : stored.requests) {
                EXPECT_GE(request, previousRequest) << path;
                previousRequest = request;
            }
            previousEnd = stored.end;
        }
        EXPECT_TRUE(midnightFile) << name;
    }
}

TEST_F(CollectTest, KilledCollectorIsRecoveredBeforePollingAgain) {
    SimProcess bus({"--family=realtime", "--counter-values", "--bus=4,5"});
    ASSERT_TRUE(bus.Running());
    const std::string config =
        WriteConfig("[collect]\ndir = " + Data() + "\n" + Instrument("a", bus.Path(), 4) +
                    Instrument("b", bus.Path(), 5));
    std::vector<std::vector<int>> before;
    {
        Collector collector(config, {}, dir.file("log"));
        ASSERT_TRUE(WaitFor([&] { return Buffered("a") >= 3 && Buffered("b") >= 3; }))
            << kvrtest::ReadWholeFile(dir.file("log"));
        collector.End(SIGKILL);
    }
    for (const std::string name : {"a", "b"}) {
        const std::string buffer = Folder(name) + "/" + name + ".tmp";
        ASSERT_TRUE(fs::exists(buffer)) << name;
        ASSERT_TRUE(HistoryFiles(Folder(name)).empty()) << name;
        before.push_back(ReadStored(buffer).requests);
        ASSERT_GE(before.back().size(), 3u) << name;
    }
    // A copy as a failed save sets a buffer aside: recovered once, the same file.
    fs::copy_file(Folder("a") + "/a.tmp", Folder("a") + "/a-19700101-000000.tmp");
    Collector again(config, {}, dir.file("log2"));
    // Both old buffers recovered (each is gone before its line is written), then new ones.
    const auto recovered = [&] {
        const std::string log = kvrtest::ReadWholeFile(dir.file("log2"));
        const std::size_t first = log.find("recovered: ");
        return first != std::string::npos &&
               log.find("recovered: ", first + 1) != std::string::npos;
    };
    ASSERT_TRUE(WaitFor([&] { return recovered() && Buffered("a") >= 2 && Buffered("b") >= 2; }))
        << kvrtest::ReadWholeFile(dir.file("log2"));
    ASSERT_EQ(again.End(SIGTERM), 0);
    EXPECT_FALSE(fs::exists(Folder("a") + "/a-19700101-000000.tmp"));
    int i = 0;
    for (const std::string name : {"a", "b"}) {
        const std::vector<std::string> files = HistoryFiles(Folder(name));
        ASSERT_EQ(files.size(), 2u) << name;
        // Every record written before the kill, in its history file.
        EXPECT_EQ(ReadStored(files[0]).requests, before[i++]) << name;
    }
}

TEST_F(CollectTest, EachHistoryFileHasItsAlarmFileBesideIt) {
    // The first input stays above both high limits (35 and 38): each file raises both alarms
    // at its first record, as its monitor starts afresh.
    SimProcess sim({"--family=realtime", "--pattern=0:39", "--address=1"});
    ASSERT_TRUE(sim.Running());
    const std::string config =
        WriteConfig("[collect]\ndir = " + Data() + "\n" + Instrument("hot", sim.Path(), 1));
    Collector collector(config, {"--records-per-file", "3"}, dir.file("log"));
    ASSERT_TRUE(WaitFor([&] { return HistoryFiles(Folder("hot")).size() >= 2; }));
    ASSERT_EQ(collector.End(SIGTERM), 0) << kvrtest::ReadWholeFile(dir.file("log"));
    for (const std::string& history : HistoryFiles(Folder("hot"))) {
        const std::string alarms = history.substr(0, history.size() - 4) + ".alarms.csv";
        const std::string text = kvrtest::ReadWholeFile(alarms);
        EXPECT_EQ(text.rfind("时间,通道,类型,数值,限值,状态,持续时间(秒)\n", 0), 0u) << alarms;
        EXPECT_NE(text.find(",上限,39"), std::string::npos) << text;
        EXPECT_NE(text.find(",上上限,39"), std::string::npos) << text;
    }
}

// family = realtime: an instrument of another family at the address is refused, said once,
// and nothing is recorded for it; the other instruments go on.
TEST_F(CollectTest, AnotherFamilyIsRefusedWhereTheRealtimeFamilyIsRequired) {
    SimProcess other({"--family=rtu", "--address=2"});
    SimProcess good({"--family=realtime", "--counter-values", "--address=3"});
    ASSERT_TRUE(other.Running() && good.Running());
    const std::string config = WriteConfig(
        "[collect]\ndir = " + Data() + "\nreconnect = 1\n" + Instrument("meter", other.Path(), 2) +
        "family = realtime\n" + Instrument("steam", good.Path(), 3) + "family = realtime\n");
    Collector collector(config, {}, dir.file("log"));
    const auto refusals = [&] {
        const std::string log = kvrtest::ReadWholeFile(dir.file("log"));
        int count = 0;
        for (std::size_t at = log.find("meter: 该地址的仪表不是实时采集系列：");
             at != std::string::npos;
             at = log.find("meter: 该地址的仪表不是实时采集系列：", at + 1))
            ++count;
        return count;
    };
    ASSERT_TRUE(WaitFor([&] { return refusals() == 1 && Buffered("steam") >= 3; }))
        << kvrtest::ReadWholeFile(dir.file("log"));
    std::this_thread::sleep_for(std::chrono::milliseconds(2500));  // two more retries
    ASSERT_EQ(collector.End(SIGTERM), 0);
    EXPECT_EQ(refusals(), 1) << kvrtest::ReadWholeFile(dir.file("log"));
    EXPECT_TRUE(HistoryFiles(Folder("meter")).empty());
    EXPECT_FALSE(fs::exists(Folder("meter") + "/meter.tmp"));
    EXPECT_EQ(HistoryFiles(Folder("steam")).size(), 1u);
}

TEST_F(CollectTest, PulledAdapterEndsTheFileAndTheNextStartsWhenItAnswersAgain) {
    const std::string line = dir.file("ttyUSB0");
    const auto started = std::time(nullptr);
    SimProcess sim({"--family=realtime", "--counter-values", "--link=" + line, "--unplug-after=5",
                    "--replug-after=9"});
    ASSERT_TRUE(sim.Running());
    const std::string config =
        WriteConfig("[collect]\ndir = " + Data() + "\nreconnect = 1\n" + Instrument("m", line, 1));
    Collector collector(config, {}, dir.file("log"));
    ASSERT_TRUE(WaitFor([&] { return HistoryFiles(Folder("m")).size() == 1; }));
    ASSERT_TRUE(WaitFor([&] { return Buffered("m") == 0; }));
    ASSERT_TRUE(WaitFor([&] { return Buffered("m") >= 2; }));
    ASSERT_EQ(collector.End(SIGTERM), 0);
    const std::vector<std::string> files = HistoryFiles(Folder("m"));
    ASSERT_EQ(files.size(), 2u) << kvrtest::ReadWholeFile(dir.file("log"));
    const Stored first = ReadStored(files[0]);
    const Stored second = ReadStored(files[1]);
    // The first file runs into the silence by its five failed polls (the records repeat the
    // last reply) and no further; the second starts only once the line is back.
    EXPECT_GE(first.end, started + 5);
    EXPECT_LE(first.end, started + 5 + 9);
    EXPECT_GE(second.start, started + 14);
    EXPECT_LE(second.start, started + 14 + 5);
    EXPECT_GE(second.requests.front(), first.requests.back());
}

TEST_F(CollectTest, BadConfigurationNamesLineAndKeyAndOpensNothing) {
    const std::string head = "[collect]\ndir = " + Data() + "\n";
    const std::string good = Instrument("a", "/dev/null", 1);
    const struct {
        std::string text, expected;
    } cases[] = {
        {head + good + "speed = 3\n", "line 7, speed: unknown key"},
        {head + good + "parity = mark\n", "line 7, parity:"},
        {head + good + "interval = 0\n", "line 7, interval:"},
        {head + "[instrument b]\nport = /dev/null\n", "line 3, address:"},
        {"[collect]\nrotate = daily\n" + good, "dir:"},
        {head + good + Instrument("a", "/dev/zero", 2), "line 7, [instrument a]"},
        {head + good + Instrument("b", "/dev/null", 1), "line 7, address:"},
        {head + good + "[instruments c]\n", "line 7, [instruments c]"},
        {head + good + "[instrument c]\nport = /dev/null\naddress = 2\nbaud = 19200\n",
         "line 7, baud:"},
    };
    for (const auto& c : cases) {
        const kvrtest::CommandResult r = Run("collect --config '" + WriteConfig(c.text) + "'");
        EXPECT_EQ(r.exitCode, 1) << c.text;
        EXPECT_NE(r.err.find(c.expected), std::string::npos) << c.text << "\n" << r.err;
    }
    EXPECT_FALSE(fs::exists(Data()));
}

}  // namespace
