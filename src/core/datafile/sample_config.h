#pragma once
// The instrument behind the sample files: its configuration image (settings and the logs of
// its history before the recording), and the random numbers that image and the curves draw.
#include <cstdint>
#include <cstring>
#include <random>

#include "core/datafile/sample_file.h"

namespace kvr::sample {

inline constexpr Time kDay = 86400;
inline constexpr Time kHour = 3600;
inline constexpr float kDifferentialPressureRange = 40.0f;  // kPa
inline constexpr float kFlowRange = 20.0f;                  // t/h

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

// Fills a zeroed configuration image with the settings and logs of options.version.
void WriteConfiguration(std::uint8_t* config, const SampleOptions& options, Random& random);

}  // namespace kvr::sample
