#pragma once
// An instrument of the realtime family: RTU identification with its firmware version, the
// configuration record in parameter memory (settings at 0xC000, the power-failure, alarm
// and operation logs at 0xD000, 0xE000, 0xF000), live values at 0x0100 that drift like a
// steam line does (or, for tests, count the requests or follow a script), and both running
// totals.
#include <chrono>

#include "tools/kvr-sim/instrument.h"

namespace kvrsim {

class RealtimeInstrument : public Instrument {
public:
    RealtimeInstrument(const SimOptions& options, kvr::Time startTime);
    std::optional<Reply> Handle(const Request& request, kvr::Time now) override;

    static constexpr unsigned kSettings = 0xC000;
    static constexpr unsigned kPowerLog = 0xD000;
    static constexpr unsigned kAlarmLog = 0xE000;
    static constexpr unsigned kOperationLog = 0xF000;
    static constexpr unsigned kLiveValues = 0x0100;
    static constexpr unsigned kLiveLength = 52;

private:
    void UpdateLiveValues();
    // The live values of --counter-values: the request's number in every one of them.
    void CountLiveValues(int request);
    // Puts the scripted values of --pattern over the live values, one step per read.
    void ApplyPatterns();
    void WriteLiveValues(const float* values, std::int64_t flow, std::int64_t heat);
    float ImageFloat(std::size_t offset, float fallback) const;

    SimOptions options_;
    std::vector<std::uint8_t> image_;
    std::vector<std::uint8_t> params_;
    std::vector<std::uint8_t> memory_;
    std::chrono::steady_clock::time_point started_;
    double lastSeconds_ = 0.0;
    double flowTotal_ = 0.0;  // hundredths
    double heatTotal_ = 0.0;
    std::mt19937 noise_;
    long liveReads_ = 0;
};

}  // namespace kvrsim
