// Every ASCII exchange of the link against replies from the fuzzer: the frame checks, the
// hex decoding, the count byte and the copies into the caller's buffers.
// Input: command, argument, flags (bit 0: make the LRC and frame ends match), then the replies.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "fuzz/fake_line.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return 0;
    const std::uint8_t command = data[0], argument = data[1], flags = data[2];
    kvrfuzz::LoadReplies(data + 3, size - 3, kvrfuzz::Framing::kAscii, (flags & 1) != 0);
    kvr::CXLink& link = kvrfuzz::FakeLink();
    switch (command % 3) {
        case 0: {
            const std::uint16_t length = static_cast<std::uint16_t>(argument * 2 + (flags >> 1));
            std::vector<std::uint8_t> out(length);
            link.ReadMemoryAscii(0x1013, length, out);
            break;
        }
        case 1: {
            const int count = argument == 0 ? 256 : argument;
            std::vector<std::uint8_t> out(static_cast<std::size_t>(count));
            link.ReadRecords(0x080020, out, count, 1);
            break;
        }
        case 2: {
            std::vector<std::uint8_t> out(argument);
            link.IdentifyAscii(out);
            break;
        }
    }
    return 0;
}
