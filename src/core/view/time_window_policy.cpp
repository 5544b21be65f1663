#include "core/view/time_window_policy.h"

#include <algorithm>

namespace kvr {

void FractionWindowPolicy::Compute(CurveWindow& window, int) const { window.ComputeWindow(); }

void RecordWindowPolicy::Compute(CurveWindow& window, int width) const {
    window.ComputeRecordWindow(width, following);
}

std::pair<float, float> RecordWindowPolicy::BarFractions(const CurveWindow& window,
                                                         int width) const {
    return window.RecordWindowBarFractions(width);
}

bool AutoScaleWindowPolicy::Spans(const CurveWindow& window, int width) {
    return window.BrowseEnd() - window.BrowseStart() < static_cast<Time>(width) * window.Interval();
}

void AutoScaleWindowPolicy::Compute(CurveWindow& window, int width) const {
    if (!Spans(window, width)) {
        RecordWindowPolicy::Compute(window, width);
        return;
    }
    // A single record still gets one interval of room, so that columns map to times.
    const Time start = window.BrowseStart();
    window.SetWindowRange(start, std::max(window.BrowseEnd(), start + window.Interval()));
}

std::pair<float, float> AutoScaleWindowPolicy::BarFractions(const CurveWindow& window,
                                                            int width) const {
    if (Spans(window, width)) return {0.0f, 1.0f};
    return RecordWindowPolicy::BarFractions(window, width);
}

}  // namespace kvr
