// Checksums, hex text and frames of both framings, master side against the simulator's
// independent instrument side; and the simulator's request reader fed bytes in pieces.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "core/link/frame.h"
#include "tools/kvr-sim/request_reader.h"
#include "tools/kvr-sim/sim_codec.h"

namespace {

using kvr::frame::Bytes;

Bytes Of(const std::string& text) { return Bytes(text.begin(), text.end()); }

TEST(Checksum, KnownAnswersAndBothImplementationsAgree) {
    const Bytes check = Of("123456789");
    EXPECT_EQ(kvr::frame::Crc16(check), 0x4B37);
    EXPECT_EQ(kvr::frame::Lrc(Bytes{0x01, 0x41}), 0xBE);
    EXPECT_EQ(kvr::frame::Lrc(Bytes{}), 0x00);
    EXPECT_EQ(kvr::frame::Lrc(Bytes{0x80, 0x80}), 0x00);  // the sum wraps in 8 bits
    EXPECT_EQ(kvr::frame::Lrc(Bytes{0xFF, 0x02}), 0xFF);

    std::mt19937 random(7);
    for (int size = 0; size < 300; size += 7) {
        Bytes data(static_cast<std::size_t>(size));
        for (auto& b : data) b = static_cast<std::uint8_t>(random());
        EXPECT_EQ(kvr::frame::Crc16(data), kvrsim::Crc16(data.data(), data.size())) << size;
        EXPECT_EQ(kvr::frame::Lrc(data), kvrsim::Lrc(data.data(), data.size())) << size;
    }
}

TEST(Framing, RequestsAreByteExact) {
    // 256 bytes from 0x0000 of instrument 1: 128 words, CRC 0x6A44 low byte first.
    EXPECT_EQ(kvr::frame::MakeRtu(1, 0x03, Bytes{0x00, 0x00, 0x00, 0x80}),
              (Bytes{0x01, 0x03, 0x00, 0x00, 0x00, 0x80, 0x44, 0x6A}));
    EXPECT_EQ(kvr::frame::MakeRtu(1, 0x41, Bytes{0x00}), (Bytes{0x01, 0x41, 0x00, 0x10, 0x50}));
    const std::string ascii = kvr::frame::MakeAscii(Bytes{0x01, 0x41});
    EXPECT_EQ(ascii, ":0141BE\r\n");
    // 2n + 5 characters for n bytes
    EXPECT_EQ(kvr::frame::MakeAscii(Bytes{0x01, 0x03, 0x10, 0x13, 0x00, 0x01}).size(), 2u * 6 + 5);
    EXPECT_EQ(kvr::frame::MakeAscii(Bytes{0x0A, 0xFF}), ":0AFFF7\r\n");
}

TEST(Framing, HexDecodingFollowsTheInstrumentRules) {
    const struct {
        char c;
        int value;
    } cases[] = {{'0', 0},  {'9', 9},  {'A', 10}, {'F', 15}, {'G', 16}, {'Z', 35}, {'a', 10},
                 {'f', 15}, {'z', 35}, {':', 0},  {' ', 0},  {'\r', 0}, {'@', 0},  {'`', 0}};
    for (const auto& c : cases) EXPECT_EQ(kvr::frame::HexValue(c.c), c.value) << c.c;
    EXPECT_EQ(kvr::frame::DecodeHexPair('B', 'E'), 0xBE);
    EXPECT_EQ(kvr::frame::DecodeHexPair('b', 'e'), 0xBE);
    EXPECT_EQ(kvr::frame::DecodeHexPair('1', 'G'), 0x20);  // 1*16 + 16
}

TEST(Framing, RtuReplyMustAnswerItsRequest) {
    const Bytes request = kvr::frame::MakeRtu(1, 0x03, Bytes{0x00, 0x40, 0x00, 0x01});
    const Bytes good = kvrsim::RtuReply(1, 0x03, {0x02, 0x12, 0x34});
    EXPECT_TRUE(kvr::frame::CheckRtuReply(request, good));

    Bytes badCrc = good;
    badCrc.back() ^= 1;
    const struct {
        const char* what;
        Bytes reply;
    } rejected[] = {
        {"other address", kvrsim::RtuReply(2, 0x03, {0x02, 0x12, 0x34})},
        {"other function", kvrsim::RtuReply(1, 0x04, {0x02, 0x12, 0x34})},
        {"exception", kvrsim::RtuReply(1, 0x83, {0x02})},
        {"bad crc", badCrc},
        {"crc bytes swapped", Bytes{good[0], good[1], good[2], good[3], good[4], good[6], good[5]}},
        {"too short", Bytes{0x01, 0x03, 0x00}},
    };
    for (const auto& r : rejected)
        EXPECT_FALSE(kvr::frame::CheckRtuReply(request, r.reply)) << r.what;
}

TEST(Framing, AsciiPayloadChecks) {
    const std::string request = kvr::frame::MakeAscii(Bytes{0x01, 0x03, 0x10, 0x13, 0x00, 0x02});
    auto payload = [&](const std::string& reply, std::size_t room = 64) {
        const Bytes bytes = Of(reply);
        return kvr::frame::AsciiPayload(request, bytes, room);
    };
    // LRC 0xB4: a letter, so the lower-case copy below cannot pass.
    const kvrsim::Bytes good = kvrsim::AsciiReply(1, 0x03, {0x02, 0x12, 0x34});
    const std::string goodText(good.begin(), good.end());
    ASSERT_EQ(goodText, ":0103021234B4\r\n");
    ASSERT_TRUE(payload(goodText));
    EXPECT_EQ(*payload(goodText), (Bytes{0x12, 0x34}));

    std::string lower = goodText;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    std::string wrongLrc = goodText;
    wrongLrc[wrongLrc.size() - 3] = wrongLrc[wrongLrc.size() - 3] == '0' ? '1' : '0';
    const struct {
        const char* what;
        std::string reply;
        std::size_t room;
    } rejected[] = {
        {"lower-case reply (LRC letters compared as upper case)", lower, 64},
        {"no CR LF", goodText.substr(0, goodText.size() - 2) + "\n\r", 64},
        {"other address", std::string(":02") + goodText.substr(3), 64},
        {"wrong LRC", wrongLrc, 64},
        {"odd character count", goodText.substr(0, 7) + "0" + goodText.substr(7), 64},
        {"count says more than arrived",
         [] {
             auto r = kvrsim::AsciiReply(1, 3, {0x03, 0x12, 0x34});
             return std::string(r.begin(), r.end());
         }(),
         64},
        {"count says less than arrived",
         [] {
             auto r = kvrsim::AsciiReply(1, 3, {0x01, 0x12, 0x34});
             return std::string(r.begin(), r.end());
         }(),
         64},
        {"count 0",
         [] {
             auto r = kvrsim::AsciiReply(1, 3, {0x00});
             return std::string(r.begin(), r.end());
         }(),
         64},
        {"more than the caller's buffer", goodText, 1},
        {"too short for a count", ":0103FC\r\n", 64},
    };
    for (const auto& r : rejected) EXPECT_FALSE(payload(r.reply, r.room)) << r.what;

    // A 256-byte piece comes back with count 0 and exactly 512 data characters.
    kvrsim::Bytes full{0x00};
    for (int i = 0; i < 256; ++i) full.push_back(static_cast<std::uint8_t>(i));
    const kvrsim::Bytes fullReply = kvrsim::AsciiReply(1, 0x03, full);
    const auto fullPayload = payload(std::string(fullReply.begin(), fullReply.end()), 256);
    ASSERT_TRUE(fullPayload);
    EXPECT_EQ(fullPayload->size(), 256u);
    EXPECT_EQ((*fullPayload)[255], 255);
}

// Requests of every shape, as the master sends them.
std::vector<Bytes> SampleRequests() {
    return {
        kvr::frame::MakeRtu(1, 0x03, Bytes{0x00, 0x00, 0x00, 0x80}),
        Of(kvr::frame::MakeAscii(Bytes{0x01, 0x41})),
        kvr::frame::MakeRtu(1, 0x13, Bytes{0x00, 0x08, 0x00, 0x20}),
        kvr::frame::MakeRtu(7, 0x13, Bytes{24, 5, 6, 7, 8, 9, 20, 6}),
        kvr::frame::MakeRtu(1, 0x41, Bytes{0x00}),
        Of(kvr::frame::MakeAscii(Bytes{0x01, 0x03, 0x10, 0x40, 0x00, 0x50})),
        kvr::frame::MakeRtu(1, 0x14, Bytes{0x00}),
        kvr::frame::MakeRtu(58, 0x16, Bytes{0xC0, 0x00, 0x00, 0x01}),  // address 58 is ':'
    };
}

std::vector<Bytes> Bodies(kvrsim::RequestReader& reader) {
    std::vector<Bytes> found;
    while (auto r = reader.Next()) {
        Bytes whole{r->address, r->function};
        whole.insert(whole.end(), r->body.begin(), r->body.end());
        found.push_back(whole);
    }
    return found;
}

std::vector<Bytes> ExpectedBodies() {
    return {{1, 0x03, 0, 0, 0, 0x80},
            {1, 0x41},
            {1, 0x13, 0, 8, 0, 0x20},
            {7, 0x13, 24, 5, 6, 7, 8, 9, 20, 6},
            {1, 0x41, 0},
            {1, 0x03, 0x10, 0x40, 0, 0x50},
            {1, 0x14, 0},
            {58, 0x16, 0xC0, 0, 0, 1}};
}

TEST(RequestReader, FindsEveryFrameWhereverTheBytesAreSplit) {
    Bytes stream;
    for (const Bytes& r : SampleRequests()) stream.insert(stream.end(), r.begin(), r.end());
    for (std::size_t split = 0; split <= stream.size(); ++split) {
        kvrsim::RequestReader reader;
        reader.Feed(stream.data(), split);
        std::vector<Bytes> found = Bodies(reader);
        reader.Feed(stream.data() + split, stream.size() - split);
        for (Bytes& b : Bodies(reader)) found.push_back(b);
        EXPECT_EQ(found, ExpectedBodies()) << "split at " << split;
        EXPECT_EQ(reader.Discarded(), 0u);
    }
    kvrsim::RequestReader bytewise;
    std::vector<Bytes> found;
    for (std::uint8_t b : stream) {
        bytewise.Feed(&b, 1);
        for (Bytes& r : Bodies(bytewise)) found.push_back(r);
    }
    EXPECT_EQ(found, ExpectedBodies());
}

TEST(RequestReader, RecoversFromNoiseAndRefusesBadFrames) {
    const Bytes noise{0xFF, 0x00, 0x3A, 0x01, 0x03, 0x00};
    Bytes stream = noise;
    for (const Bytes& r : SampleRequests()) stream.insert(stream.end(), r.begin(), r.end());
    kvrsim::RequestReader reader;
    reader.Feed(stream.data(), stream.size());
    EXPECT_EQ(Bodies(reader), ExpectedBodies());
    EXPECT_EQ(reader.Discarded(), noise.size());

    // A bad checksum in either framing is never taken as a request.
    Bytes badRtu = kvr::frame::MakeRtu(1, 0x03, Bytes{0, 0, 0, 0x80});
    badRtu.back() ^= 0x01;
    std::string badAscii = kvr::frame::MakeAscii(Bytes{0x01, 0x41});
    badAscii[5] = 'F';
    kvrsim::RequestReader strict;
    strict.Feed(badRtu.data(), badRtu.size());
    strict.Feed(reinterpret_cast<const std::uint8_t*>(badAscii.data()), badAscii.size());
    EXPECT_TRUE(Bodies(strict).empty());

    // A colon followed by endless hex without CR LF is noise, not a frame in waiting.
    std::string endless = ":" + std::string(100, '0');
    kvrsim::RequestReader patient;
    patient.Feed(reinterpret_cast<const std::uint8_t*>(endless.data()), endless.size());
    const Bytes identify = kvr::frame::MakeRtu(1, 0x41, Bytes{0x00});
    patient.Feed(identify.data(), identify.size());
    EXPECT_EQ(Bodies(patient), (std::vector<Bytes>{{1, 0x41, 0}}));
}

}  // namespace
