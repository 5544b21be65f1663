#include "core/view/curve_window.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace kvr {

namespace {

// Fractions are 32-bit floats: a point exactly on the kept edge may compute a hair past it.
constexpr float kFractionSlack = 1e-6f;

// trunc(seconds x fraction): the fraction of a span in whole seconds, rounded toward zero.
std::int64_t ScaledSeconds(std::int64_t seconds, float fraction) {
    return static_cast<std::int64_t>(static_cast<double>(seconds) * fraction);
}

}  // namespace

void CurveWindow::SetBrowseRange(Time start, Time end) {
    if (end < start) return;
    browseStart_ = start;
    browseEnd_ = end;
}

void CurveWindow::SetInterval(int seconds) { interval_ = std::max(seconds, 1); }

void CurveWindow::SetWindowRange(Time start, Time end) {
    windowStart_ = start;
    windowEnd_ = end;
}

void CurveWindow::ComputeWindow() {
    const std::int64_t n = browseEnd_ - browseStart_ + 1;
    if (widthFraction_ + startFraction_ < 1.0f) {
        windowStart_ = browseStart_ + interval_ * (ScaledSeconds(n, startFraction_) / interval_);
        windowEnd_ = browseStart_ +
                     interval_ * (ScaledSeconds(n, startFraction_ + widthFraction_) / interval_);
    } else {
        windowEnd_ = browseEnd_;
        windowStart_ = browseEnd_ - interval_ * (ScaledSeconds(n, widthFraction_) / interval_);
    }
    windowStart_ = std::max(windowStart_, browseStart_);
    windowEnd_ = std::min(windowEnd_, browseEnd_);
}

void CurveWindow::ComputeRecordWindow(int width, bool following) {
    const Time length = static_cast<Time>(width) * interval_;
    if (following) {
        windowEnd_ = browseEnd_;
        windowStart_ = browseEnd_ - length;
    } else {
        windowStart_ =
            browseStart_ +
            interval_ * (ScaledSeconds(browseEnd_ - browseStart_, startFraction_) / interval_);
        windowEnd_ = windowStart_ + length;
    }
}

std::pair<float, float> CurveWindow::RecordWindowBarFractions(int width) const {
    const std::int64_t seconds = browseEnd_ - browseStart_;
    const std::int64_t records = seconds / interval_;
    // Fewer recorded intervals than one: the whole span is on screen.
    if (seconds <= 0 || records <= 0) return {0.0f, 1.0f};
    const float widthFraction = static_cast<float>(width) / static_cast<float>(records);
    const float startFraction =
        windowStart_ >= browseStart_
            ? static_cast<float>(static_cast<double>(windowStart_ - browseStart_) / seconds)
            : 0.0f;
    return {startFraction, widthFraction};
}

Time CurveWindow::PixelToTime(int column, int width) const {
    if (ReachesEnd() && column == width - 1) column = width;
    Time t = windowStart_;
    if (width > 0) {
        const std::int64_t span = windowEnd_ - windowStart_ + 1;
        t = windowStart_ + interval_ * ((span * column / width) / interval_);
        t = std::max<Time>(t, 0);
    }
    return std::min(t, browseEnd_);
}

int CurveWindow::TimeToPixel(Time t, int width) const {
    t = std::clamp(t, browseStart_, browseEnd_);
    const std::int64_t span = windowEnd_ - windowStart_;
    if (span <= 0 || width <= 0) return 0;
    const double column =
        static_cast<double>(t - windowStart_) * width / static_cast<double>(span) + 0.5;
    // Clamp in floating point first: a time far outside the window must not overflow int.
    return static_cast<int>(std::clamp(column, 0.0, static_cast<double>(width - 1)));
}

double CurveWindow::FractionOf(Time t) const {
    const std::int64_t span = browseEnd_ - browseStart_;
    if (span <= 0) return 0.0;
    return static_cast<double>(t - browseStart_) / static_cast<double>(span);
}

bool CurveWindow::SetStartPoint(Time t) {
    if (!InBrowseRange(t)) return false;
    const float f = static_cast<float>(FractionOf(t));
    const float right = startFraction_ + widthFraction_;
    if (f > right + kFractionSlack) return false;
    widthFraction_ = std::max(right - f, 0.0f);
    startFraction_ = f;
    return true;
}

bool CurveWindow::SetEndPoint(Time t) {
    if (!InBrowseRange(t)) return false;
    const float f = static_cast<float>(FractionOf(t));
    if (f < startFraction_ - kFractionSlack) return false;
    widthFraction_ = std::max(f - startFraction_, 0.0f);
    return true;
}

void CurveWindow::SetSpan(Time a, Time b) {
    a = std::clamp(a, browseStart_, browseEnd_);
    b = std::clamp(b, browseStart_, browseEnd_);
    if (a > b) std::swap(a, b);
    startFraction_ = static_cast<float>(FractionOf(a));
    widthFraction_ = static_cast<float>(FractionOf(b)) - startFraction_;
}

std::pair<Time, Time> CurveWindow::CenteredSpan(Time t, Time length, Time first, Time last) {
    Time a = t - length / 2;
    Time b = t + (length - length / 2);
    if (a < first) {
        a = first;
        b = first + length;
    }
    if (b > last) {
        b = last;
        a = last - length;
    }
    return {std::max(a, first), std::min(b, last)};
}

std::vector<int> LabelledTimeDivisions(int gridCount, int width, int minSpacing) {
    std::vector<int> labelled;
    if (gridCount <= 0) return labelled;
    const float step = static_cast<float>(width) / static_cast<float>(gridCount);
    int last = 0;
    for (int i = 1; i <= gridCount; ++i) {
        if (static_cast<float>(i - last) * step > static_cast<float>(minSpacing)) {
            labelled.push_back(i);
            last = i;
        }
    }
    return labelled;
}

std::string TimeAxisLabel(Time t, std::optional<Time> previous, Time windowSpan, int xStyle) {
    constexpr Time kDay = 86400;
    const CalendarFields f = SplitTime(t);
    char text[48];
    if (xStyle != 0) {
        std::snprintf(text, sizeof text, "%d-%02d-%02d %02d:%02d:%02d", f.year, f.month, f.day,
                      f.hour, f.minute, f.second);
        return text;
    }
    bool dated = false;
    if (windowSpan > kDay) {
        if (!previous) {
            dated = true;
        } else {
            const CalendarFields p = SplitTime(*previous);
            dated = p.year != f.year || p.month != f.month || p.day != f.day;
        }
    }
    if (dated)
        std::snprintf(text, sizeof text, "%02d-%02d %02d:%02d", f.month, f.day, f.hour, f.minute);
    else
        std::snprintf(text, sizeof text, "%02d:%02d:%02d", f.hour, f.minute, f.second);
    return text;
}

}  // namespace kvr
