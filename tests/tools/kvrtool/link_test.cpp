// kvrtool's link commands against kvr-sim: what a user types and reads.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/kvrtool_test_support.h"
#include "support/sim_process.h"

namespace {

using kvrtest::SimProcess;
using KvrtoolLink = kvrtest::KvrtoolTest;

// Fast line and short timeouts; the simulator needs none of the protocol's fixed waits.
std::string Line(const SimProcess& sim) {
    return "--port '" + sim.Path() +
           "' --baud 57600 --interval-timeout 20 --total-timeout 300 --delay-scale 0";
}

TEST_F(KvrtoolLink, ScanShowsTheFamilyAndRange) {
    SimProcess ascii({"--family=ascii1", "--records=321"});
    ASSERT_TRUE(ascii.Running());
    const kvrtest::CommandResult a = Run("scan " + Line(ascii));
    EXPECT_EQ(a.exitCode, 0) << a.err;
    EXPECT_NE(a.out.find("family: ascii1\n"), std::string::npos) << a.out;
    EXPECT_NE(a.out.find("identification: QDV0001B\n"), std::string::npos);
    EXPECT_NE(a.out.find("interval: 30\n"), std::string::npos);
    EXPECT_NE(a.out.find("record counter: 321\n"), std::string::npos);

    SimProcess realtime({"--family=realtime", "--firmware=1009"});
    const kvrtest::CommandResult r = Run("scan " + Line(realtime));
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("family: rtu\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("identification: QZK2TW1009\n"), std::string::npos);
    EXPECT_NE(r.out.find("realtime format: KVR1003 (configuration 3888 bytes)\n"),
              std::string::npos);

    // Nobody answers at address 2.
    const kvrtest::CommandResult silent = Run("scan " + Line(ascii) + " --address 2 --attempts 1");
    EXPECT_EQ(silent.exitCode, 1);
    EXPECT_NE(silent.err.find("通讯失败！"), std::string::npos) << silent.err;

    const kvrtest::CommandResult noPort = Run("scan --port /dev/kvr-no-such-line");
    EXPECT_EQ(noPort.exitCode, 1);
    EXPECT_NE(noPort.err.find("打开串口失败！"), std::string::npos) << noPort.err;
}

TEST_F(KvrtoolLink, ReadMemoryPrintsHexBytes) {
    SimProcess sim({"--family=rtu", "--channels=5", "--address=4"});
    ASSERT_TRUE(sim.Running());
    const std::string line = Line(sim) + " --address 4";
    // Channel count, interval index 6, then the device name's first bytes (GBK "2#").
    const kvrtest::CommandResult param =
        Run("read-memory " + line + " --start 0xC000 --length 4 --param");
    EXPECT_EQ(param.exitCode, 0) << param.err;
    EXPECT_EQ(param.out, "05 06 32 23\n");
    // 4-byte totals of channel 0 (firmware 1009), words low first, each high byte first.
    const kvrtest::CommandResult totals = Run("read-memory " + line + " --start 0x24 --length 4");
    EXPECT_EQ(totals.exitCode, 0) << totals.err;
    EXPECT_EQ(totals.out, "00 01 34 56\n");
    // The recorder does not speak ASCII.
    const kvrtest::CommandResult ascii =
        Run("read-memory " + line + " --attempts 1 --start 0 --length 2 --ascii");
    EXPECT_EQ(ascii.exitCode, 1);
    EXPECT_NE(ascii.err.find("通讯失败！"), std::string::npos);
    EXPECT_EQ(Run("read-memory " + line + " --start 0x10000 --length 2").exitCode, 1);
}

TEST_F(KvrtoolLink, UploadWritesTheFileOnlyWhenComplete) {
    SimProcess sim({"--family=ascii0", "--channels=2"});
    ASSERT_TRUE(sim.Running());
    const std::string out = dir.file("up.FDZ");
    const kvrtest::CommandResult done = Run("upload " + Line(sim) + " --out '" + out + "'");
    EXPECT_EQ(done.exitCode, 0) << done.err;
    EXPECT_NE(done.err.find("文件上传完成!"), std::string::npos) << done.err;
    EXPECT_NE(done.err.find("估计剩余时间:"), std::string::npos);
    // The last hour at 30 s: 121 records of 2 channels.
    EXPECT_EQ(kvrtest::ReadWholeFile(out).size(), 0x140u + 160 * 2 + 121 * 2 * 2);

    SimProcess silent({"--family=rtu", "--silent-after=16"});
    const std::string lost = dir.file("lost.FDZ");
    const kvrtest::CommandResult failed = Run("upload " + Line(silent) + " --out '" + lost + "'");
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_NE(failed.err.find("通讯失败！"), std::string::npos) << failed.err;
    EXPECT_FALSE(std::filesystem::exists(lost));

    const kvrtest::CommandResult refused =
        Run("upload " + Line(sim) + " --out '" + lost +
            "' --from '2001-01-01 00:00:00' --to '2001-01-02 00:00:00'");
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.err.find("[开始时间] 超出范围！"), std::string::npos) << refused.err;
}

TEST_F(KvrtoolLink, AnUploadNeverDestroysAnExistingFile) {
    const std::string out = dir.file("x.FDZ");
    MakeSample("x.FDZ", "--records 30");
    ASSERT_FALSE(HasFailure());
    const std::string good = kvrtest::ReadWholeFile(out);
    ASSERT_FALSE(good.empty());

    SimProcess sim({"--family=ascii0", "--channels=2"});
    ASSERT_TRUE(sim.Running());
    const kvrtest::CommandResult refused = Run("upload " + Line(sim) + " --out '" + out + "'");
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.err.find("--force"), std::string::npos) << refused.err;

    SimProcess silent({"--family=rtu", "--silent-after=18"});
    const kvrtest::CommandResult failed =
        Run("upload " + Line(silent) + " --out '" + out + "' --force");
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_EQ(kvrtest::ReadWholeFile(out), good) << "a failed upload leaves the old file as it was";
    const auto entries = std::distance(std::filesystem::directory_iterator(dir.path()),
                                       std::filesystem::directory_iterator());
    EXPECT_EQ(entries, 1) << "nothing is left beside it";

    const kvrtest::CommandResult replaced =
        Run("upload " + Line(sim) + " --out '" + out + "' --force");
    EXPECT_EQ(replaced.exitCode, 0) << replaced.err;
    EXPECT_EQ(kvrtest::ReadWholeFile(out).size(), 0x140u + 160 * 2 + 121 * 2 * 2);
}

}  // namespace
