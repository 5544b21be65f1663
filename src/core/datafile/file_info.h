#pragma once
// FileInfo: the display settings and per-channel presentation a data file keeps (axes, range,
// grid, colours, channel names, units, curve styles, circular-chart settings, device alias),
// as an editable copy. Edits touch the copy only; WriteFileInfo puts an accepted copy back
// into the file's header, and the caller saves it with CXFile::FlushHeader.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/datafile/cxfile.h"

namespace kvr {

struct ChannelInfo {
    std::string name;         // UTF-8; written as at most 31 GBK bytes
    std::string unit;         // at most 15
    std::string signalText;   // at most 15
    std::uint32_t color = 0;  // COLORREF
    int showState = 1;        // 0 hidden, 1 shown, 2 channel not in use
    int lineWidth = 1;
};

struct FileInfo {
    int xMode = 0;  // 0 short time labels, 1 long
    int yMode = 0;  // 0 percent, 1 engineering value
    float yLow = 0.0f, yHigh = 100.0f;
    int gridCount1 = 0;  // time divisions
    int gridCount2 = 0;  // value divisions
    bool showGrid = false;
    std::uint32_t backgroundColor = 0, gridColor = 0;
    int pieGridCount = 10;
    int pieTimeIndex = 2;  // 8, 12 or 24 hours a revolution
    bool scientific = false;
    std::string alias;  // the device name field; at most 30 GBK bytes
    std::vector<ChannelInfo> channels;
};

inline constexpr std::size_t kChannelNameBytes = 31;
inline constexpr std::size_t kChannelUnitBytes = 15;
inline constexpr std::size_t kSignalTextBytes = 15;
inline constexpr std::size_t kAliasBytes = 30;
inline constexpr int kMinGridCount = 1;
inline constexpr int kMaxGridCount = 100;
inline constexpr int kChannelNotInUse = 2;

// What of the texts survives reopening the file: every open takes the channel names and
// units and the device alias from the instrument's configuration record, and saving puts
// back only the names of the input channels (15 bytes) and the alias (28 bytes, which end
// before the record-interval code). Units and the names of the flow and heat channels are
// the instrument's.
inline constexpr int kNamedChannels = 3;
inline constexpr std::size_t kKeptNameBytes = 15;
inline constexpr std::size_t kKeptAliasBytes = 28;
inline constexpr char kUnitNotKept[] = "单位由仪表组态决定，不能修改！";
inline constexpr char kNameNotKept[] = "只有通道 1 到 3 的位号可以修改！";
inline constexpr char kNameTooLong[] = "位号最多 15 字节！";
inline constexpr char kAliasTooLong[] = "设备别名最多 28 字节！";

FileInfo ReadFileInfo(const CXFile& file);

// The message that refuses the settings, or nullopt when they may be stored: a percent range
// must lie within 0 .. 100, and the low end must lie below the high end.
std::optional<std::string> CheckFileInfo(const FileInfo& info);

// The message that refuses a text the file would not keep, comparing info with held, what
// the file holds now; nullopt when every change would survive reopening the file.
std::optional<std::string> CheckKeptTexts(const FileInfo& info, const FileInfo& held);

// Stores checked settings into the header: grid counts clamped to 1 .. 100, texts cut to
// their byte limits without splitting a GBK character.
void WriteFileInfo(const FileInfo& info, FileHeader& header);

// Checks (CheckFileInfo, CheckKeptTexts), writes and saves the header. On failure the
// message says why and the file's in-memory header is left as it was. nullopt on success.
std::optional<std::string> SaveFileInfo(const FileInfo& info, CXFile& file);

// The next (step +1) or previous (step -1) channel in use, wrapping at both ends; current
// itself when no other channel is in use.
int StepChannel(const FileInfo& info, int current, int step);

// Switching between percent and value mode starts the range afresh at 0 .. 100.
void SetValueMode(FileInfo& info, int yMode);

}  // namespace kvr
