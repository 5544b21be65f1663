#include "core/datafile/file_info.h"

#include <algorithm>
#include <cstring>

#include "core/datafile/gbk.h"

namespace kvr {
namespace {

constexpr float kPercentLow = 0.0f;
constexpr float kPercentHigh = 100.0f;

}  // namespace

FileInfo ReadFileInfo(const CXFile& file) {
    const FileHeader& h = file.Header();
    FileInfo info;
    info.xMode = h.xMode;
    info.yMode = h.yMode;
    info.yLow = h.yLow;
    info.yHigh = h.yHigh;
    info.gridCount1 = h.gridCount1;
    info.gridCount2 = h.gridCount2;
    info.showGrid = h.showGrid != 0;
    info.backgroundColor = h.backgroundColor;
    info.gridColor = h.gridColor;
    info.pieGridCount = h.pieGridCount;
    info.pieTimeIndex = h.pieTimeIndex;
    info.scientific = h.scientific != 0;
    info.alias = FieldToUtf8(h.deviceName, sizeof h.deviceName);
    const int count = std::clamp(file.GetChannelCount(), 0, kMaxChannels);
    for (int c = 0; c < count; ++c) {
        const ChannelDescriptor& d = h.channels[c];
        info.channels.push_back(
            {FieldToUtf8(d.name, sizeof d.name), FieldToUtf8(d.unit, sizeof d.unit),
             FieldToUtf8(d.text3, sizeof d.text3), d.color, d.showState, d.lineWidth});
    }
    return info;
}

std::optional<std::string> CheckFileInfo(const FileInfo& info) {
    if (info.yMode == 0 && (info.yLow < kPercentLow || info.yHigh > kPercentHigh))
        return "百分比模式显示范围：0 - 100";
    // Written as "not below" so that a NaN range is refused too.
    if (!(info.yLow < info.yHigh)) return "Y轴显示范围设置错误！";
    return std::nullopt;
}

std::optional<std::string> CheckKeptTexts(const FileInfo& info, const FileInfo& held) {
    if (info.alias != held.alias && Utf8ToGbk(info.alias).size() > kKeptAliasBytes)
        return kAliasTooLong;
    const std::size_t count = std::min(info.channels.size(), held.channels.size());
    for (std::size_t c = 0; c < count; ++c) {
        const ChannelInfo& in = info.channels[c];
        const ChannelInfo& kept = held.channels[c];
        if (in.unit != kept.unit) return kUnitNotKept;
        if (in.name == kept.name) continue;
        if (c >= static_cast<std::size_t>(kNamedChannels)) return kNameNotKept;
        if (Utf8ToGbk(in.name).size() > kKeptNameBytes) return kNameTooLong;
    }
    return std::nullopt;
}

void WriteFileInfo(const FileInfo& info, FileHeader& h) {
    h.xMode = static_cast<std::uint8_t>(info.xMode);
    h.yMode = static_cast<std::uint8_t>(info.yMode);
    h.yLow = info.yLow;
    h.yHigh = info.yHigh;
    h.gridCount1 =
        static_cast<std::uint16_t>(std::clamp(info.gridCount1, kMinGridCount, kMaxGridCount));
    h.gridCount2 =
        static_cast<std::uint16_t>(std::clamp(info.gridCount2, kMinGridCount, kMaxGridCount));
    h.showGrid = info.showGrid ? 1 : 0;
    h.backgroundColor = info.backgroundColor;
    h.gridColor = info.gridColor;
    h.pieGridCount = static_cast<std::uint8_t>(std::clamp(info.pieGridCount, 0, 255));
    h.pieTimeIndex = static_cast<std::uint8_t>(std::clamp(info.pieTimeIndex, 0, 255));
    h.scientific = info.scientific ? 1 : 0;
    WriteGbkField(h.deviceName, sizeof h.deviceName, info.alias, kAliasBytes);
    const std::size_t count =
        std::min(info.channels.size(), static_cast<std::size_t>(kMaxChannels));
    for (std::size_t c = 0; c < count; ++c) {
        const ChannelInfo& in = info.channels[c];
        ChannelDescriptor& d = h.channels[c];
        WriteGbkField(d.name, sizeof d.name, in.name, kChannelNameBytes);
        WriteGbkField(d.unit, sizeof d.unit, in.unit, kChannelUnitBytes);
        WriteGbkField(d.text3, sizeof d.text3, in.signalText, kSignalTextBytes);
        d.color = in.color;
        d.showState = static_cast<std::uint8_t>(in.showState);
        d.lineWidth = static_cast<std::uint8_t>(std::clamp(in.lineWidth, 1, 255));
    }
}

std::optional<std::string> SaveFileInfo(const FileInfo& info, CXFile& file) {
    if (const char* refusal = file.EditRefusal()) return refusal;
    if (auto refusal = CheckFileInfo(info)) return refusal;
    if (auto refusal = CheckKeptTexts(info, ReadFileInfo(file))) return refusal;
    // The views draw from the in-memory header: if the file cannot take the change, they
    // must go on showing what the file holds.
    const FileHeader before = file.Header();
    WriteFileInfo(info, file.Header());
    if (file.FlushHeader()) return std::nullopt;
    file.Header() = before;
    return "保存文件信息失败！";
}

int StepChannel(const FileInfo& info, int current, int step) {
    const int count = static_cast<int>(info.channels.size());
    if (count == 0) return 0;
    int c = ((current % count) + count) % count;
    for (int tried = 0; tried < count; ++tried) {
        c = ((c + step) % count + count) % count;
        if (info.channels[static_cast<std::size_t>(c)].showState != kChannelNotInUse) return c;
    }
    return current;
}

void SetValueMode(FileInfo& info, int yMode) {
    info.yMode = yMode;
    info.yLow = kPercentLow;
    info.yHigh = kPercentHigh;
}

}  // namespace kvr
