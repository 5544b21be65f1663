// kvrtool acquire and recover against kvr-sim: a short logging run, a silent instrument,
// and an acquisition killed outright whose buffer gives back every record it printed.
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "support/kvrtool_test_support.h"
#include "support/sim_process.h"

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

TEST_F(KvrtoolAcquire, AlarmTransitionsGoBesideTheHistoryFile) {
    // The first input (low-low 1, low 2, high 35, high-high 38, hysteresis 0.5) goes above
    // both high limits, stays inside the band, drops back, then below both low limits; the
    // other two stay inside theirs.
    SimProcess sim({"--family=realtime", "--pattern=0:20,39,37.8,34,0.5,1.4,20", "--pattern=1:1.0",
                    "--pattern=2:250", "--pattern-hold=12"});
    ASSERT_TRUE(sim.Running());
    const std::string out = dir.file("alarm.FDZ");
    const std::string command =
        "acquire " + Line(sim) + " --out '" + out + "' --records 10 --interval 1";
    const kvrtest::CommandResult r = Run(command);
    ASSERT_EQ(r.exitCode, 0) << r.err;

    std::ifstream in(dir.file("alarm.alarms.csv"));
    std::stringstream text;
    text << in.rdbuf();
    const std::vector<std::string> rows = Lines(text.str());
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows[0], "时间,通道,类型,数值,限值,状态,持续时间(秒)");
    std::set<std::string> seen;
    for (std::size_t i = 1; i < rows.size(); ++i) {
        const std::vector<std::string> cells = kvrtest::Cells(rows[i]);
        ASSERT_EQ(cells.size(), 7u) << rows[i];
        // Each transition belongs to a record the command printed, on the first input.
        EXPECT_NE(r.out.find(cells[0]), std::string::npos) << rows[i];
        EXPECT_EQ(kvrtest::Cells(Lines(r.out)[0])[1].rfind(cells[1], 0), 0u) << rows[i];
        const double value = std::stod(cells[3]);
        if (cells[5] == "消报") {
            // Only a value back inside by the hysteresis clears: never 37.8 or 1.4.
            EXPECT_TRUE(value == 34 || value == 20) << rows[i];
            EXPECT_GE(std::stoi(cells[6]), 1) << rows[i];
        } else {
            EXPECT_TRUE(value == 39 || value == 0.5) << rows[i];
            EXPECT_EQ(cells[6], "") << rows[i];
        }
        seen.insert(cells[2] + cells[5]);
    }
    for (const char* expected : {"上限报警", "上上限报警", "上限消报", "上上限消报", "下限报警"})
        EXPECT_TRUE(seen.count(expected)) << expected << "\n" << text.str();

    // Neither the history file nor its alarm file is written over without --force.
    const kvrtest::CommandResult again = Run(command);
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_NE(again.err.find("exists; --force"), std::string::npos) << again.err;
    EXPECT_EQ(again.out, "");
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
