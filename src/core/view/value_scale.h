#pragma once
// The value axis of a curve plot: a range split into N divisions, a grid spacing in
// pixels, and a scroll position kept as a top value plus a pixel offset.
//
// Panning moves the top value by whole divisions and keeps the pixel offset within
// -spacing..0; stretching changes the spacing within 4..600 pixels.

namespace kvr {

class ValueScale {
public:
    static constexpr int kMinSpacing = 4;
    static constexpr int kMaxSpacing = 600;
    // Value labels are drawn at least this many pixels apart.
    static constexpr int kMinLabelGap = 12;

    // The whole range in view: top value = high, offset 0, N divisions filling the plot.
    // A division count below 1 is taken as 1.
    void SetRange(float low, float high, int divisions);

    // Recomputes spacing and the visible values for a plot `plotHeight` pixels tall.
    void Compute(int plotHeight);

    // Drag of the value axis by dy pixels (down is positive); then Compute again.
    void Pan(int dy);
    // Stretch drag by dy pixels (up widens the spacing). False, and nothing changes, when
    // the spacing would leave kMinSpacing..kMaxSpacing; otherwise Compute again.
    bool Stretch(int dy);

    float RangeLow() const { return rangeLow_; }
    float RangeHigh() const { return rangeHigh_; }
    int Divisions() const { return divisions_; }
    float ScrollTop() const { return scrollTop_; }
    int Offset() const { return offset_; }
    float VisibleFraction() const { return visibleFraction_; }
    int Spacing() const { return spacing_; }
    int PlotHeight() const { return plotHeight_; }
    float VisibleHigh() const { return visibleHigh_; }
    float VisibleLow() const { return visibleLow_; }
    // Value of one division.
    float Step() const;

    // Plot row of a value (0 = top). Values far off the plot are held a long way outside
    // it, so that a line towards them still leaves the plot at the right slope.
    int Row(double value) const;

    // Grid line k (k = -1, 0, 1, ...) lies at this row and shows this value.
    int LineRow(int k) const { return offset_ + k * spacing_; }
    float LineValue(int k) const { return scrollTop_ - static_cast<float>(k) * Step(); }
    // Drawing of grid lines and ticks stops after the first line past this test.
    bool IsPastBottom(int k) const { return LineRow(k) > plotHeight_ + 2 * spacing_; }
    // Whether there are lines to draw at all (a plot too small for one pixel of spacing
    // has none).
    bool HasLines() const { return spacing_ > 0; }

    // Label every e-th division so that labels stay kMinLabelGap pixels apart.
    int LabelEvery() const;
    bool IsLabelled(int k) const;

private:
    float rangeHigh_ = 10.0f;
    float rangeLow_ = 0.0f;
    float scrollTop_ = 10.0f;
    int divisions_ = 10;
    int offset_ = 0;
    float visibleFraction_ = 0.2f;
    int spacing_ = 0;
    int plotHeight_ = 0;
    float visibleHigh_ = 10.0f;
    float visibleLow_ = 0.0f;
};

}  // namespace kvr
