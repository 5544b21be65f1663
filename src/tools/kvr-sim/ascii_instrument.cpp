#include "tools/kvr-sim/ascii_instrument.h"

#include <cstring>

#include "core/datafile/gbk.h"
#include "tools/kvr-sim/instrument_content.h"

namespace kvrsim {

AsciiInstrument::MemoryMap AsciiInstrument::MapOf(Family family) {
    if (family == Family::kAscii1) return {0x1024, 0x1025, 0x1033, 0x1050};
    return {0x1013, 0x1015, 0x1023, 0x1040};
}

AsciiInstrument::AsciiInstrument(const SimOptions& options, kvr::Time startTime)
    : options_(options), memory_(0x10000, 0) {
    newest_ = NewestTime(startTime, kIntervalSeconds[kAsciiIntervalIndex]);
    const MemoryMap map = MapOf(options.family);
    memory_[map.channelCount] = static_cast<std::uint8_t>(options.channels);
    memory_[map.intervalIndex] = kAsciiIntervalIndex;
    const std::string name = kvr::CutGbk(kvr::Utf8ToGbk(DeviceName(options.family)), 16);
    std::memcpy(memory_.data() + map.deviceName, name.data(), name.size());
    for (int c = 0; c < options.channels && c < 64; ++c) {
        const Bytes block = AsciiChannelBlock(options.seed, c);
        std::memcpy(memory_.data() + map.channelBlocks + 80u * static_cast<unsigned>(c),
                    block.data(), block.size());
    }
    // Totals: two 16-bit words per channel, low word first, each high byte first.
    for (int c = 0; c < options.channels && kTotals + 4u * static_cast<unsigned>(c) + 4 <= kNewest;
         ++c) {
        const std::uint32_t total = AsciiTotal(options.seed, c);
        std::uint8_t* at = memory_.data() + kTotals + 4 * c;
        at[0] = static_cast<std::uint8_t>(total >> 8);
        at[1] = static_cast<std::uint8_t>(total);
        at[2] = static_cast<std::uint8_t>(total >> 24);
        at[3] = static_cast<std::uint8_t>(total >> 16);
    }
    const kvr::Stamp stamp = kvr::TimeToStamp(newest_);
    kvr::WriteStamp(memory_.data() + kNewest, stamp);
    const std::uint32_t counter = options.records % kRingRecords;
    for (int i = 0; i < 4; ++i)  // little-endian
        memory_[kNewest + 6 + static_cast<unsigned>(i)] =
            static_cast<std::uint8_t>(counter >> (8 * i));
}

Bytes AsciiInstrument::RecordBytes(std::uint32_t index, unsigned count) const {
    Bytes bytes(count);
    for (unsigned i = 0; i < count; ++i)
        bytes[i] = RingByte(options_.seed, options_.channels, index + i);
    return bytes;
}

std::optional<Reply> AsciiInstrument::HandleAscii(const Request& request) {
    switch (request.function) {
        case 0x41: {
            const std::string id = Identification(options_);
            Bytes payload{static_cast<std::uint8_t>(id.size())};
            payload.insert(payload.end(), id.begin(), id.end());
            return Ok(request, std::move(payload));
        }
        case 0x03:
            if (request.body.size() != 4) return Exception(request, kIllegalValue);
            return Read(request, memory_, Word(request.body, 0), Word(request.body, 2));
        case 0x13: {
            if (request.body.size() != 4) return Exception(request, kIllegalValue);
            const std::uint32_t index = (static_cast<std::uint32_t>(request.body[0]) << 16) |
                                        (static_cast<std::uint32_t>(request.body[1]) << 8) |
                                        request.body[2];
            const unsigned count = request.body[3] == 0 ? 256u : request.body[3];
            Bytes payload{request.body[3]};
            const Bytes data = RecordBytes(index, count);
            payload.insert(payload.end(), data.begin(), data.end());
            return Ok(request, std::move(payload));
        }
        default: return Exception(request, kIllegalFunction);
    }
}

std::optional<Reply> AsciiInstrument::HandleRtu(const Request& request) {
    switch (request.function) {
        case 0x03:
            // The word count is in 16-bit words; the start is a byte address.
            return Read(request, memory_, Word(request.body, 0), Word(request.body, 2) * 2);
        case 0x13: {
            if (request.body.size() != 4) return Exception(request, kIllegalValue);
            const std::uint32_t index = (static_cast<std::uint32_t>(request.body[0]) << 24) |
                                        (static_cast<std::uint32_t>(request.body[1]) << 16) |
                                        (static_cast<std::uint32_t>(request.body[2]) << 8) |
                                        request.body[3];
            Bytes payload{0x00};
            const Bytes data = RecordBytes(index, 256);
            payload.insert(payload.end(), data.begin(), data.end());
            return Ok(request, std::move(payload));
        }
        case 0x14: {
            return StampReply(request, newest_);
        }
        default: return Exception(request, kIllegalFunction);
    }
}

std::optional<Reply> AsciiInstrument::Handle(const Request& request, kvr::Time) {
    return request.ascii ? HandleAscii(request) : HandleRtu(request);
}

}  // namespace kvrsim
