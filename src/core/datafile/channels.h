#pragma once
// A file's channels as every view and report names them: which the instrument uses, and
// their headings.
#include <cstdint>
#include <string>

#include "core/datafile/cxfile.h"

namespace kvr {

// The show state of a channel the instrument does not use (0 hidden, 1 shown).
inline constexpr std::uint8_t kShowStateNotInUse = 2;

// A channel the instrument does not use has no column, no curve and no figures.
bool IsChannelInUse(const CXFile& file, int channel);

// "name(unit)", or just the name when the unit is empty.
std::string ChannelHeading(const CXFile& file, int channel);

}  // namespace kvr
