#include "tools/kvr-sim/realtime_instrument.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

#include "core/datafile/layout.h"
#include "tools/kvr-sim/instrument_content.h"

namespace kvrsim {

namespace {

// Where each log of the record sits in parameter memory.
struct Area {
    std::size_t imageOffset, length;
    unsigned address;
};
constexpr Area kAreas[] = {
    {0x000, 0x630, RealtimeInstrument::kSettings},
    {0x630, 0x340, RealtimeInstrument::kPowerLog},
    {0x970, 0x330, RealtimeInstrument::kAlarmLog},
    {0xCA0, 0x330, RealtimeInstrument::kOperationLog},
};

void PutInt64(std::uint8_t* at, std::int64_t value) {
    for (int i = 0; i < 8; ++i)
        at[i] = static_cast<std::uint8_t>(static_cast<std::uint64_t>(value) >> (8 * i));
}

void PutFloat(std::uint8_t* at, float value) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, 4);
    for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(bits >> (8 * i));
}

}  // namespace

RealtimeInstrument::RealtimeInstrument(const SimOptions& options, kvr::Time)
    : options_(options),
      image_(RealtimeImage(FirmwareOf(options), options.seed, options.address)),
      params_(0x10000, 0),
      memory_(0x10000, 0),
      started_(std::chrono::steady_clock::now()),
      noise_(options.seed) {
    for (const Area& area : kAreas)
        std::memcpy(params_.data() + area.address, image_.data() + area.imageOffset, area.length);
    flowTotal_ = 12345678.0 + options.seed;
    heatTotal_ = 2345678.0 + options.seed;
    UpdateLiveValues();
}

float RealtimeInstrument::ImageFloat(std::size_t offset, float fallback) const {
    float value = 0;
    std::memcpy(&value, image_.data() + offset, 4);
    return std::isfinite(value) && value > 0 ? value : fallback;
}

void RealtimeInstrument::UpdateLiveValues() {
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
    const double dt = seconds - lastSeconds_;
    lastSeconds_ = seconds;
    std::uniform_real_distribution<double> jitter(-0.01, 0.01);
    float values[6];
    // The three inputs wander slowly inside their ranges, each at its own pace.
    for (int k = 0; k < 3; ++k) {
        const std::size_t base =
            kvr::cfg::kInputBase + kvr::cfg::kInputStride * static_cast<std::size_t>(k);
        float low = 0;
        std::memcpy(&low, image_.data() + base + kvr::cfg::kInputRangeLow, 4);
        if (!std::isfinite(low)) low = 0;
        const float high = ImageFloat(base + kvr::cfg::kInputRangeHigh, low + 100.0f);
        const double phase = 2.0 * std::numbers::pi * seconds / (180.0 + 60.0 * k) + k;
        values[k] = static_cast<float>(low + (high - low) *
                                                 (0.55 + 0.25 * std::sin(phase) + jitter(noise_)));
    }
    const float flowRange = ImageFloat(kvr::cfg::kFlowRange, 20.0f);
    const float heatRange = ImageFloat(kvr::cfg::kHeatRange, 60.0f);
    // Flow follows the differential pressure; heat follows flow.
    const double load =
        0.6 + 0.2 * std::sin(2.0 * std::numbers::pi * seconds / 180.0) + jitter(noise_);
    values[3] = static_cast<float>(flowRange * load);
    values[4] = values[3] * 0.98f;
    values[5] = static_cast<float>(heatRange * load);
    if (dt > 0) {
        flowTotal_ += values[3] * dt / 3600.0 * 100.0;
        heatTotal_ += values[5] * dt / 3600.0 * 100.0;
    }
    WriteLiveValues(values, static_cast<std::int64_t>(flowTotal_),
                    static_cast<std::int64_t>(heatTotal_));
}

void RealtimeInstrument::CountLiveValues(int request) {
    // Exact in a float up to two million requests; both halves of each total carry the
    // number, so a total put together from two replies shows.
    float values[6];
    for (int c = 0; c < 6; ++c) values[c] = static_cast<float>(8 * request + c + 1);
    const std::int64_t flow = static_cast<std::int64_t>(request) * 0x100000001LL;
    WriteLiveValues(values, flow, 2 * flow);
}

void RealtimeInstrument::ApplyPatterns() {
    const long step = liveReads_++ / std::max(options_.patternHold, 1);
    for (const ValuePattern& pattern : options_.patterns) {
        if (pattern.values.empty() || pattern.channel < 0 || pattern.channel >= 6) continue;
        const float value = pattern.values[static_cast<std::size_t>(step) % pattern.values.size()];
        PutFloat(memory_.data() + kLiveValues + 4 * pattern.channel, value);
    }
}

void RealtimeInstrument::WriteLiveValues(const float* values, std::int64_t flow,
                                         std::int64_t heat) {
    std::uint8_t* live = memory_.data() + kLiveValues;
    for (int c = 0; c < 6; ++c) PutFloat(live + 4 * c, values[c]);
    // Version 1002 firmware keeps its totals four bytes further on.
    const std::size_t totals = FirmwareOf(options_) < 1006 ? 36 : 32;
    std::memset(live + 24, 0, kLiveLength - 24);
    PutInt64(live + totals, flow);
    PutInt64(live + totals + 8, heat);
}

std::optional<Reply> RealtimeInstrument::Handle(const Request& request, kvr::Time now) {
    if (request.ascii) return std::nullopt;  // this family speaks RTU only
    switch (request.function) {
        case 0x41: {
            return IdentificationReply(request, Identification(options_));
        }
        case 0x16: return Read(request, params_, Word(request.body, 0), Word(request.body, 2));
        case 0x03: {
            const unsigned start = Word(request.body, 0);
            const unsigned length = Word(request.body, 2) * 2;
            if (start < kLiveValues + kLiveLength && start + length > kLiveValues) {
                if (options_.counterValues)
                    CountLiveValues(request.number);
                else
                    UpdateLiveValues();
                ApplyPatterns();
            }
            return Read(request, memory_, start, length);
        }
        case 0x14: {
            const kvr::Stamp stamp = kvr::TimeToStamp(now);
            Bytes payload{6};
            payload.insert(payload.end(), stamp.begin(), stamp.end());
            return Ok(request, std::move(payload));
        }
        default: return Exception(request, kIllegalFunction);
    }
}

}  // namespace kvrsim
