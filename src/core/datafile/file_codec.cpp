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

void CopyText(char* field, std::size_t fieldSize, const std::uint8_t* source,
              std::size_t sourceSize) {
    std::memset(field, 0, fieldSize);
    const std::size_t length = strnlen(reinterpret_cast<const char*>(source), sourceSize);
    std::memcpy(field, source, length < fieldSize ? length : fieldSize - 1);
}

void SetUtf8(char* field, std::size_t fieldSize, const std::string& utf8) {
    WriteGbkField(field, fieldSize, utf8, fieldSize - 1);
}

DecimalTriple TripleFromConfig(const std::uint8_t* config, std::size_t valueOffset,
                               std::size_t decimalsOffset) {
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
    return id[0] == kFamilyId[0] && id[1] == kFamilyId[1] && id[2] == kFamilyId[2] &&
           id[4] == kFamilyId[4];
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
        d.rangeLow = TripleFromConfig(config, base + cfg::kInputRangeLow,
                                      base + cfg::kInputRangeLowDecimals);
        d.rangeHigh = TripleFromConfig(config, base + cfg::kInputRangeHigh,
                                       base + cfg::kInputRangeHighDecimals);
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
        SetUtf8(d.unit, sizeof d.unit,
                heat ? HeatUnitText(config[cfg::kHeatUnit]) : FlowUnitText(config[cfg::kFlowUnit]));
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
    const std::string device =
        CutGbk(std::string(h.deviceName, strnlen(h.deviceName, sizeof h.deviceName)),
               cfg::kDeviceNameEnd - 1);
    std::memcpy(h.config + cfg::kDeviceName, device.data(), device.size());
    h.config[cfg::kDeviceName + device.size()] = 0;
    for (int i = 0; i < 3; ++i) {
        const ChannelDescriptor& d = h.channels[i];
        const std::string name = CutGbk(std::string(d.name, strnlen(d.name, sizeof d.name)), 15);
        std::uint8_t* field =
            h.config + cfg::kInputBase + cfg::kInputStride * i + cfg::kInputTagName;
        std::memcpy(field, name.data(), name.size());
        field[name.size()] = 0;
    }
}

void EncodeChannelRecord(const ChannelDescriptor& d, bool fullBaseTotal, std::uint8_t* r) {
    namespace ch = upload::channel;
    std::memset(r, 0, upload::kChannelRecordSize);
    std::memcpy(r + ch::kName, d.name, sizeof d.name);
    std::memcpy(r + ch::kUnit, d.unit, sizeof d.unit);
    std::memcpy(r + ch::kText3, d.text3, sizeof d.text3);
    const DecimalTriple* triples[] = {&d.rangeLow, &d.rangeHigh, &d.alarmLowLow, &d.alarmHighHigh,
                                      &d.alarmLow, &d.alarmHigh, &d.hysteresis};
    for (std::size_t i = 0; i < 7; ++i) triples[i]->Write(r + ch::kTriples + ch::kTripleStride * i);
    if (fullBaseTotal) {
        Store(r + ch::kBaseTotal, d.baseTotal);
        Store(r + ch::kR2Color, d.color);
        r[ch::kR2ShowState] = d.showState;
        r[ch::kR2LineWidth] = d.lineWidth;
        r[ch::kR2SignalType] = d.signalType;
    } else {
        Store(r + ch::kBaseTotal, static_cast<std::uint32_t>(d.baseTotal));
        Store(r + ch::kR1Color, d.color);
        r[ch::kR1ShowState] = d.showState;
        r[ch::kR1LineWidth] = d.lineWidth;
        r[ch::kR1SignalType] = d.signalType;
    }
}

namespace {

std::vector<std::uint8_t> EncodeU1(const FileHeader& h) {
    namespace u1 = upload::u1;
    const std::size_t channels = h.channelCount;
    std::vector<std::uint8_t> out(upload::SamplesOffset(channels), 0);
    std::uint8_t* p = out.data();
    std::memcpy(p + u1::kIdentification, h.identification, upload::kIdentificationSize);
    std::memcpy(p + u1::kDeviceName, h.deviceName, sizeof h.deviceName);
    WriteStamp(p + u1::kStartStamp, h.records.firstStamp);
    WriteStamp(p + u1::kEndStamp, h.records.lastStamp);
    p[u1::kAddress] = h.address;
    p[u1::kIntervalLow] = static_cast<std::uint8_t>(h.interval & 0xFF);
    p[u1::kChannelCount] = h.channelCount;
    p[u1::kReservedByte] = h.reservedByte;
    p[u1::kTagCount] = h.tagCount;
    p[u1::kXMode] = h.xMode;
    p[u1::kYMode] = h.yMode;
    Store(p + u1::kYLow, h.yLow);
    Store(p + u1::kYHigh, h.yHigh);
    p[u1::kGridCount1] = static_cast<std::uint8_t>(h.gridCount1);
    p[u1::kGridCount2] = static_cast<std::uint8_t>(h.gridCount2);
    Store(p + u1::kGridColor, h.gridColor);
    Store(p + u1::kBackgroundColor, h.backgroundColor);
    p[u1::kShowGrid] = h.showGrid;
    Store(p + u1::kReserved1, h.records.reserved1);
    Store(p + u1::kReserved2, h.records.reserved2);
    Store(p + u1::kCapacity, h.records.count);
    p[u1::kSampleSize] = h.records.byte18;
    Store(p + u1::kChannelRecordSize, static_cast<std::uint16_t>(upload::kChannelRecordSize));
    p[u1::kScientific] = h.scientific;
    p[u1::kPieGridCount] = h.pieGridCount;
    p[u1::kPieTimeIndex] = h.pieTimeIndex;
    for (std::size_t i = 0; i < 2; ++i) {
        p[u1::kLabelShown + i] = h.labels[i].shown;
        Store(p + u1::kLabelValue + 4 * i, h.labels[i].value);
        std::memcpy(p + u1::kLabelName + u1::kLabelNameSize * i, h.labels[i].name,
                    u1::kLabelNameSize);
    }
    for (std::size_t c = 0; c < channels; ++c)
        EncodeChannelRecord(h.channels[c], false,
                            p + upload::kU1ChannelRecords + upload::kChannelRecordSize * c);
    return out;
}

std::vector<std::uint8_t> EncodeU2(const FileHeader& h) {
    namespace u2 = upload::u2;
    const std::size_t channels = h.channelCount;
    const std::size_t records = upload::kChannelRecordSize * channels;
    std::vector<std::uint8_t> out(upload::SamplesOffset(channels), 0);
    std::uint8_t* p = out.data();
    std::memcpy(p + kIdentificationOffset, h.identification, kIdentificationSize);
    std::uint8_t* device = p + upload::kU2DeviceBlock;
    std::memcpy(device + u2::kDeviceName, h.deviceName, sizeof h.deviceName);
    device[u2::kChannelCount] = h.channelCount;
    device[u2::kReservedByte] = h.reservedByte;
    Store(device + u2::kInterval, static_cast<std::uint16_t>(h.interval));
    device[u2::kAddress] = h.address;
    device[u2::kScientific] = h.scientific;
    device[u2::kTagCount] = h.tagCount;
    device[u2::kXMode] = h.xMode;
    const bool formR1 = h.identification[6] == '1';
    for (std::size_t c = 0; c < channels; ++c)
        EncodeChannelRecord(h.channels[c], !formR1,
                            p + upload::kU2ChannelRecords + upload::kChannelRecordSize * c);
    EncodeBlockA(h, p + upload::kU2BlockA + records);
    p[upload::kU2BlockA + records + blockA::kUsed] = 0;
    EncodeSegment(h.records, p + upload::kU2BlockB + records);
    return out;
}

}  // namespace

std::vector<std::uint8_t> EncodeUploadHeader(const FileHeader& h) {
    return IsRecordMajorUpload(h.identification) ? EncodeU2(h) : EncodeU1(h);
}

}  // namespace kvr::codec
