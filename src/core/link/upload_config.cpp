#include "core/link/upload_config.h"

#include <cstring>
#include <iterator>

#include "core/datafile/layout.h"
#include "core/link/model_table.h"
#include "core/settings/display_defaults.h"

namespace kvr {

namespace {

constexpr int kBlockSize = 80;
constexpr int kDeviceNameLength = 17;

struct AsciiMap {
    std::uint16_t channelCount, deviceName, channelBlocks;
};
constexpr AsciiMap kAsciiMaps[2] = {{0x1013, 0x1023, 0x1040}, {0x1024, 0x1033, 0x1050}};
constexpr std::uint16_t kAsciiTotals = 0x0040;

constexpr std::uint16_t kRtuChannelCount = 0xC000;
constexpr std::uint16_t kRtuIntervalIndex = 0xC001;
constexpr std::uint16_t kRtuDeviceName = 0xC002;
constexpr std::uint16_t kRtuAddress = 0xC013;
constexpr std::uint16_t kRtuGroupCounts = 0xC01E;
constexpr std::uint16_t kRtuTotals = 0x0024;

// Where the fields of a channel block lie. The same fields sit at different places in the
// blocks of the ASCII-identified families and in the three layouts of the RTU-identified
// family; one decoder reads them all through this table.
enum class ShowSource { kBlockByte, kAlways, kGroups };
struct ChannelBlockFields {
    std::size_t name, nameRoom, unit;
    std::size_t triples;  // range low, then range high, low-low, low, high, high-high, hysteresis
    int signalType;       // offset, or -1 for a block without one
    bool logDecimals;     // a non-linear signal takes its range decimals from 0x38 and 0x39
    ShowSource show;      // kBlockByte: byte 0
};
constexpr ChannelBlockFields kAsciiBlock{
    0x00, 0x0C, 0x0C, 0x22, 0x3B, false, ShowSource::kBlockByte};

struct RtuLayout {
    std::uint16_t base;  // instrument address of channel 0's block
    ChannelBlockFields fields;
};
constexpr RtuLayout kLayoutP{0xC040, {0x01, 0x10, 0x11, 0x23, 0x22, true, ShowSource::kAlways}};
constexpr RtuLayout kLayoutL{0xC046, {0x01, 0x10, 0x11, 0x22, -1, false, ShowSource::kGroups}};
constexpr RtuLayout kLayoutM{0xC048, {0x01, 0x10, 0x11, 0x23, 0x22, true, ShowSource::kGroups}};
constexpr std::size_t kLogLowDecimals = 0x38, kLogHighDecimals = 0x39;
constexpr std::size_t kTripleSize = 3;

// A NUL-terminated text of at most `room` bytes from a block into a fixed field.
void CopyText(char* field, std::size_t fieldSize, const std::uint8_t* source, std::size_t room) {
    std::memset(field, 0, fieldSize);
    const std::size_t limit = room < fieldSize - 1 ? room : fieldSize - 1;
    for (std::size_t i = 0; i < limit && source[i] != 0; ++i)
        field[i] = static_cast<char>(source[i]);
}

// One 32-bit total from two 16-bit words, low word first, each word high byte first.
std::uint32_t Total32(const std::uint8_t* at) {
    const std::uint32_t low = static_cast<std::uint32_t>(at[0]) << 8 | at[1];
    const std::uint32_t high = static_cast<std::uint32_t>(at[2]) << 8 | at[3];
    return low | high << 16;
}

// 64 bits from four 16-bit words, lowest word first, each high byte first.
std::int64_t Total64(const std::uint8_t* at) {
    std::uint64_t value = 0;
    for (int w = 0; w < 4; ++w)
        value |=
            static_cast<std::uint64_t>(static_cast<std::uint32_t>(at[2 * w]) << 8 | at[2 * w + 1])
            << (16 * w);
    return static_cast<std::int64_t>(value);
}

void StoreRange(CXFile& file, Time start, Time last) {
    // An upload file has no records yet, so the end is stored as it is rather than
    // recomputed from the record count.
    file.SetStartTime(start);
    SegmentDescriptor& records = file.Header().records;
    records.last = last;
    records.lastStamp = TimeToStamp(last);
}

void Report(LinkProgress* progress, int position) {
    if (progress) progress->SetPosition(position);
}

void ReadDeviceName(const std::uint8_t* name, FileHeader& header) {
    std::memset(header.deviceName, 0, sizeof header.deviceName);
    std::memcpy(header.deviceName, name, kDeviceNameLength);
}

// A channel count the file can describe and the by-time worker can read.
bool UsableChannelCount(int channels) { return channels >= 1 && channels <= kMaxChannels; }

// groups: byte 0 counts the channels of the first group, byte 3 those of the second group,
// which starts at channel 8.
void DecodeChannelBlock(const ChannelBlockFields& f, const std::uint8_t* block, int channel,
                        const std::uint8_t* groups, const ViewDef& view, ChannelDescriptor& d) {
    CopyText(d.name, sizeof d.name, block + f.name, f.nameRoom);
    CopyText(d.unit, sizeof d.unit, block + f.unit, kBlockSize - f.unit);
    DecimalTriple* const triples[] = {&d.rangeLow,  &d.rangeHigh,     &d.alarmLowLow, &d.alarmLow,
                                      &d.alarmHigh, &d.alarmHighHigh, &d.hysteresis};
    for (std::size_t k = 0; k < std::size(triples); ++k)
        *triples[k] = DecimalTriple::Read(block + f.triples + k * kTripleSize);
    d.signalType = f.signalType >= 0 ? block[f.signalType] : 0;
    if (f.logDecimals && !IsLinearSignal(d.signalType)) {
        // Logarithmic signals keep their range as decades in two bytes of their own.
        d.rangeLow.decimals = block[kLogLowDecimals];
        d.rangeHigh.decimals = block[kLogHighDecimals];
    }
    switch (f.show) {
        case ShowSource::kBlockByte: d.showState = block[0]; break;
        case ShowSource::kAlways: d.showState = 1; break;
        case ShowSource::kGroups: {
            const bool shown = channel < groups[0] || (channel >= 8 && channel < groups[3] + 8);
            d.showState = shown ? 1 : 2;
            break;
        }
    }
    d.lineWidth = 1;
    d.color = DefaultCurveColor(view, channel);
}
}  // namespace

Time LastRecordTime(Time start, Time end, int interval) {
    if (interval <= 0 || end < start) return start;
    return start + (end - start) / interval * interval;
}

ConfigReadResult ReadAsciiUploadConfig(CXLink& link, CXFile& file, const std::string& path,
                                       AsciiUploadRange& range, const ViewDef& view,
                                       LinkProgress* progress) {
    if (!file.Create(path)) return kConfigCreateFailed;
    FileHeader& header = file.Header();
    const AsciiMap& map = kAsciiMaps[range.family == 1 ? 1 : 0];

    std::uint8_t count = 0;
    if (!link.ReadMemoryAscii(map.channelCount, 1, {&count, 1}) || !UsableChannelCount(count))
        return kConfigReadFailed;
    header.channelCount = count;

    const int interval = header.interval;
    if (interval <= 0) return kConfigReadFailed;
    const auto steps = static_cast<std::uint32_t>((range.end - range.start) / interval);
    StoreRange(file, range.start, range.start + static_cast<Time>(steps) * interval);
    header.records.reserved1 = steps;
    header.records.reserved2 = 0;
    header.records.count = steps + 1;

    std::uint8_t name[kDeviceNameLength];
    if (!link.ReadMemoryAscii(map.deviceName, kDeviceNameLength, name)) return kConfigReadFailed;
    ReadDeviceName(name, header);

    // The counter was the newest record's ring index; the upload ends at range.end.
    // A distance beyond the ring makes RingDistance give 0.
    const Time back = range.newest > range.end ? (range.newest - range.end) / interval : 0;
    const auto distance = static_cast<std::uint32_t>(back < kRingCapacity ? back : kRingCapacity);
    range.recordCounter = CXFile::RingDistance(range.recordCounter, distance, kRingCapacity);

    if (progress) progress->SetRange(0, count);
    for (int i = 0; i < count; ++i) {
        Report(progress, i);
        std::uint8_t block[kBlockSize];
        if (!link.ReadMemoryAscii(static_cast<std::uint16_t>(map.channelBlocks + kBlockSize * i),
                                  kBlockSize, block))
            return kConfigReadFailed;
        DecodeChannelBlock(kAsciiBlock, block, i, nullptr, view, header.channels[i]);
    }

    Report(progress, count);
    std::uint8_t totals[4 * kMaxChannels];
    if (!link.ReadMemory(kAsciiTotals, static_cast<std::uint16_t>(4 * count), totals))
        return kConfigReadFailed;
    for (int i = 0; i < count; ++i) header.channels[i].baseTotal = Total32(totals + 4 * i);

    ApplyDisplayDefaults(view, header);
    return kConfigRead;
}

ConfigReadResult ReadRtuUploadConfig(CXLink& link, CXFile& file, const std::string& path,
                                     const RtuUploadRange& range, const ViewDef& view,
                                     LinkProgress* progress) {
    if (!file.Create(path)) return kConfigCreateFailed;
    FileHeader& header = file.Header();

    char id[CXLink::kIdentificationSize] = {};
    const int idLength = link.Identify(id);
    std::memset(header.identification, 0, sizeof header.identification);
    std::memcpy(header.identification, id, static_cast<std::size_t>(idLength));

    std::uint8_t name[kDeviceNameLength];
    std::uint8_t count = 0, index = 0, address = 0;
    if (!link.ReadParam(kRtuDeviceName, kDeviceNameLength, name)) return kConfigReadFailed;
    ReadDeviceName(name, header);
    if (!link.ReadParam(kRtuChannelCount, 1, {&count, 1}) || !UsableChannelCount(count))
        return kConfigReadFailed;
    header.channelCount = count;
    if (!link.ReadParam(kRtuIntervalIndex, 1, {&index, 1}) || index > 8) return kConfigReadFailed;
    header.interval = IntervalOfIndex(index);
    if (!link.ReadParam(kRtuAddress, 1, {&address, 1})) return kConfigReadFailed;
    header.address = address;

    if (progress) progress->SetRange(0, count);
    const RtuLayout& layout = header.identification[3] == '2'   ? kLayoutP
                              : header.identification[4] == 'L' ? kLayoutL
                                                                : kLayoutM;
    std::uint8_t groups[6] = {};
    if (layout.fields.show == ShowSource::kGroups &&
        !link.ReadParam(kRtuGroupCounts, sizeof groups, groups))
        return kConfigReadFailed;

    for (int i = 0; i < count; ++i) {
        Report(progress, i);
        std::uint8_t block[kBlockSize];
        if (!link.ReadParam(static_cast<std::uint16_t>(layout.base + kBlockSize * i), kBlockSize,
                            block))
            return kConfigReadFailed;
        DecodeChannelBlock(layout.fields, block, i, groups, view, header.channels[i]);
    }

    const char width = header.identification[6];
    if (width != '1' && width != '2') return kConfigReadFailed;
    std::uint8_t totals[8 * kMaxChannels];
    if (!link.ReadMemory(kRtuTotals, static_cast<std::uint16_t>(8 * count), totals))
        return kConfigReadFailed;
    for (int i = 0; i < count; ++i)
        header.channels[i].baseTotal =
            width == '1' ? Total32(totals + 4 * i) : Total64(totals + 8 * i);

    ApplyDisplayDefaults(view, header);
    const int interval = header.interval;
    const auto records = static_cast<std::uint32_t>((range.end - range.start) / interval + 1);
    StoreRange(file, range.start, LastRecordTime(range.start, range.end, interval));
    header.records.reserved1 = records;
    header.records.reserved2 = 0;
    header.records.count = records;
    header.records.byte18 = 2;
    header.pieGridCount = static_cast<std::uint8_t>(count * 2);
    return kConfigRead;
}

}  // namespace kvr
