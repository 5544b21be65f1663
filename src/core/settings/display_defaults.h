#pragma once
// Copies the user's default display settings into a new file's display block, or into the
// editable display settings of an open file.
#include <optional>
#include <string>

#include "core/datafile/cxfile.h"
#include "core/datafile/file_info.h"
#include "core/settings/view_def.h"

namespace kvr {

// Axis modes, Y range, grid counts and colours; the grid is shown.
void ApplyDisplayDefaults(const ViewDef& view, FileHeader& header);
// Channel i's curve colour: colour i mod 8 of the defaults.
std::uint32_t DefaultCurveColor(const ViewDef& view, int channel);
// Takes the display defaults: axes, range, grid, colours (channel i gets colour i mod 8),
// the grid shown and every channel in use shown.
void RestoreDefaults(FileInfo& info, const ViewDef& defaults);

// The file stores the record interval in 16 bits.
inline constexpr int kMaxRecordInterval = 65535;
// Why seconds cannot be a record interval ("实时记录间隔必须在1到65535秒之间！"), or
// nothing when they can.
std::optional<std::string> CheckRecordInterval(int seconds);

}  // namespace kvr
