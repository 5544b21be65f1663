// Every RTU command of the link against replies from the fuzzer: the frame checks, the
// commands' own length and count tests, and the copies into the caller's buffers.
// Input: command, argument, flags (bit 0: make checksums match), then the replies.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "fuzz/fake_line.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return 0;
    const std::uint8_t command = data[0], argument = data[1], flags = data[2];
    kvrfuzz::LoadReplies(data + 3, size - 3, kvrfuzz::Framing::kRtu, (flags & 1) != 0);
    kvr::CXLink& link = kvrfuzz::FakeLink();
    // The caller's buffer is exactly as large as the command needs, so that the sanitizer
    // sees any copy beyond it.
    switch (command % 6) {
        case 0: {
            const std::uint16_t length = static_cast<std::uint16_t>(argument * 3 + (flags >> 1));
            std::vector<std::uint8_t> out(length);
            link.ReadMemory(0x0040, length, out);
            break;
        }
        case 1: {
            const std::uint16_t length = static_cast<std::uint16_t>(argument * 3 + (flags >> 1));
            std::vector<std::uint8_t> out(length);
            link.ReadParam(0xC000, length, out);
            break;
        }
        case 2: {
            std::vector<std::uint8_t> out(kvr::CXLink::kRecordBlockSize);
            link.ReadRecords(0x1234, out, kvr::CXLink::kRecordBlockSize, 0);
            break;
        }
        case 3: {
            const int records = argument % 32 + 1, channels = (flags >> 1) % 8 + 1;
            std::vector<std::uint8_t> out(static_cast<std::size_t>(records * channels * 2));
            link.ReadRecordsAt(1700000000, records, channels, out);
            break;
        }
        case 4: {
            std::uint8_t clock[6];
            link.ReadClock(clock);
            break;
        }
        case 5: {
            char id[kvr::CXLink::kIdentificationSize];
            link.Identify(id);
            break;
        }
    }
    return 0;
}
