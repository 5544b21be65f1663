#include "fuzz/fake_line.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <deque>
#include <string>

#include "core/link/frame.h"
#include "core/sys/sys_io.h"

namespace kvrfuzz {

namespace {

struct LineState {
    std::deque<Bytes> replies;
    Bytes pending;  // what the line delivers now
    std::size_t readAt = 0;
    Framing framing = Framing::kRtu;
    bool fix = false;
};

LineState& Line() {
    static LineState state;
    return state;
}

char Hex(unsigned nibble) { return "0123456789ABCDEF"[nibble & 0xF]; }

void FixRtu(Bytes& reply, const std::uint8_t* request, std::size_t requestSize) {
    if (reply.size() < 4 || requestSize < 2) return;
    reply[0] = request[0];
    reply[1] = request[1];
    const std::uint16_t crc = kvr::frame::Crc16({reply.data(), reply.size() - 2});
    reply[reply.size() - 2] = static_cast<std::uint8_t>(crc & 0xFF);
    reply[reply.size() - 1] = static_cast<std::uint8_t>(crc >> 8);
}

// ':' AAFF ... LL CR LF, with the request's address and function characters.
void FixAscii(Bytes& reply, const std::uint8_t* request, std::size_t requestSize) {
    if (reply.size() < 9 || requestSize < 5) return;
    reply[0] = ':';
    std::copy(request + 1, request + 5, reply.begin() + 1);
    const std::size_t end = reply.size() - 4;  // first LRC character
    std::uint8_t sum = 0;
    for (std::size_t i = 1; i + 1 < end; i += 2)
        sum = static_cast<std::uint8_t>(sum +
                                        kvr::frame::DecodeHexPair(static_cast<char>(reply[i]),
                                                                  static_cast<char>(reply[i + 1])));
    const auto lrc = static_cast<std::uint8_t>(-sum);
    reply[end] = static_cast<std::uint8_t>(Hex(lrc >> 4));
    reply[end + 1] = static_cast<std::uint8_t>(Hex(lrc));
    reply[end + 2] = '\r';
    reply[end + 3] = '\n';
}

ssize_t FakeWrite(int, const void* buffer, size_t count) {
    LineState& line = Line();
    line.pending.clear();
    line.readAt = 0;
    if (!line.replies.empty()) {
        line.pending = std::move(line.replies.front());
        line.replies.pop_front();
        const auto* request = static_cast<const std::uint8_t*>(buffer);
        if (line.fix && line.framing == Framing::kRtu) FixRtu(line.pending, request, count);
        if (line.fix && line.framing == Framing::kAscii) FixAscii(line.pending, request, count);
    }
    return static_cast<ssize_t>(count);
}

ssize_t FakeRead(int, void* buffer, size_t count) {
    LineState& line = Line();
    const std::size_t n = std::min(count, line.pending.size() - line.readAt);
    if (n > 0) std::memcpy(buffer, line.pending.data() + line.readAt, n);
    line.readAt += n;
    return static_cast<ssize_t>(n);
}

int FakePoll(pollfd* fds, nfds_t, int) {
    const LineState& line = Line();
    fds[0].revents = line.readAt < line.pending.size() ? POLLIN : POLLHUP;
    return 1;
}

int FakeIoctl(int, unsigned long, int*) { return 0; }

}  // namespace

void LoadReplies(const std::uint8_t* data, std::size_t size, Framing framing, bool fixChecksums) {
    LineState& line = Line();
    line.replies.clear();
    line.pending.clear();
    line.readAt = 0;
    line.framing = framing;
    line.fix = fixChecksums;
    std::size_t at = 0;
    while (at < size) {
        // Lengths above 255 come from a length byte of 0 followed by two bytes.
        std::size_t length = data[at++];
        if (length == 0 && at + 2 <= size) {
            length = static_cast<std::size_t>(data[at]) << 8 | data[at + 1];
            at += 2;
        }
        length = std::min(length, size - at);
        line.replies.emplace_back(data + at, data + at + length);
        at += length;
    }
}

kvr::CXLink& FakeLink() {
    static kvr::CXLink* link = [] {
        kvr::sysio::Current() = kvr::sysio::Calls{FakeRead, FakeWrite, FakePoll, FakeIoctl};
        auto* l = new kvr::CXLink;
        kvr::ComParam p;
        p.device = "/dev/null";
        p.baud = 57600;
        p.address = 1;
        p.attempts = 2;
        // No timeouts at all: the fake line's hang-up is what ends every read.
        p.intervalBase = p.constantBase = p.multiplier = p.writeConstantBase = p.writeMultiplier =
            0;
        if (l->Connect(p) != 1) __builtin_trap();
        l->SetDelayScale(0);
        return l;
    }();
    return *link;
}

}  // namespace kvrfuzz
