#pragma once
// Copies the user's default display settings into a new file's display block.
#include "core/datafile/cxfile.h"
#include "core/datafile/view_def.h"

namespace kvr {

// Axis modes, Y range, grid counts and colours; the grid is shown.
void ApplyDisplayDefaults(const _tagViewDef& view, FileHeader& header);
// Channel i's curve colour: colour i mod 8 of the defaults.
std::uint32_t DefaultCurveColor(const _tagViewDef& view, int channel);

}  // namespace kvr
