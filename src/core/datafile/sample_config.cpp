#include "core/datafile/sample_config.h"

#include <array>

#include "core/datafile/config_record.h"
#include "core/datafile/file_codec.h"
#include "core/datafile/gbk.h"
#include "core/datafile/layout.h"
#include "core/datafile/triple.h"

namespace kvr::sample {
namespace {

// Writes fields into a configuration image.
class ConfigWriter {
public:
    explicit ConfigWriter(std::uint8_t* image) : image_(image) {}
    void Byte(std::size_t offset, int value) { image_[offset] = static_cast<std::uint8_t>(value); }
    void Word(std::size_t offset, int value) {
        Store(image_ + offset, static_cast<std::uint16_t>(value));
    }
    void DoubleWord(std::size_t offset, std::uint32_t value) { Store(image_ + offset, value); }
    void Float(std::size_t offset, float value) { Store(image_ + offset, value); }
    void Value(std::size_t offset, std::size_t decimalsOffset, float value, int decimals) {
        Float(offset, value);
        Byte(decimalsOffset, decimals);
    }
    void Triple(std::size_t offset, float value, int decimals) {
        DecimalTriple::Encode(value, decimals).Write(image_ + offset);
    }
    void Text(std::size_t offset, std::size_t size, const std::string& utf8) {
        WriteGbkField(reinterpret_cast<char*>(image_ + offset), size, utf8, size - 1);
    }
    void Stamp(std::size_t offset, Time t) { WriteStamp(image_ + offset, TimeToStamp(t)); }

private:
    std::uint8_t* image_;
};

// What the three input channels look like: range, alarms, curve.
struct InputModel {
    const char* tagName;
    const char* unit;
    int signalType;
    int breakHandling;
    float rangeLow, rangeHigh;
    int decimals;
    float lowLow, low, high, highHigh, hysteresis;
    float emergency;
};

constexpr std::array<InputModel, 3> kInputs = {{
    {"PDT101差压", "kPa", 1, 0, 0.0f, kDifferentialPressureRange, 2, 1.0f, 2.0f, 35.0f, 38.0f, 0.5f,
     10.0f},
    {"PT101压力", "MPa", 1, 3, 0.0f, 1.6f, 3, 0.4f, 0.6f, 1.3f, 1.45f, 0.02f, 1.0f},
    {"TT101温度", "℃", 3, 2, 0.0f, 400.0f, 1, 180.0f, 200.0f, 300.0f, 330.0f, 2.0f, 250.0f},
}};

constexpr float kHeatRange = 60.0f;  // GJ/h

int IntervalCode(int seconds) {
    static constexpr std::array<int, 7> intervals = {60, 120, 300, 600, 1200, 1800, 3600};
    for (std::size_t i = 0; i < intervals.size(); ++i)
        if (intervals[i] == seconds) return static_cast<int>(i);
    return 0;
}

void WriteSettings(ConfigWriter& w, const SampleOptions& o) {
    w.Text(cfg::kDeviceName, cfg::kDeviceNameEnd, "1#锅炉蒸汽总管");
    w.Byte(cfg::kRecordIntervalCode, IntervalCode(o.interval));
    w.Byte(cfg::kFlowElement, 0);  // orifice, flange taps
    w.Byte(cfg::kMedium, 2);       // superheated steam
    w.Byte(cfg::kSquareRoot, 0);
    w.Byte(cfg::kPipeMaterial, 3);
    w.Byte(cfg::kThrottleMaterial, 11);
    w.Value(cfg::kPipeDiameter, cfg::kPipeDiameterDecimals, 150.0f, 1);
    w.Value(cfg::kThrottleDiameter, cfg::kThrottleDiameterDecimals, 95.12f, 2);
    w.Value(cfg::kAtmospheric, cfg::kAtmosphericDecimals, 0.1013f, 4);
    w.Triple(cfg::kPipeExpansion, 11.16f, 2);
    w.Triple(cfg::kThrottleExpansion, 16.6f, 1);
    w.Value(cfg::kDischarge, cfg::kDischargeDecimals, 0.6025f, 4);
    w.Value(cfg::kExpansion, cfg::kExpansionDecimals, 0.9987f, 4);

    for (int k = 0; k < 3; ++k) {
        const InputModel& m = kInputs[static_cast<std::size_t>(k)];
        const std::size_t base = cfg::kInputBase + cfg::kInputStride * static_cast<std::size_t>(k);
        w.Text(base + cfg::kInputTagName, cfg::kInputTagSize, m.tagName);
        w.Byte(base + cfg::kInputMode, 1);
        w.Byte(base + cfg::kInputSignalType, m.signalType);
        w.Text(base + cfg::kInputUnit, cfg::kInputUnitSize, m.unit);
        w.Byte(base + cfg::kInputFilter, 10);
        w.Byte(base + cfg::kInputBreakHandling, m.breakHandling);
        w.Float(base + cfg::kInputCutoff, 5.0f);
        w.Value(base + cfg::kInputFixed, base + cfg::kInputFixedDecimals, 0.0f, m.decimals);
        w.Value(base + cfg::kInputEmergency, base + cfg::kInputEmergencyDecimals, m.emergency,
                m.decimals);
        w.Value(base + cfg::kInputRangeLow, base + cfg::kInputRangeLowDecimals, m.rangeLow,
                m.decimals);
        w.Value(base + cfg::kInputRangeHigh, base + cfg::kInputRangeHighDecimals, m.rangeHigh,
                m.decimals);
        w.Value(base + cfg::kInputK, base + cfg::kInputKDecimals, 1.0f, 3);
        w.Value(base + cfg::kInputB, base + cfg::kInputBDecimals, 0.0f, 3);

        const std::size_t alarm = cfg::kAlarmBase + cfg::kAlarmStride * static_cast<std::size_t>(k);
        w.Value(alarm + cfg::kAlarmHighHigh, alarm + cfg::kAlarmHighHighDecimals, m.highHigh,
                m.decimals);
        w.Value(alarm + cfg::kAlarmHigh, alarm + cfg::kAlarmHighDecimals, m.high, m.decimals);
        w.Value(alarm + cfg::kAlarmLow, alarm + cfg::kAlarmLowDecimals, m.low, m.decimals);
        w.Value(alarm + cfg::kAlarmLowLow, alarm + cfg::kAlarmLowLowDecimals, m.lowLow, m.decimals);
        w.Value(alarm + cfg::kAlarmHysteresis, alarm + cfg::kAlarmHysteresisDecimals, m.hysteresis,
                m.decimals);
    }

    w.Value(cfg::kOutageMakeUp, cfg::kOutageDecimals, 10.0f, 1);
    w.Byte(cfg::kFlowUnit, 1);  // t/h
    w.Value(cfg::kFlowMultiplier, cfg::kFlowMultiplierDecimals, 1.0f, 2);
    w.Value(cfg::kSmallFlowThreshold, cfg::kSmallFlowDecimals, 0.5f, 2);
    w.Float(cfg::kSmallFlowFixed, 0.0f);
    w.Value(cfg::kOverPlanThreshold, cfg::kOverPlanDecimals, 18.0f, 2);
    w.Float(cfg::kOverPlanFactor, 1.5f);

    w.Value(cfg::kHeatMakeUp, cfg::kHeatMakeUpDecimals, 0.0f, 2);
    w.Byte(cfg::kHeatEnabled, 1);
    w.Byte(cfg::kHeatDirection, 0);
    w.Byte(cfg::kHeatMethod, 0);
    w.Byte(cfg::kHeatUnit, 2);  // GJ
    w.Value(cfg::kHeatMultiplier, cfg::kHeatMultiplierDecimals, 1.0f, 2);
    w.Value(cfg::kSpecificHeat, cfg::kSpecificHeatDecimals, 2.08f, 3);
    w.Byte(cfg::kHeatTotalUnit, 2);

    w.Byte(cfg::kShiftCount, 3);
    w.Byte(cfg::kShiftBoundaries + 0, 8);
    w.Byte(cfg::kShiftBoundaries + 1, 16);
    w.Byte(cfg::kShiftBoundaries + 2, 0);

    w.Byte(cfg::kOutputSource, 1);
    w.Value(cfg::kOutputLow, cfg::kOutputLowDecimals, 0.0f, 1);
    w.Value(cfg::kOutputHigh, cfg::kOutputHighDecimals, kFlowRange, 1);
    w.Value(cfg::kOutputK, cfg::kOutputKDecimals, 1.0f, 3);
    w.Value(cfg::kOutputB, cfg::kOutputBDecimals, 0.0f, 3);

    w.Byte(cfg::kAddress, 1);
    w.Byte(cfg::kBaudRate, 3);  // 9600
    w.Byte(cfg::kParity, 0);
    w.Byte(cfg::kByteOrder, 0);
    w.Byte(cfg::kTimedPrinting, 1);
    w.Byte(cfg::kPrintStart, 8);
    w.Byte(cfg::kPrintStart + 1, 0);
    w.Byte(cfg::kPrintInterval, 8);
    w.Byte(cfg::kPrintInterval + 1, 0);
    w.Byte(cfg::kPrintOnKey, 1);
}

void WriteVersionedSettings(ConfigWriter& w, int version) {
    if (version >= 1003) {
        w.Value(cfg::kFlowK, cfg::kFlowKDecimals, 1.0f, 3);
        w.Value(cfg::kFlowB, cfg::kFlowBDecimals, 0.0f, 3);
        // A natural gas composition: the instrument keeps it even when measuring steam.
        static constexpr std::array<float, cfg::kGasCount> fractions = {
            0.0f, 2.1f,  0.0f, 0.0f, 0.0f,  0.0f, 0.0f, 1.05f, 0.0f,
            0.0f, 92.5f, 3.2f, 0.8f, 0.35f, 0.0f, 0.0f, 0.0f,  0.0f};
        for (std::size_t g = 0; g < fractions.size(); ++g)
            w.Value(cfg::kGasFractions + 4 * g, cfg::kGasDecimals + g, fractions[g], 2);
    }
    if (version >= 1004) {
        w.Byte(cfg::kFlowTotalUnit, 1);  // t
        w.Value(cfg::kFlowRange, cfg::kFlowRangeDecimals, kFlowRange, 1);
        w.Value(cfg::kHeatRange, cfg::kHeatRangeDecimals, kHeatRange, 1);
        // Water: temperature, density, specific heat.
        static constexpr std::array<float, cfg::kMediumRows> densities = {
            999.8f, 999.7f, 998.2f, 995.7f, 992.2f, 988.0f, 983.2f, 977.8f, 971.8f, 965.3f};
        for (std::size_t r = 0; r < densities.size(); ++r) {
            w.Value(cfg::kMediumTemperatures + 4 * r, cfg::kMediumTemperatureDecimals + r,
                    10.0f * static_cast<float>(r), 1);
            w.Value(cfg::kMediumDensities + 4 * r, cfg::kMediumDensityDecimals + r, densities[r],
                    1);
            w.Value(cfg::kMediumSpecificHeats + 4 * r, cfg::kMediumSpecificHeatDecimals + r,
                    4.18f + 0.002f * static_cast<float>(r), 3);
        }
    }
}

// The logs hold the instrument's history before the recording starts.
void WriteLogs(ConfigWriter& w, Time start, Random& random) {
    // Power failures: 6 listed of 23 counted.
    constexpr int powerEntries = 6;
    std::uint32_t outage = 0;
    for (int i = 0; i < powerEntries; ++i) {
        const Time off =
            start - (powerEntries - i) * 3 * kDay + random.Below(static_cast<int>(kDay));
        const auto length = static_cast<Time>(120 + random.Below(7200));
        const std::size_t entry =
            cfg::kPowerLogEntries + cfg::kLogEntrySize * static_cast<std::size_t>(i);
        w.Stamp(entry, off);
        w.Stamp(entry + 6, off + length);
        outage += static_cast<std::uint32_t>(length);
    }
    w.Word(cfg::kPowerLog, 0);
    w.Word(cfg::kPowerLog + 2, powerEntries);
    w.Word(cfg::kPowerLogTotalCount, 23);
    w.DoubleWord(cfg::kPowerLogTotalSeconds, outage + 86400 + 3 * 3600 + 17 * 60);

    // Alarms: the ring has wrapped; the oldest entry sits at the start index.
    constexpr int alarmStart = 17;
    for (int i = 0; i < cfg::kLogCapacity; ++i) {
        const int slot = (alarmStart + i) % cfg::kLogCapacity;
        const std::size_t entry =
            cfg::kAlarmLogEntries + cfg::kLogEntrySize * static_cast<std::size_t>(slot);
        const Time raised =
            start - (cfg::kLogCapacity - i) * 9 * kHour + random.Below(4 * static_cast<int>(kHour));
        const bool active = i == cfg::kLogCapacity - 1;
        w.Stamp(entry, raised);
        if (!active) w.Stamp(entry + 6, raised + 300 + random.Below(5400));
        w.Byte(entry + 12, random.Below(3));
        w.Byte(entry + 13, 1 << random.Below(4));
        w.Byte(entry + 14, active ? 1 : 0);
    }
    w.Word(cfg::kAlarmLog, alarmStart);
    w.Word(cfg::kAlarmLog + 2, cfg::kLogCapacity);

    // Operations: 12 of them, within the stored part for every version.
    constexpr int operations = 12;
    for (int i = 0; i < operations; ++i) {
        const std::size_t entry =
            cfg::kOperationLogEntries + cfg::kLogEntrySize * static_cast<std::size_t>(i);
        w.Stamp(entry, start - (operations - i) * 2 * kDay + random.Below(static_cast<int>(kDay)));
        w.Word(entry + 6, random.Below(7));
    }
    w.Word(cfg::kOperationLog, 0);
    w.Word(cfg::kOperationLog + 2, operations);
}

}  // namespace

void WriteConfiguration(std::uint8_t* config, const SampleOptions& options, Random& random) {
    ConfigWriter writer(config);
    WriteSettings(writer, options);
    WriteVersionedSettings(writer, options.version);
    WriteLogs(writer, options.start, random);
}

}  // namespace kvr::sample
