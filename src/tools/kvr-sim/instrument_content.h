#pragma once
// What the simulated instruments hold, as deterministic functions of the options, so that
// tests can compute the bytes an upload must produce.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/datafile/time.h"
#include "tools/kvr-sim/sim_codec.h"
#include "tools/kvr-sim/sim_options.h"

namespace kvrsim {

inline constexpr std::uint32_t kRingRecords = 262144;  // per channel, ASCII families
inline constexpr int kAsciiIntervalIndex = 5;          // 30 s
inline constexpr int kRtuIntervalIndex = 6;            // 60 s
inline constexpr int kIntervalSeconds[9] = {1, 2, 5, 10, 15, 30, 60, 120, 240};

int DefaultFirmware(Family family);
int FirmwareOf(const SimOptions& options);
// The text the instrument answers to the identification request of its framing.
std::string Identification(const SimOptions& options);
// The newest record time: "now" floored to the record interval.
kvr::Time NewestTime(kvr::Time now, int interval);

// ASCII families: channel c's sample at ring position pos, and the two bytes it occupies in
// the instrument's record memory (high byte first).
std::uint16_t RingSample(std::uint32_t seed, int channel, std::uint32_t pos);
// The byte at a record-memory index: channel c's ring starts at 2 * c * kRingRecords.
std::uint8_t RingByte(std::uint32_t seed, int channels, std::uint32_t index);
// How a 16-bit sample sits in the instrument's record memory and replies.
inline std::array<std::uint8_t, 2> SampleBytes(std::uint16_t sample) {
    return {static_cast<std::uint8_t>(sample >> 8), static_cast<std::uint8_t>(sample & 0xFF)};
}
// RTU family: channel c's sample of the record n intervals after the newest (n <= 0).
std::uint16_t TimedSample(std::uint32_t seed, int channel, std::int64_t recordNumber);

// Cumulative totals: the 32-bit value of the ASCII families, the 64-bit value of the RTU
// family (whose 4-byte variant keeps the low 32 bits).
std::uint32_t AsciiTotal(std::uint32_t seed, int channel);
std::uint64_t RtuTotal(std::uint32_t seed, int channel);

struct ChannelContent {
    std::string name;  // UTF-8
    std::string unit;
    // range low, range high, alarm low-low, low, high, high-high, hysteresis:
    // 16-bit mantissa and decimals
    std::array<std::int16_t, 7> mantissa{};
    std::array<std::uint8_t, 7> decimals{};
    std::uint8_t signalType = 0;
    // decimals that stand for range low and high when the signal is logarithmic
    std::uint8_t logLowDecimals = 0, logHighDecimals = 0;
};
ChannelContent Channel(std::uint32_t seed, int channel);

// 80-byte channel blocks as the two memory maps hold them.
Bytes AsciiChannelBlock(std::uint32_t seed, int channel);
Bytes RtuChannelBlock(std::uint32_t seed, int channel, char layout);
// Group counts at 0xC01E: byte 0 the first group, byte 3 the second.
std::array<std::uint8_t, 6> RtuGroupCounts(int channels);
std::string DeviceName(Family family);  // UTF-8, at most 16 GBK bytes

// The realtime instrument's configuration record as the file of its firmware's version
// keeps it: 4048 bytes, settings beyond the version's length zero.
std::vector<std::uint8_t> RealtimeImage(int firmware, std::uint32_t seed, int address);
// Bytes of the settings area the firmware's version has: 0x4F0, 0x590 or 0x630.
int SettingsLength(int firmware);

}  // namespace kvrsim
