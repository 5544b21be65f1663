#include "core/datafile/file_codec.h"

#include <cstring>

#include "core/datafile/gbk.h"
#include "core/datafile/lookup_tables.h"

namespace kvr::codec {
namespace {

template <typename T>
T Load(const std::uint8_t* at) {
    T value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

template <typename T>
void Store(std::uint8_t* at, T value) {
    std::memcpy(at, &value, sizeof value);
}

void CopyText(char* field, std::size_t fieldSize, const std::uint8_t* source, std::size_t sourceSize) {
    std::memset(field, 0, fieldSize);
    const std::size_t length = strnlen(reinterpret_cast<const char*>(source), sourceSize);
    std::memcpy(field, source, length < fieldSize ? length : fieldSize - 1);
}

void SetUtf8(char* field, std::size_t fieldSize, const std::string& utf8) {
    WriteGbkField(field, fieldSize, utf8, fieldSize - 1);
}

DecimalTriple TripleFromConfig(const std::uint8_t* config, std::size_t valueOffset, std::size_t decimalsOffset) {
    return DecimalTriple::Encode(Load<float>(config + valueOffset), config[decimalsOffset]);
}

}  // namespace

int VersionOf(const char* identification) {
    int version = 0;
    for (int i = 13; i <= 16; ++i) {
        const char digit = identification[i];
        if (digit < '0' || digit > '9') return 1002;
        version = version * 10 + (digit - '0');
    }
    return version;
}

bool IsFamily(const char* id) {
    return id[0] == kFamilyId[0] && id[1] == kFamilyId[1] && id[2] == kFamilyId[2] && id[4] == kFamilyId[4];
}

bool IsRecordMajorUpload(const char* identification) { return identification[2] == kFamilyId[2]; }

void DecodeBlockA(const std::uint8_t* a, FileHeader& h) {
    h.xMode = a[blockA::kXModeCopy];  // the copy wins when the two differ
    h.yMode = a[blockA::kYMode];
    h.yLow = Load<float>(a + blockA::kYLow);
    h.yHigh = Load<float>(a + blockA::kYHigh);
    h.gridCount1 = Load<std::uint16_t>(a + blockA::kGridCount1);
    h.gridCount2 = Load<std::uint16_t>(a + blockA::kGridCount2);
    h.gridColor = Load<std::uint32_t>(a + blockA::kGridColor);
    h.backgroundColor = Load<std::uint32_t>(a + blockA::kBackgroundColor);
    h.showGrid = a[blockA::kShowGrid];
    for (int c = 0; c < kFileChannels; ++c) {
        const std::uint8_t* entry = a + blockA::kChannels + blockA::kChannelStride * c;
        h.channels[c].color = Load<std::uint32_t>(entry);
        h.channels[c].showState = entry[4];
        h.channels[c].lineWidth = entry[5];
    }
    h.tagCount = a[blockA::kTagCount];
    h.interval = Load<std::uint16_t>(a + blockA::kInterval);
}

void EncodeBlockA(const FileHeader& h, std::uint8_t* a) {
    std::memset(a, 0, 64);
    a[blockA::kXMode] = h.xMode;
    a[blockA::kYMode] = h.yMode;
    Store(a + blockA::kYLow, h.yLow);
    Store(a + blockA::kYHigh, h.yHigh);
    Store(a + blockA::kGridCount1, h.gridCount1);
    Store(a + blockA::kGridCount2, h.gridCount2);
    Store(a + blockA::kGridColor, h.gridColor);
    Store(a + blockA::kBackgroundColor, h.backgroundColor);
    a[blockA::kShowGrid] = h.showGrid;
    for (int c = 0; c < kFileChannels; ++c) {
        std::uint8_t* entry = a + blockA::kChannels + blockA::kChannelStride * c;
        Store(entry, h.channels[c].color);
        entry[4] = h.channels[c].showState;
        entry[5] = h.channels[c].lineWidth;
    }
    a[blockA::kTagCount] = h.tagCount;
    a[blockA::kXModeCopy] = h.xMode;
    Store(a + blockA::kInterval, static_cast<std::uint16_t>(h.interval));
}

void DecodeSegment(const std::uint8_t* b, SegmentDescriptor& s) {
    s.firstStamp = ReadStamp(b + segment::kFirstStamp);
    s.lastStamp = ReadStamp(b + segment::kLastStamp);
    s.first = StampToTime(s.firstStamp);
    s.last = StampToTime(s.lastStamp);
    s.reserved1 = Load<std::uint32_t>(b + segment::kReserved1);
    s.reserved2 = Load<std::uint32_t>(b + segment::kReserved2);
    s.count = Load<std::uint32_t>(b + segment::kCount);
    s.byte18 = b[segment::kByte18];
    s.byte19 = b[segment::kByte19];
}

void EncodeSegment(const SegmentDescriptor& s, std::uint8_t* b) {
    std::memset(b, 0, 64);
    WriteStamp(b + segment::kFirstStamp, s.firstStamp);
    WriteStamp(b + segment::kLastStamp, s.lastStamp);
    Store(b + segment::kReserved1, s.reserved1);
    Store(b + segment::kReserved2, s.reserved2);
    Store(b + segment::kCount, s.count);
    b[segment::kByte18] = s.byte18;
    b[segment::kByte19] = s.byte19;
}

void DeriveChannels(FileHeader& h) {
    const std::uint8_t* config = h.config;
    CopyText(h.deviceName, sizeof h.deviceName, config + cfg::kDeviceName, 32);
    h.address = config[cfg::kAddress];

    for (int i = 0; i < 3; ++i) {
        ChannelDescriptor& d = h.channels[i];
        const std::size_t base = cfg::kInputBase + cfg::kInputStride * i;
        CopyText(d.name, sizeof d.name, config + base + cfg::kInputTagName, 16);
        CopyText(d.unit, sizeof d.unit, config + base + cfg::kInputUnit, 16);
        d.rangeLow = TripleFromConfig(config, base + cfg::kInputRangeLow, base + cfg::kInputRangeLowDecimals);
        d.rangeHigh = TripleFromConfig(config, base + cfg::kInputRangeHigh, base + cfg::kInputRangeHighDecimals);
        const std::size_t alarm = cfg::kAlarmBase + cfg::kAlarmStride * i;
        d.alarmHighHigh = TripleFromConfig(config, alarm + 0x06, alarm + 0x00);
        d.alarmHigh = TripleFromConfig(config, alarm + 0x0A, alarm + 0x01);
        d.alarmLow = TripleFromConfig(config, alarm + 0x0E, alarm + 0x02);
        d.alarmLowLow = TripleFromConfig(config, alarm + 0x12, alarm + 0x03);
        d.hysteresis = TripleFromConfig(config, alarm + 0x16, alarm + 0x04);
        d.baseTotal = 0;
    }
    for (int i = 3; i < 6; ++i) {
        ChannelDescriptor& d = h.channels[i];
        const bool heat = i == 5;
        SetUtf8(d.name, sizeof d.name, heat ? "热量" : "流量");
        SetUtf8(d.unit, sizeof d.unit, heat ? HeatUnitText(config[cfg::kHeatUnit]) : FlowUnitText(config[cfg::kFlowUnit]));
        d.rangeLow = DecimalTriple::Encode(0.0f, 0);
        d.rangeHigh = heat ? TripleFromConfig(config, cfg::kHeatRange, cfg::kHeatRangeDecimals)
                           : TripleFromConfig(config, cfg::kFlowRange, cfg::kFlowRangeDecimals);
        d.alarmLowLow = DecimalTriple::Encode(0.0f, 0);
        d.alarmHighHigh = DecimalTriple::Encode(30000.0f, 0);
        d.alarmLow = DecimalTriple::Encode(0.0f, 0);
        d.alarmHigh = DecimalTriple::Encode(30000.0f, 0);
        d.hysteresis = DecimalTriple::Encode(0.0f, 0);
        d.baseTotal = i == 3 ? h.flowTotal : heat ? h.heatTotal : 0;
    }
    for (int i = 0; i < 6; ++i) {
        std::memset(h.channels[i].text3, 0, sizeof h.channels[i].text3);
        h.channels[i].signalType = 0;
    }
}

void WriteNamesToConfig(FileHeader& h) {
    // The device name must end before the record-interval code at 0x1D.
    const std::string device = CutGbk(std::string(h.deviceName, strnlen(h.deviceName, sizeof h.deviceName)),
                                      cfg::kDeviceNameEnd - 1);
    std::memcpy(h.config + cfg::kDeviceName, device.data(), device.size());
    h.config[cfg::kDeviceName + device.size()] = 0;
    for (int i = 0; i < 3; ++i) {
        const ChannelDescriptor& d = h.channels[i];
        const std::string name = CutGbk(std::string(d.name, strnlen(d.name, sizeof d.name)), 15);
        std::uint8_t* field = h.config + cfg::kInputBase + cfg::kInputStride * i + cfg::kInputTagName;
        std::memcpy(field, name.data(), name.size());
        field[name.size()] = 0;
    }
}

void EncodeChannelRecord(const ChannelDescriptor& d, bool fullBaseTotal, std::uint8_t* r) {
    std::memset(r, 0, 160);
    std::memcpy(r + 0x00, d.name, 32);
    std::memcpy(r + 0x20, d.unit, 16);
    std::memcpy(r + 0x30, d.text3, 16);
    const DecimalTriple* triples[] = {&d.rangeLow, &d.rangeHigh, &d.alarmLowLow, &d.alarmHighHigh,
                                      &d.alarmLow, &d.alarmHigh, &d.hysteresis};
    for (int i = 0; i < 7; ++i) triples[i]->Write(r + 0x40 + 4 * i);
    if (fullBaseTotal) {
        Store(r + 0x5C, d.baseTotal);
        Store(r + 0x64, d.color);
        r[0x68] = d.showState;
        r[0x69] = d.lineWidth;
        r[0x6A] = d.signalType;
    } else {
        Store(r + 0x5C, static_cast<std::uint32_t>(d.baseTotal));
        Store(r + 0x61, d.color);
        r[0x65] = d.showState;
        r[0x66] = d.lineWidth;
        r[0x67] = d.signalType;
    }
}

namespace {

std::vector<std::uint8_t> EncodeU1(const FileHeader& h) {
    const std::size_t channels = h.channelCount;
    std::vector<std::uint8_t> out(0x140 + 160 * channels, 0);
    std::uint8_t* p = out.data();
    std::memcpy(p + 0x00, h.identification, 16);
    std::memcpy(p + 0x10, h.deviceName, 32);
    WriteStamp(p + 0x30, h.records.firstStamp);
    WriteStamp(p + 0x36, h.records.lastStamp);
    p[0x3C] = h.address;
    p[0x3D] = static_cast<std::uint8_t>(h.interval & 0xFF);
    p[0x3E] = h.channelCount;
    p[0x3F] = h.reservedByte;
    p[0x40] = h.tagCount;
    p[0x41] = h.xMode;
    p[0x42] = h.yMode;
    Store(p + 0x43, h.yLow);
    Store(p + 0x47, h.yHigh);
    p[0x4B] = static_cast<std::uint8_t>(h.gridCount1);
    p[0x4C] = static_cast<std::uint8_t>(h.gridCount2);
    Store(p + 0x4D, h.gridColor);
    Store(p + 0x51, h.backgroundColor);
    p[0x55] = h.showGrid;
    Store(p + 0x56, h.records.reserved1);
    Store(p + 0x5A, h.records.reserved2);
    Store(p + 0x5E, h.records.count);
    p[0x62] = h.records.byte18;
    Store(p + 0x63, static_cast<std::uint16_t>(160));
    p[0x65] = h.scientific;
    p[0x66] = h.pieGridCount;
    p[0x67] = h.pieTimeIndex;
    for (int i = 0; i < 2; ++i) {
        p[0x68 + i] = h.labels[i].shown;
        Store(p + 0x6A + 4 * i, h.labels[i].value);
        std::memcpy(p + 0x72 + 11 * i, h.labels[i].name, 11);
    }
    for (std::size_t c = 0; c < channels; ++c) EncodeChannelRecord(h.channels[c], false, p + 0x140 + 160 * c);
    return out;
}

std::vector<std::uint8_t> EncodeU2(const FileHeader& h) {
    const std::size_t channels = h.channelCount;
    std::vector<std::uint8_t> out(0x140 + 160 * channels, 0);
    std::uint8_t* p = out.data();
    std::memcpy(p, h.identification, 32);
    std::uint8_t* device = p + 0x40;
    std::memcpy(device, h.deviceName, 32);
    device[32] = h.channelCount;
    device[33] = h.reservedByte;
    Store(device + 34, static_cast<std::uint16_t>(h.interval));
    device[36] = h.address;
    device[37] = h.scientific;
    device[38] = h.tagCount;
    device[39] = h.xMode;
    const bool formR1 = h.identification[6] == '1';
    for (std::size_t c = 0; c < channels; ++c) EncodeChannelRecord(h.channels[c], !formR1, p + 0x80 + 160 * c);
    EncodeBlockA(h, p + 0x80 + 160 * channels);
    p[0x80 + 160 * channels + 63] = 0;
    EncodeSegment(h.records, p + 0xC0 + 160 * channels);
    return out;
}

}  // namespace

std::vector<std::uint8_t> EncodeUploadHeader(const FileHeader& h) {
    return IsRecordMajorUpload(h.identification) ? EncodeU2(h) : EncodeU1(h);
}

}  // namespace kvr::codec
