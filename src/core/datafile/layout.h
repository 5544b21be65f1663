#pragma once
// Byte layout of the main data-file format and of the configuration record offsets that
// the file layer itself decodes. Every offset of the layout lives here.
#include <cstddef>
#include <cstdint>

namespace kvr {

inline constexpr char kFamilyId[] = "QZK2TW";  // instrument family identification
inline constexpr int kMaxChannels = 64;        // in-memory descriptor slots
inline constexpr int kFileChannels = 6;        // every main-layout file has six
inline constexpr int kMaxTags = 255;           // the tag count is one byte

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
inline constexpr std::size_t kTrailerSize = 16;    // flow total, heat total (int64 each)
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

// Upload layouts U1 (channel-major ring) and U2 (record-major). Both begin with a header and
// N channel records of kChannelRecordSize bytes; their samples start at UploadSamplesOffset.
namespace upload {
inline constexpr std::size_t kHeaderSize = 0x140;  // U1 header; U2 blocks end here too
inline constexpr std::size_t kChannelRecordSize = 160;
inline constexpr std::size_t kU1ChannelRecords = 0x140;  // U1: right after its header
inline constexpr std::size_t kU2ChannelRecords = 0x080;  // U2: after identification + device
inline constexpr std::size_t kU2DeviceBlock = 0x040;
inline constexpr std::size_t kU2BlockA = 0x080;         // + N channel records
inline constexpr std::size_t kU2BlockB = 0x0C0;         // + N channel records
inline constexpr std::size_t kIdentificationSize = 16;  // U1 keeps the first 16 characters

constexpr std::uint64_t SamplesOffset(std::uint64_t channels) {
    return kHeaderSize + kChannelRecordSize * channels;
}

// U1 header fields
namespace u1 {
inline constexpr std::size_t kIdentification = 0x00;
inline constexpr std::size_t kDeviceName = 0x10;
inline constexpr std::size_t kStartStamp = 0x30;
inline constexpr std::size_t kEndStamp = 0x36;
inline constexpr std::size_t kAddress = 0x3C;
inline constexpr std::size_t kIntervalLow = 0x3D;
inline constexpr std::size_t kChannelCount = 0x3E;
inline constexpr std::size_t kReservedByte = 0x3F;
inline constexpr std::size_t kTagCount = 0x40;
inline constexpr std::size_t kXMode = 0x41;
inline constexpr std::size_t kYMode = 0x42;
inline constexpr std::size_t kYLow = 0x43;
inline constexpr std::size_t kYHigh = 0x47;
inline constexpr std::size_t kGridCount1 = 0x4B;
inline constexpr std::size_t kGridCount2 = 0x4C;
inline constexpr std::size_t kGridColor = 0x4D;
inline constexpr std::size_t kBackgroundColor = 0x51;
inline constexpr std::size_t kShowGrid = 0x55;
inline constexpr std::size_t kReserved1 = 0x56;
inline constexpr std::size_t kReserved2 = 0x5A;
inline constexpr std::size_t kCapacity = 0x5E;
inline constexpr std::size_t kSampleSize = 0x62;
inline constexpr std::size_t kChannelRecordSize = 0x63;
inline constexpr std::size_t kScientific = 0x65;
inline constexpr std::size_t kPieGridCount = 0x66;
inline constexpr std::size_t kPieTimeIndex = 0x67;
inline constexpr std::size_t kLabelShown = 0x68;  // 2 x 1
inline constexpr std::size_t kLabelValue = 0x6A;  // 2 x float
inline constexpr std::size_t kLabelName = 0x72;   // 2 x 11
inline constexpr std::size_t kLabelNameSize = 11;
}  // namespace u1

// U2 device block (relative to kU2DeviceBlock)
namespace u2 {
inline constexpr std::size_t kDeviceName = 0;
inline constexpr std::size_t kChannelCount = 32;
inline constexpr std::size_t kReservedByte = 33;
inline constexpr std::size_t kInterval = 34;
inline constexpr std::size_t kAddress = 36;
inline constexpr std::size_t kScientific = 37;
inline constexpr std::size_t kTagCount = 38;
inline constexpr std::size_t kXMode = 39;
}  // namespace u2

// Channel records: form R1 (32-bit base total) and form R2 (64-bit base total)
namespace channel {
inline constexpr std::size_t kName = 0x00;     // 32
inline constexpr std::size_t kUnit = 0x20;     // 16
inline constexpr std::size_t kText3 = 0x30;    // 16
inline constexpr std::size_t kTriples = 0x40;  // 7 x (triple, zero byte)
inline constexpr std::size_t kTripleStride = 4;
inline constexpr std::size_t kBaseTotal = 0x5C;
inline constexpr std::size_t kR1Color = 0x61;
inline constexpr std::size_t kR1ShowState = 0x65;
inline constexpr std::size_t kR1LineWidth = 0x66;
inline constexpr std::size_t kR1SignalType = 0x67;
inline constexpr std::size_t kR2Color = 0x64;
inline constexpr std::size_t kR2ShowState = 0x68;
inline constexpr std::size_t kR2LineWidth = 0x69;
inline constexpr std::size_t kR2SignalType = 0x6A;
}  // namespace channel
}  // namespace upload

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
