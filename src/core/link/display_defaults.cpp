#include "core/link/display_defaults.h"

#include "core/link/link_texts.h"

namespace kvr {

void ApplyDisplayDefaults(const _tagViewDef& view, FileHeader& header) {
    header.xMode = view.xMode;
    header.yMode = view.yMode;
    header.yLow = view.yLow;
    header.yHigh = view.yHigh;
    header.gridCount1 = view.gridCount1;
    header.gridCount2 = view.gridCount2;
    header.gridColor = view.gridColor;
    header.backgroundColor = view.backgroundColor;
    header.showGrid = 1;
}

std::uint32_t DefaultCurveColor(const _tagViewDef& view, int channel) {
    return view.curveColors[static_cast<unsigned>(channel) % 8];
}

std::optional<std::string> CheckRecordInterval(int seconds) {
    if (seconds >= 1 && seconds <= kMaxRecordInterval) return std::nullopt;
    return std::string(texts::kRecordIntervalOutOfRange);
}

}  // namespace kvr
