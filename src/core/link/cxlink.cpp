#include "core/link/cxlink.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

#include "core/link/frame.h"

namespace kvr {

namespace {

constexpr std::uint8_t kReadMemory = 0x03;
constexpr std::uint8_t kReadRecords = 0x13;
constexpr std::uint8_t kReadClock = 0x14;
constexpr std::uint8_t kReadParam = 0x16;
constexpr std::uint8_t kIdentify = 0x41;

// Reply delays and settle times of the commands, in milliseconds.
constexpr int kRtuReplyDelay = 150;
constexpr int kRecordBlockDelay = 50;
constexpr int kRecordBlockSettle = 10;
constexpr int kRecordBlockSilence = 100;
constexpr int kIdentifyDelay = 200;
constexpr int kAsciiReplyDelay = 200;
constexpr int kAsciiSettle = 30;
constexpr int kMemoryRetryDelay = 200;
constexpr int kPieceDelay = 50;
constexpr int kBlockEndDelay = 50;
constexpr int kClockSettle = 50;

// address + function + CRC around the payload of an RTU reply
constexpr int kRtuOverhead = 4;

void PutWord(std::uint8_t* at, std::uint16_t value) {
    at[0] = static_cast<std::uint8_t>(value >> 8);
    at[1] = static_cast<std::uint8_t>(value & 0xFF);
}

}  // namespace

CXLink::CXLink() { param_.address = -1; }

CXLink::~CXLink() {
    if (connected_) Disconnect();
    port_.Close();
}

int CXLink::Connect(const ComParam& param) {
    const int handle =
        port_.Open(param.device, param.baud, param.parity, param.intervalBase, param.constantBase,
                   param.multiplier, param.writeConstantBase, param.writeMultiplier);
    if (handle == CXPort::kInvalidHandle) return 0;
    param_ = param;
    connected_ = true;
    return 1;
}

void CXLink::Disconnect() {
    connected_ = false;
    port_.Close();
}

int CXLink::Scaled(int ms) const {
    return static_cast<int>(static_cast<long>(ms) * delayScale_ / 100);
}

void CXLink::Pause(int ms) const {
    const int scaled = Scaled(ms);
    if (scaled > 0) std::this_thread::sleep_for(std::chrono::milliseconds(scaled));
}

bool CXLink::RtuExchange(std::uint8_t function, std::span<const std::uint8_t> body, int delayMs,
                         int replyFrameLength, std::span<std::uint8_t> reply, int& replyLength) {
    const frame::Bytes request = frame::MakeRtu(Address(), function, body);
    DrainLateReplies();
    port_.Send(request.data(), static_cast<int>(request.size()));
    // The reply delay is the least time the instrument gets, not a wait: a reply that comes
    // sooner is taken at once.
    replyLength = port_.Receive(reply.data(), {Scaled(delayMs), replyFrameLength, false});
    const bool ok =
        replyLength != 0 &&
        frame::CheckRtuReply(request, reply.first(static_cast<std::size_t>(replyLength)));
    lateReplyPossible_ = lateReplyPossible_ || !ok;
    return ok;
}

void CXLink::DrainLateReplies() {
    if (!lateReplyPossible_) return;
    lateReplyPossible_ = false;
    // As long as a whole reply window: the instrument answered the failed try at the latest
    // then. Bounded, so a line full of noise cannot hold the link.
    const PortTimeouts& t = port_.Timeouts();
    const int window =
        static_cast<int>(std::min<std::uint32_t>(t.readTotalConstant + t.readInterval, 2000));
    port_.DrainUntilQuiet(std::max(window, 1), 4 * std::max(window, 1));
}

int CXLink::RtuPiece(std::uint8_t function, std::uint16_t start, std::uint16_t length,
                     std::uint16_t lengthField, std::span<std::uint8_t> out) {
    std::uint8_t body[4];
    PutWord(body, start);
    PutWord(body + 2, lengthField);
    std::uint8_t reply[CXPort::kReceiveBufferSize];
    int n = 0;
    if (!RtuExchange(function, body, kRtuReplyDelay, 1 + kRtuOverhead + length, reply, n)) return 0;
    // The count is one byte, so a full 256-byte piece says 0; what decides is that exactly
    // length bytes sit between the count and the CRC.
    if (reply[2] != (length & 0xFF) || n != 1 + kRtuOverhead + length) return 0;
    std::memcpy(out.data(), reply + 3, length);
    return 1;
}

int CXLink::AsciiMemoryPiece(std::uint16_t start, std::uint16_t length,
                             std::span<std::uint8_t> out) {
    std::uint8_t request[6] = {Address(), kReadMemory};
    PutWord(request + 2, start);
    PutWord(request + 4, length);
    return AsciiTransact(request, out.first(length)) == length ? 1 : 0;
}

int CXLink::BlockRead(BlockKind kind, std::uint16_t start, std::uint16_t length,
                      std::span<std::uint8_t> out) {
    if (!connected_ || out.size() < length) return 0;
    const int pieces = length / kPieceSize + (length % kPieceSize != 0 ? 1 : 0);
    for (int i = 0; i < pieces; ++i) {
        start_ = static_cast<std::uint16_t>(start + kPieceSize * i);
        length_ =
            static_cast<std::uint16_t>(i == pieces - 1 ? length - kPieceSize * i : kPieceSize);
        std::span<std::uint8_t> piece =
            out.subspan(static_cast<std::size_t>(kPieceSize) * i, length_);
        bool ok = false;
        for (int attempt = 0; attempt < Attempts() && !ok; ++attempt) {
            switch (kind) {
                case BlockKind::kMemory:
                    // The RTU read counts 16-bit words while start counts bytes.
                    ok = RtuPiece(kReadMemory, start_, length_, length_ / 2, piece) != 0;
                    if (!ok) Pause(kMemoryRetryDelay);
                    break;
                case BlockKind::kMemoryAscii:
                    ok = AsciiMemoryPiece(start_, length_, piece) != 0;
                    break;
                case BlockKind::kParam:
                    ok = RtuPiece(kReadParam, start_, length_, length_, piece) != 0;
                    break;
            }
        }
        if (!ok) return 0;
        if (kind != BlockKind::kMemory) Pause(kPieceDelay);
    }
    Pause(kBlockEndDelay);
    return 1;
}

int CXLink::ReadMemory(std::uint16_t start, std::uint16_t length, std::span<std::uint8_t> out) {
    return BlockRead(BlockKind::kMemory, start, length, out);
}

int CXLink::ReadMemoryAscii(std::uint16_t start, std::uint16_t length,
                            std::span<std::uint8_t> out) {
    return BlockRead(BlockKind::kMemoryAscii, start, length, out);
}

int CXLink::ReadParam(std::uint16_t start, std::uint16_t length, std::span<std::uint8_t> out) {
    return BlockRead(BlockKind::kParam, start, length, out);
}

int CXLink::ReadRecords(std::uint32_t index, std::span<std::uint8_t> out, int count, int mode) {
    if (mode == 1) {
        if (count <= 0 || count > kRecordBlockSize || out.size() < static_cast<std::size_t>(count))
            return 0;
        const std::uint8_t request[6] = {Address(),
                                         kReadRecords,
                                         static_cast<std::uint8_t>(index >> 16),
                                         static_cast<std::uint8_t>(index >> 8),
                                         static_cast<std::uint8_t>(index),
                                         static_cast<std::uint8_t>(count & 0xFF)};
        return AsciiTransact(request, out.first(static_cast<std::size_t>(count))) == count ? 1 : 0;
    }
    if (mode != 0 || out.size() < kRecordBlockSize) return 0;
    const std::uint8_t body[4] = {
        static_cast<std::uint8_t>(index >> 24), static_cast<std::uint8_t>(index >> 16),
        static_cast<std::uint8_t>(index >> 8), static_cast<std::uint8_t>(index)};
    std::uint8_t reply[CXPort::kReceiveBufferSize];
    int n = 0;
    const bool ok = RtuExchange(kReadRecords, body, kRecordBlockDelay,
                                1 + kRtuOverhead + kRecordBlockSize, reply, n);
    if (n == 0) {
        Pause(kRecordBlockSilence);
        return 0;
    }
    // address, function, one byte not looked at, the block, CRC
    if (!ok || n != 1 + kRtuOverhead + kRecordBlockSize) return 0;
    std::memcpy(out.data(), reply + 3, kRecordBlockSize);
    Pause(kRecordBlockSettle);
    length_ = kRecordBlockSize;
    return 1;
}

int CXLink::ReadRecordsAt(Time t, int records, int channels, std::span<std::uint8_t> out) {
    if (!connected_ || records <= 0 || channels <= 0 || records > 255 || channels > 255) return 0;
    const std::size_t payload = static_cast<std::size_t>(records) * channels * 2;
    if (out.size() < payload) return 0;
    const Stamp stamp = TimeToStamp(t);
    std::uint8_t body[8];
    WriteStamp(body, stamp);
    body[6] = static_cast<std::uint8_t>(records);
    body[7] = static_cast<std::uint8_t>(channels);
    std::uint8_t reply[CXPort::kReceiveBufferSize];
    int n = 0;
    // address, function, eight bytes not looked at, the samples, CRC
    constexpr int kSkipped = 8;
    const int frameLength = kSkipped + kRtuOverhead + static_cast<int>(payload);
    if (!RtuExchange(kReadRecords, body, kRtuReplyDelay, frameLength, reply, n)) return 0;
    if (static_cast<std::size_t>(n) != kSkipped + kRtuOverhead + payload) return 0;
    std::memcpy(out.data(), reply + 2 + kSkipped, payload);
    return 1;
}

int CXLink::ReadClock(std::uint8_t out[6]) {
    if (!connected_) return 0;
    const std::uint8_t body[1] = {0x00};
    for (int attempt = 0; attempt < Attempts(); ++attempt) {
        std::uint8_t reply[CXPort::kReceiveBufferSize];
        int n = 0;
        if (!RtuExchange(kReadClock, body, kRtuReplyDelay, 1 + kRtuOverhead + 6, reply, n))
            continue;
        if (n != 1 + kRtuOverhead + 6) continue;
        std::memcpy(out, reply + 3, 6);
        Pause(kClockSettle);
        Pause(kClockSettle);
        return 1;
    }
    return 0;
}

int CXLink::Identify(char out[kIdentificationSize]) {
    const std::uint8_t body[1] = {0x00};
    std::uint8_t reply[CXPort::kReceiveBufferSize];
    int n = 0;
    if (!RtuExchange(kIdentify, body, kIdentifyDelay, 2 + kRtuOverhead + kIdentificationSize, reply,
                     n))
        return 0;
    // address, function, one byte not looked at, the length 10, the text, CRC
    if (n != 2 + kRtuOverhead + kIdentificationSize || reply[3] != kIdentificationSize) return 0;
    std::memcpy(out, reply + 4, kIdentificationSize);
    Pause(kAsciiSettle);
    return kIdentificationSize;
}

int CXLink::IdentifyAscii(std::span<std::uint8_t> out) {
    const std::uint8_t request[2] = {Address(), kIdentify};
    return AsciiTransact(request, out);
}

int CXLink::AsciiTransact(std::span<const std::uint8_t> request, std::span<std::uint8_t> out) {
    const std::string text = frame::MakeAscii(request);
    DrainLateReplies();
    port_.Send(reinterpret_cast<const std::uint8_t*>(text.data()), static_cast<int>(text.size()));
    std::uint8_t reply[CXPort::kReceiveBufferSize];
    const int n = port_.Receive(reply, {Scaled(kAsciiReplyDelay), 0, true});
    const auto payload =
        n == 0 ? std::nullopt
               : frame::AsciiPayload(
                     text, std::span<const std::uint8_t>(reply, static_cast<std::size_t>(n)),
                     out.size());
    if (!payload) {
        lateReplyPossible_ = true;
        return 0;
    }
    std::memcpy(out.data(), payload->data(), payload->size());
    Pause(kAsciiSettle);
    return static_cast<int>(payload->size());
}

}  // namespace kvr
