#pragma once
// Placement rules of the marks drawn over the history curves: tags (a moment kept in the
// file) and the two value labels (a level kept with the open file).
#include <optional>
#include <string>

#include "core/datafile/cxfile.h"

namespace kvr {

// Text rows of a mark are 18 pixels above or 2 below its point; a point within 20 pixels
// of the plot bottom gets its text above so that it stays readable.
int MarkTextY(int pointY, int plotHeight);

// Row of a value in a plot of plotHeight pixels showing visibleLow … visibleHigh;
// nothing when the scale is empty or the value cannot be placed.
std::optional<int> ValueToPlotY(double value, double visibleLow, double visibleHigh,
                                int plotHeight);

// The level of a value label on the curves' scale: its engineering value, or in percent
// mode its percent of channel 1's measuring range (labels belong to no channel). Nothing
// when channel 1's range is empty.
std::optional<double> ValueLabelLevel(const CXFile& file, const ValueLabel& label,
                                      bool percentMode);

// "name" followed by the set value with two decimals.
std::string ValueLabelText(const ValueLabel& label);

// The tag time as written at the top of its line; xAxisStyle is the file's X-axis mode.
std::string TagTimeText(Time t, int xAxisStyle);

// A tag's reading of one channel: the value in the channel's format, then the unit.
std::string TagValueText(const CXFile& file, int channel, float value);

}  // namespace kvr
