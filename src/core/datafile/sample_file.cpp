#include "core/datafile/sample_file.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>

#include "core/datafile/config_record.h"
#include "core/datafile/cxfile.h"
#include "core/datafile/file_codec.h"
#include "core/datafile/gbk.h"
#include "core/datafile/layout.h"
#include "core/datafile/triple.h"

namespace kvr {
namespace {

constexpr int kMaxSampleRecords = 0x400000;
constexpr double kPi = 3.14159265358979323846;
constexpr Time kDay = 86400;
constexpr Time kHour = 3600;

// Distributions written out by hand: the standard library's may differ between
// implementations, and a sample must be the same file everywhere for a given seed.
class Random {
public:
    explicit Random(std::uint32_t seed) : engine_(seed) {}
    double Uniform() { return (engine_() >> 8) * (1.0 / 16777216.0); }  // [0, 1)
    double Uniform(double low, double high) { return low + (high - low) * Uniform(); }
    int Below(int n) { return static_cast<int>(Uniform() * n); }
    // Irwin-Hall: close enough to a standard normal for instrument noise.
    double Normal() {
        double sum = 0.0;
        for (int i = 0; i < 12; ++i) sum += Uniform();
        return sum - 6.0;
    }

private:
    std::mt19937 engine_;
};

template <typename T>
void Store(std::uint8_t* at, T value) {
    std::memcpy(at, &value, sizeof value);
}

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
    {"PDT101差压", "kPa", 1, 0, 0.0f, 40.0f, 2, 1.0f, 2.0f, 35.0f, 38.0f, 0.5f, 10.0f},
    {"PT101压力", "MPa", 1, 3, 0.0f, 1.6f, 3, 0.4f, 0.6f, 1.3f, 1.45f, 0.02f, 1.0f},
    {"TT101温度", "℃", 3, 2, 0.0f, 400.0f, 1, 180.0f, 200.0f, 300.0f, 330.0f, 2.0f, 250.0f},
}};

constexpr float kFlowRange = 20.0f;  // t/h
constexpr float kHeatRange = 60.0f;  // GJ/h
constexpr double kEnthalpy = 2.93;   // GJ/t of the superheated steam

constexpr std::array<std::uint32_t, kFileChannels> kCurveColors = {
    0x000000FF, 0x0000C000, 0x00FF0000, 0x00FF00FF, 0x00C0C000, 0x0000C0C0};

std::string FirmwareFor(int version) {
    if (version <= 1002) return "1005";
    if (version == 1003) return "1009";
    return "1010";
}

std::size_t ConfigSizeOf(int version) {
    return static_cast<std::size_t>(ConfigSizeForVersion(version));
}

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

// Curves of one recording: a daily load cycle, a slow wander, noise and a few alarm
// excursions on the measured inputs.
class CurveModel {
public:
    CurveModel(const SampleOptions& o, Random& random) : options_(o), random_(random) {
        phase_ = random_.Uniform(0.0, 2.0 * kPi);
        const int excursions = std::min(5, 1 + o.records / 400);
        for (int i = 0; i < excursions; ++i) {
            Excursion e;
            e.channel = 1 + random_.Below(2);  // pressure or temperature
            e.up = random_.Uniform() < 0.6;
            e.length = std::max(3, o.records / 60);
            e.first = random_.Below(std::max(1, o.records - e.length));
            excursions_.push_back(e);
        }
    }

    // Samples of record r for the six channels.
    std::array<float, kFileChannels> Next(int r) {
        const double seconds = static_cast<double>(r) * options_.interval;
        const double load = std::sin(2.0 * kPi * seconds / kDay + phase_);
        wander_ = 0.995 * wander_ + 0.02 * random_.Normal();
        const double flow = std::max(0.0, 12.0 + 3.0 * load + wander_ + 0.08 * random_.Normal());
        const double dp = kInputs[0].rangeHigh * (flow / kFlowRange) * (flow / kFlowRange);
        double pressure = 1.0 + 0.05 * load + 0.3 * wander_ / 3.0 + 0.003 * random_.Normal();
        double temperature = 250.0 + 6.0 * load + 0.3 * random_.Normal();
        for (const Excursion& e : excursions_) {
            if (r < e.first || r >= e.first + e.length) continue;
            const double shape = std::sin(kPi * (r - e.first + 0.5) / e.length);
            if (e.channel == 1) pressure += (e.up ? 0.45 : -0.55) * shape;
            if (e.channel == 2) temperature += (e.up ? 70.0 : -65.0) * shape;
        }
        const double heat = flow * kEnthalpy;
        return {static_cast<float>(dp + 0.05 * random_.Normal()),
                static_cast<float>(pressure),
                static_cast<float>(temperature),
                static_cast<float>(flow),
                static_cast<float>(flow * 1.012),
                static_cast<float>(heat)};
    }

private:
    struct Excursion {
        int channel = 1;
        bool up = true;
        int first = 0;
        int length = 1;
    };
    const SampleOptions& options_;
    Random& random_;
    double phase_ = 0.0;
    double wander_ = 0.0;
    std::vector<Excursion> excursions_;
};

Time HourOf(Time t) {
    CalendarFields f = SplitTime(t);
    f.minute = f.second = 0;
    return MakeTime(f);
}

std::string CheckOptions(const SampleOptions& o) {
    if (o.records < 1 || o.records > kMaxSampleRecords)
        return "the record count must be 1 to 4194304";
    if (o.interval < 1 || o.interval > 0xFFFF) return "the interval must be 1 to 65535 seconds";
    if (o.version < 1002 || o.version > 1004) return "the version must be 1002, 1003 or 1004";
    if (o.tags < 0 || o.tags > kMaxTags) return "the tag count must be 0 to 255";
    if (o.capacity < 0 || o.capacity > kMaxSampleRecords)
        return "the capacity must be 0 to 4194304";
    const Stamp first = TimeToStamp(o.start);
    const Stamp last = TimeToStamp(o.start + static_cast<Time>(o.records - 1) * o.interval);
    if (o.start < MakeTime({2000, 1, 1}) || !IsValidStamp(first.data()) ||
        !IsValidStamp(last.data()))
        return "the recording must lie between 2000 and 2099";
    return {};
}

void WriteSegment(std::uint8_t* block, Time first, Time last, std::uint32_t count,
                  std::uint8_t byte18) {
    SegmentDescriptor segment;
    segment.firstStamp = TimeToStamp(first);
    segment.lastStamp = TimeToStamp(last);
    segment.count = count;
    segment.byte18 = byte18;
    codec::EncodeSegment(segment, block);
}

void WriteBlockA(std::uint8_t* a, const SampleOptions& o, int tags) {
    FileHeader header;
    header.xMode = o.xMode;
    header.yMode = o.yMode;
    header.yLow = o.yLow;
    header.yHigh = o.yHigh;
    header.gridCount1 = o.gridVertical;
    header.gridCount2 = o.gridHorizontal;
    header.gridColor = o.gridColor;
    header.backgroundColor = o.backgroundColor;
    header.showGrid = o.showGrid;
    for (std::size_t c = 0; c < kFileChannels; ++c) {
        header.channels[c].color = kCurveColors[c];
        header.channels[c].showState = 1;
        header.channels[c].lineWidth = 1;
    }
    header.tagCount = static_cast<std::uint8_t>(tags);
    header.interval = o.interval;
    codec::EncodeBlockA(header, a);
}

}  // namespace

float RampSample(int channel, int record) { return static_cast<float>(channel * 1000 + record); }

std::vector<std::uint8_t> BuildSampleImage(const SampleOptions& o, std::string* error) {
    const std::string problem = CheckOptions(o);
    if (!problem.empty()) {
        if (error) *error = problem;
        return {};
    }
    Random random(o.seed);
    const std::size_t configSize = ConfigSizeOf(o.version);
    const auto capacity = static_cast<std::size_t>(o.capacity > 0 ? o.capacity : o.records);
    const Time end = o.start + static_cast<Time>(o.records - 1) * o.interval;
    const Time firstHour = HourOf(o.start);
    const auto hours = static_cast<std::size_t>((HourOf(end) - firstHour) / kHour + 1);

    const std::size_t recordArea = kHeaderSize + configSize;
    const std::size_t hourlyArea = recordArea + kFileChannels * 4 * capacity;
    const std::size_t tagArea = hourlyArea + 8 * hours;
    std::vector<std::uint8_t> image(tagArea + 4 * static_cast<std::size_t>(o.tags), 0);

    const std::string identification =
        std::string(kFamilyId) + FirmwareFor(o.version) + "KVR" + std::to_string(o.version);
    std::memcpy(image.data(), identification.data(), identification.size());
    WriteBlockA(image.data() + kBlockAOffset, o, o.tags);
    WriteSegment(image.data() + kBlockBOffset, o.start, end, static_cast<std::uint32_t>(capacity),
                 4);
    WriteSegment(image.data() + kBlockCOffset, firstHour,
                 firstHour + static_cast<Time>(hours - 1) * kHour,
                 static_cast<std::uint32_t>(hours), 0);

    std::array<std::uint8_t, kConfigMaxSize> config{};
    ConfigWriter writer(config.data());
    WriteSettings(writer, o);
    WriteVersionedSettings(writer, o.version);
    WriteLogs(writer, o.start, random);
    std::memcpy(image.data() + kConfigOffset, config.data(), configSize);

    // Samples, and the flow and heat of every hour from them (hundredths of t and GJ).
    CurveModel model(o, random);
    std::vector<double> hourFlow(hours, 0.0), hourHeat(hours, 0.0);
    for (int r = 0; r < o.records; ++r) {
        std::array<float, kFileChannels> samples = model.Next(r);
        const Time t = o.start + static_cast<Time>(r) * o.interval;
        const auto hour = static_cast<std::size_t>((t - firstHour) / kHour);
        hourFlow[hour] += samples[3] * o.interval / 3600.0;
        hourHeat[hour] += samples[5] * o.interval / 3600.0;
        if (o.sample)
            for (int c = 0; c < kFileChannels; ++c)
                samples[static_cast<std::size_t>(c)] = o.sample(c, r);
        if (static_cast<std::size_t>(r) >= capacity) continue;
        std::memcpy(image.data() + recordArea + kFileChannels * 4 * static_cast<std::size_t>(r),
                    samples.data(), sizeof samples);
    }
    std::int64_t flowTotal = 123456789, heatTotal = 361728394;  // the instrument's totals before
    for (std::size_t k = 0; k < hours; ++k) {
        const auto flow = static_cast<std::int64_t>(std::llround(hourFlow[k] * 100.0));
        const std::int64_t stored = o.hourly ? o.hourly(static_cast<int>(k)) : flow;
        Store(image.data() + hourlyArea + 8 * k, stored);
        flowTotal += flow;
        heatTotal += std::llround(hourHeat[k] * 100.0);
    }
    Store(image.data() + kConfigOffset + configSize, flowTotal);
    Store(image.data() + kConfigOffset + configSize + 8, heatTotal);

    for (int j = 0; j < o.tags; ++j) {
        const Time tag =
            o.start +
            static_cast<Time>((j + 1) * static_cast<std::int64_t>(o.records) / (o.tags + 1)) *
                o.interval;
        Store(image.data() + tagArea + 4 * static_cast<std::size_t>(j),
              static_cast<std::int32_t>(tag));
    }
    return image;
}

bool WriteSampleFile(const std::string& path, const SampleOptions& options, std::string* error) {
    const std::vector<std::uint8_t> image = BuildSampleImage(options, error);
    if (image.empty()) return false;
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(image.data()),
                  static_cast<std::streamsize>(image.size()));
        out.flush();
        if (!out) {
            if (error) *error = "cannot write " + path;
            return false;
        }
    }
    CXFile check;
    if (check.Open(path) != 1 || check.GetRecordCount() != options.records) {
        if (error) *error = "the file written to " + path + " does not open as a data file";
        return false;
    }
    return true;
}

}  // namespace kvr
