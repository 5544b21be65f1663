// kvrtool acquire and recover against kvr-sim: a short logging run, a silent instrument,
// and an acquisition killed outright whose buffer gives back every record it printed.
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/link/sim_process.h"
#include "tools/kvrtool_test_support.h"

namespace {

using kvrtest::Lines;
using kvrtest::SimProcess;
using KvrtoolAcquire = kvrtest::KvrtoolTest;

std::string Line(const SimProcess& sim) {
    return "--port '" + sim.Path() + "' --baud 57600 --delay-scale 0";
}

TEST_F(KvrtoolAcquire, RecordsPrintsAndSavesTheSameRows) {
    SimProcess sim({"--family=realtime"});
    ASSERT_TRUE(sim.Running());
    const std::string out = dir.file("day.FDZ");
    const kvrtest::CommandResult r =
        Run("acquire " + Line(sim) + " --out '" + out + "' --records 3 --interval 1");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_FALSE(std::filesystem::exists(out + ".tmp"));
    const kvrtest::CommandResult values = Run("values '" + out + "'");
    ASSERT_EQ(values.exitCode, 0) << values.err;
    EXPECT_EQ(r.out, values.out);
    EXPECT_EQ(Lines(r.out).size(), 4u) << r.out;

    const kvrtest::CommandResult notBuffer =
        Run("recover '" + out + "' --out '" + dir.file("x.FDZ") + "'");
    EXPECT_EQ(notBuffer.exitCode, 2);

    // A second run onto the same file needs --force.
    const std::string saved = kvrtest::ReadWholeFile(out);
    const kvrtest::CommandResult again =
        Run("acquire " + Line(sim) + " --out '" + out + "' --records 1 --interval 1");
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_NE(again.err.find("exists; --force"), std::string::npos) << again.err;
    EXPECT_EQ(kvrtest::ReadWholeFile(out), saved);
}

TEST_F(KvrtoolAcquire, SilentInstrumentStopsSavesAndFails) {
    int configRequests = 0;
    {
        SimProcess probe({"--family=realtime"});
        ASSERT_TRUE(probe.Running());
        const kvrtest::CommandResult r = Run("acquire " + Line(probe) + " --attempts 1 --out '" +
                                             dir.file("probe.FDZ") + "' --records 1");
        ASSERT_EQ(r.exitCode, 0) << r.err;
        configRequests = probe.Stop();
    }
    SimProcess sim({"--family=realtime", "--silent-after=" + std::to_string(configRequests + 2)});
    const std::string out = dir.file("cut.FDZ");
    const kvrtest::CommandResult r = Run("acquire " + Line(sim) + " --attempts 1 --out '" + out +
                                         "' --records 100 --interval 1");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("通讯失败，已停止实时采集！"), std::string::npos) << r.err;
    const kvrtest::CommandResult values = Run("values '" + out + "'");
    ASSERT_EQ(values.exitCode, 0) << values.err;
    EXPECT_EQ(r.out, values.out);
}

TEST_F(KvrtoolAcquire, KilledAcquisitionIsRecoveredUpToItsLastRecord) {
    SimProcess sim({"--family=realtime"});
    ASSERT_TRUE(sim.Running());
    const std::string out = dir.file("killed.FDZ");
    kvrtest::ToolChild child({"acquire", "--port", sim.Path(), "--baud", "57600", "--delay-scale",
                              "0", "--out", out, "--records", "1000", "--interval", "1"});
    // The header line and three records.
    const std::vector<std::string> printed = Lines(child.ReadLines(4));
    ASSERT_GE(printed.size(), 4u);
    child.Kill(SIGKILL);
    ASSERT_FALSE(std::filesystem::exists(out));
    ASSERT_TRUE(std::filesystem::exists(out + ".tmp"));

    // Neither a new acquisition nor a recovery onto the buffer itself may replace it.
    const std::string buffer = kvrtest::ReadWholeFile(out + ".tmp");
    const kvrtest::CommandResult next =
        Run("acquire " + Line(sim) + " --out '" + out + "' --records 1 --force");
    EXPECT_EQ(next.exitCode, 1);
    EXPECT_NE(next.err.find("kvrtool recover '" + out + ".tmp'"), std::string::npos) << next.err;
    const kvrtest::CommandResult onto =
        Run("recover '" + out + ".tmp' --out '" + out + ".tmp' --force");
    EXPECT_EQ(onto.exitCode, 1);
    EXPECT_EQ(kvrtest::ReadWholeFile(out + ".tmp"), buffer);

    const std::string recovered = dir.file("recovered.FDZ");
    const kvrtest::CommandResult r = Run("recover '" + out + ".tmp' --out '" + recovered + "'");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(Run("recover '" + out + ".tmp' --out '" + recovered + "'").exitCode, 1)
        << "an existing file needs --force";
    const std::vector<std::string> rows = Lines(Run("values '" + recovered + "'").out);
    // Every record printed before the kill is there, as printed.
    ASSERT_GE(rows.size(), printed.size());
    for (std::size_t i = 0; i < printed.size(); ++i) EXPECT_EQ(rows[i], printed[i]) << "line " << i;
}

}  // namespace
