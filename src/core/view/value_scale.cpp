#include "core/view/value_scale.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace kvr {

namespace {

// Far enough outside any plot that clipping the line there changes no visible pixel.
constexpr double kFarRow = 1 << 15;

}  // namespace

void ValueScale::SetRange(float low, float high, int divisions) {
    rangeLow_ = low;
    rangeHigh_ = high;
    scrollTop_ = high;
    divisions_ = std::max(divisions, 1);
    offset_ = 0;
    visibleFraction_ = 1.0f / static_cast<float>(divisions_);
}

float ValueScale::Step() const { return (rangeHigh_ - rangeLow_) / static_cast<float>(divisions_); }

void ValueScale::Compute(int plotHeight) {
    plotHeight_ = std::max(plotHeight, 0);
    spacing_ = static_cast<int>(static_cast<float>(plotHeight_) * visibleFraction_ + 0.5f);
    const float perPixel = spacing_ > 0 ? Step() / static_cast<float>(spacing_) : 0.0f;
    const float offsetPixels = static_cast<float>(std::abs(offset_));
    visibleHigh_ = scrollTop_ - offsetPixels * perPixel;
    visibleLow_ = scrollTop_ - (offsetPixels + static_cast<float>(plotHeight_)) * perPixel;
}

void ValueScale::Pan(int dy) {
    offset_ += dy;
    if (spacing_ <= 0) {
        offset_ = 0;
    } else {
        while (std::abs(offset_) > spacing_ || offset_ > 0) {
            const int q = offset_ > 0 ? 1 : -1;
            offset_ -= q * spacing_;
            scrollTop_ += static_cast<float>(q) * Step();
        }
    }
    Compute(plotHeight_);
}

bool ValueScale::Stretch(int dy) {
    const int spacing = spacing_ - dy;
    if (spacing < kMinSpacing || spacing > kMaxSpacing || plotHeight_ <= 0) return false;
    visibleFraction_ = static_cast<float>(spacing) / static_cast<float>(plotHeight_);
    Compute(plotHeight_);
    return true;
}

int ValueScale::Row(double value) const {
    const double span = static_cast<double>(visibleHigh_) - visibleLow_;
    if (span == 0.0) return plotHeight_;
    const double row = plotHeight_ - plotHeight_ * (value - visibleLow_) / span;
    if (std::isnan(row)) return plotHeight_;
    return static_cast<int>(std::clamp(row, -kFarRow, kFarRow));
}

int ValueScale::LabelEvery() const {
    if (spacing_ <= 0) return 1;
    if (spacing_ >= kMinLabelGap) return 1;
    return (kMinLabelGap + spacing_ - 1) / spacing_;
}

bool ValueScale::IsLabelled(int k) const {
    const float step = Step();
    if (step == 0.0f) return true;
    // The line values are whole divisions from the range low; rounding keeps a value
    // such as 2.9999 on division 3.
    const long long division = std::llround((LineValue(k) - rangeLow_) / step);
    return division % LabelEvery() == 0;
}

}  // namespace kvr
