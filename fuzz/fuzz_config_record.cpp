// The configuration-record view and the three event logs over an image from the fuzzer:
// every decoder, every index a caller may pass (and a few it should not), at every format
// version. Input: a version selector, then the image.
#include <cstddef>
#include <cstdint>

#include "core/datafile/config_record.h"
#include "core/datafile/event_log.h"

namespace {

// Keeps the optimiser from dropping reads whose results are unused.
template <typename T>
void Use(const T& value) {
    asm volatile("" : : "r"(&value) : "memory");
}

void Use(const kvr::ConfigValue& v) { Use(v.value), Use(v.decimals); }

void DecodeEverything(const kvr::ConfigRecord& r) {
    Use(r.DeviceName());
    Use(r.RecordIntervalSeconds());
    Use(r.FlowElement()), Use(r.Medium()), Use(r.SquareRoot());
    Use(r.PipeMaterial()), Use(r.ThrottleMaterial());
    Use(r.PipeDiameter()), Use(r.ThrottleDiameter()), Use(r.AtmosphericPressure());
    Use(r.KSegmentCount()), Use(r.KFactorUnit());
    for (int i = -1; i <= 11; ++i) Use(r.Breakpoint(i)), Use(r.KValue(i));
    Use(r.DrynessOrHumidity()), Use(r.PipeExpansion()), Use(r.ThrottleExpansion());
    Use(r.StandardTemperatureCelsius()), Use(r.StandardDensity()), Use(r.Compressibility());
    Use(r.DischargeCoefficient()), Use(r.ExpansionCoefficient());
    for (int k = -1; k <= 8; ++k) {
        const kvr::InputChannelConfig input = r.Input(k);
        Use(input.tagName), Use(input.unit), Use(input.rangeHigh);
        Use(r.Alarm(k).hysteresis);
    }
    Use(r.OutageMakeUp()), Use(r.FlowUnit()), Use(r.FlowMultiplier());
    Use(r.SmallFlowThreshold()), Use(r.SmallFlowFixedValue()), Use(r.OverPlanThreshold());
    Use(r.OverPlanFactor()), Use(r.FlowTotalUnit()), Use(r.FlowCorrectionK()),
        Use(r.FlowCorrectionB());
    Use(r.FlowRange()), Use(r.HeatMakeUp()), Use(r.HeatEnabled()), Use(r.HeatDirection());
    Use(r.HeatMethod()), Use(r.HeatUnit()), Use(r.HeatMultiplier()), Use(r.SpecificHeat());
    Use(r.HeatTotalUnit()), Use(r.HeatRange()), Use(r.ShiftCount());
    for (int i = -1; i <= 4; ++i) Use(r.ShiftBoundary(i));
    Use(r.OutputSource()), Use(r.OutputK()), Use(r.OutputB()), Use(r.OutputRangeLow());
    Use(r.OutputRangeHigh()), Use(r.Address()), Use(r.BaudRate()), Use(r.Parity());
    Use(r.ByteOrder()), Use(r.TimedPrinting()), Use(r.PrintStartHour()), Use(r.PrintStartMinute());
    Use(r.PrintIntervalHours()), Use(r.PrintIntervalMinutes()), Use(r.PrintOnKey());
    for (int g = -1; g <= kvr::cfg::kGasCount; ++g) Use(r.GasFraction(g));
    for (int row = -1; row <= kvr::cfg::kMediumRows; ++row) Use(r.UserMedium(row).density);

    const kvr::PowerFailureLog power = kvr::ReadPowerFailureLog(r);
    for (const auto& e : power.entries) Use(e.powerOn.time);
    for (const auto& e : kvr::ReadAlarmLog(r)) Use(e.kind), Use(e.channel);
    for (const auto& e : kvr::ReadOperationLog(r)) Use(e.text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    static constexpr int kVersions[] = {1002, 1003, 1004, 1005, 0};
    const int version = kVersions[data[0] % 5];
    // The image is exactly as long as the input, so that the sanitizer sees any read past it.
    const kvr::ConfigRecord record(data + 1, size - 1, version);
    DecodeEverything(record);
    for (int start : {-1, 0, 49, 50, static_cast<int>(data[0])})
        for (int count : {-1, 0, 1, 50, 51}) Use(kvr::LogSlots(start, count, 30).size());
    return 0;
}
