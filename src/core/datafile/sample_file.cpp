#include "core/datafile/sample_file.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "core/datafile/config_record.h"
#include "core/datafile/cxfile.h"
#include "core/datafile/file_codec.h"
#include "core/datafile/layout.h"
#include "core/datafile/sample_config.h"

namespace kvr {
namespace {

using sample::kDay;
using sample::kDifferentialPressureRange;
using sample::kFlowRange;
using sample::kHour;
using sample::Random;
using sample::Store;

constexpr int kMaxSampleRecords = 0x400000;
constexpr double kPi = 3.14159265358979323846;
constexpr double kEnthalpy = 2.93;  // GJ/t of the superheated steam

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
        const double dp = kDifferentialPressureRange * (flow / kFlowRange) * (flow / kFlowRange);
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

// The start of the local hour holding t. Counted back from t, not rebuilt from the wall
// clock: in the hour the clock repeats, that would name the first pass through it.
Time HourOf(Time t) {
    const CalendarFields f = SplitTime(t);
    return t - f.minute * 60 - f.second;
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
    sample::WriteConfiguration(config.data(), o, random);
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
