#pragma once
// The arithmetic of the bar gauges, the live dial chart, the history circular chart and
// continuous curve printing: which channel sits in which cell, how far a bar is filled,
// where a value lies on a dial, which hours label it, how many pages a span prints on.
// Plain functions, so that the controls, the printing code and the tests share them.
#include <optional>
#include <utility>
#include <vector>

#include "core/datafile/time.h"

namespace kvr {

class CXFile;

// ---- bar gauges ---------------------------------------------------------------------

constexpr int kBarCellsPerGroup = 12;
constexpr int kBarGridRows = 2;

// Columns of the two-row cell grid for a group of `cells` cells; nothing for 0 or more
// than 12 cells (such a group is not drawn).
std::optional<int> BarGridColumns(int cells);
// Channels whose show state is not "not in use", in file order.
std::vector<int> ChannelsInUse(const CXFile& file);
// Tabs of the bar window: one per twelve channels of the file, in use or not.
int BarTabCount(int channelCount);
// Cells in group `group` of `inUse` channels: 12, the remainder for the last group.
int CellsInGroup(int inUse, int groupSize, int group);

// Filled part of a bar, 0..1: empty below range low, full above range high, nothing at
// all (nullopt) for an empty range.
std::optional<double> BarFillFraction(double value, double rangeLow, double rangeHigh);
// Where an alarm limit sits on the scale, 0 (bottom) .. 1 (top), clamped to the range.
double ScaleFraction(double limit, double rangeLow, double rangeHigh);
// A value is shown in red when it lies outside the alarm band and the band is a real one
// (high alarm above low alarm).
bool IsOutsideAlarms(double value, double alarmLow, double alarmHigh);

// ---- dials ------------------------------------------------------------------------------

// 8, 12 or 24 hours per revolution for the time index 0, 1, 2 (24 for anything else).
int HoursPerRevolution(int timeIndex);
// The hour labels clockwise from the top for a chart showing `hourOfDay`.
std::vector<int> DialHourLabels(int hourOfDay, int timeIndex);
// Distance from the centre of a value at `percent` of its range, with `rings` rings
// spaced `spacing` apart: range low on the innermost ring, range high on the outer one.
double DialRadius(double percent, int rings, double spacing);
// Angle (radians, anticlockwise from the x axis, in 0..2pi) of step `step` of a
// revolution of `stepsPerRevolution`, starting at the top and running clockwise.
double DialAngle(long long step, long long stepsPerRevolution);

// One point of a circular chart: its time and its step within the revolution.
struct DialStep {
    Time time = 0;
    long long step = 0;
};
// The record times of the history circular chart over [spanStart, spanEnd], one
// revolution per day: every day from the span start's midnight, steps of `interval`,
// times outside the span skipped. Empty when the interval does not divide a day.
std::vector<DialStep> CircleChartSteps(Time spanStart, Time spanEnd, int interval);
// The record times of the live dial: the revolution that holds `end` (hours per
// revolution from the time index), `interval` apart, up to the newest record.
std::vector<DialStep> LiveDialSteps(Time end, int interval, int timeIndex);

// ---- continuous printing --------------------------------------------------------------

constexpr int kRecordsPerPrintedPage = 2000;

// A time moved to the nearest record time at or after it, counted back from the file end.
Time SnapToRecordTime(Time t, Time fileEnd, int interval);
// Pages for printing [start, end] at one record per step; nullopt when the span is not a
// valid one for the file (end not after start, outside the file, no interval).
std::optional<int> ContinuousPageCount(Time start, Time end, Time fileStart, Time fileEnd,
                                       int interval);

}  // namespace kvr

namespace kvr {
// The window of page `page` (from 1) of a continuous print starting at `printStart`: a
// full 2000 records, even past the file end.
std::pair<Time, Time> ContinuousPageWindow(Time printStart, int interval, int page);
}  // namespace kvr
