#include "tools/kvr-sim/instrument_content.h"

#include <cstdio>
#include <cstring>

#include "core/datafile/gbk.h"
#include "core/datafile/layout.h"
#include "core/datafile/sample_file.h"

namespace kvrsim {

namespace {

void PutText(Bytes& block, std::size_t at, std::size_t room, const std::string& utf8) {
    const std::string gbk = kvr::CutGbk(kvr::Utf8ToGbk(utf8), room - 1);
    std::memcpy(block.data() + at, gbk.data(), gbk.size());
}

void PutTriple(Bytes& block, std::size_t at, std::int16_t mantissa, std::uint8_t decimals) {
    const auto bits = static_cast<std::uint16_t>(mantissa);
    block[at] = static_cast<std::uint8_t>(bits & 0xFF);
    block[at + 1] = static_cast<std::uint8_t>(bits >> 8);
    block[at + 2] = decimals;
}

std::uint32_t Mix(std::uint32_t x) {
    x ^= x >> 16;
    x *= 0x7FEB352Du;
    x ^= x >> 15;
    x *= 0x846CA68Bu;
    x ^= x >> 16;
    return x;
}

}  // namespace

int DefaultFirmware(Family family) {
    return family == Family::kRtu ? 1009 : family == Family::kRealtime ? 1010 : 0;
}

int FirmwareOf(const SimOptions& options) {
    return options.firmware > 0 ? options.firmware : DefaultFirmware(options.family);
}

std::string Identification(const SimOptions& options) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%04d", FirmwareOf(options) % 10000);
    switch (options.family) {
        case Family::kRealtime: return std::string("QZK2TW") + digits;
        case Family::kAscii0: return "QDV0003";
        case Family::kAscii1: return "QDV0001B";
        case Family::kRtu:
            // Character 3 '2' marks layout P, character 4 'L' layout L; character 6 (the
            // firmware's first digit) gives the width of the totals.
            if (options.layout == 'L') return std::string("QZK3LV") + digits;
            if (options.layout == 'M') return std::string("QZK3MV") + digits;
            return std::string("QZK2PV") + digits;
    }
    return {};
}

kvr::Time NewestTime(kvr::Time now, int interval) { return now - now % interval; }

std::uint16_t RingSample(std::uint32_t seed, int channel, std::uint32_t pos) {
    // 40503 is odd, so 65536 neighbouring positions of one channel never repeat a value.
    return static_cast<std::uint16_t>(pos * 40503u + static_cast<std::uint32_t>(channel) * 9973u +
                                      seed * 131u);
}

std::uint8_t RingByte(std::uint32_t seed, int channels, std::uint32_t index) {
    const std::uint32_t slot = index / 2;
    const auto channel = static_cast<int>(slot / kRingRecords);
    if (channel >= channels) return 0;
    const std::uint16_t sample = RingSample(seed, channel, slot % kRingRecords);
    return index % 2 == 0 ? static_cast<std::uint8_t>(sample >> 8)
                          : static_cast<std::uint8_t>(sample);
}

std::uint16_t TimedSample(std::uint32_t seed, int channel, std::int64_t recordNumber) {
    const auto n = static_cast<std::uint32_t>(recordNumber);
    return static_cast<std::uint16_t>(
        Mix(n * 2654435761u ^ (static_cast<std::uint32_t>(channel) << 24) ^ seed));
}

std::uint32_t AsciiTotal(std::uint32_t seed, int channel) {
    return 0x00012345u + static_cast<std::uint32_t>(channel) * 0x01010101u + seed * 7u;
}

std::uint64_t RtuTotal(std::uint32_t seed, int channel) {
    // Above 2^32, so a 64-bit total shows its high words.
    return 0x0000001234560000ull + static_cast<std::uint64_t>(channel) * 0x0001000100010001ull +
           seed;
}

ChannelContent Channel(std::uint32_t seed, int channel) {
    static const char* const names[] = {"差压", "压力", "温度", "流量",
                                        "热量", "液位", "电导", "PH值"};
    static const char* const units[] = {"kPa", "MPa", "℃", "t/h", "GJ", "m", "uS/cm", "pH"};
    ChannelContent c;
    c.name = names[channel % 8];
    if (channel >= 8) c.name += std::to_string(channel / 8);
    c.unit = units[channel % 8];
    const auto k = static_cast<std::int16_t>(channel);
    c.mantissa = {static_cast<std::int16_t>(channel % 3 == 2 ? -200 : 0),
                  static_cast<std::int16_t>(1000 + 100 * k + static_cast<std::int16_t>(seed % 7)),
                  50,
                  100,
                  static_cast<std::int16_t>(900 + 10 * k),
                  static_cast<std::int16_t>(950 + 10 * k),
                  static_cast<std::int16_t>(5 + k % 4)};
    const std::uint8_t d = channel % 2 == 0 ? 1 : 2;
    c.decimals = {d, d, d, d, d, d, d};
    c.signalType = channel == 1 ? 1 : channel % 3 == 2 ? 80 : 0;
    c.logLowDecimals = 0xFD;  // 10^-3
    c.logHighDecimals = 2;
    return c;
}

Bytes AsciiChannelBlock(std::uint32_t seed, int channel) {
    const ChannelContent c = Channel(seed, channel);
    Bytes block(80, 0);
    PutText(block, 0, 12, c.name);
    PutText(block, 12, 16, c.unit);
    // range low, range high, low-low, low, high, high-high, hysteresis
    for (int i = 0; i < 7; ++i)
        PutTriple(block, 0x22 + 3 * static_cast<std::size_t>(i), c.mantissa[i], c.decimals[i]);
    block[0x3B] = c.signalType;
    return block;
}

Bytes RtuChannelBlock(std::uint32_t seed, int channel, char layout) {
    const ChannelContent c = Channel(seed, channel);
    Bytes block(80, 0);
    PutText(block, 1, 16, c.name);
    PutText(block, 0x11, 16, c.unit);
    const std::size_t triples = layout == 'L' ? 0x22 : 0x23;
    for (int i = 0; i < 7; ++i)
        PutTriple(block, triples + 3 * static_cast<std::size_t>(i), c.mantissa[i], c.decimals[i]);
    if (layout != 'L') {
        block[0x22] = c.signalType;
        block[0x38] = c.logLowDecimals;
        block[0x39] = c.logHighDecimals;
    }
    return block;
}

std::array<std::uint8_t, 6> RtuGroupCounts(int channels) {
    // The last of the first group's channels is left out, so the show states differ.
    const int first = channels > 1 ? channels - 1 : channels;
    return {static_cast<std::uint8_t>(first > 8 ? 8 : first),           0, 0,
            static_cast<std::uint8_t>(channels > 8 ? channels - 8 : 0), 0, 0};
}

std::string DeviceName(Family family) {
    return family == Family::kRtu ? "2#热网计量" : "1#蒸汽流量计";
}

int SettingsLength(int firmware) {
    if (firmware < 1006) return 0x4F0;
    if (firmware < 1010) return 0x590;
    return 0x630;
}

std::vector<std::uint8_t> RealtimeImage(int firmware, std::uint32_t seed, int address) {
    kvr::SampleOptions sample;
    sample.records = 2;
    sample.version = 1004;  // the whole record; older firmware simply has less of it
    sample.tags = 0;
    sample.seed = seed;
    const std::vector<std::uint8_t> file = kvr::BuildSampleImage(sample);
    std::vector<std::uint8_t> image(kvr::kConfigSize1004, 0);
    if (file.size() >= kvr::kConfigOffset + image.size())
        std::memcpy(image.data(), file.data() + kvr::kConfigOffset, image.size());
    const int settings = SettingsLength(firmware);
    std::memset(image.data() + settings, 0, 0x630 - static_cast<std::size_t>(settings));
    image[kvr::cfg::kAddress] = static_cast<std::uint8_t>(address);
    return image;
}

}  // namespace kvrsim
