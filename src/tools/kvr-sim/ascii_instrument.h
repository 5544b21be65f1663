#pragma once
// An ASCII-identified instrument (families 0 and 1 of the model table): identification and
// settings over the ASCII framing, totals and record blocks over RTU, and a ring of
// 262144 records per channel whose write position is set from the command line.
#include "tools/kvr-sim/instrument.h"

namespace kvrsim {

class AsciiInstrument : public Instrument {
public:
    AsciiInstrument(const SimOptions& options, kvr::Time startTime);
    std::optional<Reply> Handle(const Request& request, kvr::Time now) override;

    struct MemoryMap {
        unsigned channelCount, intervalIndex, deviceName, channelBlocks;
    };
    static MemoryMap MapOf(Family family);
    static constexpr unsigned kTotals = 0x0040;
    static constexpr unsigned kNewest = 0x008E;  // time stamp, then the 32-bit record counter

private:
    std::optional<Reply> HandleAscii(const Request& request);
    std::optional<Reply> HandleRtu(const Request& request);
    Bytes RecordBytes(std::uint32_t index, unsigned count) const;

    SimOptions options_;
    std::vector<std::uint8_t> memory_;
    kvr::Time newest_;
};

}  // namespace kvrsim
