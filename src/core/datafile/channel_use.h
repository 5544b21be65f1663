#pragma once
// Which of a file's channels the instrument uses.
#include <cstdint>

#include "core/datafile/cxfile.h"

namespace kvr {

// The show state of a channel the instrument does not use (0 hidden, 1 shown).
inline constexpr std::uint8_t kShowStateNotInUse = 2;

// A channel the instrument does not use has no column, no curve and no figures.
bool IsChannelInUse(const CXFile& file, int channel);

}  // namespace kvr
