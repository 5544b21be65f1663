#pragma once
// Sample data files with realistic, deterministic content: a steam line measured by an
// orifice (differential pressure, pressure, temperature, two flow channels and heat). Used
// by "kvrtool make-sample", the demo, the benchmarks and tests that need a file with known
// content.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/datafile/time.h"

namespace kvr {

// Where a sample starts unless told otherwise (local time).
inline constexpr CalendarFields kSampleStart{2026, 1, 5, 0, 0, 0};

struct SampleOptions {
    int records = 1440;
    int interval = 60;  // seconds, 1..65535
    Time start = MakeTime(kSampleStart);
    int version = 1004;  // 1002, 1003 or 1004
    int tags = 3;        // 0..255, spread evenly over the recording
    std::uint32_t seed = 1;
    // Records the record area holds (K); 0 means exactly `records`. A smaller capacity
    // stores only the first K records.
    int capacity = 0;

    // Display settings (block A).
    std::uint8_t xMode = 0;
    std::uint8_t yMode = 1;
    float yLow = 0.0f;
    float yHigh = 100.0f;
    std::uint16_t gridVertical = 12;
    std::uint16_t gridHorizontal = 10;
    std::uint32_t gridColor = 0x00808080;  // COLORREF
    std::uint32_t backgroundColor = 0x00000000;
    std::uint8_t showGrid = 1;

    // When set, replaces the generated curves: the sample of channel 0..5 at record r.
    std::function<float(int channel, int record)> sample;
    // When set, replaces the generated hourly totals (hundredths) of entry k.
    std::function<std::int64_t(int hour)> hourly;
};

// channel * 1000 + record: every sample distinct and exactly representable (records below
// 2^23), so tests can tell which record and channel a value came from.
float RampSample(int channel, int record);

// The complete file image; empty when the options are out of range (error says why).
std::vector<std::uint8_t> BuildSampleImage(const SampleOptions& options,
                                           std::string* error = nullptr);

// Writes the image to path and checks that it opens as a data file.
bool WriteSampleFile(const std::string& path, const SampleOptions& options,
                     std::string* error = nullptr);

}  // namespace kvr
