#pragma once
// The time window of a curve plot: which part of the browse range is on screen, snapped to
// whole record intervals, and the mapping between plot columns and times.
//
// The window is kept as two fractions of the browse range (what the time scroll bar
// shows) and recomputed from them; times are whole seconds.
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/datafile/time.h"

namespace kvr {

class CurveWindow {
public:
    // A window whose fractions add up to at least this reaches the browse end.
    static constexpr float kReachesEnd = 0.9999f;

    // Ignored when end < start.
    void SetBrowseRange(Time start, Time end);
    Time BrowseStart() const { return browseStart_; }
    Time BrowseEnd() const { return browseEnd_; }

    // Record interval in seconds; anything below 1 is taken as 1 so that the snapping
    // never divides by zero.
    void SetInterval(int seconds);
    int Interval() const { return interval_; }

    void SetStartFraction(float fraction) { startFraction_ = fraction; }
    void SetWidthFraction(float fraction) { widthFraction_ = fraction; }
    float StartFraction() const { return startFraction_; }
    float WidthFraction() const { return widthFraction_; }
    bool ReachesEnd() const { return startFraction_ + widthFraction_ >= kReachesEnd; }

    void SetWindowRange(Time start, Time end);
    Time WindowStart() const { return windowStart_; }
    Time WindowEnd() const { return windowEnd_; }
    bool InWindow(Time t) const { return windowStart_ <= t && t <= windowEnd_; }
    bool InBrowseRange(Time t) const { return browseStart_ <= t && t <= browseEnd_; }

    // Window from the fractions, both ends snapped to whole intervals counted from the
    // browse start, or back from the browse end when the window reaches it.
    void ComputeWindow();
    // The live variant: one record per column of a plot `width` columns wide, either
    // ending at the newest record (following) or starting at the start fraction.
    void ComputeRecordWindow(int width, bool following);
    // Start and width fractions a scroll bar shows for the live window.
    std::pair<float, float> RecordWindowBarFractions(int width) const;

    // Time of plot column `column` of a plot `width` columns wide (columns 0..width).
    Time PixelToTime(int column, int width) const;
    // Plot column of a time, 0..width-1.
    int TimeToPixel(Time t, int width) const;

    // Fraction of the browse range at which t lies; 0 for a range of one instant.
    double FractionOf(Time t) const;
    // Moves the left edge of the window to t, keeping the right edge. Refused (false)
    // when t lies outside the browse range or after the right edge.
    bool SetStartPoint(Time t);
    // Moves the right edge to t, keeping the left edge; refused when t lies outside the
    // browse range or before the left edge.
    bool SetEndPoint(Time t);
    // Window from a to b (clamped into the browse range, either order).
    void SetSpan(Time a, Time b);

    // A span of `length` seconds centred on t and kept inside first..last.
    static std::pair<Time, Time> CenteredSpan(Time t, Time length, Time first, Time last);

private:
    Time browseStart_ = 0;
    Time browseEnd_ = 0;
    int interval_ = 1;
    float startFraction_ = 0.0f;
    float widthFraction_ = 1.0f;
    Time windowStart_ = 0;
    Time windowEnd_ = 0;
};

// Divisions 1..gridCount of a time axis `width` pixels wide that carry a label: each one
// lies more than minSpacing pixels right of the previous labelled division (the first
// is measured from the left edge).
std::vector<int> LabelledTimeDivisions(int gridCount, int width, int minSpacing);

// The text of a time-axis label at t. With the long style (xStyle not 0) every label shows
// date and time. With the short style a label shows the time of day, unless the window
// spans more than a day: then a label whose date differs from that of the label drawn
// before it (previous; none for the first label) shows "MM-DD HH:MM", so that a week reads
// as seven days and not as seven unlabelled midnights.
std::string TimeAxisLabel(Time t, std::optional<Time> previous, Time windowSpan, int xStyle);

}  // namespace kvr
