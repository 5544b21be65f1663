#pragma once
// An RTU-identified recorder: clock, parameters (channel count, interval, name, address,
// group counts, channel blocks in layout P, L or M), totals 4 or 8 bytes wide by the
// identification, and records read by time.
#include "tools/kvr-sim/instrument.h"

namespace kvrsim {

class RtuInstrument : public Instrument {
public:
    RtuInstrument(const SimOptions& options, kvr::Time startTime);
    std::optional<Reply> Handle(const Request& request, kvr::Time now) override;

    static constexpr unsigned kChannelCount = 0xC000;
    static constexpr unsigned kIntervalIndex = 0xC001;
    static constexpr unsigned kDeviceName = 0xC002;
    static constexpr unsigned kAddress = 0xC013;
    static constexpr unsigned kGroupCounts = 0xC01E;
    static constexpr unsigned kTotals = 0x0024;
    static unsigned BlockBase(char layout);
    // Width in bytes of one channel's total: 4 or 8, from character 6 of the identification.
    static int TotalWidth(const std::string& identification);

private:
    std::optional<Reply> RecordsAt(const Request& request) const;

    SimOptions options_;
    std::vector<std::uint8_t> params_;
    std::vector<std::uint8_t> memory_;
    kvr::Time newest_;
    int interval_;
};

}  // namespace kvrsim
