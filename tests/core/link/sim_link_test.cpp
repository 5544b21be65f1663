// The link against kvr-sim over a pseudo-terminal: retries counted through the simulator's
// fault options, the instrument scan of every family, and the realtime configuration read.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <cstring>

#include "core/datafile/program.h"
#include "core/link/cxlink.h"
#include "core/link/instrument_scan.h"
#include "core/link/link_texts.h"
#include "core/link/model_table.h"
#include "core/link/realtime_config.h"
#include "support/pty_pair.h"
#include "support/sim_process.h"
#include "support/test_support.h"
#include "tools/kvr-sim/instrument_content.h"

namespace {

using kvrtest::Bytes;
using kvrtest::SimProcess;

class SimLinkTest : public ::testing::Test {
protected:
    bool Connect(const SimProcess& sim, int attempts = 3) {
        if (!sim.Running()) return false;
        kvr::ComParam p = kvrtest::TestParams(sim.Path());
        p.attempts = attempts;
        link.SetDelayScale(0);
        return link.Connect(p) == 1;
    }
    kvr::CXLink link;
};

TEST_F(SimLinkTest, FaultyRepliesAreRetriedPieceByPiece) {
    // 600 bytes are three pieces; every second reply is spoiled, so pieces 2 and 3 need a
    // second try each: five requests in all, or a failure after two with one try a piece.
    const struct {
        const char* fault;
        int attempts;
        int expected;
        int requests;
    } cases[] = {
        {"--drop-every=2", 3, 1, 5},    {"--drop-every=2", 1, 0, 2}, {"--corrupt-every=2", 2, 1, 5},
        {"--corrupt-every=2", 1, 0, 2}, {"--exception=2", 3, 0, 3},  {"--delay-ms=30", 1, 1, 3},
        {"--silent-after=1", 2, 0, 3},
    };
    for (const auto& c : cases) {
        SimProcess sim({"--family=ascii0", c.fault});
        kvr::CXLink fresh;
        fresh.SetDelayScale(0);
        kvr::ComParam p = kvrtest::TestParams(sim.Path());
        p.attempts = c.attempts;
        ASSERT_TRUE(sim.Running());
        ASSERT_EQ(fresh.Connect(p), 1);
        Bytes buffer(600);
        EXPECT_EQ(fresh.ReadMemory(0x1000, 600, buffer), c.expected)
            << c.fault << " attempts " << c.attempts;
        fresh.Disconnect();
        EXPECT_EQ(sim.Stop(), c.requests) << c.fault << " attempts " << c.attempts;
    }
}

TEST_F(SimLinkTest, ReadsAgreeWithTheInstrumentsMemory) {
    SimProcess sim({"--family=ascii1", "--channels=3", "--seed=5"});
    ASSERT_TRUE(Connect(sim));
    // A channel block over ASCII, a full 256-byte ASCII piece (count byte 0) and record
    // blocks over RTU.
    Bytes block(80);
    ASSERT_EQ(link.ReadMemoryAscii(0x1050 + 80, 80, block), 1);
    EXPECT_EQ(block, kvrsim::AsciiChannelBlock(5, 1));
    Bytes piece(256);
    ASSERT_EQ(link.ReadMemoryAscii(0x1000, 256, piece), 1);
    EXPECT_EQ(Bytes(piece.begin() + 0x50, piece.begin() + 0x50 + 80),
              kvrsim::AsciiChannelBlock(5, 0));
    Bytes records(256);
    const std::uint32_t index = 2 * (2 * kvrsim::kRingRecords + 1000);
    ASSERT_EQ(link.ReadRecords(index, records, 256, 0), 1);
    for (int i = 0; i < 128; ++i) {
        const auto bytes =
            kvrsim::SampleBytes(kvrsim::RingSample(5, 2, 1000 + static_cast<std::uint32_t>(i)));
        ASSERT_EQ(records[2 * i], bytes[0]) << i;
        ASSERT_EQ(records[2 * i + 1], bytes[1]) << i;
    }
}

TEST_F(SimLinkTest, APacedLineDeliversEveryReplyAtTheRealDelays) {
    // The link at its real delays against a line of 19200 baud: every reply is whole and
    // right, and the line's own time has passed (a byte is ten bits on the wire).
    SimProcess sim({"--family=ascii0", "--seed=3", "--baud=19200"});
    ASSERT_TRUE(Connect(sim));
    link.SetDelayScale(100);
    const auto start = std::chrono::steady_clock::now();
    constexpr int kBlocks = 8;
    for (int b = 0; b < kBlocks; ++b) {
        Bytes records(256);
        const std::uint32_t pos = 500 + 128 * static_cast<std::uint32_t>(b);
        ASSERT_EQ(link.ReadRecords(2 * (kvrsim::kRingRecords + pos), records, 256, 0), 1) << b;
        for (int i = 0; i < 128; ++i) {
            const auto bytes =
                kvrsim::SampleBytes(kvrsim::RingSample(3, 1, pos + static_cast<std::uint32_t>(i)));
            ASSERT_EQ(records[2 * i], bytes[0]) << b << "/" << i;
            ASSERT_EQ(records[2 * i + 1], bytes[1]) << b << "/" << i;
        }
    }
    Bytes block(80);
    ASSERT_EQ(link.ReadMemoryAscii(0x1040, 80, block), 1);
    EXPECT_EQ(block, kvrsim::AsciiChannelBlock(3, 0));
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    // record blocks: 8-byte request, 261-byte reply; the ASCII read: 17 characters out, 171 back
    const double lineSeconds = (kBlocks * (8 + 261) + 17 + 171) * 10.0 / 19200;
    EXPECT_GE(seconds, lineSeconds);
}

TEST_F(SimLinkTest, ScanIdentifiesEveryFamily) {
    const struct {
        const char* family;
        bool rtu;
        int asciiFamily;
        int interval;
        kvr::Time span;
        const char* identification;
    } cases[] = {
        {"ascii0", false, 0, 30, 30 * 262143, "QDV0003"},
        {"ascii1", false, 1, 30, 30 * 262143, "QDV0001B"},
        {"rtu", true, -1, 60, 60 * 266239, ""},
        // The realtime instrument's parameter memory holds its configuration record, so
        // the recorder's interval index reads as the device name's second byte: out of the
        // table, hence 1 second.
        {"realtime", true, -1, 1, 266239, ""},
    };
    for (const auto& c : cases) {
        SimProcess sim({std::string("--family=") + c.family, "--records=777", "--address=9"});
        kvr::CXLink fresh;
        fresh.SetDelayScale(0);
        kvr::CXFile file;
        kvr::ComParam p = kvrtest::TestParams(sim.Path());
        p.address = 9;
        const kvr::ScanResult scan = kvr::ScanInstrument(fresh, p, file);
        ASSERT_TRUE(scan.timeParameters) << c.family;
        EXPECT_TRUE(scan.message.empty()) << c.family;
        EXPECT_EQ(scan.rtuFamily, c.rtu) << c.family;
        EXPECT_EQ(scan.family, c.asciiFamily) << c.family;
        EXPECT_EQ(scan.interval, c.interval) << c.family;
        EXPECT_EQ(file.GetInterval(), c.interval) << c.family;
        EXPECT_EQ(scan.newest - scan.oldest, c.span) << c.family;
        EXPECT_EQ(scan.newest % c.interval, 0) << c.family;
        EXPECT_EQ(scan.pickerEnd, scan.newest);
        EXPECT_EQ(scan.pickerStart, scan.newest - 3600);
        EXPECT_EQ(scan.rangeText,
                  kvr::FormatTime(scan.oldest) + "\n" + kvr::FormatTime(scan.newest));
        EXPECT_EQ(scan.speed, 1370);
        EXPECT_TRUE(fresh.IsConnected());
        if (!c.rtu) {
            EXPECT_EQ(scan.recordCounter, 777u);
            EXPECT_STREQ(file.Header().identification, c.identification);
            EXPECT_EQ(file.Header().records.count, 262144u);
            EXPECT_EQ(file.Header().records.byte18, 2);
            EXPECT_EQ(file.GetAddress(), 9);
        }
    }
}

TEST_F(SimLinkTest, ScanOfASilentInstrumentFindsNothing) {
    SimProcess sim({"--family=rtu", "--silent-after=0"});
    kvr::CXFile file;
    ASSERT_TRUE(sim.Running());
    link.SetDelayScale(0);
    const kvr::ScanResult scan = kvr::ScanInstrument(link, kvrtest::TestParams(sim.Path()), file);
    EXPECT_FALSE(scan.timeParameters);
    EXPECT_EQ(scan.rangeText, kvr::texts::kCommunicationFailed);
    EXPECT_FALSE(link.IsConnected());

    kvr::ComParam missing;
    missing.device = "/dev/kvr-no-such-line";
    const kvr::ScanResult noPort = kvr::ScanInstrument(link, missing, file);
    EXPECT_EQ(noPort.message, kvr::texts::kOpenPortFailed);
    EXPECT_FALSE(noPort.timeParameters);
}

class CountingProgress : public kvr::LinkProgress {
public:
    void SetRange(int, int high) override { rangeHigh = high; }
    void SetPosition(int position) override { last = position; }
    void SetText(const std::string& t) override { text = t; }
    int rangeHigh = 0, last = -1;
    std::string text;
};

TEST_F(SimLinkTest, RealtimeConfigurationFollowsTheFirmwareVersion) {
    kvrtest::TempDir folder;
    kvr::SetProgramFolder(folder.path());
    const struct {
        int firmware, version, size, pieces;
        const char* identification;
    } cases[] = {
        {1005, 1002, 3728, 31, "QZK2TW1005KVR1002"},
        {1009, 1003, 3888, 33, "QZK2TW1009KVR1003"},
        {1010, 1004, 4048, 34, "QZK2TW1010KVR1004"},
    };
    for (const auto& c : cases) {
        SimProcess sim(
            {"--family=realtime", "--firmware=" + std::to_string(c.firmware), "--address=3"});
        ASSERT_TRUE(sim.Running());
        kvr::CXLink fresh;
        fresh.SetDelayScale(0);
        kvr::CXFile file;
        kvr::ComParam p = kvrtest::TestParams(sim.Path());
        p.address = 3;
        kvr::ViewDef view;
        view.realtimeInterval = 15;
        CountingProgress progress;
        std::atomic<bool> cancel{false};
        std::string message;
        ASSERT_EQ(kvr::ReadRealtimeConfig(fresh, p, view, file, &progress, cancel, &message),
                  kvr::kRealtimeReady)
            << c.firmware << ": " << message;
        EXPECT_TRUE(fresh.IsConnected());
        EXPECT_EQ(file.GetVersion(), c.version);
        EXPECT_EQ(file.GetConfigSize(), c.size);
        EXPECT_STREQ(file.Header().identification, c.identification);
        EXPECT_EQ(progress.rangeHigh, 32);
        EXPECT_EQ(progress.last, c.pieces);
        EXPECT_EQ(progress.text, kvr::texts::kReadingConfiguration);

        // The temporary file: header, the record as this version keeps it, the record area.
        const std::string temp = folder.file("temp.tmp");
        struct stat info {};
        ASSERT_EQ(::stat(temp.c_str(), &info), 0);
        EXPECT_EQ(info.st_size, 0x150 + c.size + 6 * 4 * 262144);
        const std::vector<std::uint8_t> image = kvrsim::RealtimeImage(c.firmware, 1, 3);
        ASSERT_NE(file.MappedData(), nullptr);
        EXPECT_EQ(
            std::memcmp(file.MappedData(), c.identification, std::strlen(c.identification) + 1), 0);
        EXPECT_EQ(
            std::memcmp(file.MappedData() + 0x140, image.data(), static_cast<std::size_t>(c.size)),
            0);
        EXPECT_EQ(file.GetInterval(), 15);
        EXPECT_EQ(file.GetChannelCount(), 6);
        EXPECT_EQ(file.GetAddress(), 3);
        EXPECT_EQ(file.GetCapacity(), 262144);
        EXPECT_EQ(file.Header().pieTimeIndex, 2);
        EXPECT_EQ(file.Header().pieGridCount, 10);
        EXPECT_EQ(file.GetDeviceName(), "1#锅炉蒸汽总管");
        // Superheated steam: flow channel 3 in use, channel 4 not; heat switched on.
        EXPECT_EQ(file.Header().channels[3].showState, 1);
        EXPECT_EQ(file.Header().channels[4].showState, 2);
        EXPECT_EQ(file.Header().channels[5].showState, 1);
        EXPECT_EQ(file.Header().channels[2].color, view.curveColors[2]);
        EXPECT_EQ(file.Header().showGrid, 1);
        file.Close();
        EXPECT_NE(::stat(temp.c_str(), &info), 0) << "temp.tmp is deleted on close";
    }
    kvr::SetProgramFolder("");
}

TEST_F(SimLinkTest, RealtimeConfigurationCancelsAndFails) {
    kvrtest::TempDir folder;
    kvr::SetProgramFolder(folder.path());
    kvr::ViewDef view;
    std::string message;
    {
        // Cancelled before the first piece: no file, no message, disconnected.
        SimProcess sim({"--family=realtime"});
        kvr::CXFile file;
        std::atomic<bool> cancel{true};
        link.SetDelayScale(0);
        EXPECT_EQ(kvr::ReadRealtimeConfig(link, kvrtest::TestParams(sim.Path()), view, file,
                                          nullptr, cancel, &message),
                  kvr::kRealtimeCancelled);
        EXPECT_TRUE(message.empty());
        EXPECT_FALSE(link.IsConnected());
        struct stat info {};
        EXPECT_NE(::stat(folder.file("temp.tmp").c_str(), &info), 0);
    }
    {
        // Silent after the identification: the read fails with the communication message.
        SimProcess sim({"--family=realtime", "--silent-after=3"});
        kvr::CXFile file;
        std::atomic<bool> cancel{false};
        kvr::ComParam p = kvrtest::TestParams(sim.Path());
        p.attempts = 1;
        EXPECT_EQ(kvr::ReadRealtimeConfig(link, p, view, file, nullptr, cancel, &message),
                  kvr::kRealtimeFailed);
        EXPECT_EQ(message, kvr::texts::kCommunicationFailed);
        EXPECT_FALSE(link.IsConnected());
    }
    {
        kvr::ComParam missing;
        missing.device = "/dev/kvr-no-such-line";
        kvr::CXFile file;
        std::atomic<bool> cancel{false};
        EXPECT_EQ(kvr::ReadRealtimeConfig(link, missing, view, file, nullptr, cancel, &message),
                  kvr::kRealtimeFailed);
        EXPECT_EQ(message, kvr::texts::kOpenPortFailed);
    }
    kvr::SetProgramFolder("");
}

}  // namespace
