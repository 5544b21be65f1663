// Uploads from kvr-sim through the upload session, checked byte for byte against the
// upload layouts; cancel, a silent instrument and refused ranges.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <condition_variable>
#include <cstring>
#include <mutex>

#include "core/datafile/gbk.h"
#include "core/link/link_texts.h"
#include "core/link/upload_session.h"
#include "support/pty_pair.h"
#include "support/sim_process.h"
#include "support/test_support.h"
#include "tools/kvr-sim/instrument_content.h"

namespace {

using kvrtest::Bytes;
using kvrtest::SimProcess;

std::uint32_t U32(const std::string& f, std::size_t at) {
    std::uint32_t v = 0;
    std::memcpy(&v, f.data() + at, 4);
    return v;
}
std::uint16_t U16(const std::string& f, std::size_t at) {
    std::uint16_t v = 0;
    std::memcpy(&v, f.data() + at, 2);
    return v;
}
std::uint64_t U64(const std::string& f, std::size_t at) {
    std::uint64_t v = 0;
    std::memcpy(&v, f.data() + at, 8);
    return v;
}
float F32(const std::string& f, std::size_t at) {
    float v = 0;
    std::memcpy(&v, f.data() + at, 4);
    return v;
}
std::string Stamp(kvr::Time t) {
    const kvr::Stamp s = kvr::TimeToStamp(t);
    return std::string(s.begin(), s.end());
}
// A NUL-padded field as the file holds it.
std::string Field(const std::string& gbk, std::size_t size) {
    std::string f = gbk.substr(0, size);
    f.resize(size, '\0');
    return f;
}
std::string Triple(std::int16_t mantissa, std::uint8_t decimals) {
    const auto bits = static_cast<std::uint16_t>(mantissa);
    return std::string{static_cast<char>(bits & 0xFF), static_cast<char>(bits >> 8),
                       static_cast<char>(decimals)};
}
bool FileExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

// Display defaults that differ from every zero and from the program's own defaults.
kvr::ViewDef DistinctView() {
    kvr::ViewDef v;
    v.xMode = 1;
    v.yMode = 1;
    v.yLow = -5.0f;
    v.yHigh = 250.0f;
    v.gridCount1 = 7;
    v.gridCount2 = 9;
    v.gridColor = 0x00112233;
    v.backgroundColor = 0x00445566;
    for (int i = 0; i < 8; ++i) v.curveColors[i] = 0x00010101u * static_cast<std::uint32_t>(i + 1);
    return v;
}

class RecordingSink : public kvr::UploadSink {
public:
    void SetProgressRange(int high) override { rangeHigh = high; }
    void SetProgress(int position) override {
        positions.push_back(position);
        if (cancelAt >= 0 && position == cancelAt && session) session->Cancel();
    }
    void SetRemainingText(const std::string& text) override { texts.push_back(text); }
    void Finished(const kvr::UploadOutcome& o) override {
        std::lock_guard lock(mutex);
        outcome = o;
        finished = true;
        busyAtFinish = session && session->IsBusy();
        done.notify_all();
    }
    kvr::UploadOutcome Wait() {
        std::unique_lock lock(mutex);
        done.wait(lock, [&] { return finished; });
        return outcome;
    }

    kvr::UploadSession* session = nullptr;
    int cancelAt = -1;
    int rangeHigh = 0;
    std::vector<int> positions;
    std::vector<std::string> texts;
    kvr::UploadOutcome outcome;
    bool busyAtFinish = true;

private:
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
};

class UploadTest : public ::testing::Test {
protected:
    // Points the session at the simulator and scans it.
    kvr::ScanResult Begin(const SimProcess& sim, kvr::UploadSession& s, int attempts = 3,
                          int address = 1) {
        EXPECT_TRUE(sim.Running());
        kvr::ComParam p = kvrtest::TestParams(sim.Path());
        p.attempts = attempts;
        p.address = address;
        s.SetParams(p);
        s.SetViewDef(DistinctView());
        s.Link().SetDelayScale(0);
        const kvr::ScanResult scan = s.Scan();
        EXPECT_TRUE(scan.timeParameters);
        return scan;
    }
    // Checks the choice and reads the configuration into path.
    kvr::PreparedRange Configure(kvr::UploadSession& s, const kvr::UploadChoice& choice,
                                 const std::string& path) {
        const kvr::PreparedRange range = s.Prepare(choice);
        EXPECT_TRUE(range.ok) << range.message;
        std::string message;
        EXPECT_EQ(s.ReadConfiguration(path, nullptr, &message), 1) << message;
        EXPECT_TRUE(s.IsBusy());
        return range;
    }
    kvr::UploadOutcome Run(kvr::UploadSession& s, RecordingSink& sink) {
        sink.session = &s;
        std::string message;
        if (!s.Start(sink, &message)) {
            ADD_FAILURE() << "upload not started: " << message;
            return {};
        }
        const kvr::UploadOutcome outcome = sink.Wait();
        s.Wait();
        EXPECT_FALSE(sink.busyAtFinish);
        return outcome;
    }

    kvrtest::TempDir folder;
    kvr::UploadSession session;
};

TEST_F(UploadTest, AsciiUploadAcrossTheRingsWrapPointHasLayoutU1) {
    // The newest record sits at ring index 50; 300 records reach back past the ring's end.
    constexpr std::uint32_t kCounter = 50;
    constexpr int kChannels = 3, kRecords = 300, kSeed = 4;
    SimProcess sim({"--family=ascii0", "--records=50", "--channels=3", "--seed=4", "--address=7"});
    const kvr::ScanResult scan = Begin(sim, session, 3, 7);
    const std::string path = folder.file("ring.FDZ");
    const kvr::PreparedRange range =
        Configure(session, {false, scan.newest - (kRecords - 1) * 30, scan.newest}, path);
    EXPECT_EQ(
        session.ProposedFileName(), "007@" + [&] {
            std::string t = kvr::FormatTime(range.end);
            t[13] = '_';
            t[16] = '_';
            return t;
        }() + ".FDZ");

    RecordingSink sink;
    const kvr::UploadOutcome outcome = Run(session, sink);
    ASSERT_EQ(outcome.status, kvr::UploadOutcome::kCompleted) << outcome.message;
    EXPECT_EQ(outcome.message.rfind("文件上传完成!\n开始时间:", 0), 0u) << outcome.message;
    EXPECT_NE(outcome.message.find("\n速    度:"), std::string::npos);
    // Three blocks of three channels; the progress ends full.
    EXPECT_EQ(sink.rangeHigh, 9);
    EXPECT_EQ(sink.positions.back(), 9);
    EXPECT_EQ(sink.texts.size(), 9u);

    const std::string f = kvrtest::ReadWholeFile(path);
    const std::size_t records = 0x140 + 160 * kChannels;
    ASSERT_EQ(f.size(), records + kChannels * kRecords * 2)
        << "closing never resizes an upload file";
    // Upload header
    EXPECT_EQ(f.substr(0x00, 16), Field("QDV0003", 16));
    EXPECT_EQ(f.substr(0x10, 32),
              Field(kvr::Utf8ToGbk(kvrsim::DeviceName(kvrsim::Family::kAscii0)), 32));
    EXPECT_EQ(f.substr(0x30, 6), Stamp(range.start));
    EXPECT_EQ(f.substr(0x36, 6), Stamp(scan.newest))
        << "the real end of the range, not start - interval";
    EXPECT_EQ(f[0x3C], 7);
    EXPECT_EQ(f[0x3D], 30);
    EXPECT_EQ(f[0x3E], kChannels);
    EXPECT_EQ(f[0x40], 0);
    EXPECT_EQ(f[0x41], 1);
    EXPECT_EQ(f[0x42], 1);
    EXPECT_EQ(F32(f, 0x43), -5.0f);
    EXPECT_EQ(F32(f, 0x47), 250.0f);
    EXPECT_EQ(f[0x4B], 7);
    EXPECT_EQ(f[0x4C], 9);
    EXPECT_EQ(U32(f, 0x4D), 0x00112233u);
    EXPECT_EQ(U32(f, 0x51), 0x00445566u);
    EXPECT_EQ(f[0x55], 1);
    EXPECT_EQ(U32(f, 0x56), static_cast<std::uint32_t>(kRecords - 1));
    EXPECT_EQ(U32(f, 0x5A), 0u);
    EXPECT_EQ(U32(f, 0x5E), static_cast<std::uint32_t>(kRecords));
    EXPECT_EQ(f[0x62], 2);
    EXPECT_EQ(U16(f, 0x63), 160);
    // Channel records, form R1
    for (int c = 0; c < kChannels; ++c) {
        const std::string r = f.substr(0x140 + 160 * static_cast<std::size_t>(c), 160);
        const kvrsim::ChannelContent content = kvrsim::Channel(kSeed, c);
        const std::string name = kvr::Utf8ToGbk(content.name);
        EXPECT_EQ(r.substr(0x00, 32), Field(name, 32)) << c;
        EXPECT_EQ(r.substr(0x20, 16), Field(kvr::Utf8ToGbk(content.unit), 16)) << c;
        // range low, range high, low-low, high-high, low, high, hysteresis
        const int order[] = {0, 1, 2, 5, 3, 4, 6};
        for (int i = 0; i < 7; ++i)
            EXPECT_EQ(r.substr(0x40 + 4 * static_cast<std::size_t>(i), 4),
                      Triple(content.mantissa[order[i]], content.decimals[order[i]]) +
                          std::string(1, '\0'))
                << c << "/" << i;
        EXPECT_EQ(U32(r, 0x5C), kvrsim::AsciiTotal(kSeed, c)) << c;
        EXPECT_EQ(U32(r, 0x61), 0x00010101u * static_cast<std::uint32_t>(c + 1)) << c;
        EXPECT_EQ(r[0x65], name[0]) << "show state: the block's first byte";
        EXPECT_EQ(r[0x66], 1);
        EXPECT_EQ(static_cast<std::uint8_t>(r[0x67]), content.signalType) << c;
    }
    // Samples, channel-major: slot j holds ring position counter - 299 + j, wrapping.
    for (int c = 0; c < kChannels; ++c) {
        for (std::uint32_t j = 0; j < kRecords; ++j) {
            const std::uint32_t pos =
                (kCounter + kvrsim::kRingRecords - (kRecords - 1) + j) % kvrsim::kRingRecords;
            const auto bytes = kvrsim::SampleBytes(kvrsim::RingSample(kSeed, c, pos));
            const std::size_t at = records + (static_cast<std::size_t>(c) * kRecords + j) * 2;
            ASSERT_EQ(static_cast<std::uint8_t>(f[at]), bytes[0]) << c << "/" << j;
            ASSERT_EQ(static_cast<std::uint8_t>(f[at + 1]), bytes[1]) << c << "/" << j;
        }
    }
}

TEST_F(UploadTest, AsciiRangeSnapsToTheRecordGrid) {
    // The range ends 12 records before the newest, so the counter moves back with it.
    SimProcess sim({"--family=ascii1", "--records=100", "--channels=2"});
    const kvr::ScanResult scan = Begin(sim, session);
    // Both ends between two records: the start moves to the next, the end to the one before.
    const std::string path = folder.file("grid.FDZ");
    const kvr::PreparedRange range =
        Configure(session, {false, scan.newest - 200 * 30 - 7, scan.newest - 330 - 5}, path);
    EXPECT_EQ(range.start, scan.newest - 6000);
    EXPECT_EQ(range.end, scan.newest - 360);
    RecordingSink sink;
    ASSERT_EQ(Run(session, sink).status, kvr::UploadOutcome::kCompleted);
    const std::string f = kvrtest::ReadWholeFile(path);
    constexpr std::uint32_t kRecords = 189;
    ASSERT_EQ(f.size(), 0x140 + 160 * 2 + 2 * kRecords * 2);
    EXPECT_EQ(U32(f, 0x5E), kRecords);
    EXPECT_EQ(f.substr(0x36, 6), Stamp(scan.newest - 360));
    // The last record of channel 1 is the one 12 places before the newest (index 100).
    const auto last = kvrsim::SampleBytes(kvrsim::RingSample(1, 1, 88));
    const std::size_t at = 0x140 + 160 * 2 + (kRecords + kRecords - 1) * 2;
    EXPECT_EQ(static_cast<std::uint8_t>(f[at]), last[0]);
    EXPECT_EQ(static_cast<std::uint8_t>(f[at + 1]), last[1]);
}

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

TEST_F(UploadTest, RtuUploadReadsByTimeAndHasLayoutU2) {
    const struct {
        int channels;
        char layout;
        int firmware;
        int offset;  // seconds by which the chosen start lies before the record grid
        int requests;
        std::vector<int> perRequest;
    } cases[] = {
        {6, 'P', 1009, 0, 19, {20, 20, 5}},
        {8, 'M', 2009, 10, 22, {15, 15, 15}},
        {5, 'L', 1009, 0, 18, {24, 21}},
    };
    for (const auto& c : cases) {
        const int seed = c.channels;
        SimProcess sim({"--family=rtu", "--channels=" + std::to_string(c.channels),
                        std::string("--layout=") + c.layout,
                        "--firmware=" + std::to_string(c.firmware),
                        "--seed=" + std::to_string(seed), "--address=12"});
        kvr::UploadSession fresh;
        const kvr::ScanResult scan = Begin(sim, fresh, 3, 12);
        ASSERT_TRUE(scan.timeParameters) << c.layout;
        const std::string path = folder.file(std::string("timed-") + c.layout + ".FDZ");
        Configure(fresh, {false, scan.newest - 44 * 60 - c.offset, scan.newest}, path);
        RecordingSink sink;
        const kvr::UploadOutcome outcome = Run(fresh, sink);
        ASSERT_EQ(outcome.status, kvr::UploadOutcome::kCompleted) << outcome.message;
        EXPECT_EQ(sink.rangeHigh, static_cast<int>(c.perRequest.size()));
        EXPECT_TRUE(sink.texts.back().empty()) << "the remaining time is cleared at the end";

        const std::string f = kvrtest::ReadWholeFile(path);
        const std::size_t n = static_cast<std::size_t>(c.channels);
        const std::size_t samples = 0x140 + 160 * n;
        ASSERT_EQ(f.size(), samples + 45 * n * 2) << c.layout;
        const std::string id =
            kvrsim::Identification({kvrsim::Family::kRtu, "", c.firmware, 12, 0, c.channels,
                                    static_cast<std::uint32_t>(seed), c.layout});
        EXPECT_EQ(f.substr(0, 64), Field(id, 64));
        // Device block
        EXPECT_EQ(f.substr(0x40, 32),
                  Field(kvr::Utf8ToGbk(kvrsim::DeviceName(kvrsim::Family::kRtu)), 32));
        EXPECT_EQ(f[0x60], c.channels);
        EXPECT_EQ(U16(f, 0x62), 60);
        EXPECT_EQ(f[0x64], 12);
        EXPECT_EQ(f[0x66], 0);
        EXPECT_EQ(f[0x67], 1);
        // Channel records: form R1 for firmware 1xxx (32-bit totals), R2 for 2xxx (64-bit)
        const bool wide = c.firmware >= 2000;
        const auto groups = kvrsim::RtuGroupCounts(c.channels);
        for (int ch = 0; ch < c.channels; ++ch) {
            const std::string r = f.substr(0x80 + 160 * static_cast<std::size_t>(ch), 160);
            const kvrsim::ChannelContent content =
                kvrsim::Channel(static_cast<std::uint32_t>(seed), ch);
            EXPECT_EQ(r.substr(0, 32), Field(kvr::Utf8ToGbk(content.name), 32)) << ch;
            EXPECT_EQ(r.substr(0x20, 16), Field(kvr::Utf8ToGbk(content.unit), 16)) << ch;
            const bool logarithmic =
                c.layout != 'L' && content.signalType != 0 && content.signalType != 80;
            EXPECT_EQ(r.substr(0x40, 3),
                      Triple(content.mantissa[0],
                             logarithmic ? content.logLowDecimals : content.decimals[0]));
            EXPECT_EQ(r.substr(0x44, 3),
                      Triple(content.mantissa[1],
                             logarithmic ? content.logHighDecimals : content.decimals[1]));
            EXPECT_EQ(r.substr(0x4C, 3), Triple(content.mantissa[5], content.decimals[5]))
                << "high-high";
            EXPECT_EQ(r.substr(0x58, 3), Triple(content.mantissa[6], content.decimals[6]))
                << "hysteresis";
            const std::uint64_t total = kvrsim::RtuTotal(static_cast<std::uint32_t>(seed), ch);
            const bool shown = c.layout == 'P' || ch < groups[0];
            const std::uint8_t type = c.layout == 'L' ? 0 : content.signalType;
            const std::uint32_t color = 0x00010101u * static_cast<std::uint32_t>(ch % 8 + 1);
            if (wide) {
                EXPECT_EQ(U64(r, 0x5C), total) << ch;
                EXPECT_EQ(U32(r, 0x64), color);
                EXPECT_EQ(r[0x68], shown ? 1 : 2) << ch;
                EXPECT_EQ(r[0x69], 1);
                EXPECT_EQ(static_cast<std::uint8_t>(r[0x6A]), type);
            } else {
                EXPECT_EQ(U32(r, 0x5C), static_cast<std::uint32_t>(total)) << ch;
                EXPECT_EQ(U32(r, 0x61), color);
                EXPECT_EQ(r[0x65], shown ? 1 : 2) << ch;
                EXPECT_EQ(r[0x66], 1);
                EXPECT_EQ(static_cast<std::uint8_t>(r[0x67]), type);
            }
        }
        // Block A, block B and the gap
        const std::size_t a = 0x80 + 160 * n, b = 0xC0 + 160 * n;
        EXPECT_EQ(f[a + 0x00], 1);
        EXPECT_EQ(F32(f, a + 0x06), 250.0f);
        EXPECT_EQ(U16(f, a + 0x0A), 7);
        EXPECT_EQ(f[a + 0x16], 1);
        EXPECT_EQ(U16(f, a + 0x3D), 60);
        const kvr::Time first = scan.newest - 44 * 60 - c.offset;
        EXPECT_EQ(f.substr(b, 6), Stamp(first));
        EXPECT_EQ(f.substr(b + 6, 6), Stamp(first + 44 * 60))
            << "the last record read, not the chosen end";
        EXPECT_EQ(U32(f, b + 0x0C), 45u);
        EXPECT_EQ(U32(f, b + 0x10), 0u);
        EXPECT_EQ(U32(f, b + 0x14), 45u);
        EXPECT_EQ(f[b + 0x18], 2);
        EXPECT_EQ(f.substr(0x100 + 160 * n, 64), std::string(64, '\0'));
        // Samples, record-major
        for (int rec = 0; rec < 45; ++rec) {
            const std::int64_t number = FloorDiv(first + rec * 60 - scan.newest, 60);
            for (int ch = 0; ch < c.channels; ++ch) {
                const auto bytes = kvrsim::SampleBytes(
                    kvrsim::TimedSample(static_cast<std::uint32_t>(seed), ch, number));
                const std::size_t at =
                    samples +
                    (static_cast<std::size_t>(rec) * n + static_cast<std::size_t>(ch)) * 2;
                ASSERT_EQ(static_cast<std::uint8_t>(f[at]), bytes[0])
                    << c.layout << " " << rec << "/" << ch;
                ASSERT_EQ(static_cast<std::uint8_t>(f[at + 1]), bytes[1])
                    << c.layout << " " << rec << "/" << ch;
            }
        }
        fresh.Link().Disconnect();
        // Scan, address, configuration, then one request per block.
        EXPECT_EQ(sim.Stop(), c.requests) << c.layout;
    }
}

TEST_F(UploadTest, CancelDeletesThePartialFile) {
    SimProcess sim({"--family=rtu"});
    const kvr::ScanResult scan = Begin(sim, session);
    const std::string path = folder.file("cancelled.FDZ");
    // The pickers do not matter when everything is uploaded.
    Configure(session, {true, scan.pickerStart + 60, scan.pickerEnd - 60}, path);
    // "上传所有数据" stores the stored range, not the pickers.
    EXPECT_EQ(session.File().GetStartTime(), scan.oldest);
    EXPECT_EQ(session.File().GetEndTime(), scan.newest);
    EXPECT_EQ(session.File().Header().records.count, 266240u);
    RecordingSink sink;
    sink.cancelAt = 2;
    const kvr::UploadOutcome outcome = Run(session, sink);
    EXPECT_EQ(outcome.status, kvr::UploadOutcome::kCancelled);
    EXPECT_TRUE(outcome.message.empty());
    EXPECT_EQ(sink.positions.back(), 0);
    EXPECT_FALSE(FileExists(path));
    EXPECT_FALSE(session.IsBusy());
    EXPECT_TRUE(session.Link().IsConnected());
}

TEST_F(UploadTest, SilentInstrumentFailsWithTheMessageAndLeavesNoFile) {
    {
        // Silent once the configuration is read: every record request goes unanswered.
        SimProcess sim({"--family=rtu", "--silent-after=16"});
        const kvr::ScanResult scan = Begin(sim, session);
        const std::string path = folder.file("silent.FDZ");
        Configure(session, {false, scan.pickerStart, scan.pickerEnd}, path);
        RecordingSink sink;
        const kvr::UploadOutcome outcome = Run(session, sink);
        EXPECT_EQ(outcome.status, kvr::UploadOutcome::kFailed);
        EXPECT_EQ(outcome.message, kvr::texts::kCommunicationFailed);
        EXPECT_FALSE(FileExists(path));
        session.Link().Disconnect();
        EXPECT_EQ(sim.Stop(), 16 + 4) << "four tries of the first request";
    }
    {
        // Silent in the middle of the configuration read.
        SimProcess sim({"--family=ascii0", "--silent-after=4"});
        kvr::UploadSession silent;
        Begin(sim, silent, 1);
        ASSERT_TRUE(silent.Prepare({true, 0, 0}).ok);
        const std::string path = folder.file("config.FDZ");
        std::string message;
        EXPECT_EQ(silent.ReadConfiguration(path, nullptr, &message), 0);
        EXPECT_EQ(message, kvr::texts::kConfigReadFailed);
        EXPECT_FALSE(FileExists(path));
        EXPECT_FALSE(silent.IsBusy());
        EXPECT_FALSE(silent.Link().IsConnected());
    }
}

TEST_F(UploadTest, RefusedRangesSayWhyAndReleaseThePortUntilTheNextTry) {
    SimProcess sim({"--family=ascii0"});
    Begin(sim, session);
    const struct {
        const char* message;
        kvr::Time start, end;  // relative to the newest
    } cases[] = {
        {kvr::texts::kStartAfterEnd, -60, -120},
        {kvr::texts::kStartOutOfRange, -30 * 262144, 0},
        {kvr::texts::kEndOutOfRange, -60, 30},
        // In order, but between two records (one every 30 s up to the newest).
        {kvr::texts::kNoRecordInRange, -100, -95},
    };
    for (const auto& c : cases) {
        const kvr::ScanResult scan = session.Scan();
        ASSERT_TRUE(scan.timeParameters);
        const kvr::PreparedRange range =
            session.Prepare({false, scan.newest + c.start, scan.newest + c.end});
        EXPECT_FALSE(range.ok);
        EXPECT_EQ(range.message, c.message);
        EXPECT_FALSE(session.Link().IsConnected());
    }
    // A corrected range after a refusal opens the port again, with no new scan.
    const kvr::ScanResult scan = session.LastScan();
    const kvr::PreparedRange corrected =
        session.Prepare({false, scan.newest - 120, scan.newest - 60});
    ASSERT_TRUE(corrected.ok) << corrected.message;
    EXPECT_TRUE(session.Link().IsConnected());
    std::string message;
    EXPECT_EQ(session.ReadConfiguration(folder.file("corrected.FDZ"), nullptr, &message), 1)
        << message;
    RecordingSink sink;
    EXPECT_EQ(Run(session, sink).status, kvr::UploadOutcome::kCompleted);
    // Start equal to end is one record.
    const kvr::PreparedRange one = session.Prepare({false, scan.newest - 90, scan.newest - 90});
    ASSERT_TRUE(one.ok);
    EXPECT_EQ(one.start, one.end);
}

}  // namespace

namespace {

// A file prepared as the configuration read leaves it, for driving a worker directly.
void PrepareUploadFile(kvr::CXFile& file, const std::string& path, const char* identification,
                       int channels, std::uint32_t records, kvr::Time start) {
    ASSERT_EQ(file.Create(path), 1);
    kvr::FileHeader& h = file.Header();
    std::strncpy(h.identification, identification, sizeof h.identification - 1);
    h.channelCount = static_cast<std::uint8_t>(channels);
    h.interval = 30;
    h.records.byte18 = 2;
    h.records.count = records;
    file.SetStartTime(start);
    h.records.last = start + static_cast<kvr::Time>(records - 1) * 30;
    ASSERT_EQ(file.WriteHeader(), 1);
}

TEST(UploadWorkers, AFailedFirstHalfOfAWrappingBlockFailsTheUpload) {
    // Record blocks answer, except those that start within the last 128 records of the
    // ring: the first half of every wrapping block.
    kvrtest::ScriptedPeer peer([](const Bytes&, const kvrsim::Request& r) -> Bytes {
        const std::uint32_t index = static_cast<std::uint32_t>(r.body[0]) << 24 | r.body[1] << 16 |
                                    r.body[2] << 8 | r.body[3];
        if (index / 2 % kvrsim::kRingRecords > kvrsim::kRingRecords - 128) return {};
        Bytes payload(257, 0x11);
        return kvrsim::RtuReply(r.address, r.function, payload);
    });
    kvr::CXLink link;
    ASSERT_EQ(link.Connect(kvrtest::TestParams(peer.Path())), 1);
    link.SetDelayScale(0);
    kvrtest::TempDir folder;
    const std::string path = folder.file("wrap.FDZ");
    kvr::CXFile file;
    PrepareUploadFile(file, path, "QDV0003", 1, 300, kvr::MakeTime({2024, 1, 1}));
    RecordingSink sink;
    std::atomic<bool> cancel{false};
    const kvr::UploadOutcome outcome = kvr::RunRingUpload({0, 50, 530}, link, file, sink, cancel);
    EXPECT_EQ(outcome.status, kvr::UploadOutcome::kFailed);
    EXPECT_EQ(outcome.message, "通讯失败！");
    EXPECT_FALSE(FileExists(path));
    // Block 0 read once, then four tries of block 1's first half; its second half never.
    EXPECT_EQ(peer.Requests().size(), 5u);
}

TEST(UploadWorkers, RefuseWhatTheyCannotRead) {
    kvrtest::ScriptedPeer peer([](const Bytes&, const kvrsim::Request&) { return Bytes{}; });
    kvr::CXLink link;
    ASSERT_EQ(link.Connect(kvrtest::TestParams(peer.Path())), 1);
    kvrtest::TempDir folder;
    std::atomic<bool> cancel{false};
    RecordingSink sink;
    // 121 channels leave no room for one record in a by-time request.
    const std::string wide = folder.file("wide.FDZ");
    kvr::CXFile file;
    ASSERT_EQ(file.Create(wide), 1);
    kvr::FileHeader& h = file.Header();
    std::strncpy(h.identification, "QZK2PV1009", sizeof h.identification - 1);
    h.channelCount = 121;
    h.interval = 30;
    h.records.byte18 = 2;
    h.records.count = 10;
    // More channel records than a header can describe are refused outright.
    EXPECT_EQ(file.WriteHeader(), 0);
    const kvr::UploadOutcome outcome =
        kvr::RunTimeUpload({kvr::MakeTime({2024, 1, 1}), 530}, link, file, sink, cancel);
    EXPECT_EQ(outcome.status, kvr::UploadOutcome::kFailed);
    EXPECT_FALSE(FileExists(wide));
    EXPECT_TRUE(peer.Requests().empty());
}

}  // namespace

namespace {

TEST(UploadWorkers, AFailureInTheLastBlockIsNotReportedAsComplete) {
    // 45 records of 6 channels: requests for 20, 20 and 5; the instrument ignores the last.
    kvrtest::ScriptedPeer peer([](const Bytes&, const kvrsim::Request& r) -> Bytes {
        if (r.body.size() != 8 || r.body[6] != 20) return {};
        Bytes payload(r.body.begin(), r.body.end());
        payload.resize(8 + 20 * 6 * 2, 0x22);
        return kvrsim::RtuReply(r.address, r.function, payload);
    });
    kvr::CXLink link;
    ASSERT_EQ(link.Connect(kvrtest::TestParams(peer.Path())), 1);
    link.SetDelayScale(0);
    kvrtest::TempDir folder;
    const std::string path = folder.file("last.FDZ");
    kvr::CXFile file;
    PrepareUploadFile(file, path, "QZK2PV1009", 6, 45, kvr::MakeTime({2024, 1, 1}));
    RecordingSink sink;
    std::atomic<bool> cancel{false};
    const kvr::UploadOutcome outcome =
        kvr::RunTimeUpload({kvr::MakeTime({2024, 1, 1}), 530}, link, file, sink, cancel);
    EXPECT_EQ(outcome.status, kvr::UploadOutcome::kFailed);
    EXPECT_EQ(outcome.message, "通讯失败！");
    EXPECT_FALSE(FileExists(path));
    const std::vector<Bytes> requests = peer.Requests();
    ASSERT_EQ(requests.size(), 2u + 4u);
    EXPECT_EQ(requests.back()[8], 5) << "the last request asks for the 5 records that remain";
}

}  // namespace
