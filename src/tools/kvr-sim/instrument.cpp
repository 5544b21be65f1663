#include "tools/kvr-sim/instrument.h"

#include "tools/kvr-sim/ascii_instrument.h"
#include "tools/kvr-sim/realtime_instrument.h"
#include "tools/kvr-sim/rtu_instrument.h"

namespace kvrsim {

namespace {

// The largest read one reply may carry; the program asks for at most 256 bytes at a time.
constexpr unsigned kLargestRead = 2048;

}  // namespace

std::optional<Reply> Instrument::Read(const Request& request,
                                      const std::vector<std::uint8_t>& memory, unsigned start,
                                      unsigned length) {
    if (length == 0 || length > kLargestRead) return Exception(request, kIllegalValue);
    if (start + length > memory.size()) return Exception(request, kIllegalAddress);
    Bytes payload;
    payload.reserve(length + 1);
    payload.push_back(static_cast<std::uint8_t>(length & 0xFF));  // 256 goes out as 0
    payload.insert(payload.end(), memory.begin() + start, memory.begin() + start + length);
    return Ok(request, std::move(payload));
}

std::unique_ptr<Instrument> MakeInstrument(const SimOptions& options, kvr::Time startTime) {
    switch (options.family) {
        case Family::kRealtime: return std::make_unique<RealtimeInstrument>(options, startTime);
        case Family::kAscii0:
        case Family::kAscii1: return std::make_unique<AsciiInstrument>(options, startTime);
        case Family::kRtu: return std::make_unique<RtuInstrument>(options, startTime);
    }
    return nullptr;
}

}  // namespace kvrsim
