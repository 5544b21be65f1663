#pragma once
// Byte layout of the main data-file format and of the configuration record offsets that
// the file layer itself decodes. Every offset of the layout lives here.
#include <cstddef>
#include <cstdint>

namespace kvr {

inline constexpr char kFamilyId[] = "QZK2TW";  // instrument family identification
inline constexpr int kMaxChannels = 64;         // in-memory descriptor slots
inline constexpr int kFileChannels = 6;         // every main-layout file has six
inline constexpr int kMaxTags = 255;            // the tag count is one byte

inline constexpr int kConfigSize1002 = 0xE90;  // 3728
inline constexpr int kConfigSize1003 = 0xF30;  // 3888
inline constexpr int kConfigSize1004 = 0xFD0;  // 4048
inline constexpr int kConfigMaxSize = kConfigSize1004;

inline constexpr std::size_t kIdentificationOffset = 0x000;
inline constexpr std::size_t kIdentificationSize = 32;
inline constexpr std::size_t kBlockAOffset = 0x040;
inline constexpr std::size_t kBlockBOffset = 0x0C0;
inline constexpr std::size_t kBlockCOffset = 0x100;
inline constexpr std::size_t kConfigOffset = 0x140;
inline constexpr std::size_t kTrailerSize = 16;  // flow total, heat total (int64 each)
inline constexpr std::size_t kHeaderSize = 0x150;  // record area = kHeaderSize + S

// Block A (relative to kBlockAOffset)
namespace blockA {
inline constexpr std::size_t kXMode = 0x00;
inline constexpr std::size_t kYMode = 0x01;
inline constexpr std::size_t kYLow = 0x02;
inline constexpr std::size_t kYHigh = 0x06;
inline constexpr std::size_t kGridCount1 = 0x0A;
inline constexpr std::size_t kGridCount2 = 0x0C;
inline constexpr std::size_t kGridColor = 0x0E;
inline constexpr std::size_t kBackgroundColor = 0x12;
inline constexpr std::size_t kShowGrid = 0x16;
inline constexpr std::size_t kChannels = 0x17;  // 6 x (colour 4, show state 1, width 1)
inline constexpr std::size_t kChannelStride = 6;
inline constexpr std::size_t kTagCount = 0x3B;
inline constexpr std::size_t kXModeCopy = 0x3C;
inline constexpr std::size_t kInterval = 0x3D;
inline constexpr std::size_t kUsed = 63;
}  // namespace blockA

// Blocks B and C (relative to their block)
namespace segment {
inline constexpr std::size_t kFirstStamp = 0x00;
inline constexpr std::size_t kLastStamp = 0x06;
inline constexpr std::size_t kReserved1 = 0x0C;
inline constexpr std::size_t kReserved2 = 0x10;
inline constexpr std::size_t kCount = 0x14;
inline constexpr std::size_t kByte18 = 0x18;
inline constexpr std::size_t kByte19 = 0x19;
inline constexpr std::size_t kUsed = 26;
}  // namespace segment

// Configuration record offsets decoded by the file layer.
namespace cfg {
inline constexpr std::size_t kDeviceName = 0x000;
inline constexpr std::size_t kDeviceNameEnd = 0x01D;  // the name ends before this
inline constexpr std::size_t kInputBase = 0x0E0;      // + 0xA0 * channel
inline constexpr std::size_t kInputStride = 0xA0;
inline constexpr std::size_t kInputTagName = 0x00;  // 16 bytes, 15 characters
inline constexpr std::size_t kInputUnit = 0x12;
inline constexpr std::size_t kInputRangeLowDecimals = 0x26;
inline constexpr std::size_t kInputRangeHighDecimals = 0x27;
inline constexpr std::size_t kInputRangeLow = 0x38;
inline constexpr std::size_t kInputRangeHigh = 0x3C;
inline constexpr std::size_t kAlarmBase = 0x2C6;  // + 0x50 * channel
inline constexpr std::size_t kAlarmStride = 0x50;
inline constexpr std::size_t kFlowUnit = 0x3B1;
inline constexpr std::size_t kFlowRangeDecimals = 0x3D2;
inline constexpr std::size_t kFlowRange = 0x3DC;
inline constexpr std::size_t kHeatUnit = 0x3F4;
inline constexpr std::size_t kHeatRange = 0x404;
inline constexpr std::size_t kHeatRangeDecimals = 0x408;
inline constexpr std::size_t kAddress = 0x490;
}  // namespace cfg

inline constexpr unsigned kTempCapacity = 0x40000;  // 262144 records in "temp.tmp"
inline constexpr std::uint32_t kDefaultMappingSize = 0x800000;

// Size of the configuration block for a format version; 0 for a newer version.
constexpr int ConfigSizeForVersion(int version) {
    if (version < 1003) return kConfigSize1002;
    if (version == 1003) return kConfigSize1003;
    if (version == 1004) return kConfigSize1004;
    return 0;
}

}  // namespace kvr
