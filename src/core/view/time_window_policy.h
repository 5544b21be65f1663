#pragma once
// How a curve plot chooses its time window: a history plot shows what the scroll bar's
// fractions describe; a live plot either places one record per column from the right edge,
// or spans the recorded time until that fills the plot at one record a column and then
// scrolls the same way. The plot holds one policy and asks it whenever the window is due.
#include <utility>

#include "core/view/curve_window.h"

namespace kvr {

class TimeWindowPolicy {
public:
    virtual ~TimeWindowPolicy() = default;
    // Sets the window of `window` for a plot `width` columns wide.
    virtual void Compute(CurveWindow& window, int width) const = 0;
};

// The window the start and width fractions describe.
class FractionWindowPolicy final : public TimeWindowPolicy {
public:
    void Compute(CurveWindow& window, int width) const override;
};

// One record per column: ending at the newest record while following, else starting at
// the start fraction.
class RecordWindowPolicy : public TimeWindowPolicy {
public:
    void Compute(CurveWindow& window, int width) const override;
    // Start and width fractions a scroll bar shows for this window.
    virtual std::pair<float, float> BarFractions(const CurveWindow& window, int width) const;

    bool following = true;
};

// The whole recorded time while it is shorter than the plot at one record a column (the
// first minutes of an acquisition fill the plot instead of a sliver at its right edge);
// from then on one record per column.
class AutoScaleWindowPolicy final : public RecordWindowPolicy {
public:
    void Compute(CurveWindow& window, int width) const override;
    std::pair<float, float> BarFractions(const CurveWindow& window, int width) const override;
    // Whether the recorded time still fits the plot, so that the window spans all of it.
    static bool Spans(const CurveWindow& window, int width);
};

}  // namespace kvr
