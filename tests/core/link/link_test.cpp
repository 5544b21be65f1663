// CXLink against a scripted instrument on a pseudo-terminal: the exact bytes of every
// command, what a reply must be to count, and the block reads' pieces and retries.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <functional>
#include <thread>

#include "core/datafile/time.h"
#include "core/link/cxlink.h"
#include "core/link/frame.h"
#include "support/pty_pair.h"

namespace {

using kvrtest::Bytes;

std::uint8_t MemoryByte(unsigned address) { return static_cast<std::uint8_t>(address * 13 + 7); }

Bytes Memory(unsigned start, unsigned length) {
    Bytes bytes;
    for (unsigned i = 0; i < length; ++i) bytes.push_back(MemoryByte(start + i));
    return bytes;
}

unsigned Word(const Bytes& body, std::size_t at) {
    return static_cast<unsigned>(body[at]) << 8 | body[at + 1];
}

// The payload a well-behaved instrument answers (after address and function).
Bytes Payload(const kvrsim::Request& r) {
    Bytes p;
    auto withCount = [&](unsigned start, unsigned length) {
        p.push_back(static_cast<std::uint8_t>(length & 0xFF));
        const Bytes data = Memory(start, length);
        p.insert(p.end(), data.begin(), data.end());
    };
    switch (r.function) {
        case 0x03:
            withCount(Word(r.body, 0), r.ascii ? Word(r.body, 2) : Word(r.body, 2) * 2);
            break;
        case 0x16: withCount(Word(r.body, 0), Word(r.body, 2)); break;
        case 0x41: {
            const std::string id = r.ascii ? "QDV0003" : "QZK2TW1009";
            if (!r.ascii) p.push_back(11);
            p.push_back(static_cast<std::uint8_t>(id.size()));
            p.insert(p.end(), id.begin(), id.end());
            break;
        }
        case 0x14: p = {6, 24, 5, 6, 7, 8, 9}; break;
        case 0x13:
            if (r.ascii) {
                withCount(r.body[0] << 16 | r.body[1] << 8 | r.body[2],
                          r.body[3] == 0 ? 256 : r.body[3]);
            } else if (r.body.size() == 4) {
                withCount(Word(r.body, 2), 256);
            } else {
                p.assign(r.body.begin(), r.body.end());
                const Bytes data = Memory(0, static_cast<unsigned>(r.body[6] * r.body[7] * 2));
                p.insert(p.end(), data.begin(), data.end());
            }
            break;
        default: p = {0x01}; break;
    }
    return p;
}

Bytes Frame(const kvrsim::Request& r, std::uint8_t function, const Bytes& payload) {
    return r.ascii ? kvrsim::AsciiReply(r.address, function, payload)
                   : kvrsim::RtuReply(r.address, function, payload);
}

Bytes GoodReply(const Bytes&, const kvrsim::Request& r) { return Frame(r, r.function, Payload(r)); }

class LinkTest : public ::testing::Test {
protected:
    void Connect(kvrtest::ScriptedPeer& peer, int attempts = 3) {
        kvr::ComParam p = kvrtest::TestParams(peer.Path());
        p.attempts = attempts;
        ASSERT_EQ(link.Connect(p), 1);
        link.SetDelayScale(0);
    }
    kvr::CXLink link;
};

TEST_F(LinkTest, EveryCommandSendsExactlyItsRequest) {
    kvrtest::ScriptedPeer peer(GoodReply);
    Connect(peer);
    Bytes buffer(600);
    char id[10];
    std::uint8_t clock[6];
    ASSERT_EQ(link.ReadMemory(0x0000, 256, buffer), 1);
    ASSERT_EQ(link.Identify(id), 10);
    ASSERT_GT(link.IdentifyAscii(buffer), 0);
    ASSERT_EQ(link.ReadParam(0xC001, 1, buffer), 1);
    ASSERT_EQ(link.ReadMemoryAscii(0x1013, 1, buffer), 1);
    ASSERT_EQ(link.ReadClock(clock), 1);
    ASSERT_EQ(link.ReadRecords(0x00080020, buffer, 256, 0), 1);
    ASSERT_EQ(link.ReadRecords(0x00080020, buffer, 40, 1), 1);
    const kvr::Time t = kvr::MakeTime({2024, 5, 6, 7, 8, 9});
    ASSERT_EQ(link.ReadRecordsAt(t, 20, 6, buffer), 1);

    auto ascii = [](const std::string& text) { return Bytes(text.begin(), text.end()); };
    const std::vector<Bytes> expected = {
        {0x01, 0x03, 0x00, 0x00, 0x00, 0x80, 0x44, 0x6A},
        {0x01, 0x41, 0x00, 0x10, 0x50},
        ascii(":0141BE\r\n"),
        kvr::frame::MakeRtu(1, 0x16, Bytes{0xC0, 0x01, 0x00, 0x01}),
        ascii(":010310130001D8\r\n"),
        kvr::frame::MakeRtu(1, 0x14, Bytes{0x00}),
        kvr::frame::MakeRtu(1, 0x13, Bytes{0x00, 0x08, 0x00, 0x20}),
        ascii(kvr::frame::MakeAscii(Bytes{0x01, 0x13, 0x08, 0x00, 0x20, 40})),
        kvr::frame::MakeRtu(1, 0x13, Bytes{24, 5, 6, 7, 8, 9, 20, 6}),
    };
    EXPECT_EQ(peer.Requests(), expected);
    EXPECT_EQ(std::string(id, 10), "QZK2TW1009");
    EXPECT_EQ(Bytes(clock, clock + 6), (Bytes{24, 5, 6, 7, 8, 9}));
}

TEST_F(LinkTest, RepliesThatDoNotAnswerTheRequestFail) {
    using Mutation = std::function<Bytes(const kvrsim::Request&)>;
    const struct {
        const char* what;
        Mutation reply;
        int expected;
    } cases[] = {
        {"good", [](const kvrsim::Request& r) { return GoodReply({}, r); }, 1},
        {"other address",
         [](const kvrsim::Request& r) { return kvrsim::RtuReply(2, r.function, Payload(r)); }, 0},
        {"other function",
         [](const kvrsim::Request& r) { return kvrsim::RtuReply(1, 0x16, Payload(r)); }, 0},
        {"exception", [](const kvrsim::Request&) { return kvrsim::RtuReply(1, 0x83, {0x02}); }, 0},
        {"bad CRC",
         [](const kvrsim::Request& r) {
             Bytes b = GoodReply({}, r);
             b[b.size() - 2] ^= 1;
             return b;
         },
         0},
        {"count differs",
         [](const kvrsim::Request& r) {
             Bytes p = Payload(r);
             p[0] = 6;
             return kvrsim::RtuReply(1, 3, p);
         },
         0},
        {"one byte short",
         [](const kvrsim::Request& r) {
             Bytes p = Payload(r);
             p.pop_back();
             return kvrsim::RtuReply(1, 3, p);
         },
         0},
        {"one byte extra",
         [](const kvrsim::Request& r) {
             Bytes p = Payload(r);
             p.push_back(0);
             return kvrsim::RtuReply(1, 3, p);
         },
         0},
    };
    for (const auto& c : cases) {
        kvrtest::ScriptedPeer peer(
            [&](const Bytes&, const kvrsim::Request& r) { return c.reply(r); });
        kvr::CXLink fresh;
        kvr::ComParam p = kvrtest::TestParams(peer.Path());
        p.attempts = 1;
        ASSERT_EQ(fresh.Connect(p), 1);
        fresh.SetDelayScale(0);
        Bytes buffer(4, 0xAA);
        EXPECT_EQ(fresh.ReadMemory(0x0040, 4, buffer), c.expected) << c.what;
        if (c.expected) {
            EXPECT_EQ(buffer, Memory(0x40, 4));
        }
    }
}

TEST_F(LinkTest, ShortRepliesAreRejectedNotPaddedWithGarbage) {
    // Each command answered with its payload one byte short.
    kvrtest::ScriptedPeer peer([](const Bytes&, const kvrsim::Request& r) {
        Bytes p = Payload(r);
        p.pop_back();
        return Frame(r, r.function, p);
    });
    Connect(peer, 1);
    Bytes buffer(300);
    char id[10];
    std::uint8_t clock[6];
    EXPECT_EQ(link.ReadRecords(0x100, buffer, 256, 0), 0);
    EXPECT_EQ(link.ReadRecords(0x100, buffer, 40, 1), 0);
    EXPECT_EQ(link.ReadClock(clock), 0);
    EXPECT_EQ(link.Identify(id), 0);
    EXPECT_EQ(link.ReadRecordsAt(kvr::MakeTime({2024, 1, 1}), 20, 6, buffer), 0);
    EXPECT_EQ(link.ReadParam(0xC000, 16, buffer), 0);
    EXPECT_EQ(link.ReadMemoryAscii(0x1000, 16, buffer), 0);
}

TEST_F(LinkTest, BuffersBoundEveryCopy) {
    kvrtest::ScriptedPeer peer(GoodReply);
    Connect(peer, 1);
    Bytes small(10);
    EXPECT_EQ(link.ReadMemory(0, 16, small), 0);
    EXPECT_EQ(link.ReadRecords(0, small, 256, 0), 0);
    EXPECT_EQ(link.ReadRecordsAt(kvr::MakeTime({2024, 1, 1}), 20, 6, small), 0);
    // "QDV0003" needs seven bytes.
    EXPECT_EQ(link.IdentifyAscii({small.data(), 6}), 0);
    EXPECT_EQ(link.IdentifyAscii({small.data(), 7}), 7);
}

TEST_F(LinkTest, AsciiRepliesInLowerCaseFailTheLrc) {
    std::atomic<bool> lower{false};
    kvrtest::ScriptedPeer peer([&](const Bytes&, const kvrsim::Request& r) {
        Bytes reply = GoodReply({}, r);
        if (lower)
            for (auto& c : reply) c = static_cast<std::uint8_t>(std::tolower(c));
        return reply;
    });
    Connect(peer, 1);
    // 01 03 02 07 14 has the LRC 0xDF: letters, which a lower-case reply spells "df".
    Bytes two(2);
    EXPECT_EQ(link.ReadMemoryAscii(0x1000, 2, two), 1);
    EXPECT_EQ(two, (Bytes{0x07, 0x14}));
    lower = true;
    EXPECT_EQ(link.ReadMemoryAscii(0x1000, 2, two), 0);
}

TEST_F(LinkTest, BlockReadsGoInPiecesOf256) {
    kvrtest::ScriptedPeer peer(GoodReply);
    Connect(peer);
    Bytes buffer(600);
    ASSERT_EQ(link.ReadMemory(0x1000, 600, buffer), 1);
    EXPECT_EQ(buffer, Memory(0x1000, 600));
    ASSERT_EQ(link.ReadParam(0x1000, 600, buffer), 1);
    EXPECT_EQ(buffer, Memory(0x1000, 600));
    ASSERT_EQ(link.ReadMemoryAscii(0x1000, 600, buffer), 1);
    EXPECT_EQ(buffer, Memory(0x1000, 600));
    Bytes none(1, 0x55);
    ASSERT_EQ(link.ReadMemory(0x1000, 0, none), 1);  // no piece at all

    const std::vector<Bytes> r = peer.Requests();
    ASSERT_EQ(r.size(), 9u);
    // RTU 0x03 asks for words, 0x16 and the ASCII read for bytes; starts are 256 apart.
    EXPECT_EQ(r[0], kvr::frame::MakeRtu(1, 0x03, Bytes{0x10, 0x00, 0x00, 128}));
    EXPECT_EQ(r[1], kvr::frame::MakeRtu(1, 0x03, Bytes{0x11, 0x00, 0x00, 128}));
    EXPECT_EQ(r[2], kvr::frame::MakeRtu(1, 0x03, Bytes{0x12, 0x00, 0x00, 44}));
    EXPECT_EQ(r[3], kvr::frame::MakeRtu(1, 0x16, Bytes{0x10, 0x00, 0x01, 0x00}));
    EXPECT_EQ(r[5], kvr::frame::MakeRtu(1, 0x16, Bytes{0x12, 0x00, 0x00, 88}));
    const std::string lastAscii = kvr::frame::MakeAscii(Bytes{0x01, 0x03, 0x12, 0x00, 0x00, 88});
    EXPECT_EQ(r[8], Bytes(lastAscii.begin(), lastAscii.end()));
}

TEST_F(LinkTest, EachPieceIsTriedUpToAttemptsTimes) {
    const struct {
        int attempts, silentTries;
        int expected;
        std::size_t requests;
    } cases[] = {{0, 0, 1, 1}, {1, 1, 0, 1}, {3, 2, 1, 3}, {3, 3, 0, 3}};
    for (const auto& c : cases) {
        std::atomic<int> seen{0};
        kvrtest::ScriptedPeer peer([&](const Bytes& raw, const kvrsim::Request& r) {
            return ++seen <= c.silentTries ? Bytes{} : GoodReply(raw, r);
        });
        kvr::CXLink fresh;
        kvr::ComParam p = kvrtest::TestParams(peer.Path());
        p.attempts = c.attempts;
        ASSERT_EQ(fresh.Connect(p), 1);
        fresh.SetDelayScale(0);
        Bytes buffer(8);
        EXPECT_EQ(fresh.ReadParam(0xC000, 8, buffer), c.expected)
            << c.attempts << "/" << c.silentTries;
        EXPECT_EQ(peer.Requests().size(), c.requests) << c.attempts << "/" << c.silentTries;
    }
}

TEST_F(LinkTest, NothingWorksUnconnected) {
    Bytes buffer(16);
    std::uint8_t clock[6];
    EXPECT_FALSE(link.IsConnected());
    EXPECT_EQ(link.ReadMemory(0, 16, buffer), 0);
    EXPECT_EQ(link.ReadParam(0, 16, buffer), 0);
    EXPECT_EQ(link.ReadMemoryAscii(0, 16, buffer), 0);
    EXPECT_EQ(link.ReadClock(clock), 0);
    EXPECT_EQ(link.ReadRecordsAt(kvr::MakeTime({2024, 1, 1}), 1, 1, buffer), 0);
    kvr::ComParam p;
    p.device = "/dev/kvr-no-such-line";
    EXPECT_EQ(link.Connect(p), 0);
    EXPECT_FALSE(link.IsConnected());
}

TEST(LinkDelays, TheFixedReplyDelayGivesASlowInstrumentItsTime) {
    // The instrument answers 400 ms after each request: later than the port's 300 ms total
    // timeout alone, within it once the ASCII exchange's 200 ms reply delay is added.
    for (const int scale : {100, 0}) {
        kvrtest::ScriptedPeer peer([](const Bytes& raw, const kvrsim::Request& r) {
            std::this_thread::sleep_for(std::chrono::milliseconds(400));
            return GoodReply(raw, r);
        });
        kvr::CXLink link;
        kvr::ComParam p = kvrtest::TestParams(peer.Path());
        p.attempts = 1;
        ASSERT_EQ(link.Connect(p), 1);
        link.SetDelayScale(scale);
        Bytes id(16);
        EXPECT_EQ(link.IdentifyAscii(id), scale == 100 ? 7 : 0) << "delay scale " << scale;
    }
}

}  // namespace
